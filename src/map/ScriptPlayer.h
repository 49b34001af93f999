#pragma once

class PlayerStats;

// The hero as map scripts see it: the stats whose carried weight "if$" tests
// and the name of the map it should walk out to, which "map" sets. The world
// object that is the player implements it; a sequence finds the player among
// the entities of the map's scene and asks the entity for this face, so the
// map layer needs nothing of the world objects' own classes.
class ScriptPlayer {
public:
	virtual ~ScriptPlayer() = default;

	virtual PlayerStats &ScriptStats() = 0;
	// Names the map the player walks out to; null, empty or the current map's
	// own name clears it.
	virtual void SetExitTarget(const char *name) = 0;
};
