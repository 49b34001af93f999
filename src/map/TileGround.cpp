#include "map/TileGround.h"

#include "engine/core/MathUtil.h"
#include "map/EnvironmentTable.h"
#include "map/TileCode.h"
#include "map/TileMesher.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace {

constexpr float kCentreInset = 0.01f; // world units tile positions sit off the exact grid
constexpr float kNearlyZero = 0.001f; // world units under which a move is no move

// Clamps into [lo, hi]; a range turned inside out gives its midpoint.
float ClampRange(float value, float lo, float hi)
{
	if (lo > hi)
		return (lo + hi) * 0.5f;
	return Clamp(value, lo, hi);
}

bool Vec3NearlyEqual(const Vec3 &a, const Vec3 &b)
{
	return Vec3WithinRadius(a - b, kNearlyZero);
}

} // namespace

// Held inside the 16-bit range before the conversion, so far-off or broken
// positions can never overflow it.
int16_t TileGround::ToTileCoordinate(float value)
{
	constexpr float kLowest = static_cast<float>(std::numeric_limits<int16_t>::min());
	constexpr float kHighest = static_cast<float>(std::numeric_limits<int16_t>::max());
	if (std::isnan(value) || value <= kLowest)
		return std::numeric_limits<int16_t>::min();
	if (value >= kHighest)
		return std::numeric_limits<int16_t>::max();
	return static_cast<int16_t>(std::floor(value));
}

int16_t TileGround::OffsetTile(int16_t tile, int offset)
{
	int sum = static_cast<int>(tile) + offset;
	sum = std::clamp(sum, static_cast<int>(std::numeric_limits<int16_t>::min()),
		static_cast<int>(std::numeric_limits<int16_t>::max()));
	return static_cast<int16_t>(sum);
}

bool TileGround::IsInMap(int16_t x, int16_t y, int16_t margin) const
{
	return x >= margin && y >= margin && x <= data.width - margin - 1 && y <= data.height - margin - 1;
}

bool TileGround::WorldToTile(const Vec3 &position, int16_t &x, int16_t &y) const
{
	const float t = data.tileSize;
	x = ToTileCoordinate(position.x / t + 0.5f);
	y = ToTileCoordinate(position.z / t + 0.5f);
	return IsInMap(x, y, 0);
}

float TileGround::HeightAtTile(int16_t x, int16_t y, float fx, float fz) const
{
	const MapTile &tile = data.NearestTile(x, y);
	const float l = data.LevelHeight(tile.level);
	const float s = data.LevelHeight(tile.secondLevel);
	switch (tile.kind) {
	case kTileDiagonalNE:
		return fz > fx ? s : l;
	case kTileDiagonalSE:
		return fx + fz > 1.0f ? l : s;
	case kTileDiagonalSW:
		return fz > fx ? l : s;
	case kTileDiagonalNW:
		return fx + fz > 1.0f ? s : l;
	case kTileRampNorth:
		return (1.0f - fz) * l + fz * s;
	case kTileRampEast:
		return (1.0f - fx) * s + fx * l;
	case kTileRampSouth:
		return (1.0f - fz) * s + fz * l;
	case kTileRampWest:
		return (1.0f - fx) * l + fx * s;
	default:
		return l;
	}
}

float TileGround::HeightAt(const Vec3 &position) const
{
	int16_t x = 0;
	int16_t y = 0;
	WorldToTile(position, x, y);
	const float t = data.tileSize;
	// The remainder keeps the dividend's sign, so the first row and column,
	// west and north of the origin's half tile, give fractions below zero.
	const float fx = std::fmod(position.x - t * 0.5f, t) / t;
	const float fz = std::fmod(position.z - t * 0.5f, t) / t;
	return HeightAtTile(x, y, fx, fz);
}

Vec3 TileGround::TilePosition(int16_t x, int16_t y, float fx, float fz) const
{
	const float t = data.tileSize;
	return Vec3(static_cast<float>(x) * t + (Clamp01(fx) - 0.5f) * t - kCentreInset,
		HeightAtTile(x, y, fx, fz),
		static_cast<float>(y) * t + (Clamp01(fz) - 0.5f) * t - kCentreInset);
}

Vec3 TileGround::ClampToMap(Vec3 &position, float margin) const
{
	const float t = data.tileSize;
	const float lo = -t * 0.5f;
	position.x = ClampRange(position.x, lo + margin, static_cast<float>(data.width) * t + lo - margin);
	position.z = ClampRange(position.z, lo + margin, static_cast<float>(data.height) * t + lo - margin);
	position.y = HeightAt(position);
	return position;
}

Vec3 TileGround::TraceMove(const Vec3 &from, Vec3 &to, float radius, float step) const
{
	if (Vec3NearlyEqual(from, to))
		return to;
	int16_t x0 = 0;
	int16_t y0 = 0;
	WorldToTile(from, x0, y0);
	const float limit = HeightAt(from) + step;
	// Only a flat tile that rises above the limit blocks; slopes, holes and
	// lower ground are left to the walker's own physics.
	auto blocks = [this, limit](int16_t x, int16_t y) {
		return HeightAtTile(x, y, 0.5f, 0.5f) > limit && data.NearestTile(x, y).kind == kTileFlat;
	};

	// X first, then Z from where the X test left the move: the probe runs a
	// radius ahead of the target along the axis, and a blocking tile there
	// stops the target a radius short of the start tile's edge.
	for (int axis : {0, 2}) {
		const float d = to[axis] - from[axis];
		Vec3 probe = to;
		if (d > 0.0f)
			probe[axis] += radius;
		else if (d < 0.0f)
			probe[axis] -= radius;
		int16_t x1 = 0;
		int16_t y1 = 0;
		WorldToTile(probe, x1, y1);
		const int16_t start = axis == 0 ? x0 : y0;
		const int16_t reached = axis == 0 ? x1 : y1;
		if (reached == start || !blocks(x1, y1))
			continue;
		const float side = reached > start ? 1.0f : 0.0f;
		const Vec3 edge = axis == 0 ? TilePosition(x0, y0, side, 0.5f) : TilePosition(x0, y0, 0.5f, side);
		if (reached > start)
			to[axis] = std::min(to[axis], edge[axis] - radius);
		else
			to[axis] = std::max(to[axis], edge[axis] + radius);
	}
	return to;
}

const EnvironmentLayer *TileGround::SurfaceOfLevel(uint8_t level) const
{
	if (level == kLevelHole)
		return nullptr;
	const int k = (level - 1) % TileMesher::kLevelCount;
	if (data.layerIds[k] != 0)
		return FindEnvironmentLayer(data.layerIds[k]);
	const Environment *environment = FindEnvironment(data.environmentId);
	return environment != nullptr ? environment->layers[k] : nullptr;
}

const EnvironmentLayer *TileGround::SurfaceAt(int16_t x, int16_t y) const
{
	return SurfaceOfLevel(data.NearestTile(x, y).level);
}

