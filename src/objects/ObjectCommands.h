#pragma once

#include "map/MapCommand.h"

#include <span>

class TileMap;
struct MapObjectDef;

// The compiled script lines of one map object, as a span of the map's
// command table that a world object can walk with a range-for. Empty without
// a map or an object, and never reaching past the table's end. The lines
// belong to the map; the span is only valid while the map keeps them.
std::span<const MapCommand> ObjectCommands(const TileMap *map, const MapObjectDef *object);
