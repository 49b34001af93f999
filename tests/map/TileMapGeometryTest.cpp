// The ground a tile map builds and the questions world objects ask it: faces
// and walls per tile shape and neighbour, the border ring, heights, tile
// lookups, movement against rises and object areas. All of it on the CPU: the
// maps come from a loader that fills the grid in memory, and the meshes are
// read back as vertex arrays.
#include "map/TileMap.h"

#include "map/TileCode.h"
#include "map/EntityFactory.h"
#include "support/ExpectVec.h"
#include "support/GridMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr float kT = 2.0f;      // tile size of every test map
constexpr float kE = 1.01f;     // half a tile plus the face overlap
constexpr float kTol = 1e-4f;

struct Quad {
	Vec3 corners[4];
	Vec3 normal;
	float Bottom() const { return std::min(std::min(corners[0].y, corners[1].y), std::min(corners[2].y, corners[3].y)); }
	float Top() const { return std::max(std::max(corners[0].y, corners[1].y), std::max(corners[2].y, corners[3].y)); }
};

// Wall and ramp meshes hold nothing but four-cornered faces.
std::vector<Quad> QuadsOf(const Mesh &mesh)
{
	const std::vector<Vec3> &positions = mesh.GetPositions();
	const std::vector<Vec3> &normals = mesh.GetNormals();
	EXPECT_EQ(positions.size() % 4, 0u);
	std::vector<Quad> quads;
	for (size_t i = 0; i + 3 < positions.size(); i += 4) {
		Quad quad;
		for (int k = 0; k < 4; k++)
			quad.corners[k] = positions[i + static_cast<size_t>(k)];
		quad.normal = normals[i];
		quads.push_back(quad);
	}
	return quads;
}

const Mesh &TopMesh(const TileMap &map, uint8_t level) { return *map.LayerMesh(level, false); }
const Mesh &EdgeMesh(const TileMap &map, uint8_t level) { return *map.LayerMesh(level, true); }

bool Near(const Vec3 &a, const Vec3 &b) { return glm::length(a - b) < kTol; }

bool HasVertex(const std::vector<Vec3> &vertices, const Vec3 &p)
{
	for (const Vec3 &v : vertices) {
		if (Near(v, p))
			return true;
	}
	return false;
}

} // namespace

