#include "objects/MapEntityFactory.h"

// Actor kind ranges, inclusive.
constexpr uint32_t kPlayerKind = 1;
constexpr uint32_t kFirstTownsfolkKind = 26;
constexpr uint32_t kLastTownsfolkKind = 31;
constexpr uint32_t kFirstEnemyKind = 50;
constexpr uint32_t kLastEnemyKind = 57;
constexpr uint32_t kFirstLateEnemyKind = 61;
constexpr uint32_t kLastLateEnemyKind = 62;

bool IsActorKind(uint32_t kind)
{
	return kind == kPlayerKind || (kind >= kFirstTownsfolkKind && kind <= kLastTownsfolkKind)
		|| (kind >= kFirstEnemyKind && kind <= kLastEnemyKind)
		|| (kind >= kFirstLateEnemyKind && kind <= kLastLateEnemyKind);
}

bool MapEntityFactory::CanCreate(uint16_t type)
{
	return MapEntityKindFromType(type) < kEntityKindCount;
}

Entity *MapEntityFactory::Create(uint16_t type)
{
	return CreateByKind(MapEntityKindFromType(type));
}

Entity *MapEntityFactory::CreateByKind(uint32_t kind)
{
	// Every kind that has no class of its own builds nothing.
	(void)kind;
	return nullptr;
}
