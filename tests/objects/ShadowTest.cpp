// Where the blob under a map entity lies and when it is drawn. The matrix is
// checked on the CPU; drawing without a GL context only records the matrix
// the model was handed.
#include "objects/Shadow.h"

#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "support/GridMap.h"
#include "support/TestWalker.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kGround = 0.75f; // level 2 of the default height step

} // namespace

TEST(Shadow, LiesOnTheGroundBelowItsOwnerOrAtItsFeetWhenSunk)
{
	GridMap grid(3, 3, std::vector<MapTile>(9, Flat(2)));
	struct Row {
		const char *name;
		bool onMap;
		Vec3 owner;
		float size, aspect;
		float y; // before the depth spread
	};
	const Row rows[] = {
		{"in the air", true, Vec3(2.0f, 4.0f, 2.0f), 1.0f, 1.0f, kGround},
		{"standing", true, Vec3(2.0f, kGround, 2.0f), 1.0f, 1.0f, kGround},
		{"sunk below the ground", true, Vec3(2.0f, -3.0f, 2.0f), 1.0f, 1.0f, -3.0f},
		{"no map: at its own height", false, Vec3(2.0f, 4.0f, 2.0f), 1.0f, 1.0f, 4.0f},
		{"stretched and sized", true, Vec3(2.0f, kGround, 2.0f), 1.5f, 2.0f, kGround},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Walker owner(row.onMap ? &grid.map : nullptr);
		owner.SetPosition(row.owner);
		Shadow &shadow = *owner.shadow;
		shadow.aspect = row.aspect;
		const glm::mat4 m = shadow.ComputeMatrix(row.size);
		const float spread = std::fmod(row.owner.z, 0.005f);
		EXPECT_NEAR(m[3].x, row.owner.x, 1e-6f);
		EXPECT_NEAR(m[3].y, row.y + 0.01f - spread, 1e-5f);
		EXPECT_NEAR(m[3].z, row.owner.z, 1e-6f);
		EXPECT_NEAR(m[0].x, row.size * row.aspect, 1e-6f);
		EXPECT_NEAR(m[1].y, row.size, 1e-6f);
		EXPECT_NEAR(m[2].z, row.size, 1e-6f);
	}

	// Blobs side by side at one height differ a little with z, never more
	// than the spread.
	Walker a(&grid.map);
	Walker b(&grid.map);
	a.SetPosition(Vec3(2.0f, kGround, 2.0010f));
	b.SetPosition(Vec3(2.0f, kGround, 2.0035f));
	const float ya = a.shadow->ComputeMatrix(1.0f)[3].y;
	const float yb = b.shadow->ComputeMatrix(1.0f)[3].y;
	EXPECT_NE(ya, yb);
	EXPECT_LE(std::fabs(ya - yb), 0.005f);
}

TEST(Shadow, DrawnOnlyForAnActiveVisibleOwnerWithASize)
{
	struct Row {
		const char *name;
		bool inScene;
		bool paused;
		bool visible;
		float shadowSize;
		bool drawn;
	};
	const Row rows[] = {
		{"active, visible, sized", true, false, true, 1.0f, true},
		{"no size", true, false, true, 0.0f, false},
		{"the smallest size", true, false, true, 0.001f, false},
		{"deactivated", true, true, true, 1.0f, false},
		{"invisible", true, false, false, 1.0f, false},
		{"in no scene", false, false, true, 1.0f, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Scene scene;
		Walker owner(nullptr);
		owner.SetPosition(Vec3(1.0f, 2.0f, 3.0f));
		if (row.inScene)
			scene.AddEntity(&owner);
		if (row.paused)
			owner.SetActive(false);
		owner.SetVisible(row.visible);
		owner.shadowSize = row.shadowSize;
		owner.Render();
		const glm::mat4 &last = owner.shadow->model.GetLastMatrix();
		EXPECT_EQ(last != glm::mat4(1.0f), row.drawn);
		if (row.drawn) {
			const glm::mat4 expected = owner.shadow->ComputeMatrix(row.shadowSize) * owner.shadow->model.GetTransform().GetMatrix();
			EXPECT_NEAR(last[3].y, expected[3].y, 1e-6f);
			EXPECT_NEAR(last[0].x, expected[0].x, 1e-6f);
		}
	}
}

TEST(Shadow, ShapesPickTheirMaskWithTheShadowShader)
{
	Walker owner(nullptr);
	Shadow &shadow = *owner.shadow;
	struct Row {
		uint32_t shape;
		const char *mask;
	};
	const Row rows[] = {
		{Shadow::kShapeRectangle, "mats/smask-rect.png"},
		{Shadow::kShapeCircle, "mats/smask-circ.png"},
		{7, "mats/smask-circ.png"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.mask);
		shadow.SetShape(row.shape);
		ASSERT_TRUE(shadow.material.IsValid());
		EXPECT_EQ(shadow.material.Get()->GetTextureHash(), HashName(row.mask));
		EXPECT_EQ(shadow.material.Get()->GetShaderHash(), HashName("shaders/shadow.dsh"));
		EXPECT_EQ(shadow.model.GetMaterial().Get(), shadow.material.Get());
	}
}
