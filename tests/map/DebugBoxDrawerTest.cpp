#include "map/DebugBoxDrawer.h"

#include <glm/gtc/quaternion.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/TileMap.h"
#include "support/ExpectVec.h"
#include "support/SharedRenderer.h"
#include "support/WindowPixels.h"

namespace {

constexpr float kHalfEdge = DebugBoxDrawer::kEdgeWidth * 0.5f;
constexpr float kSlack = 1e-4f; // float rounding of the built corners

struct Bounds {
	Vec3 min = Vec3(1e9f);
	Vec3 max = Vec3(-1e9f);
};

Bounds MeshBounds(const Mesh &mesh)
{
	Bounds b;
	for (const glm::vec3 &p : mesh.GetPositions()) {
		b.min = glm::min(b.min, p);
		b.max = glm::max(b.max, p);
	}
	return b;
}

// The outline the drawer built reaches half a strip past the box on every side.
void ExpectOutlineOf(const Mesh &mesh, const Vec3 &centre, const Vec3 &size)
{
	ASSERT_FALSE(mesh.GetPositions().empty());
	Bounds b = MeshBounds(mesh);
	ExpectVecNear(centre - size * 0.5f - Vec3(kHalfEdge), b.min, kSlack);
	ExpectVecNear(centre + size * 0.5f + Vec3(kHalfEdge), b.max, kSlack);
}

// Whether the point lies on the triangle (in its plane, inside its edges).
bool TriangleHolds(const glm::vec3 &a, const glm::vec3 &b, const glm::vec3 &c, const glm::vec3 &p)
{
	glm::vec3 n = glm::cross(b - a, c - a);
	float area2 = glm::length(n);
	if (area2 < 1e-9f)
		return false;
	if (std::fabs(glm::dot(p - a, n / area2)) > kSlack)
		return false;
	float u = glm::dot(glm::cross(c - b, p - b), n) / (area2 * area2);
	float v = glm::dot(glm::cross(a - c, p - c), n) / (area2 * area2);
	float w = 1.0f - u - v;
	return u >= -kSlack && v >= -kSlack && w >= -kSlack;
}

// The shortest height of the triangle: how wide the strip it belongs to is.
float TriangleThickness(const glm::vec3 &a, const glm::vec3 &b, const glm::vec3 &c)
{
	float area2 = glm::length(glm::cross(b - a, c - a));
	float longest = std::max({glm::length(b - a), glm::length(c - b), glm::length(a - c)});
	return longest > 0.0f ? area2 / longest : 0.0f;
}

// An entity holding a collider of the given size, listed by the scene in
// the given life state. Deleting it takes it out of the scene.
std::unique_ptr<Entity> EntityWithBox(Scene &scene, const Vec3 &position, const Vec3 &size, uint32_t lifeState)
{
	auto entity = std::make_unique<Entity>();
	entity->transform.SetPosition(position);
	entity->collider = new Collider(entity.get(), size, Vec3(0.0f));
	scene.AddEntity(entity.get());
	entity->lifeState = lifeState;
	return entity;
}

class DebugBoxDrawerGL : public SharedRendererTest {
protected:
	static constexpr int kWidth = 600;
	static constexpr int kHeight = 360;
	static constexpr int kWindow = 11;		 // pixels across the square read around a point
	static constexpr int kDarkSum = 60;		 // r + g + b below this is the black outline
	static constexpr float kClearRed = 0.2f; // the sky behind the boxes
	static constexpr float kClearGreen = 0.4f;
	static constexpr float kClearBlue = 0.6f;

	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		camera.clearColor = Vec3(kClearRed, kClearGreen, kClearBlue);
		camera.transform.position = Vec3(0.0f, 0.0f, 10.0f); // looking down -Z at the origin
		Camera::SetCurrent(&camera);
	}

	void BeginFrame()
	{
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
	}

	// The darkest r + g + b in a small square of the scene layer around
	// where the world point lands.
	int DarkestAround(const Vec3 &point) const
	{
		glm::vec4 clip = renderer->GetMatrix(0) * glm::vec4(point, 1.0f);
		int x = (int)std::lround((clip.x / clip.w + 1.0f) * 0.5f * kWidth);
		int up = (int)std::lround((clip.y / clip.w + 1.0f) * 0.5f * kHeight); // rows from the bottom
		int y = kHeight - 1 - up;
		std::vector<uint8_t> pixels =
			ReadLayerRect(*renderer, Renderer::kLayerScene, x - kWindow / 2, y - kWindow / 2, kWindow, kWindow);
		int darkest = 3 * 255;
		for (size_t i = 0; i < pixels.size(); i += 4)
			darkest = std::min(darkest, pixels[i] + pixels[i + 1] + pixels[i + 2]);
		return darkest;
	}

