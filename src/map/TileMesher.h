#pragma once

#include "engine/core/MathUtil.h"
#include "engine/render/Mesh.h"

#include <cstdint>

class TileMapData;
struct MapTile;

// Turns a map's tile grid into the polygons of its ground: the top face of
// each tile (cut in half for a diagonal), the walls where a tile stands above
// its neighbour, the sloped face and flanks of a ramp, and the ring of border
// tiles that carries the edge terrain outward. The faces go into 14 layer
// meshes, the tops of levels 1 to 7 and then the walls of each, so that each
// level draws with its own material. The mesher owns neither the map data
// nor the meshes (the tile map holds both); it only appends to the meshes.
class TileMesher {
public:
	static constexpr int kLevelCount = 7;                   // levels with geometry: 1 to 6, and 7 water
	static constexpr int kSlotCount = 2 * kLevelCount;      // tops of levels 1 to 7, then their walls

	// meshes points at kSlotCount meshes that outlive the mesher.
	TileMesher(const TileMapData &mapData, Mesh *meshes);

	// The layer slot of a level's tops or walls; -1 for a level outside 1 to 7.
	static int SlotOf(uint8_t level, bool edge);

	// Starts a fresh build: a slot that fills up is logged again, once.
	void StartBuild();
	// Adds the faces of one tile placed at grid position (x, y), which may lie
	// outside the map (a border square).
	void BuildTile(const MapTile &tile, int x, int y);
	// Adds the border ring: twice the map's border value in squares on every
	// side, each repeating the map tile nearest to it. Nothing when the
	// border is 0.
	void BuildBorder();

private:
	Mesh *LayerMesh(uint8_t level, bool edge) const;
	float LevelHeight(uint8_t level) const;
	void AddTopFace(Mesh *mesh, uint32_t kind, int x, int y, uint8_t level);
	void AddWall(Mesh *mesh, int x, int y, uint8_t direction, uint8_t level, uint8_t lower);
	void AddDiagonalWall(Mesh *mesh, uint32_t kind, int x, int y, uint8_t level, uint8_t second);
	void AddRamp(const MapTile &tile, int x, int y);
	void AddQuad(Mesh *mesh, const Vec3 &p0, const Vec3 &p1, const Vec3 &p2, const Vec3 &p3, const Vec3 &normal);
	void AddPolygon(Mesh *mesh, const Vec3 *positions, const glm::vec2 *uvs, const Vec3 *normals, uint32_t count);

	const TileMapData &mapData;
	Mesh *meshes; // kSlotCount of them, owned by the tile map
	// Slots whose mesh filled up during the current build; logged once each.
	bool slotFull[kSlotCount] = {};
};
