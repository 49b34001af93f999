#include "map/TileCode.h"
#include "map/TileMapData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint32_t kH = kTileFlipHorizontal;
constexpr uint32_t kV = kTileFlipVertical;
constexpr uint32_t kD = kTileFlipDiagonal;

MapTile Decode(uint32_t id)
{
	MapTile tile;
	tile.kind = 99; // decoding must overwrite every field
	tile.level = 99;
	tile.secondLevel = 99;
	DecodeTileId(id, &tile);
	return tile;
}

} // namespace

TEST(TileCode, EveryTileOfTheSetDecodesToItsKindAndLevels)
{
	struct Row {
		uint8_t tile;
		uint32_t kind; // unturned: diagonals are kind 3, ramps kind 6
		uint8_t level, secondLevel;
	};
	const Row rows[] = {
		{0, 0, 0, 0}, {1, 1, 1, 1}, {2, 1, 2, 2}, {3, 1, 3, 3}, {4, 1, 4, 4}, {5, 1, 5, 5},
		{8, 3, 1, 0}, {9, 3, 2, 1}, {10, 3, 3, 2}, {11, 3, 4, 3}, {12, 3, 5, 4},
		{16, 3, 2, 0}, {17, 3, 3, 1}, {18, 3, 4, 2}, {19, 3, 5, 3},
		{24, 3, 3, 0}, {25, 3, 4, 1}, {26, 3, 5, 2}, {32, 3, 4, 0}, {33, 3, 5, 1},
		{7, 6, 5, 4}, {15, 6, 4, 3}, {23, 6, 3, 2}, {31, 6, 2, 1},
		{6, 1, 7, 0}, {14, 3, 1, 7}, {22, 3, 2, 7}, {30, 3, 3, 7}, {38, 3, 4, 7},
		// Not in the set: read as nothing.
		{13, 0, 0, 0}, {20, 0, 0, 0}, {39, 0, 0, 0}, {62, 0, 0, 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("tile " + std::to_string(row.tile));
		MapTile tile = Decode(row.tile + 1u);
		EXPECT_EQ(tile.kind, row.kind);
		EXPECT_EQ(tile.level, row.level);
		EXPECT_EQ(tile.secondLevel, row.secondLevel);
	}
}

TEST(TileCode, RotationsTurnDiagonalsAndRampsOnly)
{
	struct Row {
		const char *name;
		uint32_t flags;
		uint32_t diagonal, ramp, flat;
	};
	const Row rows[] = {
		{"unturned", 0, 3, 6, 1},
		{"quarter turn", kH | kD, 4, 7, 1},
		{"half turn", kH | kV, 5, 8, 1},
		{"three quarters", kV | kD, 2, 9, 1},
		{"horizontal only", kH, 3, 6, 1},
		{"vertical only", kV, 3, 6, 1},
		{"diagonal only", kD, 3, 6, 1},
		{"all three", kH | kV | kD, 5, 8, 1}, // 1 + 2 + 3 turns
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		EXPECT_EQ(Decode(9 | row.flags).kind, row.diagonal); // tile 8, a diagonal 1 over 0
		EXPECT_EQ(Decode(8 | row.flags).kind, row.ramp);     // tile 7, a ramp 5 over 4
		EXPECT_EQ(Decode(3 | row.flags).kind, row.flat);     // tile 2, flat level 2
		EXPECT_EQ(Decode(8 | row.flags).level, 5);           // turning keeps the levels
		EXPECT_EQ(Decode(8 | row.flags).secondLevel, 4);
	}
	EXPECT_EQ(Decode(0 | kH | kD).kind, 0u); // an empty cell stays empty whatever its flags
}

TEST(TileCode, CellTextsAndSplitIds)
{
	struct Row {
		const char *text;
		uint32_t kind;
		uint8_t level;
	};
	const Row rows[] = {
		{"9", 3, 1},
		{"2684354569", 4, 1},  // tile 8 with bits 31 and 29: above the signed range
		{"3221225481", 5, 1},  // bits 31 and 30
		{"1610612745", 2, 1},  // bits 30 and 29
		{" 7 ", 1, 7},         // blanks are skipped
		{"\n9", 0, 0},         // a leading line feed reads as 0
		{"", 0, 0},
		{nullptr, 0, 0},
		{"99999999999999999999", 0, 0}, // kept to 32 bits, no overflow
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.text ? row.text : "(null)");
		MapTile tile;
		DecodeTileCell(row.text, &tile);
		EXPECT_EQ(tile.kind, row.kind);
		EXPECT_EQ(tile.level, row.level);
	}
	EXPECT_EQ(ParseTileId("4294967295"), 0xFFFFFFFFu);
	EXPECT_EQ(ParseTileId("4294967296"), 0u);

	uint8_t tile = 0, h = 9, v = 9, d = 9;
	SplitTileId(0, &tile, &h, &v, &d);
	EXPECT_EQ(tile, 255);
	EXPECT_EQ(h + v + d, 0);
	SplitTileId(0xE0000041u, &tile, &h, &v, &d);
	EXPECT_EQ(tile, 0);
	EXPECT_EQ(h, 1);
	EXPECT_EQ(v, 1);
	EXPECT_EQ(d, 1);
	SplitTileId(0x8000007Fu, &tile, nullptr, nullptr, nullptr); // outputs are optional
	EXPECT_EQ(tile, 62);
}

TEST(TileKindHelpers, ShapesMirrorsAndRisingDirections)
{
	constexpr float c = 0.70711356f;
	struct Row {
		uint32_t kind;
		bool diagonal;
		uint8_t direction;
		uint32_t mirror;
		Vec3 normal;
	};
	const Row rows[] = {
		{0, false, 0, 0, {0, 0, 0}},   {1, false, 0, 1, {0, 0, 0}},
		{2, true, 0, 4, {c, 0, -c}},   {3, true, 0, 5, {c, 0, c}},
		{4, true, 0, 2, {-c, 0, c}},   {5, true, 0, 3, {-c, 0, -c}},
		{6, false, 1, 8, {0, 0, 0}},   {7, false, 2, 9, {0, 0, 0}},
		{8, false, 3, 6, {0, 0, 0}},   {9, false, 4, 7, {0, 0, 0}},
		{10, false, 0, 10, {0, 0, 0}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("kind " + std::to_string(row.kind));
		EXPECT_EQ(IsDiagonalKind(row.kind), row.diagonal);
		EXPECT_EQ(KindDirection(row.kind), row.direction);
		EXPECT_EQ(MirrorKind(row.kind), row.mirror);
		EXPECT_EQ(MirrorKind(MirrorKind(row.kind)), row.kind);
		Vec3 normal = DiagonalNormal(row.kind);
		EXPECT_FLOAT_EQ(normal.x, row.normal.x);
		EXPECT_FLOAT_EQ(normal.y, row.normal.y);
		EXPECT_FLOAT_EQ(normal.z, row.normal.z);
	}
	// Direction steps follow the map axes: north is up the rows (-Z).
	const int steps[][3] = {{0, 0, 0}, {1, 0, -1}, {2, 1, 0}, {3, 0, 1}, {4, -1, 0}, {5, 0, 0}};
	for (const auto &step : steps) {
		SCOPED_TRACE("direction " + std::to_string(step[0]));
		EXPECT_EQ(DirectionStepX(static_cast<uint8_t>(step[0])), step[1]);
		EXPECT_EQ(DirectionStepY(static_cast<uint8_t>(step[0])), step[2]);
	}
}
