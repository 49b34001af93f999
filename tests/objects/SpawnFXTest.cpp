// The callers' side of effects: a request without a scene to join answers
// null, and the weapon table names the strike of each weapon. The pools
// themselves are tested with FXSpawner.
#include "objects/SpawnFX.h"

#include "support/TestWalker.h"

#include <gtest/gtest.h>

#include <string>

TEST(SpawnFX, WithoutASceneNothingSpawnsForAnyKind)
{
	Walker source(nullptr);
	for (uint32_t kind : {0u, 1u, 16u, 19u, 20u, 21u}) {
		SCOPED_TRACE("kind " + std::to_string(kind));
		EXPECT_EQ(SpawnFX(&source, kind, Vec3(0.0f, 1.0f, 0.0f)), nullptr);
		EXPECT_EQ(SpawnFX(nullptr, kind, Vec3(0.0f)), nullptr);
	}
	DeactivateAllFX(); // with nothing spawned, nothing to switch off
	EXPECT_EQ(source.lifeState, kLifeNew);
}

TEST(SpawnFX, EachWeaponSwingsItsOwnStrike)
{
	struct Row {
		uint32_t weapon;
		uint32_t effect;
	};
	const Row rows[] = {
		{0, 3},   // bare hands
		{42, 10}, // key
		{43, 1},  // sword
		{44, 2},  // axe
		{45, 4},  // fire sword
		{46, 9},  // electric sword
		{47, 5},  // ice sword
		{48, 3},  // the dress is no weapon
		{49, 1},  // the sword of Quillowen swings like the sword
		{50, 3},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("weapon " + std::to_string(row.weapon));
		EXPECT_EQ(StrikeFXForWeapon(row.weapon), row.effect);
	}
}
