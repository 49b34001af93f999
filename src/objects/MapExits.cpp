#include "objects/MapExits.h"

#include "map/TileMapData.h"

#include <algorithm>
#include <cstdlib>

MapObjectDef *MapExits::EdgeExitAt(TileMapData &data, int x, int y, const Vec3 &heading)
{
	const int width = data.width;
	const int height = data.height;
	MapObjectDef *exits = data.exits;
	if (y <= -kEdgeTiles && exits[kExitNorth].id != 0 && heading.z < -kEdgeHeading)
		return &exits[kExitNorth];
	if (x >= width + kEdgeTiles && exits[kExitEast].id != 0 && heading.x > kEdgeHeading)
		return &exits[kExitEast];
	if (y >= height + kEdgeTiles && exits[kExitSouth].id != 0 && heading.z > kEdgeHeading)
		return &exits[kExitSouth];
	if (x <= -kEdgeTiles && exits[kExitWest].id != 0 && heading.x < -kEdgeHeading)
		return &exits[kExitWest];
	return nullptr;
}

uint32_t MapExits::WalkOutDirection(const TileMapData &data, const MapObjectDef &link)
{
	// Link positions are signed: an exit may lie just outside the map.
	const int x = static_cast<int16_t>(link.x);
	const int y = static_cast<int16_t>(link.y);
	const int dx = std::abs(x - data.width / 2);
	const int dy = std::abs(y - data.height / 2);
	if (dx <= dy) {
		if (y < 1)
			return kDirectionNorth;
		if (y > data.height - 2)
			return kDirectionSouth;
	} else {
		if (x < 1)
			return kDirectionWest;
		if (x > data.width - 2)
			return kDirectionEast;
	}
	return kDirectionNone;
}

uint8_t MapExits::Span(int tile, uint16_t linkStart, uint16_t linkExtent)
{
	return static_cast<uint8_t>(std::clamp(tile - static_cast<int16_t>(linkStart), 0, static_cast<int>(linkExtent)));
}
