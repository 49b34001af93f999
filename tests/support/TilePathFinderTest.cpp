// The playthrough driver's path finder over maps made in memory: where the
// hero's step height lets it climb, where it may only drop, and what it never
// enters.
#include "support/GridMap.h"
#include "support/TilePathFinder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kW = 7;
constexpr uint8_t kH = 3;

// A ramp over one tile from level low up to level low + 1 toward the east,
// whichever way round the kind keeps its two levels.
MapTile RampEast(uint8_t low)
{
	GridMap probe(1, 1, {Tile(kTileRampEast, low, static_cast<uint8_t>(low + 1))});
	const bool rises = probe.map.HeightAtTile(0, 0, 0.9f, 0.5f) > probe.map.HeightAtTile(0, 0, 0.1f, 0.5f);
	return rises ? Tile(kTileRampEast, low, static_cast<uint8_t>(low + 1)) : Tile(kTileRampEast, static_cast<uint8_t>(low + 1), low);
}

// Columns of the 7 x 3 map, west to east, each the same down its rows.
std::vector<MapTile> Columns(const std::vector<MapTile> &columns)
{
	std::vector<MapTile> tiles;
	for (int y = 0; y < kH; y++)
		tiles.insert(tiles.end(), columns.begin(), columns.end());
	return tiles;
}

size_t PathLength(const TileMap &map, PathTile from, PathTile to, const std::function<void(TilePathFinder &)> &block = nullptr,
	bool goalMayBeTaken = false)
{
	TilePathFinder finder(map);
	if (block)
		block(finder);
	return finder.Find(from, [&](const PathTile &tile) { return tile == to; }, goalMayBeTaken).size();
}

} // namespace

TEST(TilePathFinder, ClimbsRampsDropsOffLedgesAndKeepsOutOfWaterAndHoles)
{
	const MapTile one = Flat(1);
	const MapTile two = Flat(2);
	const struct {
		const char *name;
		std::vector<MapTile> columns;
		size_t eastward; // tiles on the path from the west end to the east end (0: none)
		size_t westward;
	} rows[] = {
		{"flat ground", {one, one, one, one, one, one, one}, 7, 7},
		{"a terrace one level up is more than a step", {one, one, one, two, two, two, two}, 0, 7},
		{"a ramp leads up and down", {one, one, one, RampEast(1), two, two, two}, 7, 7},
		{"a ledge is dropped off, not climbed", {two, two, two, one, one, one, one}, 7, 0},
		{"water across the way", {one, one, one, Water(), one, one, one}, 0, 0},
		{"a hole across the way", {one, one, one, Hole(), one, one, one}, 0, 0},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GridMap grid(kW, kH, Columns(row.columns));
		EXPECT_EQ(row.eastward, PathLength(grid.map, {0, 1}, {kW - 1, 1}));
		EXPECT_EQ(row.westward, PathLength(grid.map, {kW - 1, 1}, {0, 1}));
	}
}

TEST(TilePathFinder, GoesRoundWaterAndBlocksButNeverCutsACorner)
{
	// Water down column 3 but for the bridge of row 0.
	std::vector<MapTile> tiles = Columns({Flat(1), Flat(1), Flat(1), Water(), Flat(1), Flat(1), Flat(1)});
	tiles[3] = Flat(1);
	GridMap grid(kW, kH, tiles);
	TilePathFinder finder(grid.map);
	const std::vector<PathTile> path = finder.Find({0, 2}, [](const PathTile &tile) { return tile == PathTile{6, 2}; });
	ASSERT_FALSE(path.empty());
	bool bridged = false;
	for (const PathTile &tile : path) {
		EXPECT_TRUE(finder.IsGround(tile)) << tile.x << ", " << tile.y;
		bridged = bridged || tile == PathTile{3, 0};
	}
	EXPECT_TRUE(bridged) << "over the bridge";

	// Blocking the bridge shuts the way; a blocked goal is reached only when
	// what stands there may move away.
	EXPECT_EQ(0u, PathLength(grid.map, {0, 2}, {6, 2}, [](TilePathFinder &f) { f.Block({3, 0}); }));
	EXPECT_EQ(0u, PathLength(grid.map, {0, 0}, {2, 0}, [](TilePathFinder &f) { f.Block({2, 0}); }));
	EXPECT_EQ(3u, PathLength(grid.map, {0, 0}, {2, 0}, [](TilePathFinder &f) { f.Block({2, 0}); }, true));

	// Two waters touching at a corner leave no diagonal step between them.
	GridMap corner(2, 2, {Flat(1), Water(), Water(), Flat(1)});
	EXPECT_EQ(0u, PathLength(corner.map, {0, 0}, {1, 1}));
	GridMap open(2, 2, {Flat(1), Flat(1), Flat(1), Flat(1)});
	EXPECT_EQ(2u, PathLength(open.map, {0, 0}, {1, 1})) << "one diagonal step where nothing is in the way";
}