TEST(TileMapGeometry, FlatTilesWallOffEachLowerNeighbour)
{
	// The west tile of a 2 x 1 map; its wall toward the east tile, if any.
	// Water lies on a second level of 0, so a water tile also walls itself
	// off toward its own clamped copies at the map's edge: only walls facing
	// east are looked at for it.
	struct Row {
		const char *name;
		MapTile high, low;
		float bottom, top; // bottom > top: no wall
	};
	const Row rows[] = {
		{"level 2 beside level 1", Flat(2), Flat(1), 0.0f, 0.75f},
		{"level 2 beside a hole", Flat(2), Hole(), -1.0f, 0.75f},
		{"level 5 beside level 2", Flat(5), Flat(2), 0.75f, 3.0f},
		{"level 6 stands free", Flat(6), Flat(1), 1.0f, 0.0f},
		{"water beside level 1", Water(), Flat(1), 0.0f, 0.3f},
		{"water beside level 3", Water(), Flat(3), 1.0f, 0.0f},
		{"level 3 beside water reaches under it", Flat(3), Water(), -1.0f, 1.5f},
		// A shore tile whose low half is water stands at the water's height,
		// not below level 3, so the wall reaches down to the surface.
		{"level 3 beside a shore tile's water half", Flat(3), Tile(kTileFlat, 1, kLevelWater), 0.3f, 1.5f},
		{"equal levels", Flat(3), Flat(3), 1.0f, 0.0f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		GridMap grid(2, 1, {row.high, row.low});
		std::vector<Quad> all = QuadsOf(EdgeMesh(grid.map, row.high.level));
		std::vector<Quad> east;
		for (const Quad &quad : all) {
			if (Near(quad.normal, Vec3(1, 0, 0)))
				east.push_back(quad);
		}
		if (row.high.level != kLevelWater) {
			EXPECT_EQ(all.size(), east.size());
		}
		if (row.bottom > row.top) {
			EXPECT_TRUE(east.empty());
			continue;
		}
		ASSERT_EQ(east.size(), 1u);
		EXPECT_NEAR(east[0].Bottom(), row.bottom, kTol);
		EXPECT_NEAR(east[0].Top(), row.top, kTol);
		for (const Vec3 &corner : east[0].corners) {
			EXPECT_NEAR(corner.x, 1.0f, kTol);
			EXPECT_NEAR(std::fabs(corner.z), 1.0f, kTol);
		}
	}
}

TEST(TileMapGeometry, DiagonalTilesSplitIntoTwoHalvesWithTheirOwnWalls)
{
	// Each diagonal kind at levels 3/1 amid level-1 ground. The high triangle
	// drops one corner and the low one the opposite corner; walls stand on the
	// two sides of the high half and along the diagonal, from 0.0 to 1.5.
	const Vec3 nw(2 - kE, 0, 2 - kE), ne(2 + kE, 0, 2 - kE), se(2 + kE, 0, 2 + kE), sw(2 - kE, 0, 2 + kE);
	struct Row {
		uint32_t kind;
		Vec3 highMissing, lowMissing;
		Vec3 wallNormals[2];
	};
	const Row rows[] = {
		{kTileDiagonalNE, sw, ne, {Vec3(0, 0, -1), Vec3(1, 0, 0)}},
		{kTileDiagonalSE, nw, se, {Vec3(1, 0, 0), Vec3(0, 0, 1)}},
		{kTileDiagonalSW, ne, sw, {Vec3(0, 0, 1), Vec3(-1, 0, 0)}},
		{kTileDiagonalNW, se, nw, {Vec3(0, 0, -1), Vec3(-1, 0, 0)}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("kind " + std::to_string(row.kind));
		GridMap grid(3, 3, GridMap::Ring(3, 3, Flat(1), Tile(row.kind, 3, 1)));
		const std::vector<Vec3> &high = TopMesh(grid.map, 3).GetPositions();
		ASSERT_EQ(high.size(), 3u);
		// Four ring tiles come before the middle one in the build order.
		const std::vector<Vec3> &lows = TopMesh(grid.map, 1).GetPositions();
		ASSERT_EQ(lows.size(), 8u * 4u + 3u);
		std::vector<Vec3> low(lows.begin() + 16, lows.begin() + 19);
		for (const Vec3 &corner : {nw, ne, se, sw}) {
			EXPECT_EQ(HasVertex(high, corner + Vec3(0, 1.5f, 0)), !Near(corner, row.highMissing));
			EXPECT_EQ(HasVertex(low, corner), !Near(corner, row.lowMissing));
		}

		std::vector<Quad> walls = QuadsOf(EdgeMesh(grid.map, 3));
		ASSERT_EQ(walls.size(), 3u);
		ExpectVecNear(row.wallNormals[0], walls[0].normal);
		ExpectVecNear(row.wallNormals[1], walls[1].normal);
		ExpectVecNear(DiagonalNormal(row.kind), walls[2].normal);
		for (const Quad &wall : walls) {
			EXPECT_NEAR(wall.Bottom(), 0.0f, kTol);
			EXPECT_NEAR(wall.Top(), 1.5f, kTol);
		}
		// The diagonal wall runs corner to corner through the middle.
		for (const Vec3 &end : {walls[2].corners[0], walls[2].corners[1]}) {
			Vec3 flat(end.x - 2.0f, 0.0f, end.z - 2.0f);
			EXPECT_NEAR(glm::length(flat), 0.7071f * kT, kTol);
			EXPECT_NEAR(glm::dot(flat, DiagonalNormal(row.kind)), 0.0f, kTol);
		}
	}
}

TEST(TileMapGeometry, RampsSlopeTowardTheirDirectionWithSideWalls)
{
	const Vec3 centre(2.0f, 0.0f, 2.0f);
	const Vec3 ups[4] = {Vec3(0, 0, -1), Vec3(1, 0, 0), Vec3(0, 0, 1), Vec3(-1, 0, 0)};
	for (uint32_t kind = kTileRampNorth; kind <= kTileRampWest; kind++) {
		SCOPED_TRACE("kind " + std::to_string(kind));
		const Vec3 up = ups[kind - kTileRampNorth];
		// From level 1 up to 2, amid level-1 ground.
		GridMap grid(3, 3, GridMap::Ring(3, 3, Flat(1), Tile(kind, 2, 1)));
		std::vector<Quad> slope = QuadsOf(TopMesh(grid.map, 2));
		ASSERT_EQ(slope.size(), 1u);
		ExpectVecNear(Vec3(0, 1, 0), slope[0].normal);
		for (const Vec3 &corner : slope[0].corners) {
			float along = glm::dot(Vec3(corner.x, 0, corner.z) - centre, up);
			ASSERT_NEAR(std::fabs(along), 1.0f, kTol); // exactly to the edges, no overlap
			EXPECT_NEAR(corner.y, along > 0.0f ? 0.75f : 0.0f, kTol);
		}
		// Two side walls down to the floor of a hole, and no wall toward the
		// neighbours, though the ramp's top end stands above them.
		std::vector<Quad> sides = QuadsOf(EdgeMesh(grid.map, 2));
		ASSERT_EQ(sides.size(), 2u);
		const Vec3 side(-up.z, 0.0f, up.x);
		ExpectVecNear(-side, sides[0].normal);
		ExpectVecNear(side, sides[1].normal);
		for (const Quad &wall : sides) {
			EXPECT_NEAR(wall.Bottom(), -1.0f, kTol);
			EXPECT_NEAR(wall.Top(), 0.75f, kTol);
			for (const Vec3 &corner : wall.corners)
				EXPECT_NEAR(glm::dot(corner - centre, wall.normal), 1.0f, kTol);
		}
		EXPECT_TRUE(QuadsOf(EdgeMesh(grid.map, 1)).empty());
	}
}

TEST(TileMapGeometry, BorderStripsRepeatTheEdgeTilesOutward)
{
	struct Row {
		uint8_t w, h, border;
		uint32_t positions; // map tiles plus border positions, corners twice
	};
	const Row rows[] = {
		{10, 8, 0, 80},
		{10, 8, 2, 80 + 2 * 18 * 4 + 2 * 4 * 16}, // north and south 18 x 4, west and east 4 x 16
		{1, 1, 1, 1 + 2 * 5 * 2 + 2 * 2 * 5},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.w) + "x" + std::to_string(row.h) + " border " + std::to_string(row.border));
		GridMap grid(row.w, row.h, std::vector<MapTile>(row.w * row.h, Flat(1)), row.border);
		const std::vector<Vec3> &tops = TopMesh(grid.map, 1).GetPositions();
		EXPECT_EQ(tops.size(), row.positions * 4u);
		const float b = 2.0f * row.border;
		EXPECT_TRUE(HasVertex(tops, Vec3(-b * kT - kE, 0.0f, -b * kT - kE)));
		EXPECT_TRUE(HasVertex(tops, Vec3((row.w - 1 + b) * kT + kE, 0.0f, (row.h - 1 + b) * kT + kE)));
	}
	// A border square copies its nearest map tile: here the west column of
	// level 2 runs on westward, and level 1 eastward.
	GridMap grid(2, 1, {Flat(2), Flat(1)}, 1);
	const uint32_t westColumn = 1 + 2 * 5 + 2 * 3 * 2; // map, west strip, north and south strips at x <= 0
	EXPECT_EQ(TopMesh(grid.map, 2).GetVertexCount(), westColumn * 4u);
	EXPECT_TRUE(HasVertex(TopMesh(grid.map, 2).GetPositions(), Vec3(-4 - kE, 0.75f, -4 - kE)));
}

