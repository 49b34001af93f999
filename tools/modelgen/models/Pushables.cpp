// The props that move: "models/crate.iqm" (a plank box with a lid rim and
// corner posts, standing on its origin), "models/boulder.iqm" (a lumpy rock
// round its origin, which the game lifts and rolls) and "models/lavaball.iqm"
// (a glob round a point a little above its origin, squashed flat by the game
// when it lands). The rocks carry no joints; their texture is wrapped round
// them by longitude and latitude.
#include "Models.h"
#include "MeshHelpers.h"

#include "../ModelBuilder.h"

#include <glm/glm.hpp>

#include <cmath>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

using mesh::AddVertex;
using mesh::Finish;

// A ball of rings x segments quads whose radius each point multiplies by
// bump(longitude, latitude); shared vertices, so it shades smoothly.
template <class Bump>
void AddBall(IqmModel &model, const glm::vec3 &centre, float radius, int rings, int segments, Bump bump)
{
	const uint32_t base = (uint32_t)model.vertices.size();
	for (int r = 0; r <= rings; r++) {
		const float lat = kPi * r / rings; // 0 at the top (+Z)
		for (int s = 0; s <= segments; s++) {
			const float lon = 2.0f * kPi * (s % segments) / segments;
			const glm::vec3 dir(std::sin(lat) * std::cos(lon), std::sin(lat) * std::sin(lon), std::cos(lat));
			const float k = (r == 0 || r == rings) ? 1.0f : bump(s % segments, r);
			AddVertex(model, centre + dir * radius * k, glm::vec2((float)s / segments, (float)r / rings), dir);
		}
	}
	const uint32_t row = (uint32_t)segments + 1;
	for (uint32_t r = 0; r < (uint32_t)rings; r++) {
		for (uint32_t s = 0; s < (uint32_t)segments; s++) {
			const uint32_t a = base + r * row + s, b = a + 1, c = a + row, d = c + 1;
			model.triangles.push_back({a, c, b});
			model.triangles.push_back({b, c, d});
		}
	}
}

void AddBlock(ModelBuilder &b, const glm::vec3 &centre, const glm::vec3 &half)
{
	BoxShape box;
	box.bottom = {centre.x, centre.y, centre.z - half.z};
	box.top = {centre.x, centre.y, centre.z + half.z};
	box.bottomHalf = box.topHalf = {half.x, half.y};
	box.skin = BoxSkin::All({0, 0, 1, 1});
	box.bottomRing = box.topRing = {0, -1, 0.0f};
	b.AddBox(box);
}

} // namespace

bool BuildCrate(IqmModel *out, std::string *error)
{
	constexpr float kHalf = 0.65f;   // half width of the body
	constexpr float kHeight = 1.0f;
	constexpr float kPost = 0.08f;   // half width of a corner post
	constexpr float kRim = 0.06f;    // half height of the lid rim
	ModelBuilder b(1, 1);
	b.AddJoint("B_Root", -1, {0, 0, 0});
	AddBlock(b, {0, 0, kHeight * 0.5f}, {kHalf, kHalf, kHeight * 0.5f});
	for (float x : {-kHalf, kHalf})
		for (float y : {-kHalf, kHalf})
			AddBlock(b, {x, y, kHeight * 0.5f}, {kPost, kPost, kHeight * 0.5f});
	AddBlock(b, {0, 0, kHeight - kRim}, {kHalf + 0.03f, kHalf + 0.03f, kRim});
	AddBlock(b, {0, 0, kRim}, {kHalf + 0.03f, kHalf + 0.03f, kRim});
	return b.Finish("crate", "crate", out, error);
}

bool BuildBoulder(IqmModel *out, std::string *error)
{
	IqmModel model;
	// Fixed lumps so the rock looks hewn, not turned.
	AddBall(model, glm::vec3(0), 0.75f, 8, 12, [](int s, int r) {
		return 1.0f + 0.08f * std::sin(2.3f * s + 1.7f * r) + 0.05f * std::cos(3.1f * r - 0.9f * s);
	});
	return Finish("boulder", model, out, error);
}

bool BuildLavaBall(IqmModel *out, std::string *error)
{
	IqmModel model;
	AddBall(model, glm::vec3(0, 0, 0.25f), 0.6f, 8, 10, [](int s, int r) {
		return 1.0f + 0.06f * std::sin(3.0f * s + 2.0f * r);
	});
	return Finish("lavaball", model, out, error);
}
