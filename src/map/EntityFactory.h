#pragma once

#include <cstdint>

class Entity;
class TileMap;
struct MapObjectDef;

// Builds the world object that a map's entity placement stands for, and is
// the tile map's one way to the world objects it cannot name: the map asks
// the factory to link what it placed and whether an entity still fights. The
// world objects implement it; whoever sets a tile map up hands it one. The
// tile map asks CanCreate first and calls Create only when it says yes; it
// neither owns nor deletes the factory, and what Create returns is handed to
// the tile map's scene, not to the factory. The base builds nothing, links
// nothing and counts an entity as fighting while it exists.
class EntityFactory {
public:
	virtual ~EntityFactory() = default;

	// type: the placement's type byte from the map. Nothing by default.
	virtual bool CanCreate(uint16_t type) { (void)type; return false; }
	// A new entity, or null when there is nothing to build for the type.
	virtual Entity *Create(uint16_t type) = 0;
	// Hands a placed entity its map, its map object and the object's name.
	virtual void LinkToMap(Entity *entity, TileMap *map, MapObjectDef *object)
	{
		(void)entity;
		(void)map;
		(void)object;
	}
	// Asked by the map of an actor of the hostile side that still stands:
	// whether it has not been defeated yet. Null is false.
	virtual bool IsStillFighting(Entity *entity) { return entity != nullptr; }
};