	void ExpectLine(const Vec3 &point, bool drawn, const char *where) const
	{
		SCOPED_TRACE(where);
		int darkest = DarkestAround(point);
		if (drawn)
			EXPECT_LT(darkest, kDarkSum) << "no outline near the point";
		else
			EXPECT_GT(darkest, kDarkSum) << "something drawn near the point";
	}

	Camera camera;
};

}

// ---------------------------------------------------------------------------
// The geometry, on the CPU.

// Every box becomes thin strips along its twelve edges: the faces stay open
// so what is inside the box shows, every edge is covered, and nothing lies
// outside the box by more than half a strip.
TEST(DebugBoxDrawer, OutlinesTheTwelveEdgesOfTheBox)
{
	struct Row {
		const char *name;
		Vec3 centre, size;
	};
	const Row rows[] = {
		{"cube at the origin", {0, 0, 0}, {2, 2, 2}},
		{"flat slab away from the origin", {10, -1, 4}, {6, 0.5f, 3}},
		{"tall post", {-3, 2, -7}, {0.2f, 4, 0.2f}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		DebugBoxDrawer drawer;
		drawer.DrawBox(row.centre, row.size);
		const Mesh &mesh = drawer.GetMesh();
		ExpectOutlineOf(mesh, row.centre, row.size);

		const std::vector<glm::vec3> &p = mesh.GetPositions();
		const std::vector<uint32_t> &index = mesh.GetIndices();
		ASSERT_EQ(index.size() % 3, 0u);
		for (size_t t = 0; t < index.size(); t += 3)
			EXPECT_LE(TriangleThickness(p[index[t]], p[index[t + 1]], p[index[t + 2]]),
				DebugBoxDrawer::kEdgeWidth + kSlack)
				<< "triangle " << t / 3 << " fills more than a strip";

		// Each edge is covered at its middle and next to both its corners.
		const Vec3 half = row.size * 0.5f;
		for (int axis = 0; axis < 3; axis++)
			for (int sa = -1; sa <= 1; sa += 2)
				for (int sb = -1; sb <= 1; sb += 2) {
					Vec3 middle = row.centre;
					middle[(axis + 1) % 3] += half[(axis + 1) % 3] * (float)sa;
					middle[(axis + 2) % 3] += half[(axis + 2) % 3] * (float)sb;
					for (float along : {-0.99f, 0.0f, 0.99f}) {
						Vec3 point = middle;
						point[axis] += half[axis] * along;
						bool covered = false;
						for (size_t t = 0; t < index.size() && !covered; t += 3)
							covered = TriangleHolds(p[index[t]], p[index[t + 1]], p[index[t + 2]], point);
						EXPECT_TRUE(covered) << "edge along axis " << axis << " at " << along;
					}
				}
	}
}

// The collider's box is rebuilt from where its owner stands now, so a box
// drawn after the owner moved or turned follows it.
TEST(DebugBoxDrawer, CollidersAreDrawnWhereTheirOwnersStandNow)
{
	struct Row {
		const char *name;
		Vec3 offset;
		Vec3 movedTo;
		float turnDegrees; // about +Y
		Vec3 centre, size; // of the box drawn
	};
	const Row rows[] = {
		{"moved", {0, 0, 0}, {5, 0, -3}, 0, {5, 0, -3}, {1, 2, 3}},
		{"moved, with an offset", {0, 1, 0}, {-2, 4, 2}, 0, {-2, 5, 2}, {1, 2, 3}},
		{"a quarter turn swaps x and z", {0, 0, 0}, {1, 1, 1}, 90, {1, 1, 1}, {3, 2, 1}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Entity owner;
		owner.collider = new Collider(&owner, Vec3(1, 2, 3), row.offset);
		owner.collider->UpdateBounds();
		owner.transform.SetPosition(row.movedTo);
		owner.transform.SetRotation(glm::angleAxis(glm::radians(row.turnDegrees), glm::vec3(0, 1, 0)));
		DebugBoxDrawer drawer;
		drawer.DrawCollider(*owner.collider);
		ExpectOutlineOf(drawer.GetMesh(), row.centre, row.size);
	}
}

// A map object's rectangle runs from the middle of its first tile to the
// middle of the tile its extent reaches, on the ground there, two units high.
TEST(DebugBoxDrawer, MapObjectsAreDrawnOverTheirTiles)
{
	struct Row {
		const char *name;
		float tileSize;
		uint16_t x, y, w, h;
		Vec3 centre, size;
	};
	// A 12 x 10 map of level-2 ground, 0.75 high.
	const Row rows[] = {
		{"4 x 2 object", 2.0f, 2, 3, 4, 2, {7.99f, 0.75f, 7.99f}, {8, 2, 4}},
		{"object of no extent", 2.0f, 5, 1, 0, 0, {9.99f, 0.75f, 1.99f}, {0, 2, 0}},
		{"bigger tiles", 3.0f, 0, 0, 2, 6, {2.99f, 0.75f, 8.99f}, {6, 2, 18}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		TileMap map;
		TileMapData &data = map.GetMapData();
		data.width = 12;
		data.height = 10;
		data.tileSize = row.tileSize;
		MapTile ground;
		ground.kind = 1;
		ground.level = 2;
		ground.secondLevel = 2;
		data.tiles.assign((size_t)data.width * data.height, ground);
		MapObjectDef object;
		object.x = row.x;
		object.y = row.y;
		object.w = row.w;
		object.h = row.h;
		DebugBoxDrawer drawer;
		drawer.DrawMapObject(map, object);
		ExpectOutlineOf(drawer.GetMesh(), row.centre, row.size);
	}
}

// The last box a scene pass draws is the facing marker of the last entity
// that gets one; entities without a collider or not active get nothing.
TEST(DebugBoxDrawer, ScenePassSkipsEntitiesWithoutBoxOrNotActive)
{
	enum Who { kFirst, kLast };
	struct Row {
		const char *name;
		bool lastHasCollider;
		uint32_t lastState;
		Who marked; // whose marker is drawn last
	};
	const Row rows[] = {
		{"added entity gets a marker", true, kLifeAdded, kLast},
		{"running entity gets a marker", true, kLifeRunning, kLast},
		{"no collider, no marker", false, kLifeRunning, kFirst},
		{"paused entity, no marker", true, kLifePaused, kFirst},
	};
	const Vec3 firstAt(1, 0, 1), lastAt(-4, 2, 6);
	const Vec3 marker(DebugBoxDrawer::kMarkerSize);
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Scene scene;
		auto first = EntityWithBox(scene, firstAt, Vec3(1), kLifeRunning);
		auto last = EntityWithBox(scene, lastAt, Vec3(1), row.lastState);
		// Facing +X: the marker floats one unit east of it and one up.
		last->transform.SetRotation(glm::angleAxis(glm::radians(-90.0f), glm::vec3(0, 1, 0)));
		if (!row.lastHasCollider) {
			delete last->collider;
			last->collider = nullptr;
		}
		DebugBoxDrawer drawer;
		drawer.DrawScene(scene);
		if (row.marked == kLast)
			ExpectOutlineOf(drawer.GetMesh(), lastAt + Vec3(1, 1, 0), marker);
		else
			ExpectOutlineOf(drawer.GetMesh(), firstAt + Vec3(0, 1, -1), marker);
	}

	// A scene with nothing to outline draws nothing.
	Scene scene;
	auto paused = EntityWithBox(scene, firstAt, Vec3(1), kLifePaused);
	DebugBoxDrawer drawer;
	drawer.DrawScene(scene);
	EXPECT_TRUE(drawer.GetMesh().GetPositions().empty());
}

// ---------------------------------------------------------------------------
// Drawn by the real renderer on the offscreen driver.

// In a picture, a box shows as its outline, black, with the scene visible
// through its faces; whatever the render mode was, it is put back.
TEST_F(DebugBoxDrawerGL, BoxShowsAsItsOutlineAndRenderModeIsPutBack)
{
	const uint32_t modes[] = {Renderer::kRenderModeNormal, Renderer::kRenderModeWireframe,
		Renderer::kRenderModeDepthless};
	for (uint32_t mode : modes) {
		SCOPED_TRACE("render mode " + std::to_string(mode));
		BeginFrame();
		renderer->SetRenderMode(mode);
		DebugBoxDrawer drawer;
		drawer.DrawBox(Vec3(0, -1, 0), Vec3(1));
		EXPECT_EQ(renderer->GetRenderMode(), mode);
		renderer->SetRenderMode(Renderer::kRenderModeNormal);

		ExpectLine(Vec3(0.5f, -1, 0.5f), true, "right edge of the front face");
		ExpectLine(Vec3(0, -0.5f, 0.5f), true, "top edge of the front face");
		ExpectLine(Vec3(0, -1, 0.5f), false, "middle of the front face");
		ExpectLine(Vec3(-3.5f, -1, 0.5f), false, "well beside the box");
		renderer->EndFrame();
	}
}
