#include "support/TilePathFinder.h"

#include "engine/core/NameHash.h"
#include "map/EnvironmentTable.h"
#include "map/TileCode.h"
#include "objects/PlayerTuning.h"

#include <cmath>
#include <map>
#include <queue>

namespace {

bool IsWet(uint8_t level) { return level == kLevelHole || level == kLevelWater; }

} // namespace

bool TilePathFinder::InMap(const PathTile &tile) const
{
	const TileMapData &data = map.GetMapData();
	return tile.x >= 0 && tile.y >= 0 && tile.x < data.width && tile.y < data.height;
}

float TilePathFinder::Height(const PathTile &tile, float fx, float fz) const
{
	return map.HeightAtTile(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y), fx, fz);
}

bool TilePathFinder::IsGround(const PathTile &tile) const
{
	if (!InMap(tile) || IsBlocked(tile))
		return false;
	const MapTile &cell = map.TileAt(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y));
	if (cell.kind == kTileNothing || IsWet(cell.level))
		return false;
	if ((IsDiagonalKind(cell.kind) || IsRampKind(cell.kind)) && IsWet(cell.secondLevel))
		return false;
	static const uint16_t lava = HashName("lava");
	const EnvironmentLayer *surface = map.SurfaceAt(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y));
	return surface == nullptr || surface->id != lava;
}

bool TilePathFinder::CanStep(const PathTile &a, const PathTile &b) const
{
	if (!IsGround(b))
		return false;
	const int dx = b.x - a.x;
	const int dy = b.y - a.y;
	if (dx != 0 && dy != 0) {
		// A diagonal step: both tiles beside it must be walkable both ways.
		const PathTile side1{a.x + dx, a.y};
		const PathTile side2{a.x, a.y + dy};
		return CanStep(a, side1) && CanStep(side1, b) && CanStep(a, side2) && CanStep(side2, b);
	}
	// Heights on either side of the shared edge, a little inside each tile.
	const float inA = 0.92f;
	const float inB = 0.08f;
	float fromHeight = 0.0f;
	float toHeight = 0.0f;
	if (dx != 0) {
		fromHeight = Height(a, dx > 0 ? inA : inB, 0.5f);
		toHeight = Height(b, dx > 0 ? inB : inA, 0.5f);
	} else {
		fromHeight = Height(a, 0.5f, dy > 0 ? inA : inB);
		toHeight = Height(b, 0.5f, dy > 0 ? inB : inA);
	}
	return toHeight - fromHeight <= PlayerTuning::kStepHeight;
}

std::vector<PathTile> TilePathFinder::Find(const PathTile &start, const std::function<bool(const PathTile &)> &isGoal) const
{
	using Entry = std::pair<float, PathTile>;
	auto later = [](const Entry &a, const Entry &b) { return a.first > b.first; };
	std::priority_queue<Entry, std::vector<Entry>, decltype(later)> open(later);
	std::map<PathTile, float> cost;
	std::map<PathTile, PathTile> cameFrom;
	cost[start] = 0.0f;
	open.push({0.0f, start});
	while (!open.empty()) {
		const auto [soFar, tile] = open.top();
		open.pop();
		if (soFar > cost[tile])
			continue;
		if (isGoal(tile)) {
			std::vector<PathTile> path{tile};
			PathTile at = tile;
			while (at != start) {
				at = cameFrom[at];
				path.insert(path.begin(), at);
			}
			return path;
		}
		for (int dy = -1; dy <= 1; dy++) {
			for (int dx = -1; dx <= 1; dx++) {
				if (dx == 0 && dy == 0)
					continue;
				const PathTile next{tile.x + dx, tile.y + dy};
				if (!CanStep(tile, next))
					continue;
				float step = dx != 0 && dy != 0 ? 1.41f : 1.0f;
				if (Height(next, 0.5f, 0.5f) < Height(tile, 0.5f, 0.5f) - PlayerTuning::kStepHeight)
					step += kDropCost;
				const float total = soFar + step;
				auto known = cost.find(next);
				if (known != cost.end() && known->second <= total)
					continue;
				cost[next] = total;
				cameFrom[next] = tile;
				open.push({total, next});
			}
		}
	}
	return {};
}

std::set<PathTile> TilePathFinder::Reachable(const PathTile &start) const
{
	std::set<PathTile> seen{start};
	std::vector<PathTile> todo{start};
	while (!todo.empty()) {
		const PathTile tile = todo.back();
		todo.pop_back();
		for (int dy = -1; dy <= 1; dy++)
			for (int dx = -1; dx <= 1; dx++) {
				const PathTile next{tile.x + dx, tile.y + dy};
				if ((dx != 0 || dy != 0) && seen.count(next) == 0 && CanStep(tile, next)) {
					seen.insert(next);
					todo.push_back(next);
				}
			}
	}
	return seen;
}
