#include "engine/render/Mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/ExpectVec.h"

namespace {

const glm::vec3 kUp(0.0f, 1.0f, 0.0f);

std::vector<glm::vec3> Points(uint32_t count, float x = 0.0f)
{
	std::vector<glm::vec3> points;
	for (uint32_t i = 0; i < count; i++)
		points.emplace_back(x + (float)i, (float)i * 0.5f, -(float)i);
	return points;
}

// Every index of the mesh names a stored position: what the renderer needs
// to read nothing past its vertex buffer.
void ExpectIndicesInsidePositions(const Mesh &mesh)
{
	for (uint32_t index : mesh.GetIndices())
		ASSERT_LT(index, mesh.GetPositions().size());
}

}

TEST(Mesh, QuadsAppendFourVerticesAndTwoTrianglesEach)
{
	Mesh mesh;
	const glm::vec3 color(0.25f, 0.5f, 0.75f);
	mesh.AddQuad(glm::vec3(1, 2, 3), glm::vec3(4, 5, 3), glm::vec2(0.1f, 0.2f), glm::vec2(0.3f, 0.4f), color);
	mesh.AddQuad(glm::vec3(0, 0, 0), glm::vec3(1, 0, 1), glm::vec2(0, 0), glm::vec2(1, 1), color);

	EXPECT_EQ(mesh.GetPositions().size(), 8u);
	EXPECT_EQ(mesh.GetUVs().size(), 8u);
	EXPECT_EQ(mesh.GetColors().size(), 8u);
	EXPECT_EQ(mesh.GetNormals().size(), 8u);
	const std::vector<uint32_t> expected = {0, 1, 3, 3, 1, 2, 4, 5, 7, 7, 5, 6};
	EXPECT_EQ(mesh.GetIndices(), expected);

	// Corners run c0, (c1.x, c0.y), c1, (c0.x, c1.y), and the UVs with them.
	const glm::vec3 corners[] = {{1, 2, 3}, {4, 2, 3}, {4, 5, 3}, {1, 5, 3}};
	const glm::vec2 uvs[] = {{0.1f, 0.2f}, {0.3f, 0.2f}, {0.3f, 0.4f}, {0.1f, 0.4f}};
	for (int i = 0; i < 4; i++) {
		SCOPED_TRACE("vertex " + std::to_string(i));
		ExpectVecNear(corners[i], mesh.GetPositions()[i]);
		EXPECT_EQ(mesh.GetUVs()[i], uvs[i]);
		EXPECT_EQ(mesh.GetColors()[i], color);
	}
}