TEST(TileMapQueries, HeightAtFractionsOfEveryTileKind)
{
	// Main level 3 (1.5), second level 1 (0.0), at tile (1, 1).
	struct Row {
		uint32_t kind;
		float fx, fz, height;
	};
	const Row rows[] = {
		{kTileNothing, 0.5f, 0.5f, 1.5f}, {kTileFlat, 0.1f, 0.9f, 1.5f}, {12, 0.2f, 0.8f, 1.5f},
		{kTileDiagonalNE, 0.2f, 0.8f, 0.0f}, {kTileDiagonalNE, 0.8f, 0.2f, 1.5f}, {kTileDiagonalNE, 0.5f, 0.5f, 1.5f},
		{kTileDiagonalSE, 0.8f, 0.8f, 1.5f}, {kTileDiagonalSE, 0.5f, 0.5f, 0.0f},
		{kTileDiagonalSW, 0.2f, 0.8f, 1.5f}, {kTileDiagonalSW, 0.8f, 0.2f, 0.0f},
		{kTileDiagonalNW, 0.8f, 0.8f, 0.0f}, {kTileDiagonalNW, 0.2f, 0.2f, 1.5f},
		{kTileRampNorth, 0.3f, 0.0f, 1.5f}, {kTileRampNorth, 0.9f, 0.5f, 0.75f},
		{kTileRampEast, 1.0f, 0.4f, 1.5f}, {kTileRampEast, 0.25f, 0.4f, 0.375f},
		{kTileRampSouth, 0.4f, 0.25f, 0.375f}, {kTileRampSouth, 0.4f, 1.0f, 1.5f},
		{kTileRampWest, 0.25f, 0.6f, 1.125f}, {kTileRampWest, 1.0f, 0.6f, 0.0f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("kind " + std::to_string(row.kind) + " at " + std::to_string(row.fx) + ", " + std::to_string(row.fz));
		GridMap grid(3, 3, GridMap::Ring(3, 3, Flat(1), Tile(row.kind, 3, 1)));
		EXPECT_NEAR(grid.map.HeightAtTile(1, 1, row.fx, row.fz), row.height, kTol);
	}
	// Holes, water and the top terrace; outside the map the edge tile answers.
	GridMap levels(3, 1, {Hole(), Water(), Flat(6)});
	EXPECT_NEAR(levels.map.HeightAtTile(0, 0, 0.5f, 0.5f), -1.0f, kTol);
	EXPECT_NEAR(levels.map.HeightAtTile(1, 0, 0.5f, 0.5f), 0.3f, kTol);
	EXPECT_NEAR(levels.map.HeightAtTile(9, -4, 0.5f, 0.5f), 3.75f, kTol);
}

TEST(TileMapQueries, HeightAtWorldPositions)
{
	// A ramp of levels 3/2 rising north at tile (1, 1); a ramp of levels 3/1
	// rising east in column 0.
	GridMap grid(3, 3, {Flat(1), Flat(1), Flat(1), Tile(kTileRampEast, 3, 1), Tile(kTileRampNorth, 3, 2), Flat(1),
		Flat(1), Flat(1), Flat(1)});
	struct Row {
		const char *name;
		Vec3 position;
		float height;
	};
	const Row rows[] = {
		{"ramp north edge", Vec3(2.0f, 0.0f, 1.0f), 1.5f},
		{"ramp middle", Vec3(2.0f, 0.0f, 2.0f), 1.125f},
		{"ramp a quarter from the south", Vec3(2.5f, 0.0f, 2.5f), 0.9375f},
		// West of the first column's middle the fraction falls below zero.
		{"column 0 at x = 0, fx = -0.5", Vec3(0.0f, 0.0f, 2.0f), -0.75f},
		{"column 0 at x = 0.5, fx = -0.25", Vec3(0.5f, 0.0f, 2.0f), -0.375f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		EXPECT_NEAR(grid.map.HeightAt(row.position), row.height, kTol);
	}
}

TEST(TileMapQueries, WorldToTileRoundsDownAndTileAtClamps)
{
	std::vector<MapTile> tiles;
	for (uint8_t i = 0; i < 12; i++)
		tiles.push_back(Flat(static_cast<uint8_t>(1 + i % 5)));
	GridMap grid(4, 3, tiles);
	const float nan = std::numeric_limits<float>::quiet_NaN();
	struct Row {
		float x, z;
		int16_t tx, ty;
		bool inMap;
		size_t clampedIndex; // of the tile TileAt gives
	};
	const Row rows[] = {
		{-0.9f, 0.0f, 0, 0, true, 0},
		// Tiles west of the map are as wide as the others: -1 spans -3 to -1.
		{-1.1f, 0.0f, -1, 0, false, 0},
		{-2.9f, 0.0f, -1, 0, false, 0},
		{-3.1f, 0.0f, -2, 0, false, 0},
		{0.99f, 0.99f, 0, 0, true, 0},
		{1.0f, 3.0f, 1, 2, true, 9},
		{7.0f, 0.0f, 4, 0, false, 3},
		{0.0f, 5.0f, 0, 3, false, 8},
		// Two tiles past either edge, as an edge exit reads them: signed and
		// never held at the edge.
		{-4.0f, -4.0f, -2, -2, false, 0},
		{11.0f, 9.0f, 6, 5, false, 11},
		// Far off and broken positions are held inside 16 bits.
		{1e9f, 1e9f, 32767, 32767, false, 11},
		{-1e9f, 0.0f, -32768, 0, false, 0},
		{nan, 0.0f, -32768, 0, false, 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.x) + ", " + std::to_string(row.z));
		int16_t x = 99, y = 99;
		EXPECT_EQ(grid.map.WorldToTile(Vec3(row.x, 0.0f, row.z), x, y), row.inMap);
		EXPECT_EQ(x, row.tx);
		EXPECT_EQ(y, row.ty);
		EXPECT_EQ(&grid.map.TileAt(x, y), &grid.map.GetMapData().tiles[row.clampedIndex]);
	}
	TileMap empty;
	EXPECT_EQ(empty.TileAt(3, -3).level, 0);
	EXPECT_EQ(&empty.TileAt(3, -3), &empty.TileAt(0, 0));
}

TEST(TileMapQueries, TraceMoveStopsAtRisesAboveTheStep)
{
	// Row 0: level 1, level 3, level 2, a ramp and a diagonal up to 3, a hole.
	// Row 1: level 3 under the first tile, then level 1.
	GridMap grid(6, 2, {Flat(1), Flat(3), Flat(2), Tile(kTileRampEast, 3, 1), Tile(kTileDiagonalNE, 3, 1), Hole(),
		Flat(3), Flat(1), Flat(1), Flat(1), Flat(1), Flat(1)});
	const float r = 0.3f;
	struct Row {
		const char *name;
		Vec3 from, to;
		float step;
		Vec3 allowed;
	};
	// Tile edges lie at odd multiples of 1; a stop is 0.01 and the radius short.
	const Row rows[] = {
		{"two levels up, step 0.5", Vec3(0, 0, 0), Vec3(1.5f, 0, 0), 0.5f, Vec3(0.99f - r, 0, 0)},
		{"the probe reaches the rise first", Vec3(0, 0, 0), Vec3(0.8f, 0, 0), 0.5f, Vec3(0.99f - r, 0, 0)},
		{"two levels up, step 2", Vec3(0, 0, 0), Vec3(1.5f, 0, 0), 2.0f, Vec3(1.5f, 0, 0)},
		{"one level up, step 1", Vec3(4, 0, 2), Vec3(4, 0, 0.5f), 1.0f, Vec3(4, 0, 0.5f)},
		{"one level up, step 0.5, northward", Vec3(4, 0, 2), Vec3(4, 0, 0.5f), 0.5f, Vec3(4, 0, 0.99f + r)},
		{"westward", Vec3(4, 0.75f, 0), Vec3(2.5f, 0, 0), 0.2f, Vec3(2.99f + r, 0, 0)},
		{"southward", Vec3(0, 0, 0), Vec3(0, 0, 1.5f), 0.5f, Vec3(0, 0, 0.99f - r)},
		{"down never blocks", Vec3(2, 1.5f, 0), Vec3(0.5f, 0, 0), 0.1f, Vec3(0.5f, 0, 0)},
		{"ramps never block", Vec3(6, 0, 2), Vec3(6, 0, 0.5f), 0.1f, Vec3(6, 0, 0.5f)},
		{"diagonals never block", Vec3(8, 0, 2), Vec3(8, 0, 0.5f), 0.1f, Vec3(8, 0, 0.5f)},
		{"inside one tile", Vec3(-0.5f, 0, -0.5f), Vec3(0.3f, 0, 0.3f), 0.0f, Vec3(0.3f, 0, 0.3f)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Vec3 to = row.to;
		Vec3 result = grid.map.TraceMove(row.from, to, r, row.step);
		EXPECT_NEAR(result.x, row.allowed.x, kTol);
		EXPECT_NEAR(result.z, row.allowed.z, kTol);
		ExpectVecNear(result, to);
	}
}

TEST(TileMapQueries, ClampToMapKeepsPositionsOnTheGround)
{
	GridMap grid(4, 3, std::vector<MapTile>(12, Flat(2)));
	struct Row {
		const char *name;
		Vec3 in;
		float margin;
		Vec3 out;
	};
	const Row rows[] = {
		{"inside", Vec3(3.0f, 9.0f, 2.0f), 0.5f, Vec3(3.0f, 0.75f, 2.0f)},
		{"west and north", Vec3(-5.0f, 0.0f, -5.0f), 0.5f, Vec3(-0.5f, 0.75f, -0.5f)},
		{"east and south", Vec3(50.0f, 0.0f, 50.0f), 0.25f, Vec3(6.75f, 0.75f, 4.75f)},
		{"a margin past the middle", Vec3(-5.0f, 0.0f, 50.0f), 10.0f, Vec3(3.0f, 0.75f, 2.0f)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Vec3 p = row.in;
		ExpectVecNear(row.out, grid.map.ClampToMap(p, row.margin));
		ExpectVecNear(row.out, p);
	}
}

TEST(TileMapQueries, ObjectAreasIncludeTheirFarEdge)
{
	MapObjectDef area; // 1 x 1 at (4, 4)
	area.x = 4;
	area.y = 4;
	MapObjectDef wide; // from (-2, 1), 3 x 0
	wide.x = 65534;
	wide.y = 1;
	wide.w = 3;
	wide.h = 0;
	struct Row {
		const MapObjectDef *object;
		int16_t x, y;
		bool inside;
	};
	const Row rows[] = {
		{&area, 4, 4, true}, {&area, 5, 5, true}, {&area, 6, 4, false}, {&area, 3, 4, false}, {&area, 4, 6, false},
		{&wide, -2, 1, true}, {&wide, 1, 1, true}, {&wide, 2, 1, false}, {&wide, -3, 1, false}, {&wide, 0, 2, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.x) + ", " + std::to_string(row.y));
		EXPECT_EQ(TileMap::ContainsTile(*row.object, row.x, row.y), row.inside);
	}

	GridMap grid(10, 10, std::vector<MapTile>(100, Flat(1)), 0, [&](TileMapData &data) {
		MapObjectDef big; // id 1, covering tiles 0 to 2
		big.id = 1;
		big.w = 2;
		big.h = 2;
		data.objects = {big, area};
		data.objects[1].id = 2;
	});
	const std::pair<Vec3, uint16_t> finds[] = {{Vec3(8, 0, 8), 2}, {Vec3(10, 0, 10), 2}, {Vec3(12, 0, 10), 0},
		{Vec3(4, 0, 4), 1}, {Vec3(6, 0, 0), 0}};
	for (const auto &[position, id] : finds) {
		MapObjectDef *found = grid.map.FindObjectAt(position);
		EXPECT_EQ(found != nullptr ? found->id : 0, id) << position.x << ", " << position.z;
	}
	// Inside the area's own tile, shrunk by 0.1: an extent of 0 counts as 1.
	MapObjectDef dot;
	dot.x = 2;
	dot.y = 3;
	dot.w = 0;
	dot.h = 0;
	EXPECT_TRUE(grid.map.IsInsideObject(dot, Vec3(4.0f, 0, 6.0f)));
	EXPECT_TRUE(grid.map.IsInsideObject(dot, Vec3(3.1f, 0, 6.85f)));
	EXPECT_FALSE(grid.map.IsInsideObject(dot, Vec3(3.05f, 0, 6.0f)));
	EXPECT_FALSE(grid.map.IsInsideObject(dot, Vec3(4.95f, 0, 6.0f)));
	EXPECT_FALSE(grid.map.IsInsideObject(dot, Vec3(4.0f, 0, 6.95f)));
}

TEST(TileMapQueries, ObjectEdgeTileFollowsTheDominantAxis)
{
	GridMap grid(20, 20, std::vector<MapTile>(400, Flat(1)));
	MapObjectDef object;
	object.x = 10;
	object.y = 6;
	object.w = 4;
	object.h = 2;
	struct Row {
		Vec3 direction;
		int16_t x, y;
	};
	const Row rows[] = {
		{Vec3(1, 0, 0.3f), 14, 7}, {Vec3(0.2f, 0, -1), 12, 6}, {Vec3(-1, 0, 0), 10, 7},
		{Vec3(0.5f, 0, 0.5f), 12, 8}, {Vec3(0, 0, 0), 12, 7},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.direction.x) + ", " + std::to_string(row.direction.z));
		int16_t x = -1, y = -1;
		grid.map.ObjectEdgeTile(object, row.direction, x, y);
		EXPECT_EQ(x, row.x);
		EXPECT_EQ(y, row.y);
	}
}

