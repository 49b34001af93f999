#include "engine/core/Random.h"

namespace {
constexpr uint32_t kMultiplier = 1103515245u;
constexpr uint32_t kIncrement = 12345u;
constexpr int32_t kModulus = 2147483647;  // 2^31 - 1, applied as a signed remainder
constexpr float kUnsignedScale = 2147483648.0f; // 2^31
} // namespace

uint32_t Random::Next()
{
	// The product wraps modulo 2^32 in unsigned arithmetic; only then is it
	// read as signed, so no signed overflow happens.
	const int32_t mixed = static_cast<int32_t>(state * kMultiplier + kIncrement);
	state = static_cast<uint32_t>(mixed % kModulus);
	return state;
}

float Random::NextFloat()
{
	return static_cast<float>(Next()) / kUnsignedScale * 0.5f;
}

float Random::Range(float lo, float hi)
{
	return lo + NextFloat() * (hi - lo);
}

float Random::Spread(float x)
{
	return Range(-x, x);
}

Random *GetRandom()
{
	static Random generator;
	return &generator;
}
