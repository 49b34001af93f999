#pragma once

#include <cstdint>

class Entity;

// Builds the world object that a map's entity placement stands for. The tile
// map asks CanCreate first and calls Create only when it says yes; it neither
// owns nor deletes the factory, and what Create returns is handed to the
// tile map's scene, not to the factory.
class EntityFactory {
public:
	virtual ~EntityFactory() = default;

	// type: the placement's type byte from the map.
	virtual bool CanCreate(uint16_t type) = 0;
	// A new entity, or null when there is nothing to build for the type.
	virtual Entity *Create(uint16_t type) = 0;
};
