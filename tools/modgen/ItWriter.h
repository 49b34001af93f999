#pragma once
// Serialises a finished arrangement as an Impulse Tracker module: header,
// order list, instruments with volume envelopes, samples (8- or 16-bit,
// signed, uncompressed) and packed patterns. The writer only lays out bytes;
// what to play comes from the arranger in modgen.cpp.
#include "SampleSynth.h"
#include "Song.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int kNoteOff = 255;  // module note value: key off
constexpr int kNoteCut = 254;  // module note value: stop at once
constexpr int kEffectArpeggio = 10; // command J
constexpr int kEffectTempo = 20;    // command T

struct ModuleCell {
	int note = -1;        // 0..119, kNoteOff, kNoteCut; -1 none
	int instrument = 0;   // 1-based; 0 none
	int volume = -1;      // 0..64; -1 none
	int command = 0;      // 1 = A .. 26 = Z; 0 none
	int param = 0;
	bool Empty() const { return note < 0 && instrument == 0 && volume < 0 && command == 0; }
};

struct ModulePattern {
	int rows = 64;
	std::vector<ModuleCell> cells; // rows * channel count, row-major
};

struct ModuleInstrument {
	std::string name;
	InstrumentVariant def;
	SampleData sample;
};

struct Module {
	std::string title;
	int tempo = 125, speed = 6, mixVolume = 48, globalVolume = 128;
	int bits = 16;
	std::vector<int> channelPan;    // one per used channel, 0..64
	std::vector<int> channelVolume; // one per used channel, 0..64
	std::vector<uint8_t> orders;
	std::vector<ModulePattern> patterns;
	std::vector<ModuleInstrument> instruments; // instrument i plays sample i
};

// Empty when the module cannot be laid out.
std::vector<uint8_t> WriteIt(const Module &module);
