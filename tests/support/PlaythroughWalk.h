#pragma once
// One walk of the playthrough driver, as a player walks: along a path
// planned over the map's walkable ground, planned again now and then (for a
// goal that moves) and when held up before a tile (a foe or a person in the
// way), turning on whatever comes at the hero on the way, and trying another
// side of a target that gives no answer from where the hero stands.
#include "support/TilePathFinder.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

class Entity;
class PlaythroughDriver;
struct MapObjectDef;

class PlaythroughWalk {
public:
	// goal picks the tiles to plan toward (asked again on every plan); a
	// target is bumped into from the goal's tile; a link is the one way off
	// the map the path may cross.
	PlaythroughWalk(PlaythroughDriver &play, std::function<bool(const PathTile &)> goal, const Entity *target,
		const MapObjectDef *link, bool goalMayBeTaken);

	// Walks until arrived says so; fails the play after seconds, when the
	// map changes, or when no way leads to a goal without a target.
	void Until(const std::function<bool()> &arrived, const std::string &what, float seconds);

private:
	// A path from the hero's tile, round the tiles it was held up before
	// and the goal tiles the target gave no answer from.
	void Plan(const std::string &what);
	// One frame toward the path's next tile, or into the target.
	void Walk();

	PlaythroughDriver &play;
	std::function<bool(const PathTile &)> goal;
	const Entity *target;
	const MapObjectDef *link;
	bool goalMayBeTaken;
	std::vector<PathTile> path;
	size_t next = 0;
	int sincePlan;
	int sinceProgress = 0;
	float bestDistance;
	std::set<PathTile> stuckOn;
	std::set<PathTile> refused; // goal tiles the target gave no answer from
	int bumped = 0;             // frames spent bumping into the target from this tile
};
