#include "objects/FXWorld.h"

#include "engine/collision/Collider.h"
#include "objects/FXProjectile.h"
#include "objects/FXStrikeEntity.h"
#include "objects/SpawnFX.h"
#include "support/GridMap.h"

#include <string>

namespace {

constexpr uint32_t kGrassKind = 21;

// A tuft of grass that counts the blows it takes.
class CountingGrass : public MapEntity {
public:
	CountingGrass() : MapEntity(kGrassKind) { CreateCollider(Collider::kModeStatic, Vec3(1.0f), Vec3(0.0f, 0.5f, 0.0f)); }
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override
	{
		(void)power;
		strikes++;
		lastAttacker = attacker;
		lastDamage = damage;
		return true;
	}
	int strikes = 0;
	MapEntity *lastAttacker = nullptr;
	uint8_t lastDamage = 0;
};

TEST_F(FXWorld, EachWeaponsStrikeStandsBeforeTheSwinger)
{
	struct Row {
		uint32_t weapon;
		float box, reach;
		uint8_t damage;
		float power;
		const char *sound;
	};
	const Row rows[] = {
		{43, 1.3f, 1.0f, 1, 1.0f, "sfx/strsw"},
		{49, 1.3f, 1.0f, 1, 1.0f, "sfx/strsw"},
		{44, 1.8f, 0.8f, 2, 1.2f, "sfx/straxe"},
		{42, 1.35f, 0.5f, 1, 1.5f, "sfx/strike_key.wav"},
		{0, 0.7f, 0.5f, 0, 0.8f, "sfx/strike_key.wav"},
		{48, 0.7f, 0.5f, 0, 0.8f, "sfx/strike_key.wav"},
	};
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(2.0f, 0.0f, 2.0f));
	Face(*hero, Vec3(1.0f, 0.0f, 0.0f));
	for (const Row &row : rows) {
		SCOPED_TRACE("weapon " + std::to_string(row.weapon));
		sounds.names.clear();
		hero->stats.heldKind = row.weapon;
		Swing(*hero);
		FXPool *pool = FXSpawner::FindPool(StrikeFXForWeapon(row.weapon));
		ASSERT_NE(nullptr, pool);
		FXEntity *strike = pool->At(static_cast<uint16_t>((pool->GetNextIndex() + pool->GetCount() - 1) % pool->GetCount()));
		EXPECT_NEAR(2.3f, strike->transform.position.x, 1e-5f);
		EXPECT_NEAR(0.6f, strike->transform.position.y, 1e-5f);
		EXPECT_NEAR(2.0f, strike->transform.position.z, 1e-5f);
		Frame();
		ASSERT_NE(nullptr, strike->collider);
		EXPECT_FLOAT_EQ(row.box, strike->collider->size.y);
		EXPECT_NEAR(row.reach, strike->collider->offset.x, 1e-5f);
		EXPECT_EQ(row.damage, strike->damage);
		EXPECT_FLOAT_EQ(row.power, strike->power);
		EXPECT_EQ(1u, sounds.Count(row.sound));
		Frames(5);
		EXPECT_EQ(static_cast<uint32_t>(kLifePaused), strike->lifeState) << "a swing lasts 0.2 s";
	}
}

