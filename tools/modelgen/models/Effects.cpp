// The effect models: "models/fireball.iqm" (a faceted ball of flame),
// "models/electric.iqm" (a long crackling spindle along the line of flight),
// "models/chicken.iqm" (a drumstick), "models/heart.iqm" (a plump heart
// standing upright, facing -Y) and "models/splashwave.iqm" (a crown of water
// flaring up from a ring, its texture wrapped once around). No joints:
// effects move and scale as a whole. Each model's texture is spread over it
// by its own simple projection, since the effect textures are plain sprites.
#include "Models.h"
#include "MeshHelpers.h"

#include <glm/glm.hpp>

#include <cmath>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

using mesh::AddVertex;
using mesh::Finish;

// One flat-shaded triangle, its texture projected from the side (x, z).
void AddFacet(IqmModel &model, const glm::vec3 &a, const glm::vec3 &b, const glm::vec3 &c, float extent)
{
	const glm::vec3 normal = glm::cross(b - a, c - a);
	const uint32_t base = (uint32_t)model.vertices.size();
	for (const glm::vec3 &p : {a, b, c})
		AddVertex(model, p, glm::vec2(0.5f + 0.5f * p.x / extent, 0.5f - 0.5f * p.z / extent), normal);
	model.triangles.push_back({base, base + 1, base + 2});
}

// A closed spindle: a ring of `sides` points at the waist, tips at -length
// and +length along the axis, and the waist's radius.
void AddSpindle(IqmModel &model, const glm::vec3 &centre, const glm::vec3 &axis, float length, float radius,
	int sides, float extent)
{
	const glm::vec3 along = glm::normalize(axis);
	const glm::vec3 helper = std::fabs(along.z) < 0.9f ? glm::vec3(0, 0, 1) : glm::vec3(1, 0, 0);
	const glm::vec3 u = glm::normalize(glm::cross(along, helper));
	const glm::vec3 v = glm::cross(along, u);
	const glm::vec3 tipA = centre - along * length;
	const glm::vec3 tipB = centre + along * length;
	for (int i = 0; i < sides; i++) {
		const float a0 = 2.0f * kPi * i / sides;
		const float a1 = 2.0f * kPi * (i + 1) / sides;
		const glm::vec3 p0 = centre + (u * std::cos(a0) + v * std::sin(a0)) * radius;
		const glm::vec3 p1 = centre + (u * std::cos(a1) + v * std::sin(a1)) * radius;
		AddFacet(model, tipB, p0, p1, extent);
		AddFacet(model, tipA, p1, p0, extent);
	}
}

} // namespace

bool BuildFireball(IqmModel *out, std::string *error)
{
	constexpr float kRadius = 0.5f;
	IqmModel model;
	// Three crossed spindles make a spiky, flickering ball.
	AddSpindle(model, glm::vec3(0), glm::vec3(0, 0, 1), kRadius, kRadius * 0.8f, 6, kRadius);
	AddSpindle(model, glm::vec3(0), glm::vec3(1, 0, 0), kRadius, kRadius * 0.6f, 6, kRadius);
	AddSpindle(model, glm::vec3(0), glm::vec3(0, 1, 0), kRadius * 1.2f, kRadius * 0.6f, 6, kRadius);
	return Finish("fireball", model, out, error);
}

bool BuildElectric(IqmModel *out, std::string *error)
{
	constexpr float kLength = 0.9f; // half length along the line of flight (-Y)
	IqmModel model;
	AddSpindle(model, glm::vec3(0), glm::vec3(0, 1, 0), kLength, 0.18f, 5, kLength);
	AddSpindle(model, glm::vec3(0.15f, 0, 0.1f), glm::vec3(0.2f, 1, 0.1f), kLength * 0.7f, 0.08f, 4, kLength);
	AddSpindle(model, glm::vec3(-0.12f, 0, -0.1f), glm::vec3(-0.2f, 1, -0.15f), kLength * 0.6f, 0.08f, 4, kLength);
	return Finish("electric", model, out, error);
}