TEST(TileMapQueries, RecordsTowardEachSideAndLinkedLines)
{
	auto record = [](uint16_t id, uint16_t x, uint16_t y) {
		MapObjectDef def;
		def.kind = kObjectEntity;
		def.id = id;
		def.x = x;
		def.y = y;
		return def;
	};
	auto command = [](uint32_t code, uint16_t value) {
		MapCommand c;
		c.code = code;
		c.value = value;
		return c;
	};
	GridMap grid(10, 10, std::vector<MapTile>(100, Flat(1)), 0, [&](TileMapData &data) {
		data.entityRecords = {record(5, 0, 5), record(6, 9, 5), record(7, 5, 0), record(8, 5, 9)};
		data.commands = {command(kCmdSay, 1), command(kCmdDir, 2), command(kCmdSay, 3), command(kCmdDir, 4)};
	});
	// Direction 0 finds every record at a dot product of 0: the last wins.
	const uint16_t toward[5] = {8, 7, 6, 8, 5};
	for (uint8_t d = 0; d <= 4; d++) {
		MapObjectDef *found = grid.map.FindEntityRecordToward(d);
		ASSERT_NE(found, nullptr);
		EXPECT_EQ(found->id, toward[d]) << "direction " << int(d);
	}
	GridMap bare(4, 4, std::vector<MapTile>(16, Flat(1)));
	EXPECT_EQ(bare.map.FindEntityRecordToward(kDirNorth), nullptr);

	// An object's lines are searched only within the command table.
	MapObjectDef object;
	object.firstCommand = 1;
	object.commandCount = 2;
	MapObjectDef past;
	past.firstCommand = 3;
	past.commandCount = 9;
	EXPECT_EQ(grid.map.FindLinkedOfKind(&object, kCmdDir)->value, 2);
	EXPECT_EQ(grid.map.FindLinkedOfKind(&object, kCmdSay)->value, 3);
	EXPECT_EQ(grid.map.FindLinkedOfKind(&object, kCmdWalk), nullptr);
	EXPECT_EQ(grid.map.FindLinkedOfKind(&object, kCmdNone), nullptr);
	EXPECT_EQ(grid.map.FindLinkedOfKind(nullptr, kCmdDir), nullptr);
	EXPECT_EQ(grid.map.FindLinkedOfKind(&past, kCmdDir)->value, 4);
	EXPECT_EQ(grid.map.FindLinkedOfKind(&past, kCmdSay), nullptr);
}
