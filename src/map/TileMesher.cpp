#include "map/TileMesher.h"

#include "engine/core/Log.h"
#include "map/TileCode.h"
#include "map/TileMapData.h"

#include <algorithm>

namespace {

constexpr uint8_t kLevelWithoutWalls = 6;  // the top terrace stands free of walls

constexpr float kFaceOverlap = 0.01f;          // world units tops reach into their neighbours
constexpr float kDiagonalHalfLength = 0.7071f; // half a tile's diagonal, in tile sizes

// The horizontal vector to the right of a facing, n x up.
Vec3 SideOf(const Vec3 &n)
{
	return Vec3(-n.z, 0.0f, n.x);
}

// The sides of a diagonal tile that border its low half get no wall.
bool IsOpenSide(uint32_t kind, uint8_t direction)
{
	switch (kind) {
	case kTileDiagonalNE:
		return direction != kDirNorth && direction != kDirEast;
	case kTileDiagonalSE:
		return direction != kDirSouth && direction != kDirEast;
	case kTileDiagonalSW:
		return direction != kDirSouth && direction != kDirWest;
	case kTileDiagonalNW:
		return direction != kDirNorth && direction != kDirWest;
	default:
		return false;
	}
}

} // namespace

TileMesher::TileMesher(const TileMapData &mapData, Mesh *meshes)
	: mapData(mapData), meshes(meshes)
{
}

int TileMesher::SlotOf(uint8_t level, bool edge)
{
	if (level < 1 || level > kLevelCount)
		return -1;
	return level - 1 + (edge ? kLevelCount : 0);
}

Mesh *TileMesher::LayerMesh(uint8_t level, bool edge) const
{
	const int slot = SlotOf(level, edge);
	return slot < 0 ? nullptr : &meshes[slot];
}

float TileMesher::LevelHeight(uint8_t level) const
{
	return mapData.LevelHeight(level);
}

void TileMesher::StartBuild()
{
	std::fill(std::begin(slotFull), std::end(slotFull), false);
}

void TileMesher::BuildTile(const MapTile &tile, int x, int y)
{
	if (IsRampKind(tile.kind)) {
		AddRamp(tile, x, y);
		return;
	}
	if (tile.level > 0 && tile.kind != kTileNothing)
		AddTopFace(LayerMesh(tile.level, false), tile.kind, x, y, tile.level);
	if (IsDiagonalKind(tile.kind) && tile.secondLevel != 0)
		AddTopFace(LayerMesh(tile.secondLevel, false), MirrorKind(tile.kind), x, y, tile.secondLevel);

	for (uint8_t d = kDirNorth; d <= kDirWest; d++) {
		const MapTile &neighbour = mapData.NearestTile(x + DirectionStepX(d), y + DirectionStepY(d));
		// Heights, not level numbers, decide: water is level 7 but stands at
		// 0.3, so ground above it still needs its wall down to the surface.
		if (LevelHeight(neighbour.secondLevel) < LevelHeight(tile.level) && !IsOpenSide(tile.kind, d) &&
			tile.level != kLevelWithoutWalls)
			AddWall(LayerMesh(tile.level, true), x, y, d, tile.level, neighbour.secondLevel);
	}
	if (IsDiagonalKind(tile.kind))
		AddDiagonalWall(LayerMesh(tile.level, true), tile.kind, x, y, tile.level, tile.secondLevel);
}

void TileMesher::AddTopFace(Mesh *mesh, uint32_t kind, int x, int y, uint8_t level)
{
	const float t = mapData.tileSize;
	const float h = LevelHeight(level);
	const float e = t * 0.5f + kFaceOverlap;
	const float cx = static_cast<float>(x) * t;
	const float cz = static_cast<float>(y) * t;
	const float u = static_cast<float>(x);
	const float v = static_cast<float>(y);

	struct Corner {
		Vec3 position;
		glm::vec2 uv;
		uint32_t leftOutFor;
	};
	const Corner corners[4] = {
		{Vec3(cx - e, h, cz - e), glm::vec2(u, v), kTileDiagonalSE},
		{Vec3(cx + e, h, cz - e), glm::vec2(u + 1.0f, v), kTileDiagonalSW},
		{Vec3(cx + e, h, cz + e), glm::vec2(u + 1.0f, v + 1.0f), kTileDiagonalNW},
		{Vec3(cx - e, h, cz + e), glm::vec2(u, v + 1.0f), kTileDiagonalNE},
	};
	Vec3 positions[4];
	glm::vec2 uvs[4];
	Vec3 normals[4];
	uint32_t count = 0;
	for (const Corner &corner : corners) {
		if (corner.leftOutFor == kind)
			continue;
		positions[count] = corner.position;
		uvs[count] = corner.uv;
		normals[count] = Vec3(0.0f, 1.0f, 0.0f);
		count++;
	}
	AddPolygon(mesh, positions, uvs, normals, count);
}

