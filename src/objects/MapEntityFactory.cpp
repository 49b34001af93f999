#include "objects/MapEntityFactory.h"

#include "objects/MapEntity.h"

namespace {

// Kind ranges, inclusive.
constexpr uint32_t kPlayerKind = 1;
constexpr uint32_t kFirstBuiltKind = 2;
constexpr uint32_t kFirstTownsfolkKind = 26;
constexpr uint32_t kLastTownsfolkKind = 31;
constexpr uint32_t kFirstPickupKind = 34;
constexpr uint32_t kLastPickupKind = 49;
constexpr uint32_t kFirstEnemyKind = 50;
constexpr uint32_t kLastEnemyKind = 57;
constexpr uint32_t kFirstLateEnemyKind = 61;
constexpr uint32_t kLastLateEnemyKind = 62;

bool InRange(uint32_t kind, uint32_t first, uint32_t last)
{
	return kind >= first && kind <= last;
}

} // namespace

bool IsNPCKind(uint32_t kind)
{
	return InRange(kind, kFirstTownsfolkKind, kLastTownsfolkKind);
}

bool IsEnemyKind(uint32_t kind)
{
	return InRange(kind, kFirstEnemyKind, kLastEnemyKind) || InRange(kind, kFirstLateEnemyKind, kLastLateEnemyKind);
}

bool IsPickupKind(uint32_t kind)
{
	return InRange(kind, kFirstPickupKind, kLastPickupKind);
}

bool IsActorKind(uint32_t kind)
{
	return kind == kPlayerKind || IsNPCKind(kind) || IsEnemyKind(kind);
}

bool MapEntityFactory::CanCreate(uint16_t type)
{
	return MapEntityKindFromType(type) < kEntityKindCount;
}

Entity *MapEntityFactory::Create(uint16_t type)
{
	return CreateByKind(MapEntityKindFromType(type));
}

MapEntity *MapEntityFactory::CreateByKind(uint32_t kind)
{
	if (kind < kFirstBuiltKind || kind >= kEntityKindCount)
		return nullptr;
	// The classes of the kinds come with the props, pickups, townsfolk and
	// creatures; until then every kind builds nothing and its map object
	// stays a record without an entity.
	return nullptr;
}
