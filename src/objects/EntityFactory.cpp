#include "objects/EntityFactory.h"

#include "objects/MapEntity.h"

void EntityFactory::LinkToMap(Entity *entity, TileMap *map, MapObjectDef *object)
{
	if (entity == nullptr || !entity->IsKind(MapEntity::kClassId))
		return;
	static_cast<MapEntity *>(entity)->LinkToMap(map, object);
}

bool EntityFactory::IsStillFighting(Entity *entity)
{
	if (!IsMapEntity(entity) || !entity->IsKind(MapEntity::kClassId))
		return false;
	return static_cast<MapEntity *>(entity)->IsStillFighting();
}
