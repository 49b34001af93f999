#pragma once

#include <glm/glm.hpp>

// The small numeric helpers that the whole program shares: the vector type,
// clamps, min and max with fixed tie and NaN rules, and the frame-rate
// independent smoothing factor. Matrices and quaternions are glm's own.
using Vec3 = glm::vec3;

// lo when lo > x, else hi when x > hi, else x. With lo > hi the lower test
// wins for values below lo; callers rely on that order.
float Clamp(float x, float lo, float hi);
float Clamp01(float x);

// Min returns a when b > a, else b; Max returns a when a > b, else b. So a
// NaN argument yields b in both.
float Min(float a, float b);
float Max(float a, float b);

// The share of a remaining distance to cover this frame so that, at 60
// frames a second, each frame covers `rate` of it. frameTime is in seconds.
float SmoothFactor(float rate, float frameTime);
