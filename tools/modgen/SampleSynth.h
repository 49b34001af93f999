#pragma once
// The instrument samples of the module tool, drawn from named waveforms. A
// looped wave holds whole cycles and is tuned through its C-5 playback rate;
// a one-shot (plucks, bells, drums) is rendered at its C-5 pitch and plays
// once. Samples are floats between -1 and 1 until the writer quantises them.
#include <cstdint>
#include <string>
#include <vector>

struct SampleData {
	std::vector<float> frames;
	bool loop = false;
	uint32_t loopStart = 0, loopEnd = 0; // in frames, end exclusive
	uint32_t c5Speed = 0;                // playback rate in Hz of note C-5
};

// Fills out with the named wave; false (with out untouched) for an unknown
// name. The seed varies the noise of drums between instruments.
bool SynthesiseSample(const std::string &wave, uint32_t seed, SampleData *out);

// The wave names SynthesiseSample knows, for error messages.
const char *KnownWaveNames();
