#include "objects/ObjectCommands.h"

#include "map/TileMap.h"

ObjectCommands::ObjectCommands(const TileMap *map, const MapObjectDef *object)
{
	if (map == nullptr || object == nullptr || object->commandCount == 0)
		return;
	const auto &commands = map->GetMapData().commands;
	const size_t start = object->firstCommand;
	if (start >= commands.size())
		return;
	first = &commands[start];
	count = object->commandCount;
	if (start + count > commands.size())
		count = commands.size() - start;
}
