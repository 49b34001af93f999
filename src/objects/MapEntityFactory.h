#pragma once

#include "map/MapFiles.h"
#include "objects/EntityFactory.h"

#include <cstdint>

constexpr uint32_t kEntityKindCount = 64; // kinds 0 to 63

// True for the kinds that are actors: the player (1), townsfolk (26 to 31)
// and enemies (50 to 57, 61 and 62).
bool IsActorKind(uint32_t kind);

// The factory that the in-game scene and the map preloader give the tile
// map: it turns placement types into world objects by entity kind. Kinds
// without a class of their own build nothing, so a map still loads, only
// without those objects. Constructed without arguments; holds nothing.
class MapEntityFactory : public EntityFactory {
public:
	MapEntityFactory() = default;

	// True when the type's kind is one of the 64 entity kinds.
	bool CanCreate(uint16_t type) override;
	Entity *Create(uint16_t type) override;

	// The world object of an entity kind; null for kinds without a class.
	static Entity *CreateByKind(uint32_t kind);
};
