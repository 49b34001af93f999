#include "objects/SafeGround.h"

#include "map/TileMap.h"

namespace {

constexpr uint32_t kFlatTileKind = 1; // slopes, ramps and holes are never safe

} // namespace

void SafeGround::Observe(const TileMap &map, const PlayerTile &tile, uint32_t tileKind)
{
	if (tileKind != kFlatTileKind || tile == candidateTile)
		return;
	if (candidateTile.IsSet()) {
		float was = map.HeightAtTile(candidateTile.x, candidateTile.y, 0.5f, 0.5f);
		float now = map.HeightAtTile(tile.x, tile.y, 0.5f, 0.5f);
		if (was == now) {
			safeTile = candidateTile;
		} else {
			safeTile.Unset();
			candidateTile.Unset();
		}
	}
	candidateTile = tile;
}

void SafeGround::Forget()
{
	safeTile.Unset();
	candidateTile.Unset();
}
