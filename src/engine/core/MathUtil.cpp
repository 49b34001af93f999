#include "engine/core/MathUtil.h"

#include <cmath>

namespace {
constexpr float kReferenceFrameRate = 60.0f; // frames per second at which SmoothFactor returns rate unchanged
} // namespace

float Clamp(float x, float lo, float hi)
{
	if (lo > x)
		return lo;
	if (x > hi)
		return hi;
	return x;
}

float Clamp01(float x)
{
	return Clamp(x, 0.0f, 1.0f);
}

float Min(float a, float b)
{
	return b > a ? a : b;
}

float Max(float a, float b)
{
	return a > b ? a : b;
}

float SmoothFactor(float rate, float frameTime)
{
	return Clamp01(1.0f - std::pow(1.0f - rate, frameTime * kReferenceFrameRate));
}
