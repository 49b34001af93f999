#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cstdint>

// The small numeric helpers that the whole program shares: the vector type,
// clamps, min and max with fixed tie and NaN rules, and the frame-rate
// independent smoothing factor, and the vector helpers world objects move
// and turn with. Matrices and quaternions are glm's own.
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

// x held to [-|limit|, |limit|].
float ClampAbs(float x, float limit);
// a (1 - t) + b t with t held to [0, 1].
float LerpClamped(float a, float b, float t);

// Each component moved toward the target by LerpClamped with t.
Vec3 ApproachVec3(const Vec3 &current, const Vec3 &target, float t);
// ApproachVec3 by SmoothFactor(rate, frameTime): the same easing at any
// frame rate.
Vec3 SmoothApproachVec3(const Vec3 &current, const Vec3 &target, float rate, float frameTime);
// The length; 0 for a vector with a NaN or infinite part.
float Vec3Length(const Vec3 &v);
// v when it is no longer than maxLength, else v shortened to maxLength.
Vec3 ClampLength(const Vec3 &v, float maxLength);
// v scaled to length 1, or fallback when v has no direction (zero, or a NaN
// or infinite part, as Vec3Length sees it).
Vec3 NormalizedOr(const Vec3 &v, const Vec3 &fallback);
// True when a and b lie closer than range (squared distances compared).
bool IsWithinRange(const Vec3 &a, const Vec3 &b, float range);
// True when the sphere lies wholly outside one of the six planes of the view
// volume that the projection-times-view matrix clip maps to [-w, w]. A sphere
// that only might be seen counts as seen, as does anything with a NaN.
bool SphereOutsideView(const glm::mat4 &clip, const Vec3 &centre, float radius);

// The rotation that turns the local -Z axis along direction with +Y kept
// near up; a direction that cannot be normalised looks along +Z.
glm::quat LookRotation(const Vec3 &direction, const Vec3 &up);
// Turns current toward target along the shorter arc by SmoothFactor(rate,
// frameTime).
glm::quat SlerpApproach(const glm::quat &current, const glm::quat &target, float rate, float frameTime);

// Compass codes of map scripts and exits.
constexpr uint8_t kDirectionNone = 0;
constexpr uint8_t kDirectionNorth = 1; // toward -Z, up the map
constexpr uint8_t kDirectionEast = 2;  // toward +X
constexpr uint8_t kDirectionSouth = 3; // toward +Z
constexpr uint8_t kDirectionWest = 4;  // toward -X
// The unit vector of a compass code; zero for none and unknown codes.
Vec3 DirectionToVector(uint32_t direction);
// The vector snapped to its dominant horizontal axis: x wins only when
// strictly larger; a vector with no z and no larger x is no direction.
Vec3 SnapDirectionToAxis(const Vec3 &v);