TEST_F(FXWorld, AStrikeHitsAcrossTheHostileLineButNeverItsSwinger)
{
	struct Row {
		const char *what;
		uint8_t swingerSide, targetSide;
		bool hits;
	};
	const Row rows[] = {
		{"hero on a chook", kFactionPlayer, kFactionHostile, true},
		{"hero on a townsperson", kFactionPlayer, kFactionTownsfolk, false},
		{"chook on the hero", kFactionHostile, kFactionPlayer, true},
		{"chook on a chook", kFactionHostile, kFactionHostile, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		auto swinger = Spawn(kHeroKind, row.swingerSide, 6, Vec3(0.0f));
		Face(*swinger, Vec3(1.0f, 0.0f, 0.0f));
		auto target = Spawn(kChookKind, row.targetSide, 6, Vec3(1.6f, 0.0f, 0.0f));
		FXEntity *dustBefore = FXSpawner::FindPool(kFXKindDust) ? FXSpawner::FindPool(kFXKindDust)->At(0) : nullptr;
		const uint16_t dustIndex = dustBefore ? FXSpawner::FindPool(kFXKindDust)->GetNextIndex() : 0;
		swinger->stats.heldKind = 43;
		Swing(*swinger);
		Frames(5);
		EXPECT_EQ(row.hits ? 5 : 6, target->stats.hearts);
		EXPECT_EQ(6, swinger->stats.hearts) << "never the swinger";
		FXPool *dust = FXSpawner::FindPool(kFXKindDust);
		const uint16_t dustNow = dust != nullptr ? dust->GetNextIndex() : 0;
		EXPECT_EQ((dustIndex + 1) % 8, dustNow) << "one dust cloud per 0.2 s of contact, a blow refused or not";
		scene.RemoveEntity(swinger.get());
		scene.RemoveEntity(target.get());
		Frame();
	}
}

TEST_F(FXWorld, AFireballBurstsAtWhatItTouchesAndCountsTowardTheChain)
{
	struct Row {
		const char *what;
		uint8_t targetSide;
		uint8_t heartsAfter;
		int chain;
	};
	const Row rows[] = {
		{"an enemy", kFactionHostile, 4, 2},
		{"a townsperson", kFactionTownsfolk, 10, 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
		Face(*hero, Vec3(0.0f, 0.0f, 1.0f));
		auto target = Spawn(kChookKind, row.targetSide, 10, Vec3(0.0f, 0.0f, 6.0f));
		hero->stats.heldKind = 45;
		Swing(*hero);
		FXEntity *ball = FXSpawner::FindPool(kFXKindFireball)->At(0);
		Frame();
		EXPECT_EQ(6, ball->damage);
		EXPECT_NEAR(0.5f, ball->transform.position.y, 1e-5f) << "shot from half a unit up";
		int frames = 0;
		while (ball->lifeState == kLifeRunning && frames < 40) {
			Frame();
			frames++;
		}
		EXPECT_LT(frames, 20) << "15 units a second covers the 6 units in about 8 frames";
		EXPECT_EQ(static_cast<uint32_t>(kLifePaused), ball->lifeState);
		EXPECT_EQ(row.heartsAfter, target->stats.hearts);
		EXPECT_EQ(row.chain, hero->chainHits);
		FXEntity *burst = FXSpawner::FindPool(kFXKindExplosion)->At(0);
		EXPECT_EQ(target->transform.position, burst->transform.position) << "the burst is where the bolt ended";
		EXPECT_EQ(6u, hero->stats.hearts);
		FXSpawner::ReleaseAll();
	}
}

TEST_F(FXWorld, BoltsCutGrassAndFlyOn)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	Face(*hero, Vec3(1.0f, 0.0f, 0.0f));
	CountingGrass grass;
	grass.transform.position = Vec3(3.0f, 0.0f, 0.0f);
	scene.AddEntity(&grass);
	hero->stats.heldKind = 46; // the electric sword
	Swing(*hero);
	FXEntity *bolt = FXSpawner::FindPool(kFXKindElectric)->At(0);
	Frames(8);
	EXPECT_GE(grass.strikes, 1);
	EXPECT_EQ(hero.get(), grass.lastAttacker);
	EXPECT_EQ(4, grass.lastDamage);
	EXPECT_EQ(static_cast<uint32_t>(kLifeRunning), bolt->lifeState) << "grass does not stop it";
	EXPECT_GT(bolt->transform.position.x, 4.0f);
	EXPECT_EQ(nullptr, FXSpawner::FindPool(kFXKindElectroBlast)) << "no burst";
	scene.RemoveEntity(&grass);
}

TEST_F(FXWorld, ABoltBurstsWhereTheGroundRisesAboveIt)
{
	// Flat ground with a wall two levels higher three tiles east.
	std::vector<MapTile> tiles(8 * 3, Flat(1));
	for (int y = 0; y < 3; y++)
		tiles[static_cast<size_t>(y * 8 + 5)] = Flat(5);
	GridMap grid(8, 3, tiles);
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(2.0f, 0.0f, 2.0f));
	const float floor = grid.map.HeightAt(hero->transform.position);
	const float wall = grid.map.HeightAt(Vec3(10.0f, 0.0f, 2.0f));
	ASSERT_GT(wall, floor + 1.0f);
	hero->transform.position.y = floor;
	hero->map = &grid.map;
	Face(*hero, Vec3(1.0f, 0.0f, 0.0f));
	hero->stats.heldKind = 47; // the ice sword
	Swing(*hero);
	FXEntity *ball = FXSpawner::FindPool(kFXKindIceball)->At(0);
	Frames(2);
	EXPECT_EQ(10, ball->damage);
	ASSERT_EQ(static_cast<uint32_t>(kLifeRunning), ball->lifeState);
	int frames = 0;
	while (ball->lifeState == kLifeRunning && frames < 40) {
		Frame();
		frames++;
	}
	EXPECT_EQ(static_cast<uint32_t>(kLifePaused), ball->lifeState);
	EXPECT_GT(grid.map.HeightAt(ball->transform.position), ball->transform.position.y + 0.5f);
	FXPool *bursts = FXSpawner::FindPool(kFXKindExplosion);
	ASSERT_NE(nullptr, bursts);
	EXPECT_EQ(ball->transform.position, bursts->At(0)->transform.position);
	hero->map = nullptr;
}

TEST_F(FXWorld, ABoltWhoseShooterIsFreedStillBurstsButHitsInNobodysName)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	Face(*hero, Vec3(0.0f, 0.0f, 1.0f));
	auto chook = Spawn(kChookKind, kFactionHostile, 10, Vec3(0.0f, 0.0f, 6.0f));
	hero->stats.heldKind = 45;
	FXEntity *ball = Swing(*hero);
	Frames(2);
	hero.reset();
	EXPECT_EQ(nullptr, ball->source) << "the freed shooter is forgotten";
	for (int i = 0; i < 40 && ball->lifeState == kLifeRunning; i++)
		Frame();
	EXPECT_EQ(static_cast<uint32_t>(kLifePaused), ball->lifeState);
	EXPECT_EQ(10, chook->stats.hearts) << "no blow without a shooter";
	FXPool *bursts = FXSpawner::FindPool(kFXKindExplosion);
	ASSERT_NE(nullptr, bursts);
	EXPECT_EQ(chook->transform.position, bursts->At(0)->transform.position);
	EXPECT_EQ(&scene, bursts->At(0)->scene);
}

} // namespace
