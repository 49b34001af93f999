#pragma once

#include <cstdint>

// The program's own pseudo-random generator: a linear congruential step on
// one 32-bit word. The shared instance from GetRandom is never seeded, so
// every run draws the same sequence, which keeps shakes, name picks and
// particle spreads reproducible. A copy continues the same sequence.
class Random {
public:
	Random() = default;
	explicit Random(uint32_t seed) : state(seed) {}

	// Starts the sequence over from seed.
	void Seed(uint32_t seed) { state = seed; }

	// Advances the state and returns it. The state is kept as a signed
	// remainder, so values read unsigned may lie at or above 2^31.
	uint32_t Next();
	// From 0 to 1: non-negative states give [0, 0.5), negative ones (read
	// unsigned) [0.5, 1].
	float NextFloat();
	// lo + NextFloat() * (hi - lo).
	float Range(float lo, float hi);
	// Range(-x, x).
	float Spread(float x);

private:
	uint32_t state = 0;
};

// The program-wide generator.
Random *GetRandom();
