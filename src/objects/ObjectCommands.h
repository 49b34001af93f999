#pragma once

#include "map/MapCommand.h"

#include <cstddef>

class TileMap;
struct MapObjectDef;

// The compiled script lines of one map object, as a range of the map's
// command table that a world object can walk with a range-for. Empty without
// a map or an object, and never reaching past the table's end. The lines
// belong to the map; the range is only valid while the map keeps them.
class ObjectCommands {
public:
	ObjectCommands(const TileMap *map, const MapObjectDef *object);

	const MapCommand *begin() const { return first; }
	const MapCommand *end() const { return first + count; }
	size_t size() const { return count; }

private:
	const MapCommand *first = nullptr;
	size_t count = 0;
};