void TileMesher::AddQuad(Mesh *mesh, const Vec3 &p0, const Vec3 &p1, const Vec3 &p2, const Vec3 &p3, const Vec3 &normal)
{
	const Vec3 positions[4] = {p0, p1, p2, p3};
	const glm::vec2 uvs[4] = {glm::vec2(0.0f, 1.0f), glm::vec2(1.0f, 1.0f), glm::vec2(1.0f, 0.0f), glm::vec2(0.0f, 0.0f)};
	const Vec3 normals[4] = {normal, normal, normal, normal};
	AddPolygon(mesh, positions, uvs, normals, 4);
}

void TileMesher::AddPolygon(Mesh *mesh, const Vec3 *positions, const glm::vec2 *uvs, const Vec3 *normals, uint32_t count)
{
	if (mesh == nullptr)
		return;
	uint32_t before = mesh->GetVertexCount();
	mesh->AddPolygon(positions, uvs, normals, count);
	if (count >= 3 && mesh->GetVertexCount() == before) {
		int slot = static_cast<int>(mesh - meshes);
		if (!slotFull[slot]) {
			slotFull[slot] = true;
			Log("Tile mesh %i is full; %s loses faces\n", slot, mapData.GetMapName());
		}
	}
}

void TileMesher::AddWall(Mesh *mesh, int x, int y, uint8_t direction, uint8_t level, uint8_t lower)
{
	const float t = mapData.tileSize;
	const Vec3 n = DirectionVector(direction);
	const Vec3 side = SideOf(n);
	const Vec3 c = Vec3(static_cast<float>(x) * t, LevelHeight(lower), static_cast<float>(y) * t) + n * (t * 0.5f);
	const Vec3 a = c - side * (t * 0.5f);
	const Vec3 b = c + side * (t * 0.5f);
	const Vec3 v(0.0f, LevelHeight(level) - LevelHeight(lower), 0.0f);
	// Water beside higher ground: the ground's own wall covers it.
	if (v.y < 0.0f)
		return;
	AddQuad(mesh, a, b, b + v, a + v, n);
}

void TileMesher::AddDiagonalWall(Mesh *mesh, uint32_t kind, int x, int y, uint8_t level, uint8_t second)
{
	const float t = mapData.tileSize;
	const Vec3 n = DiagonalNormal(kind);
	const Vec3 side = SideOf(n);
	const float r = kDiagonalHalfLength * t;
	const Vec3 c(static_cast<float>(x) * t, LevelHeight(second), static_cast<float>(y) * t);
	const Vec3 a = c - side * r;
	const Vec3 b = c + side * r;
	const Vec3 v(0.0f, LevelHeight(level) - LevelHeight(second), 0.0f);
	AddQuad(mesh, a, b, b + v, a + v, n);
}

void TileMesher::AddRamp(const MapTile &tile, int x, int y)
{
	const float t = mapData.tileSize;
	const Vec3 n = DirectionVector(KindDirection(tile.kind));
	const Vec3 side = SideOf(n);
	Mesh *top = LayerMesh(tile.level, false);
	Mesh *edge = LayerMesh(tile.level, true);

	const Vec3 m = Vec3(static_cast<float>(x) * t, LevelHeight(tile.secondLevel), static_cast<float>(y) * t) - n * (t * 0.5f);
	const Vec3 low1 = m - side * (t * 0.5f);
	const Vec3 low2 = m + side * (t * 0.5f);
	const Vec3 climb = n * t + Vec3(0.0f, LevelHeight(tile.level) - LevelHeight(tile.secondLevel), 0.0f);
	const Vec3 high1 = low1 + climb;
	const Vec3 high2 = low2 + climb;
	AddQuad(top, low1, low2, high2, high1, Vec3(0.0f, 1.0f, 0.0f));

	// The side walls reach down to the floor of a hole, so a ramp beside
	// lower ground never shows a gap under its flank.
	const float floor = TileMapData::kHoleHeight;
	auto down = [floor](Vec3 p) {
		p.y = floor;
		return p;
	};
	AddQuad(edge, down(high1), down(low1), low1, high1, -side);
	AddQuad(edge, down(high2), down(low2), low2, high2, side);
}

void TileMesher::BuildBorder()
{
	if (mapData.border == 0)
		return;
	const int b = 2 * static_cast<int>(mapData.border);
	const int w = mapData.width;
	const int h = mapData.height;
	struct Strip {
		int x0, x1, y0, y1; // start included, end excluded
	};
	const Strip strips[4] = {
		{-b, w + b, -b, 0}, // north
		{-b, w + b, h, h + b}, // south
		{-b, 0, -b, h + b}, // west
		{w, w + b, -b, h + b}, // east
	};
	// Each border square repeats the map tile nearest to it, so the terrain
	// at the edge runs on outward.
	for (const Strip &strip : strips) {
		for (int y = strip.y0; y < strip.y1; y++) {
			for (int x = strip.x0; x < strip.x1; x++)
				BuildTile(mapData.NearestTile(x, y), x, y);
		}
	}
}
