#pragma once

#include "map/MapFiles.h"
#include "objects/EntityFactory.h"

#include <cstdint>

class MapEntity;

constexpr uint32_t kEntityKindCount = 64; // kinds 0 to 63

// Townsfolk: kinds 26 to 31.
bool IsNPCKind(uint32_t kind);
// Creatures that fight the player: kinds 50 to 57, 61 and 62.
bool IsEnemyKind(uint32_t kind);
// Things the player picks up: kinds 34 to 49 (42 to 49 are the held tools).
bool IsPickupKind(uint32_t kind);
// True for the kinds that are actors: the player (1), townsfolk and enemies.
bool IsActorKind(uint32_t kind);

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

	// A new, unplaced and unnamed world object of an entity kind, owned by the
	// caller; null for kinds outside 2 to 63 and for kinds without a class.
	static MapEntity *CreateByKind(uint32_t kind);
};
