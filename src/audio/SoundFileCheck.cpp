#include "audio/SoundFileCheck.h"

#include <cstring>

namespace {

constexpr size_t kRiffHeader = 12; // "RIFF", the file's length, "WAVE"
constexpr size_t kChunkFrame = 8;  // a chunk's name and length before its data

uint32_t ReadLittleEndian(const uint8_t *at)
{
	return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

bool Fail(const char **reason, const char *text)
{
	if (reason != nullptr)
		*reason = text;
	return false;
}

bool Begins(const uint8_t *data, size_t size, const char *mark, size_t at = 0)
{
	const size_t length = strlen(mark);
	return size >= at + length && memcmp(data + at, mark, length) == 0;
}

}

bool IsWholeSoundFile(const uint8_t *data, size_t size, const char **reason)
{
	if (data == nullptr)
		return Fail(reason, "not a WAV or Ogg Vorbis file");
	if (Begins(data, size, "OggS"))
		return true;
	if (!Begins(data, size, "RIFF") || !Begins(data, size, "WAVE", 8))
		return Fail(reason, "not a WAV or Ogg Vorbis file");
	size_t at = kRiffHeader;
	bool samples = false;
	// Chunks start on even offsets; a chunk of odd length is followed by a
	// pad byte, which the last chunk of a file may leave out.
	while (size - at >= kChunkFrame) {
		const uint32_t length = ReadLittleEndian(data + at + 4);
		if (length > size - at - kChunkFrame)
			return Fail(reason, "a WAV chunk runs past the end of the file");
		if (Begins(data, size, "data", at))
			samples = true;
		at += kChunkFrame + length;
		at += (length & 1) != 0 && at < size ? 1 : 0;
	}
	return samples || Fail(reason, "the WAV file holds no samples");
}
