#pragma once

#include <cstddef>
#include <cstdint>

class TileMapData;
struct MapCommand;
struct MapObjectDef;

// Looks objects and entity records of one map's data up by id, name key or
// entity kind, and finds the script lines an object links to. It holds the
// map data it searches (not owned) and never changes it.
class MapObjectFinder {
public:
	explicit MapObjectFinder(TileMapData &data) : data(data) {}

	MapObjectDef *ObjectById(uint16_t id) const;
	// Null for key 0.
	MapObjectDef *ObjectByKey(uint16_t key) const;
	MapObjectDef *EntityRecordById(uint16_t id) const;
	// The entity record with the id, else the object with it.
	MapObjectDef *ById(uint16_t id) const;
	// Null for key 0.
	MapObjectDef *EntityRecordByKey(uint16_t key) const;
	MapObjectDef *EntityRecordByKeyName(const char *name) const;
	// The first record whose entity kind (type + 2) is kind.
	MapObjectDef *EntityRecordByType(uint32_t kind) const;
	// The first of the object's script lines with the code; null for no
	// object, code 0 or no script. Lines past the end of the command table
	// are never read.
	const MapCommand *LinkedOfKind(const MapObjectDef *object, uint32_t code) const;

private:
	TileMapData &data;
};
