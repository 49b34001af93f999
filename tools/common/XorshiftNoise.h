#pragma once
// A small deterministic white-noise source for the sound tools, so that the
// same recipe or song always makes the same bytes on every machine. Each tool
// passes its own stream offset, which picks its sequence for a given seed:
// changing a tool's offset changes every noisy sound it has ever made.
#include <cstdint>

class XorshiftNoise {
public:
	XorshiftNoise(uint32_t seed, uint32_t streamOffset) : state(seed * kSeedSpread + streamOffset) {}

	// The next sample, between -1 and 1.
	float Next()
	{
		state ^= state << 13;
		state ^= state >> 17;
		state ^= state << 5;
		return (state & 0xffffff) / float(0x7fffff) - 1.0f;
	}

private:
	static constexpr uint32_t kSeedSpread = 2654435761u; // golden-ratio multiplier: near seeds start far apart
	uint32_t state;
};
