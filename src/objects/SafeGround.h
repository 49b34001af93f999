#pragma once

#include "objects/PlayerTile.h"

class TileMap;

// The last tile the hero is known to have stood on safely, where it comes
// back after falling into water or lava. A flat tile becomes safe once the
// hero has walked from it onto a next flat tile of the same height: ground
// that only borders a drop or a slope is never trusted. Belongs to one map;
// Forget before the hero is placed on another.
class SafeGround {
public:
	// The hero stands on tile, grounded, on a tile record of kind tileKind.
	void Observe(const TileMap &map, const PlayerTile &tile, uint32_t tileKind);
	void Forget();
	// The hero was put back on the safe tile: confirming starts again from
	// there, so the tile it fell from next is not promoted on the way back.
	void Return() { candidateTile = safeTile; }
	const PlayerTile &Tile() const { return safeTile; }
	const PlayerTile &Candidate() const { return candidateTile; }

private:
	PlayerTile safeTile;
	PlayerTile candidateTile; // being confirmed
};