bool BuildChicken(IqmModel *out, std::string *error)
{
	IqmModel model;
	// The meaty end, and the bone sticking out of it.
	AddSpindle(model, glm::vec3(0, 0, 0.45f), glm::vec3(0.3f, 0, 1), 0.4f, 0.32f, 7, 0.9f);
	AddSpindle(model, glm::vec3(-0.2f, 0, -0.1f), glm::vec3(0.3f, 0, 1), 0.4f, 0.07f, 4, 0.9f);
	AddSpindle(model, glm::vec3(-0.32f, 0, -0.48f), glm::vec3(1, 0, 0), 0.14f, 0.09f, 4, 0.9f);
	return Finish("chicken", model, out, error);
}

bool BuildHeart(IqmModel *out, std::string *error)
{
	constexpr int kSteps = 24;
	constexpr float kDepth = 0.15f; // half thickness along Y
	constexpr float kSize = 0.05f;  // the outline's units to model units
	IqmModel model;
	// The classic outline x = 16 sin^3 t, z = 13 cos t - 5 cos 2t - 2 cos 3t - cos 4t.
	std::vector<glm::vec3> rim;
	for (int i = 0; i < kSteps; i++) {
		const float t = 2.0f * kPi * i / kSteps;
		const float s = std::sin(t);
		const float x = 16.0f * s * s * s;
		const float z = 13.0f * std::cos(t) - 5.0f * std::cos(2 * t) - 2.0f * std::cos(3 * t) - std::cos(4 * t);
		rim.emplace_back(x * kSize, 0.0f, (z + 3.0f) * kSize);
	}
	const float extent = 16.0f * kSize;
	const glm::vec3 front(0, -kDepth, 0.2f), back(0, kDepth, 0.2f);
	for (int i = 0; i < kSteps; i++) {
		const glm::vec3 a = rim[i], b = rim[(i + 1) % kSteps];
		const glm::vec3 af = a + glm::vec3(0, -kDepth * 0.3f, 0), bf = b + glm::vec3(0, -kDepth * 0.3f, 0);
		const glm::vec3 ab = a + glm::vec3(0, kDepth * 0.3f, 0), bb = b + glm::vec3(0, kDepth * 0.3f, 0);
		AddFacet(model, front, bf, af, extent);
		AddFacet(model, back, ab, bb, extent);
		AddFacet(model, af, bf, bb, extent);
		AddFacet(model, af, bb, ab, extent);
	}
	return Finish("heart", model, out, error);
}

bool BuildSplashWave(IqmModel *out, std::string *error)
{
	// A crown of water thrown up round what fell in: a wall that flares out
	// from its foot to its crest. The effect is launched half a unit under a
	// body that has just sunk below the surface, so the crest must stand a
	// good deal higher than the foot to break the water, which lies 0.3 above
	// the ground, even at its flattest.
	constexpr int kSegments = 24;
	constexpr float kFoot = 0.6f;  // radius at the foot
	constexpr float kCrest = 1.0f; // radius at the crest
	constexpr float kRise = 1.0f;  // height of the crest above the foot
	IqmModel model;
	for (int i = 0; i <= kSegments; i++) {
		const float share = (float)i / kSegments;
		const float angle = 2.0f * kPi * share;
		const glm::vec3 dir(std::cos(angle), std::sin(angle), 0.0f);
		const glm::vec3 outward = glm::normalize(dir * kRise - glm::vec3(0, 0, kCrest - kFoot));
		AddVertex(model, dir * kFoot, glm::vec2(share, 1.0f), outward);
		AddVertex(model, dir * kCrest + glm::vec3(0, 0, kRise), glm::vec2(share, 0.0f), outward);
	}
	for (uint32_t i = 0; i < (uint32_t)kSegments; i++) {
		const uint32_t a = 2 * i, b = a + 1, c = a + 2, d = a + 3;
		model.triangles.push_back({a, c, b});
		model.triangles.push_back({b, c, d});
	}
	return Finish("splashwave", model, out, error);
}
