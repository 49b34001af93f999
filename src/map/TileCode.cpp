#include "map/TileCode.h"

#include "map/TileMapData.h"

namespace {

struct TileCodeEntry {
	uint8_t tile;
	uint32_t kind; // 2 and 6 are turned by the flip flags
	uint8_t level;
	uint8_t secondLevel;
};

// The terrain tile set, searched in this order: flat levels, diagonals from
// each level down one to four steps, ramps, water (flat at level 7) and
// diagonals down into water. Entry 0 is also the answer for unknown tiles.
constexpr TileCodeEntry kTileTable[] = {
	{0, 0, 0, 0},
	{1, 1, 1, 1},
	{2, 1, 2, 2},
	{3, 1, 3, 3},
	{4, 1, 4, 4},
	{5, 1, 5, 5},
	{8, 2, 1, 0},
	{9, 2, 2, 1},
	{10, 2, 3, 2},
	{11, 2, 4, 3},
	{12, 2, 5, 4},
	{16, 2, 2, 0},
	{17, 2, 3, 1},
	{18, 2, 4, 2},
	{19, 2, 5, 3},
	{24, 2, 3, 0},
	{25, 2, 4, 1},
	{26, 2, 5, 2},
	{32, 2, 4, 0},
	{33, 2, 5, 1},
	{7, 6, 5, 4},
	{15, 6, 4, 3},
	{23, 6, 3, 2},
	{31, 6, 2, 1},
	{6, 1, 7, 0},
	{14, 2, 1, 7},
	{22, 2, 2, 7},
	{30, 2, 3, 7},
	{38, 2, 4, 7},
};

constexpr int kDigitWindow = 64; // characters of a cell text that are read

// Horizontal components of the diagonal normals; 1/sqrt(2) as the tile
// geometry has always used it.
constexpr float kDiagonalComponent = 0.70711356f;

} // namespace

void SplitTileId(uint32_t id, uint8_t *tile, uint8_t *flipHorizontal, uint8_t *flipVertical, uint8_t *flipDiagonal)
{
	if (tile != nullptr)
		*tile = static_cast<uint8_t>((id & kTileNumberMask) - 1);
	if (flipHorizontal != nullptr)
		*flipHorizontal = (id & kTileFlipHorizontal) != 0 ? 1 : 0;
	if (flipVertical != nullptr)
		*flipVertical = (id & kTileFlipVertical) != 0 ? 1 : 0;
	if (flipDiagonal != nullptr)
		*flipDiagonal = (id & kTileFlipDiagonal) != 0 ? 1 : 0;
}

void DecodeTileId(uint32_t id, MapTile *out)
{
	if (out == nullptr)
		return;
	uint8_t tile = 0;
	uint8_t flipH = 0;
	uint8_t flipV = 0;
	uint8_t flipD = 0;
	SplitTileId(id, &tile, &flipH, &flipV, &flipD);

	const TileCodeEntry *entry = &kTileTable[0];
	for (const TileCodeEntry &candidate : kTileTable) {
		if (candidate.tile == tile) {
			entry = &candidate;
			break;
		}
	}
	out->level = entry->level;
	out->secondLevel = entry->secondLevel;
	out->kind = entry->kind;

	// The editor writes a rotated tile as a combination of flips.
	uint32_t turns = 0;
	if (flipH && flipD)
		turns += 1;
	if (flipH && flipV)
		turns += 2;
	if (flipV && flipD)
		turns += 3;
	if (entry->kind == 2)
		out->kind = 2 + (1 + turns) % 4;
	else if (entry->kind == 6)
		out->kind = 6 + turns % 4;
}

uint32_t ParseTileId(const char *text)
{
	if (text == nullptr || text[0] == '\n')
		return 0;
	// Unsigned so that ids with the flip flags set wrap into their 32 bits
	// instead of overflowing.
	uint32_t id = 0;
	for (int i = 0; i < kDigitWindow && text[i] != '\0'; i++) {
		char c = text[i];
		if (c >= '0' && c <= '9')
			id = id * 10u + static_cast<uint32_t>(c - '0');
	}
	return id;
}

void DecodeTileCell(const char *text, MapTile *out)
{
	DecodeTileId(ParseTileId(text), out);
}

bool IsDiagonalKind(uint32_t kind)
{
	return kind >= kTileDiagonalNE && kind <= kTileDiagonalNW;
}

bool IsRampKind(uint32_t kind)
{
	return kind >= kTileRampNorth && kind <= kTileRampWest;
}

uint8_t KindDirection(uint32_t kind)
{
	if (kind >= kTileRampNorth && kind <= kTileRampWest)
		return static_cast<uint8_t>(kind - kTileRampNorth + kDirNorth);
	return kDirNone;
}

uint32_t MirrorKind(uint32_t kind)
{
	switch (kind) {
	case kTileDiagonalNE:
		return kTileDiagonalSW;
	case kTileDiagonalSE:
		return kTileDiagonalNW;
	case kTileDiagonalSW:
		return kTileDiagonalNE;
	case kTileDiagonalNW:
		return kTileDiagonalSE;
	case kTileRampNorth:
		return kTileRampSouth;
	case kTileRampEast:
		return kTileRampWest;
	case kTileRampSouth:
		return kTileRampNorth;
	case kTileRampWest:
		return kTileRampEast;
	default:
		return kind;
	}
}

Vec3 DiagonalNormal(uint32_t kind)
{
	switch (kind) {
	case kTileDiagonalNE:
		return Vec3(kDiagonalComponent, 0.0f, -kDiagonalComponent);
	case kTileDiagonalSE:
		return Vec3(kDiagonalComponent, 0.0f, kDiagonalComponent);
	case kTileDiagonalSW:
		return Vec3(-kDiagonalComponent, 0.0f, kDiagonalComponent);
	case kTileDiagonalNW:
		return Vec3(-kDiagonalComponent, 0.0f, -kDiagonalComponent);
	default:
		return Vec3(0.0f, 0.0f, 0.0f);
	}
}

int DirectionStepX(uint8_t direction)
{
	if (direction == kDirEast)
		return 1;
	if (direction == kDirWest)
		return -1;
	return 0;
}

int DirectionStepY(uint8_t direction)
{
	if (direction == kDirSouth)
		return 1;
	if (direction == kDirNorth)
		return -1;
	return 0;
}

Vec3 DirectionVector(uint8_t direction)
{
	return Vec3(static_cast<float>(DirectionStepX(direction)), 0.0f, static_cast<float>(DirectionStepY(direction)));
}
