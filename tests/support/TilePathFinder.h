#pragma once
// A path over a loaded map's tiles for the playthrough driver: the hero's
// ground, as the map itself describes it. A step between two neighbouring
// tiles is allowed when the far side rises no more than the hero's step
// height at their shared edge (dropping down is allowed, at a higher cost);
// holes, water (and tiles with a water half), lava surfaces and the tiles a
// caller marks blocked are never entered. Diagonal steps never cut a corner.
#include "map/TileMap.h"

#include <functional>
#include <set>
#include <utility>
#include <vector>

struct PathTile {
	int x = 0;
	int y = 0;
	bool operator==(const PathTile &other) const { return x == other.x && y == other.y; }
	bool operator!=(const PathTile &other) const { return !(*this == other); }
	bool operator<(const PathTile &other) const { return y != other.y ? y < other.y : x < other.x; }
};

class TilePathFinder {
public:
	static constexpr float kDropCost = 2.0f; // extra cost of a step down a ledge

	explicit TilePathFinder(const TileMap &onMap) : map(onMap) {}

	// Tiles the hero must not enter (solid props, other links, tiles it got
	// stuck on).
	void Block(const PathTile &tile) { blocked.insert(tile); }
	void Unblock(const PathTile &tile) { blocked.erase(tile); }
	bool IsBlocked(const PathTile &tile) const { return blocked.count(tile) != 0; }
	void ClearBlocked() { blocked.clear(); }

	// Whether the hero can stand on the tile at all.
	bool IsGround(const PathTile &tile) const;
	// Whether one step from a to its neighbour b is walkable.
	bool CanStep(const PathTile &a, const PathTile &b) const;
	// The cheapest path from start to any tile that isGoal accepts, start
	// first and the goal last; empty when none is reachable. The start tile
	// itself need not be ground (the hero may stand on an edge).
	std::vector<PathTile> Find(const PathTile &start, const std::function<bool(const PathTile &)> &isGoal) const;
	// Every tile reachable from start.
	std::set<PathTile> Reachable(const PathTile &start) const;

	// The ground height at a fraction of a tile, as the map answers it.
	float Height(const PathTile &tile, float fx, float fz) const;

private:
	bool InMap(const PathTile &tile) const;

	const TileMap &map;
	std::set<PathTile> blocked;
};
