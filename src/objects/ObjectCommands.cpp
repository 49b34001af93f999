#include "objects/ObjectCommands.h"

#include "map/TileMap.h"

#include <algorithm>

std::span<const MapCommand> ObjectCommands(const TileMap *map, const MapObjectDef *object)
{
	if (map == nullptr || object == nullptr || object->commandCount == 0)
		return {};
	const auto &commands = map->GetMapData().commands;
	const size_t start = object->firstCommand;
	if (start >= commands.size())
		return {};
	const size_t count = std::min<size_t>(object->commandCount, commands.size() - start);
	return std::span<const MapCommand>(commands.data() + start, count);
}
