#pragma once
// Tiny audio files that the audio tests write for themselves: a mono 16-bit
// WAV of a constant level, and a 4-channel ProTracker module whose orders are
// told apart by whether they sound.
#include <cstdint>
#include <string>
#include <vector>

namespace audiotest {

inline void PutLE16(std::vector<uint8_t> &out, uint32_t value)
{
	out.push_back((uint8_t)(value & 0xFF));
	out.push_back((uint8_t)((value >> 8) & 0xFF));
}

inline void PutLE32(std::vector<uint8_t> &out, uint32_t value)
{
	PutLE16(out, value & 0xFFFF);
	PutLE16(out, value >> 16);
}

inline void PutBE16(std::vector<uint8_t> &out, uint32_t value)
{
	out.push_back((uint8_t)((value >> 8) & 0xFF));
	out.push_back((uint8_t)(value & 0xFF));
}

inline void PutText(std::vector<uint8_t> &out, const char *text)
{
	for (const char *c = text; *c != '\0'; c++)
		out.push_back((uint8_t)*c);
}

// A mono, signed 16-bit, 44.1 kHz WAV holding `frames` samples of `level`.
inline std::vector<uint8_t> MakeWav(uint32_t frames, int16_t level)
{
	constexpr uint32_t kRate = 44100;
	const uint32_t dataBytes = frames * 2;
	std::vector<uint8_t> out;
	PutText(out, "RIFF");
	PutLE32(out, 36 + dataBytes);
	PutText(out, "WAVE");
	PutText(out, "fmt ");
	PutLE32(out, 16);
	PutLE16(out, 1); // PCM
	PutLE16(out, 1); // mono
	PutLE32(out, kRate);
	PutLE32(out, kRate * 2);
	PutLE16(out, 2);
	PutLE16(out, 16);
	PutText(out, "data");
	PutLE32(out, dataBytes);
	for (uint32_t i = 0; i < frames; i++)
		PutLE16(out, (uint16_t)level);
	return out;
}

constexpr int kModRowsPerOrder = 4; // each pattern breaks after this many rows

// A 4-channel ProTracker module with one pattern per order. An order listed
// in `silentOrders` turns its note's volume to 0 on its first row; every other
// order strikes a looped square wave at full volume on channel 0. Each order
// plays kModRowsPerOrder rows at the default speed and tempo (21,168 bytes of
// 16-bit stereo per row at 44.1 kHz).
inline std::vector<uint8_t> MakeModule(int orderCount, std::vector<int> silentOrders = {})
{
	constexpr int kSampleBytes = 32;
	constexpr int kChannels = 4;
	constexpr int kRows = 64;
	constexpr uint16_t kPeriodC2 = 428;
	std::vector<uint8_t> out(20, 0); // title
	for (int s = 0; s < 31; s++) {
		std::vector<uint8_t> header(22, 0); // name
		if (s == 0) {
			PutBE16(header, kSampleBytes / 2); // length in words
			header.push_back(0);               // finetune
			header.push_back(64);              // volume
			PutBE16(header, 0);                // loop start
			PutBE16(header, kSampleBytes / 2); // loop length
		} else {
			PutBE16(header, 0);
			header.push_back(0);
			header.push_back(0);
			PutBE16(header, 0);
			PutBE16(header, 1);
		}
		out.insert(out.end(), header.begin(), header.end());
	}
	out.push_back((uint8_t)orderCount);
	out.push_back(127);
	for (int i = 0; i < 128; i++)
		out.push_back(i < orderCount ? (uint8_t)i : 0);
	PutText(out, "M.K.");
	for (int pattern = 0; pattern < orderCount; pattern++) {
		bool silent = false;
		for (int order : silentOrders)
			silent = silent || order == pattern;
		for (int row = 0; row < kRows; row++) {
			for (int channel = 0; channel < kChannels; channel++) {
				uint8_t cell[4] = {0, 0, 0, 0};
				if (channel == 0 && row == 0) {
					if (silent) {
						cell[2] = 0x0C; // set volume 0
					} else {
						cell[0] = (uint8_t)(kPeriodC2 >> 8);
						cell[1] = (uint8_t)(kPeriodC2 & 0xFF);
						cell[2] = 0x10; // sample 1, no effect
					}
				}
				if (channel == 1 && row == kModRowsPerOrder - 1)
					cell[2] = 0x0D; // pattern break to the next order
				out.insert(out.end(), cell, cell + 4);
			}
		}
	}
	for (int i = 0; i < kSampleBytes; i++)
		out.push_back(i < kSampleBytes / 2 ? (uint8_t)100 : (uint8_t)(256 - 100));
	return out;
}

// True when any 16-bit sample in the bytes is not zero.
inline bool HasSignal(const uint8_t *bytes, size_t size)
{
	for (size_t i = 0; i + 1 < size; i += 2)
		if (bytes[i] != 0 || bytes[i + 1] != 0)
			return true;
	return false;
}

}
