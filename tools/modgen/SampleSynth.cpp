#include "SampleSynth.h"

#include "common/StateVariableFilter.h"
#include "common/XorshiftNoise.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2 * kPi;
constexpr double kC5Hz = 523.2511306011972;  // the pitch every sample is tuned to at note C-5
constexpr uint32_t kOneShotRate = 44100;     // Hz, rate one-shots are rendered at
constexpr uint32_t kCycleFrames = 256;       // frames of one cycle of a smooth looped wave
constexpr uint32_t kChipCycleFrames = 32;    // frames of one cycle of a chip wave: coarse on purpose
constexpr int kHarmonics = 20;               // partials of the band-limited saw and square
constexpr float kSamplePeak = 0.95f;         // headroom below full scale after normalising
constexpr uint32_t kNoiseStream = 0x9e3779b9u; // picks modgen's drum noise; changing it changes every drum

void Normalise(SampleData *s)
{
	float peak = 0;
	for (float f : s->frames)
		peak = std::max(peak, std::fabs(f));
	if (peak > 0)
		for (float &f : s->frames)
			f *= kSamplePeak / peak;
}

// A looped wave of `cycles` periods in `frames` frames, made of partials:
// harmonic h (1-based) with amplitude amps[h-1]. Partials are tapered with
// Lanczos sigma factors so the wave does not ring.
void Additive(const std::vector<float> &amps, uint32_t frames, int cycles, std::vector<float> &out)
{
	const int count = (int)amps.size();
	out.assign(frames, 0.0f);
	for (int h = 1; h <= count; h++) {
		if (amps[h - 1] == 0)
			continue;
		double x = kPi * h / (count + 1);
		double sigma = std::sin(x) / x;
		for (uint32_t n = 0; n < frames; n++)
			out[n] += (float)(amps[h - 1] * sigma * std::sin(kTwoPi * h * cycles * n / frames));
	}
}

void MakeLooped(SampleData *s, uint32_t frames, int cycles)
{
	s->loop = true;
	s->loopStart = 0;
	s->loopEnd = frames;
	s->c5Speed = (uint32_t)std::lround(kC5Hz * frames / cycles);
	Normalise(s);
}

std::vector<float> SawPartials(int count, float tilt)
{
	std::vector<float> a(count);
	for (int h = 1; h <= count; h++)
		a[h - 1] = (h % 2 == 1 ? 1.0f : -1.0f) / std::pow((float)h, tilt);
	return a;
}

std::vector<float> SquarePartials(int count)
{
	std::vector<float> a(count, 0.0f);
	for (int h = 1; h <= count; h += 2)
		a[h - 1] = 1.0f / h;
	return a;
}

void Looped(const std::vector<float> &partials, SampleData *s)
{
	Additive(partials, kCycleFrames, 1, s->frames);
	MakeLooped(s, kCycleFrames, 1);
}

// Two slightly detuned saws in one long loop: one runs kEnsembleCycles - 1
// periods, the other kEnsembleCycles + 1, so the loop holds their beating
// and a sustained chord sounds like a section rather than one reed.
void Ensemble(SampleData *s)
{
	constexpr int kEnsembleCycles = 128;
	constexpr uint32_t kFrames = kEnsembleCycles * 128;
	std::vector<float> partials = SawPartials(12, 1.2f);
	std::vector<float> a, b;
	Additive(partials, kFrames, kEnsembleCycles - 1, a);
	Additive(partials, kFrames, kEnsembleCycles + 1, b);
	s->frames.resize(kFrames);
	for (uint32_t n = 0; n < kFrames; n++)
		s->frames[n] = a[n] + b[n];
	MakeLooped(s, kFrames, kEnsembleCycles);
}

// Naive chip waves: one coarse cycle, hard edges left in.
void ChipPulse(float duty, SampleData *s)
{
	s->frames.resize(kChipCycleFrames);
	for (uint32_t n = 0; n < kChipCycleFrames; n++)
		s->frames[n] = (float)n < duty * kChipCycleFrames ? 1.0f : -1.0f;
	MakeLooped(s, kChipCycleFrames, 1);
}

void ChipTriangle(SampleData *s)
{
	// Sixteen steps up and down, the stair-stepped triangle of old sound chips.
	s->frames.resize(kChipCycleFrames);
	for (uint32_t n = 0; n < kChipCycleFrames; n++) {
		int level = n < 16 ? (int)n : 31 - (int)n;
		s->frames[n] = (level - 7.5f) / 7.5f;
	}
	MakeLooped(s, kChipCycleFrames, 1);
}

