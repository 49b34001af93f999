#include "engine/core/MathUtil.h"

#define GLM_ENABLE_EXPERIMENTAL
#include <glm/gtx/quaternion.hpp>

#include <cmath>
#include <initializer_list>

namespace {
constexpr float kReferenceFrameRate = 60.0f; // frames per second at which SmoothFactor returns rate unchanged
constexpr float kParallelSquared = 1e-12f;   // squared cross product below which two directions are parallel
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

float ClampAbs(float x, float limit)
{
	const float bound = std::fabs(limit);
	return Clamp(x, -bound, bound);
}

float LerpClamped(float a, float b, float t)
{
	const float u = Clamp01(t);
	return a * (1.0f - u) + b * u;
}

Vec3 ApproachVec3(const Vec3 &current, const Vec3 &target, float t)
{
	return Vec3(LerpClamped(current.x, target.x, t), LerpClamped(current.y, target.y, t),
		LerpClamped(current.z, target.z, t));
}

Vec3 SmoothApproachVec3(const Vec3 &current, const Vec3 &target, float rate, float frameTime)
{
	return ApproachVec3(current, target, SmoothFactor(rate, frameTime));
}

float Vec3Length(const Vec3 &v)
{
	const float squared = v.x * v.x + v.y * v.y + v.z * v.z;
	if (!std::isfinite(squared))
		return 0.0f;
	return std::sqrt(squared);
}

Vec3 ClampLength(const Vec3 &v, float maxLength)
{
	const float length = Vec3Length(v);
	if (length <= maxLength || length <= 0.0f)
		return v;
	return v * (maxLength / length);
}

Vec3 NormalizedOr(const Vec3 &v, const Vec3 &fallback)
{
	const float length = Vec3Length(v);
	return length > 0.0f ? v / length : fallback;
}

bool IsWithinRange(const Vec3 &a, const Vec3 &b, float range)
{
	const Vec3 d = a - b;
	return glm::dot(d, d) < range * range;
}

glm::quat LookRotation(const Vec3 &direction, const Vec3 &up)
{
	const float length = Vec3Length(direction);
	const Vec3 forward = length > 0.0f ? direction / length : Vec3(0.0f, 0.0f, 1.0f);
	// An up along the direction (or none) leaves the roll open; any roll
	// will do then, as long as the look is right.
	const Vec3 side = glm::cross(up, forward);
	if (!(glm::dot(side, side) > kParallelSquared))
		return glm::rotation(Vec3(0.0f, 0.0f, -1.0f), forward);
	return glm::quatLookAtRH(forward, up);
}

glm::quat SlerpApproach(const glm::quat &current, const glm::quat &target, float rate, float frameTime)
{
	return glm::slerp(current, target, SmoothFactor(rate, frameTime));
}

Vec3 SnapDirectionToAxis(const Vec3 &v)
{
	if (std::fabs(v.x) > std::fabs(v.z))
		return Vec3(v.x > 0.0f ? 1.0f : -1.0f, 0.0f, 0.0f);
	if (v.z == 0.0f)
		return Vec3(0.0f);
	return Vec3(0.0f, 0.0f, v.z > 0.0f ? 1.0f : -1.0f);
}

Vec3 DirectionToVector(uint32_t direction)
{
	switch (direction) {
	case kDirectionNorth:
		return Vec3(0.0f, 0.0f, -1.0f);
	case kDirectionEast:
		return Vec3(1.0f, 0.0f, 0.0f);
	case kDirectionSouth:
		return Vec3(0.0f, 0.0f, 1.0f);
	case kDirectionWest:
		return Vec3(-1.0f, 0.0f, 0.0f);
	default:
		return Vec3(0.0f);
	}
}

bool SphereOutsideView(const glm::mat4 &clip, const Vec3 &centre, float radius)
{
	// Each plane is the fourth row of the matrix plus or minus one of the
	// first three; a point p is inside it when dot(plane, (p, 1)) >= 0.
	const glm::vec4 rowW(clip[0][3], clip[1][3], clip[2][3], clip[3][3]);
	for (int axis = 0; axis < 3; axis++) {
		const glm::vec4 row(clip[0][axis], clip[1][axis], clip[2][axis], clip[3][axis]);
		for (float side : {1.0f, -1.0f}) {
			const glm::vec4 plane = rowW + side * row;
			const float length = glm::length(glm::vec3(plane));
			if (!(length > 0.0f))
				continue;
			const float distance = (glm::dot(glm::vec3(plane), centre) + plane.w) / length;
			if (distance < -radius)
				return true;
		}
	}
	return false;
}
