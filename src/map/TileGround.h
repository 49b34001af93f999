#pragma once

#include "engine/core/MathUtil.h"
#include "map/TileMapData.h"

#include <cstdint>

struct EnvironmentLayer;

// The ground of a loaded map as walkers meet it: which tile a world point
// lies on, how high the ground stands anywhere on a tile (flat, diagonal or
// ramp), where a point of a tile lies in the world, how a move is stopped at
// walls that rise too high, and what surface a level has. It reads the tile
// map's data and owns nothing; the tile map keeps one and answers its ground
// questions through it. Positions are in map coordinates: tile (x, y) is
// centred on world (x * tile size, y * tile size).
class TileGround {
public:
	explicit TileGround(const TileMapData &data) : data(data) {}

	// A world coordinate as a 16-bit tile number: rounded down, so every tile
	// west and north of the map is as wide as those inside it (a walker two
	// tiles out reads -2), and held inside the 16-bit range; NaN lies outside
	// every map.
	static int16_t ToTileCoordinate(float value);
	// A 16-bit tile number plus an offset, held inside the 16-bit range.
	static int16_t OffsetTile(int16_t tile, int offset);

	bool IsInMap(int16_t x, int16_t y, int16_t margin) const;
	// The tile under a world position (not clamped); true when it lies in the
	// map.
	bool WorldToTile(const Vec3 &position, int16_t &x, int16_t &y) const;
	// Ground height at the fractions (0 to 1 from the west and north edges)
	// of a tile; the tile is clamped into the map.
	float HeightAtTile(int16_t x, int16_t y, float fx, float fz) const;
	float HeightAt(const Vec3 &position) const;
	// The world point at the fractions of a tile, on the ground.
	Vec3 TilePosition(int16_t x, int16_t y, float fx, float fz) const;
	// Keeps the position at least margin inside the map and puts it on the
	// ground; writes it back and returns it.
	Vec3 ClampToMap(Vec3 &position, float margin) const;
	// Stops a horizontal move of a body of the given radius at the walls of
	// flat tiles that rise more than step above the start; writes the allowed
	// destination back into to and returns it.
	Vec3 TraceMove(const Vec3 &from, Vec3 &to, float radius, float step) const;
	// The surface record of a level or of the tile at (x, y); null when none.
	const EnvironmentLayer *SurfaceOfLevel(uint8_t level) const;
	const EnvironmentLayer *SurfaceAt(int16_t x, int16_t y) const;

private:
	const TileMapData &data;
};