void OneShot(SampleData *s, float seconds, const std::function<float(float t, int n)> &voice)
{
	const int frames = (int)(seconds * kOneShotRate);
	s->frames.resize(frames);
	for (int n = 0; n < frames; n++)
		s->frames[n] = voice((float)n / kOneShotRate, n);
	// A short fade at the very end, so a sample cut by its length never clicks.
	const int fade = std::min(frames, 64);
	for (int i = 0; i < fade; i++)
		s->frames[frames - 1 - i] *= (float)i / fade;
	s->loop = false;
	s->c5Speed = kOneShotRate;
	Normalise(s);
}

// A plucked string: harmonics that die away faster the higher they are,
// weighted as if plucked a fifth of the way along.
void Pluck(SampleData *s)
{
	OneShot(s, 1.2f, [](float t, int) {
		float sum = 0;
		for (int h = 1; h <= 16; h++) {
			float weight = (float)std::fabs(std::sin(kPi * h * 0.2)) / h;
			float decay = std::exp(-t * (2.5f + 1.6f * (h - 1)));
			sum += weight * decay * (float)std::sin(kTwoPi * kC5Hz * h * t);
		}
		return sum * std::min(1.0f, t * 2000.0f);
	});
}

// A bell by frequency modulation: an inharmonic modulator whose depth fades
// faster than the tone, so the strike is bright and the ring is pure.
void Bell(SampleData *s)
{
	OneShot(s, 1.6f, [](float t, int) {
		float index = 3.0f * std::exp(-t * 3.0f);
		float mod = index * (float)std::sin(kTwoPi * kC5Hz * 3.5 * t);
		float tone = (float)std::sin(kTwoPi * kC5Hz * t + mod);
		return tone * std::exp(-t * 1.8f) * std::min(1.0f, t * 1000.0f);
	});
}

void Kick(SampleData *s, uint32_t seed)
{
	XorshiftNoise noise(seed, kNoiseStream);
	double phase = 0;
	OneShot(s, 0.45f, [&](float t, int) {
		float freq = 48.0f + 110.0f * std::exp(-t * 28.0f);
		phase += freq / kOneShotRate;
		float body = (float)std::sin(kTwoPi * phase) * std::exp(-t * 7.0f);
		float click = noise.Next() * std::exp(-t * 400.0f) * 0.5f;
		return body + click;
	});
}

void Snare(SampleData *s, uint32_t seed)
{
	XorshiftNoise noise(seed, kNoiseStream);
	StateVariableFilter filter;
	OneShot(s, 0.3f, [&](float t, int) {
		const StateVariableFilter::Bands f = filter.Run(noise.Next(), 2200.0f, 0.8f, kOneShotRate);
		float rattle = (f.band + f.high * 0.5f) * std::exp(-t * 16.0f);
		float body = (float)std::sin(kTwoPi * 185.0 * t) * std::exp(-t * 30.0f);
		return rattle + body * 0.8f;
	});
}

void Hat(SampleData *s, uint32_t seed, float seconds, float decay)
{
	XorshiftNoise noise(seed, kNoiseStream);
	StateVariableFilter filter;
	OneShot(s, seconds, [&](float t, int) {
		return filter.Run(noise.Next(), 7500.0f, 0.9f, kOneShotRate).high * std::exp(-t / decay);
	});
}

void Tom(SampleData *s)
{
	double phase = 0;
	OneShot(s, 0.6f, [&](float t, int) {
		float freq = (float)kC5Hz * 0.35f * (1.0f + 0.5f * std::exp(-t * 20.0f));
		phase += freq / kOneShotRate;
		return (float)std::sin(kTwoPi * phase) * std::exp(-t * 6.0f) * std::min(1.0f, t * 3000.0f);
	});
}

void Crash(SampleData *s, uint32_t seed)
{
	XorshiftNoise noise(seed, kNoiseStream);
	StateVariableFilter filter;
	OneShot(s, 1.2f, [&](float t, int) {
		const StateVariableFilter::Bands f = filter.Run(noise.Next(), 5000.0f, 0.6f, kOneShotRate);
		return (f.high + f.band * 0.4f) * std::exp(-t * 3.0f) * std::min(1.0f, t * 4000.0f);
	});
}

// The noise channel of old sound chips: a 15-bit shift register clocked at a
// fixed rate; the short mode taps bit 6 and sounds metallic.
float ChipNoise(uint32_t *reg, double *clock, float rate, bool shortMode)
{
	*clock += rate / kOneShotRate;
	while (*clock >= 1.0) {
		*clock -= 1.0;
		uint32_t bit = ((*reg) ^ ((*reg) >> (shortMode ? 6 : 1))) & 1;
		*reg = ((*reg) >> 1) | (bit << 14);
	}
	return ((*reg) & 1) ? 1.0f : -1.0f;
}

