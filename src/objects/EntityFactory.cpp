#include "objects/EntityFactory.h"

#include "objects/MapEntity.h"

// By the real class, not the class id: an entity may answer the map-entity
// test without being one, and must then be left alone.

void EntityFactory::LinkToMap(Entity *entity, TileMap *map, MapObjectDef *object)
{
	MapEntity *mapEntity = dynamic_cast<MapEntity *>(entity);
	if (mapEntity != nullptr)
		mapEntity->LinkToMap(map, object);
}

bool EntityFactory::IsStillFighting(Entity *entity)
{
	if (entity == nullptr)
		return false;
	// Something that only looks like an actor has no defeat of its own to
	// ask about: standing is all there is to it.
	const MapEntity *mapEntity = dynamic_cast<const MapEntity *>(entity);
	return mapEntity == nullptr || mapEntity->IsStillFighting();
}
