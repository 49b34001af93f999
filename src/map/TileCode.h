#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>

struct MapTile;

// Tile layers and tile objects of a Tiled map hold global tile ids: a tile
// number in the low bits and the editor's three flip flags on top. The map
// keeps, per cell, a tile kind and two height levels instead; this is where a
// tile id becomes that record, with diagonal and ramp tiles turned by the way
// they were rotated in the editor. The terrain tile set starts at global id 1
// and holds at most 64 tiles.
//
// Also here: the shape helpers of tile kinds and the direction codes shared
// by tiles, scripts and world objects (1 north -Z, 2 east +X, 3 south +Z,
// 4 west -X, anything else none).

constexpr uint32_t kTileFlipHorizontal = 0x80000000u;
constexpr uint32_t kTileFlipVertical = 0x40000000u;
constexpr uint32_t kTileFlipDiagonal = 0x20000000u;
constexpr uint32_t kTileNumberMask = 63; // the tile set holds at most 64 tiles

enum TileKind : uint32_t {
	kTileNothing = 0,
	kTileFlat = 1,
	kTileDiagonalNE = 2, // high half north-east
	kTileDiagonalSE = 3,
	kTileDiagonalSW = 4,
	kTileDiagonalNW = 5,
	kTileRampNorth = 6,  // rising toward the north edge
	kTileRampEast = 7,
	kTileRampSouth = 8,
	kTileRampWest = 9,
};

constexpr uint8_t kLevelHole = 0;  // no ground
constexpr uint8_t kLevelWater = 7;

enum Direction : uint8_t {
	kDirNone = 0,
	kDirNorth = 1,
	kDirEast = 2,
	kDirSouth = 3,
	kDirWest = 4,
};

// Splits a global id. Any output may be null. An empty cell (id 0) gives the
// tile number 255; each flag output is 1 or 0.
void SplitTileId(uint32_t id, uint8_t *tile, uint8_t *flipHorizontal, uint8_t *flipVertical, uint8_t *flipDiagonal);

// Turns a global id into the cell record. Tile numbers missing from the tile
// table give an empty cell.
void DecodeTileId(uint32_t id, MapTile *out);
// The same from the id's decimal text. Only digits count; larger numbers keep
// their low 32 bits, where Tiled's flip flags live.
void DecodeTileCell(const char *text, MapTile *out);
// The id of a decimal text as the cell decoding reads it: the digits among the
// first 64 characters, kept to 32 bits; 0 for null or a leading line feed.
uint32_t ParseTileId(const char *text);

// Diagonal kinds 2 to 5.
bool IsDiagonalKind(uint32_t kind);
// Ramp kinds 6 to 9.
bool IsRampKind(uint32_t kind);
// The direction a ramp rises toward (kinds 6 to 9 give 1 to 4); 0 otherwise.
uint8_t KindDirection(uint32_t kind);
// The kind as seen in a mirror: diagonals and ramps swap with their opposite.
uint32_t MirrorKind(uint32_t kind);
// The horizontal unit vector toward the high half of a diagonal kind; zero for
// every other kind.
Vec3 DiagonalNormal(uint32_t kind);

// Column and row step of a direction code; 0 for none.
int DirectionStepX(uint8_t direction);
int DirectionStepY(uint8_t direction);
// The horizontal unit vector of a direction code; zero for none.
Vec3 DirectionVector(uint8_t direction);
