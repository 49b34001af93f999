#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>

struct MapObjectDef;
class TileMapData;

// Where a map lets the hero walk out: which edge exit a position beyond the
// map's border leads through, which way the hero walks out of a link object,
// and where along the link it left, for the next map to put it back at the
// same place. Tiles are signed: a position off the map's west edge is -2,
// not a clamped 0. Plain rules on the map's data; holds nothing.
class MapExits {
public:
	// Tiles beyond an edge at which its exit is taken.
	static constexpr int kEdgeTiles = 2;
	// How squarely the hero must face the edge (heading component).
	static constexpr float kEdgeHeading = 0.5f;

	// The edge exit of the map taken by a hero on tile (x, y) heading that
	// way; tested north, east, south, west, at most one. Null when none.
	static MapObjectDef *EdgeExitAt(TileMapData &data, int x, int y, const Vec3 &heading);
	// The direction code (1 to 4) in which a hero walks out through the link
	// object: the link's side of the map; 0 for a link inside the map.
	static uint32_t WalkOutDirection(const TileMapData &data, const MapObjectDef &link);
	// The tile's offset into the link along one axis, kept within the link.
	static uint8_t Span(int tile, uint16_t linkStart, uint16_t linkExtent);
};