TEST(Mesh, QuadNormalsFollowTheCornersOrFallBackToUp)
{
	struct Row {
		const char *name;
		glm::vec3 c0, c1;
		glm::vec3 normal;
	};
	const Row rows[] = {
		{"flat floor", {0, 0, 0}, {1, 0, 1}, {0, 1, 0}},
		{"wall facing -Z", {0, 0, 0}, {1, 1, 0}, {0, 0, -1}},
		{"large wall is still unit length", {-50, -20, 4}, {50, 80, 4}, {0, 0, -1}},
		{"corners differing in x only", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
		{"one point", {2, 2, 2}, {2, 2, 2}, {0, 1, 0}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Mesh mesh;
		mesh.AddQuad(row.c0, row.c1, glm::vec2(0), glm::vec2(1), glm::vec3(1));
		ASSERT_EQ(mesh.GetNormals().size(), 4u);
		for (const glm::vec3 &normal : mesh.GetNormals())
			ExpectVecNear(row.normal, normal);
	}
}

TEST(Mesh, FacingQuadIsCentredAndFacesItsDirection)
{
	Mesh mesh;
	mesh.AddFacingQuad(glm::vec3(0, 0, 1), glm::vec2(2, 4));
	ASSERT_EQ(mesh.GetPositions().size(), 4u);
	ExpectVecNear(glm::vec3(-1, -2, 0), mesh.GetPositions()[0]);
	ExpectVecNear(glm::vec3(1, 2, 0), mesh.GetPositions()[2]);
	EXPECT_EQ(mesh.GetColors()[0], glm::vec3(1));
	EXPECT_EQ(mesh.GetUVs()[0], glm::vec2(0, 1));

	// Along X the construction collapses to a point.
	Mesh flat;
	flat.AddFacingQuad(glm::vec3(1, 0, 0), glm::vec2(2, 4));
	ExpectVecNear(flat.GetPositions()[0], flat.GetPositions()[2]);
}

TEST(Mesh, PolygonsAppendFansAndLineUpTheirArrays)
{
	struct Row {
		const char *name;
		uint32_t basePositions, baseUVs, baseNormals;
		uint32_t vertices;
		std::vector<uint32_t> indices; // the new tail of the index array
	};
	const Row rows[] = {
		{"pentagon after four vertices", 4, 4, 4, 5, {4, 5, 6, 4, 6, 7, 4, 7, 8}},
		{"triangle on an empty mesh", 0, 0, 0, 3, {0, 1, 2}},
		{"short UVs are padded", 4, 2, 4, 3, {4, 5, 6}},
		{"long UVs and normals are cut", 2, 6, 5, 4, {2, 3, 4, 2, 4, 5}},
		{"two vertices add nothing", 4, 4, 4, 2, {}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Mesh mesh;
		mesh.AppendPositions(Points(row.basePositions));
		mesh.AppendUVs(std::vector<glm::vec2>(row.baseUVs, glm::vec2(7, 7)));
		mesh.AppendNormals(std::vector<glm::vec3>(row.baseNormals, glm::vec3(0, 0, 1)));
		std::vector<glm::vec3> positions = Points(row.vertices, 100.0f);
		std::vector<glm::vec2> uvs(row.vertices, glm::vec2(0.5f, 0.25f));
		std::vector<glm::vec3> normals(row.vertices, glm::vec3(0.0f)); // zero: fixed to up

		mesh.AddPolygon(positions, uvs, normals);

		EXPECT_EQ(mesh.GetIndices(), row.indices);
		if (row.vertices < 3) {
			EXPECT_EQ(mesh.GetPositions().size(), row.basePositions);
			continue;
		}
		uint32_t total = row.basePositions + row.vertices;
		ASSERT_EQ(mesh.GetPositions().size(), total);
		ASSERT_EQ(mesh.GetUVs().size(), total);
		ASSERT_EQ(mesh.GetNormals().size(), total);
		for (uint32_t i = 0; i < row.basePositions; i++) {
			glm::vec2 padded = i < row.baseUVs ? glm::vec2(7, 7) : glm::vec2(0, 0);
			EXPECT_EQ(mesh.GetUVs()[i], padded) << "vertex " << i;
		}
		for (uint32_t i = 0; i < row.vertices; i++) {
			EXPECT_EQ(mesh.GetPositions()[row.basePositions + i], positions[i]);
			EXPECT_EQ(mesh.GetUVs()[row.basePositions + i], uvs[i]);
			EXPECT_EQ(mesh.GetNormals()[row.basePositions + i], kUp);
		}
		ExpectIndicesInsidePositions(mesh);
	}
}

TEST(Mesh, PolygonPositionsLeaveUVsAndNormalsAlone)
{
	Mesh mesh;
	mesh.AppendUVs(std::vector<glm::vec2>(1, glm::vec2(3, 3)));
	mesh.AddPolygonPositions(Points(4));
	const std::vector<uint32_t> fan = {0, 1, 2, 0, 2, 3};
	EXPECT_EQ(mesh.GetIndices(), fan);
	EXPECT_EQ(mesh.GetPositions().size(), 4u);
	EXPECT_EQ(mesh.GetUVs().size(), 1u);
	EXPECT_TRUE(mesh.GetNormals().empty());
}

// Near the vertex limit a quad or polygon that does not fit adds nothing at
// all: its indices would otherwise name vertices that were never stored.
TEST(Mesh, ShapesThatDoNotFitUnderTheVertexLimitAddNothing)
{
	struct Row {
		const char *name;
		uint32_t existing;
		std::function<void(Mesh &)> add;
		uint32_t addedVertices; // 0 when it must not fit
	};
	const uint32_t limit = Mesh::kMaxEntries;
	std::vector<glm::vec3> pentagon = Points(5);
	std::vector<glm::vec2> pentagonUVs(5, glm::vec2(0));
	const Row rows[] = {
		{"quad that fills the last four", limit - 4, [](Mesh &m) { m.AddQuad(glm::vec3(0), glm::vec3(1), glm::vec2(0), glm::vec2(1), glm::vec3(1)); }, 4},
		{"quad one short", limit - 3, [](Mesh &m) { m.AddQuad(glm::vec3(0), glm::vec3(1), glm::vec2(0), glm::vec2(1), glm::vec3(1)); }, 0},
		{"quad on a full mesh", limit, [](Mesh &m) { m.AddQuad(glm::vec3(0), glm::vec3(1), glm::vec2(0), glm::vec2(1), glm::vec3(1)); }, 0},
		{"polygon that fits", limit - 5, [&](Mesh &m) { m.AddPolygon(pentagon, pentagonUVs, pentagon); }, 5},
		{"polygon one short", limit - 4, [&](Mesh &m) { m.AddPolygon(pentagon, pentagonUVs, pentagon); }, 0},
		{"bare polygon that fits", limit - 5, [&](Mesh &m) { m.AddPolygonPositions(pentagon); }, 5},
		{"bare polygon one short", limit - 4, [&](Mesh &m) { m.AddPolygonPositions(pentagon); }, 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Mesh mesh;
		mesh.SetVertexCount((uint16_t)row.existing);
		row.add(mesh);
		EXPECT_EQ(mesh.GetPositions().size(), row.existing + row.addedVertices);
		EXPECT_LE(mesh.GetUVs().size(), limit);
		EXPECT_LE(mesh.GetNormals().size(), limit);
		if (row.addedVertices == 0)
			EXPECT_TRUE(mesh.GetIndices().empty());
		else
			EXPECT_FALSE(mesh.GetIndices().empty());
		ExpectIndicesInsidePositions(mesh);
	}
}

TEST(Mesh, AppendsStopAtTheEntryLimit)
{
	Mesh mesh;
	std::vector<glm::vec3> many(Mesh::kMaxEntries - 2, glm::vec3(1));
	mesh.AppendPositions(many);
	mesh.AppendPositions(Points(5, 9.0f));
	ASSERT_EQ(mesh.GetPositions().size(), Mesh::kMaxEntries);
	// The two that fitted are the first two given.
	EXPECT_EQ(mesh.GetPositions()[Mesh::kMaxEntries - 1], Points(5, 9.0f)[1]);

	std::vector<uint32_t> indices(70000, 1);
	mesh.AppendIndices(indices);
	EXPECT_EQ(mesh.GetIndices().size(), Mesh::kMaxEntries);
	EXPECT_EQ(mesh.GetIndexCount(), Mesh::kMaxEntries);
}

TEST(Mesh, ZeroNormalsBecomeUp)
{
	Mesh mesh;
	const std::vector<glm::vec3> given = {{0, 0, 0}, {0, 0, 1}, {0, -0.0f, 0}, {1e-30f, 0, 0}};
	mesh.AppendNormals(given);
	const std::vector<glm::vec3> expected = {kUp, {0, 0, 1}, kUp, {1e-30f, 0, 0}};
	EXPECT_EQ(mesh.GetNormals(), expected);

	// A normal zeroed in place is still fixed by the next append, and one
	// that arrives through a polygon after a clear is fixed too.
	mesh.EditNormals()[1] = glm::vec3(0.0f);
	mesh.AppendNormals(std::vector<glm::vec3>{{0, 0, 0}});
	EXPECT_EQ(mesh.GetNormals()[1], kUp);
	EXPECT_EQ(mesh.GetNormals()[4], kUp);
	mesh.Clear();
	const glm::vec3 corners[] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}};
	const glm::vec2 uvs[] = {{0, 0}, {1, 0}, {1, 1}};
	const glm::vec3 normals[] = {{0, 0, 0}, {0, 0, 1}, {0, 0, 0}};
	mesh.AddPolygon(corners, uvs, normals, 3);
	const std::vector<glm::vec3> fan = {kUp, {0, 0, 1}, kUp};
	EXPECT_EQ(mesh.GetNormals(), fan);
}

TEST(Mesh, SetVertexCountResetsOnlyWhenTheCountChanges)
{
	struct Row {
		const char *name;
		uint32_t before;
		bool reset;
	};
	const Row rows[] = {{"same count keeps contents", 10, false}, {"one fewer resets", 9, true}, {"more resets", 12, true}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Mesh mesh;
		mesh.AppendPositions(Points(row.before, 3.0f));
		mesh.AppendUVs(std::vector<glm::vec2>(row.before, glm::vec2(0.5f)));
		mesh.AppendNormals(std::vector<glm::vec3>(row.before, glm::vec3(1, 0, 0)));
		mesh.AppendColors(std::vector<glm::vec3>(3, glm::vec3(0.2f)));
		mesh.SetVertexCount(10);
		ASSERT_EQ(mesh.GetPositions().size(), 10u);
		ASSERT_EQ(mesh.GetUVs().size(), 10u);
		ASSERT_EQ(mesh.GetNormals().size(), 10u);
		EXPECT_EQ(mesh.GetColors().size(), 3u);
		glm::vec3 position = row.reset ? glm::vec3(0) : Points(row.before, 3.0f)[7];
		EXPECT_EQ(mesh.GetPositions()[7], position);
		EXPECT_EQ(mesh.GetUVs()[7], row.reset ? glm::vec2(0) : glm::vec2(0.5f));
		EXPECT_EQ(mesh.GetNormals()[7], row.reset ? kUp : glm::vec3(1, 0, 0));
	}

	Mesh indexed;
	indexed.AppendIndices(std::vector<uint32_t>{5, 6});
	indexed.SetIndexCount(4);
	const std::vector<uint32_t> grown = {5, 6, 0, 0};
	EXPECT_EQ(indexed.GetIndices(), grown);
}

TEST(Mesh, CopiesShareTheMaterialAndFixNormals)
{
	// A shader name without files builds no GL object, so the material can be
	// cached without a context (the failed load is logged).
	testing::internal::CaptureStdout();
	Material::Handle handle = Material::GetShaderOnly("mesh-test/no-such-shader");
	testing::internal::GetCapturedStdout();
	ASSERT_TRUE(handle.IsValid());
	CacheMap<Material> &cache = CacheMap<Material>::GetInstance();
	int16_t users = cache.GetUsers(handle.GetKey());

	Mesh source;
	source.SetMaterial(handle); // takes over the use counted above
	source.AddQuad(glm::vec3(0), glm::vec3(1, 1, 0), glm::vec2(0), glm::vec2(1), glm::vec3(0.5f));
	{
		Mesh copy(source);
		EXPECT_EQ(copy.GetPositions(), source.GetPositions());
		EXPECT_EQ(copy.GetUVs(), source.GetUVs());
		EXPECT_EQ(copy.GetColors(), source.GetColors());
		EXPECT_EQ(copy.GetIndices(), source.GetIndices());
		EXPECT_EQ(copy.GetMaterial().Get(), handle.Get());
		EXPECT_EQ(cache.GetUsers(handle.GetKey()), users + 1);
	}
	EXPECT_EQ(cache.GetUsers(handle.GetKey()), users);

	// Assigning from a mesh without material keeps this one's.
	Mesh bare;
	bare.AppendNormals(std::vector<glm::vec3>(2, glm::vec3(0, 0, 1)));
	source.Assign(bare);
	EXPECT_EQ(source.GetMaterial().Get(), handle.Get());
	EXPECT_TRUE(source.GetPositions().empty());
	EXPECT_EQ(source.GetNormals().size(), 2u);

	// Clearing empties every array but keeps the material.
	Mesh other(source);
	other.AddQuad(glm::vec3(0), glm::vec3(1), glm::vec2(0), glm::vec2(1), glm::vec3(1));
	other.Clear();
	for (uint8_t a = 0; a < kMeshArrayCount; a++)
		EXPECT_EQ(other.GetCount((MeshArray)a), 0u) << "array " << (int)a;
	EXPECT_EQ(other.GetMaterial().Get(), handle.Get());
}

// The renderer trusts these stamps to know what to upload: every write must
// renew the stamps of exactly the arrays it wrote.
TEST(Mesh, WritesRenewTheStampsOfTheArraysTheyTouch)
{
	const uint32_t P = 1 << kMeshPositions, U = 1 << kMeshUVs, N = 1 << kMeshNormals, C = 1 << kMeshColors,
				   I = 1 << kMeshIndices;
	struct Row {
		const char *name;
		std::function<void(Mesh &)> write;
		uint32_t touched;
	};
	const Row rows[] = {
		{"quad", [](Mesh &m) { m.AddQuad(glm::vec3(0), glm::vec3(1), glm::vec2(0), glm::vec2(1), glm::vec3(1)); }, P | U | N | C | I},
		{"polygon", [](Mesh &m) { m.AddPolygon(Points(3), {}, {}); }, P | U | N | I},
		{"bare polygon", [](Mesh &m) { m.AddPolygonPositions(Points(3)); }, P | I},
		{"positions", [](Mesh &m) { m.AppendPositions(Points(1)); }, P},
		{"colours", [](Mesh &m) { m.AppendColors(Points(1)); }, C},
		{"normals", [](Mesh &m) { m.AppendNormals(Points(1)); }, N},
		{"indices", [](Mesh &m) { m.AppendIndices(std::vector<uint32_t>{0}); }, I},
		{"edit positions", [](Mesh &m) { m.EditPositions()[0].x = 5.0f; }, P},
		{"edit UVs", [](Mesh &m) { m.EditUVs(); }, U},
		{"edit colours", [](Mesh &m) { m.EditColors(); }, C},
		{"edit normals", [](Mesh &m) { m.EditNormals(); }, N},
		{"edit indices", [](Mesh &m) { m.EditIndices(); }, I},
		{"new vertex count", [](Mesh &m) { m.SetVertexCount(9); }, P | U | N},
		{"same vertex count", [](Mesh &m) { m.SetVertexCount(4); }, 0},
		{"new index count", [](Mesh &m) { m.SetIndexCount(2); }, I},
		{"clear", [](Mesh &m) { m.Clear(); }, P | U | N | C | I},
		{"assign", [](Mesh &m) { m.Assign(Mesh()); }, P | U | N | C | I},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Mesh mesh;
		mesh.AddQuad(glm::vec3(0), glm::vec3(1, 1, 0), glm::vec2(0), glm::vec2(1), glm::vec3(1));
		uint64_t before[kMeshArrayCount];
		for (uint8_t a = 0; a < kMeshArrayCount; a++)
			before[a] = mesh.GetVersion((MeshArray)a);
		row.write(mesh);
		for (uint8_t a = 0; a < kMeshArrayCount; a++) {
			bool renewed = mesh.GetVersion((MeshArray)a) != before[a];
			EXPECT_EQ(renewed, (row.touched & (1u << a)) != 0) << "array " << (int)a;
		}
	}

	// A mesh built where another lived never repeats its stamps.
	uint64_t first;
	{
		Mesh gone;
		first = gone.GetVersion(kMeshPositions);
	}
	Mesh fresh;
	EXPECT_NE(fresh.GetVersion(kMeshPositions), first);
}

TEST(Mesh, VectorHelpersHandleZeroNaNAndInfinity)
{
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const float inf = std::numeric_limits<float>::infinity();
	const glm::vec3 fallback(0, 0, 7);
	struct Row {
		const char *name;
		glm::vec3 v;
		glm::vec3 normalized;
		float lengthSquared;
		bool withinThousandth;
	};
	const Row rows[] = {
		{"zero", {0, 0, 0}, fallback, 0.0f, true},
		{"axis", {0, 3, 0}, {0, 1, 0}, 9.0f, false},
		{"diagonal", {3, 0, 4}, {0.6f, 0, 0.8f}, 25.0f, false},
		{"tiny", {0.0005f, 0, 0}, {1, 0, 0}, 0.00000025f, true},
		{"at the radius", {0.001f, 0, 0}, {1, 0, 0}, 0.000001f, false},
		{"NaN", {nan, 1, 0}, fallback, 0.0f, true},
		{"infinite", {inf, 0, 0}, fallback, 0.0f, true},
		{"overflowing sum", {3e38f, 3e38f, 0}, {0, 0, 0}, 0.0f, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		glm::vec3 normalized = Vec3SafeNormalize(row.v, fallback);
		if (row.normalized == fallback)
			EXPECT_EQ(normalized, fallback);
		else
			ExpectVecNear(row.normalized, normalized);
		EXPECT_FLOAT_EQ(Vec3LengthSquared(row.v), row.lengthSquared);
		EXPECT_EQ(Vec3WithinRadius(row.v, 0.001f), row.withinThousandth);
	}
}