void ChipKick(SampleData *s)
{
	double phase = 0;
	OneShot(s, 0.18f, [&](float t, int) {
		float freq = 50.0f + 250.0f * std::exp(-t * 30.0f);
		phase += freq / kOneShotRate;
		float p = (float)(phase - std::floor(phase));
		return (p < 0.5f ? 1.0f : -1.0f) * std::exp(-t * 14.0f);
	});
}

void ChipNoiseHit(SampleData *s, float seconds, float decay, float rate, bool shortMode)
{
	uint32_t reg = 1;
	double clock = 0;
	OneShot(s, seconds, [&](float t, int) { return ChipNoise(&reg, &clock, rate, shortMode) * std::exp(-t / decay); });
}

void ChipTom(SampleData *s)
{
	double phase = 0;
	OneShot(s, 0.3f, [&](float t, int) {
		float freq = (float)kC5Hz * 0.35f * (1.0f + 0.6f * std::exp(-t * 18.0f));
		phase += freq / kOneShotRate;
		float p = (float)(phase - std::floor(phase));
		float tri = p < 0.5f ? 4 * p - 1 : 3 - 4 * p;
		return std::round(tri * 7.5f) / 7.5f * std::exp(-t * 8.0f);
	});
}

using Maker = std::function<void(SampleData *, uint32_t seed)>;

const std::map<std::string, Maker> &Makers()
{
	static const std::map<std::string, Maker> makers = {
		{"sine", [](SampleData *s, uint32_t) { Looped({1.0f}, s); }},
		// A soft, hollow tone for flute-like melodies.
		{"soft", [](SampleData *s, uint32_t) { Looped({1.0f, 0.22f, 0.12f, 0.04f}, s); }},
		{"saw", [](SampleData *s, uint32_t) { Looped(SawPartials(kHarmonics, 1.0f), s); }},
		{"square", [](SampleData *s, uint32_t) { Looped(SquarePartials(kHarmonics), s); }},
		// A warm bass: a saw whose upper partials fall away faster.
		{"bass", [](SampleData *s, uint32_t) { Looped(SawPartials(10, 1.6f), s); }},
		{"organ", [](SampleData *s, uint32_t) { Looped({1.0f, 0.6f, 0.4f, 0.25f, 0, 0.15f, 0, 0.1f}, s); }},
		{"strings", [](SampleData *s, uint32_t) { Ensemble(s); }},
		{"pluck", [](SampleData *s, uint32_t) { Pluck(s); }},
		{"bell", [](SampleData *s, uint32_t) { Bell(s); }},
		{"kick", [](SampleData *s, uint32_t seed) { Kick(s, seed); }},
		{"snare", [](SampleData *s, uint32_t seed) { Snare(s, seed); }},
		{"hat", [](SampleData *s, uint32_t seed) { Hat(s, seed, 0.08f, 0.022f); }},
		{"openhat", [](SampleData *s, uint32_t seed) { Hat(s, seed, 0.4f, 0.12f); }},
		{"tom", [](SampleData *s, uint32_t) { Tom(s); }},
		{"crash", [](SampleData *s, uint32_t seed) { Crash(s, seed); }},
		{"chippulse12", [](SampleData *s, uint32_t) { ChipPulse(0.125f, s); }},
		{"chippulse25", [](SampleData *s, uint32_t) { ChipPulse(0.25f, s); }},
		{"chipsquare", [](SampleData *s, uint32_t) { ChipPulse(0.5f, s); }},
		{"chiptriangle", [](SampleData *s, uint32_t) { ChipTriangle(s); }},
		{"chipkick", [](SampleData *s, uint32_t) { ChipKick(s); }},
		{"chipsnare", [](SampleData *s, uint32_t) { ChipNoiseHit(s, 0.2f, 0.05f, 14000.0f, false); }},
		{"chiphat", [](SampleData *s, uint32_t) { ChipNoiseHit(s, 0.05f, 0.012f, 44000.0f, false); }},
		{"chipopenhat", [](SampleData *s, uint32_t) { ChipNoiseHit(s, 0.25f, 0.08f, 44000.0f, false); }},
		{"chipcrash", [](SampleData *s, uint32_t) { ChipNoiseHit(s, 0.8f, 0.25f, 30000.0f, true); }},
		{"chiptom", [](SampleData *s, uint32_t) { ChipTom(s); }},
	};
	return makers;
}

}

bool SynthesiseSample(const std::string &wave, uint32_t seed, SampleData *out)
{
	auto it = Makers().find(wave);
	if (it == Makers().end())
		return false;
	SampleData made;
	it->second(&made, seed);
	*out = std::move(made);
	return true;
}

const char *KnownWaveNames()
{
	static std::string names;
	if (names.empty())
		for (const auto &entry : Makers())
			names += (names.empty() ? "" : " ") + entry.first;
	return names.c_str();
}
