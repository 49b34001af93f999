#include "objects/SpawnFX.h"

#include "objects/FXSpawner.h"

static_assert(kFXKindCount == kFXKindLast, "one count of effect kinds");

FXEntity *SpawnFX(Entity *source, uint32_t kind, const Vec3 &offset)
{
	return FXSpawner::Spawn(source, kind, offset);
}

uint32_t StrikeFXForWeapon(uint32_t weaponKind)
{
	switch (weaponKind) {
	case 42: // key
		return 10;
	case 43: // sword
	case 49: // the sword of Quillowen
		return 1;
	case 44: // axe
		return 2;
	case 45: // fire sword
		return 4;
	case 46: // electric sword
		return 9;
	case 47: // ice sword
		return 5;
	default:
		return 3;
	}
}

void DeactivateAllFX()
{
	FXSpawner::DeactivateAll();
}
