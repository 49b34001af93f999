#include "map/MapObjectFinder.h"

#include "engine/core/NameHash.h"
#include "map/MapCommand.h"
#include "map/MapFiles.h"
#include "map/TileMapData.h"

MapObjectDef *MapObjectFinder::ObjectById(uint16_t id) const
{
	for (MapObjectDef &object : data.objects) {
		if (object.id == id)
			return &object;
	}
	return nullptr;
}

MapObjectDef *MapObjectFinder::ObjectByKey(uint16_t key) const
{
	if (key == 0)
		return nullptr;
	for (MapObjectDef &object : data.objects) {
		if (object.key == key)
			return &object;
	}
	return nullptr;
}

MapObjectDef *MapObjectFinder::EntityRecordById(uint16_t id) const
{
	for (MapObjectDef &record : data.entityRecords) {
		if (record.id == id)
			return &record;
	}
	return nullptr;
}

MapObjectDef *MapObjectFinder::ById(uint16_t id) const
{
	MapObjectDef *record = EntityRecordById(id);
	return record != nullptr ? record : ObjectById(id);
}

MapObjectDef *MapObjectFinder::EntityRecordByKey(uint16_t key) const
{
	if (key == 0)
		return nullptr;
	for (MapObjectDef &record : data.entityRecords) {
		if (record.key == key)
			return &record;
	}
	return nullptr;
}

MapObjectDef *MapObjectFinder::EntityRecordByKeyName(const char *name) const
{
	return EntityRecordByKey(HashName(name));
}

MapObjectDef *MapObjectFinder::EntityRecordByType(uint32_t kind) const
{
	for (MapObjectDef &record : data.entityRecords) {
		if (MapEntityKindFromType(record.type) == kind)
			return &record;
	}
	return nullptr;
}

const MapCommand *MapObjectFinder::LinkedOfKind(const MapObjectDef *object, uint32_t code) const
{
	if (object == nullptr || code == kCmdNone || object->commandCount == 0)
		return nullptr;
	for (size_t i = 0; i < object->commandCount; i++) {
		const size_t index = static_cast<size_t>(object->firstCommand) + i;
		if (index >= data.commands.size())
			break;
		if (data.commands[index].code == code)
			return &data.commands[index];
	}
	return nullptr;
}
