#pragma once

#include "map/EntityFactory.h"
#include "map/MapFiles.h"

#include <cstdint>

class MapEntity;

// The factory that the in-game scene and the map preloader give the tile
// map: it turns placement types into world objects by entity kind. Kinds
// without a class of their own build nothing, so a map still loads, only
// without those objects. Constructed without arguments; holds nothing.
class MapEntityFactory : public EntityFactory {
public:
	MapEntityFactory() = default;

	// True when the type's kind is one of the 64 entity kinds, whether or not
	// that kind builds anything.
	bool CanCreate(uint16_t type) override;
	Entity *Create(uint16_t type) override;
	// Map entities take their map, map object and name; other entities are
	// left alone.
	void LinkToMap(Entity *entity, TileMap *map, MapObjectDef *object) override;
	// A map entity's own rule (MapEntity::IsStillFighting); any other entity
	// counts by standing alone.
	bool IsStillFighting(Entity *entity) override;

	// A new, unplaced and unnamed world object of an entity kind, owned by the
	// caller; null for kinds outside 2 to 63 and for kinds without a class.
	static MapEntity *CreateByKind(uint32_t kind);
};
