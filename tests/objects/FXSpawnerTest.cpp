#include "objects/FXWorld.h"

#include "engine/collision/Collider.h"
#include "objects/FXParticles.h"
#include "objects/FXSplash.h"
#include "objects/FXStrikeEntity.h"
#include "objects/SpawnFX.h"

#include <cmath>
#include <memory>
#include <string>

namespace {

TEST_F(FXWorld, UnknownKindsAndSourcesWithoutASceneSpawnNothing)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	TestActor loose(kChookKind); // never added to a scene
	auto removed = Spawn(kChookKind, kFactionHostile, 2, Vec3(3.0f, 0.0f, 0.0f));
	scene.RemoveEntity(removed.get());
	struct Row {
		const char *what;
		Entity *source;
		uint32_t kind;
	};
	const Row rows[] = {
		{"kind 0", hero.get(), 0},
		{"kind 21", hero.get(), 21},
		{"a huge kind", hero.get(), 0xFFFFFFFFu},
		{"no source", nullptr, kFXKindDust},
		{"a source no scene holds", &loose, kFXKindDust},
		{"a source taken out of its scene", removed.get(), kFXKindDust},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		EXPECT_EQ(nullptr, FXSpawner::Spawn(row.source, row.kind, Vec3(0.0f)));
		EXPECT_EQ(0u, FXSpawner::ListedCount());
		EXPECT_EQ(nullptr, FXSpawner::FindPool(row.kind)) << "no pool is built for nothing";
	}
}

TEST_F(FXWorld, EachKindBuildsItsWholePoolOnFirstUse)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	const uint16_t sizes[kFXKindLast + 1] = {0, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 32, 8, 4, 8, 8, 8, 8, 8, 3, 3};
	size_t listed = 0;
	for (uint32_t kind = 1; kind <= kFXKindLast; kind++) {
		SCOPED_TRACE("kind " + std::to_string(kind));
		FXEntity *effect = FXSpawner::Spawn(hero.get(), kind, Vec3(1.0f, 2.0f, 3.0f));
		ASSERT_NE(nullptr, effect);
		FXPool *pool = FXSpawner::FindPool(kind);
		ASSERT_NE(nullptr, pool);
		EXPECT_EQ(sizes[kind], pool->GetCount());
		EXPECT_EQ(sizes[kind], FXSpawner::PoolSize(kind));
		EXPECT_EQ(pool->At(0), effect);
		EXPECT_EQ(1, pool->GetNextIndex());
		EXPECT_EQ(&scene, effect->scene);
		EXPECT_EQ(++listed, FXSpawner::ListedCount()) << "only the spawned instance is listed";
	}
}

TEST_F(FXWorld, AFifthStrikeTakesOverTheFirstWithoutResuming)
{
	auto first = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	Face(*first, Vec3(1.0f, 0.0f, 0.0f));
	FXEntity *strikes[4];
	for (FXEntity *&strike : strikes)
		strike = FXSpawner::Spawn(first.get(), kFXKindStrikeSword, Vec3(0.0f));
	Frame();
	ASSERT_EQ(4u, sounds.Count("sfx/strsw")) << "each launch swishes";
	for (FXEntity *strike : strikes)
		EXPECT_EQ(static_cast<uint32_t>(kLifeRunning), strike->lifeState);

	// Another swinger, facing the other way, before the first strikes end.
	auto second = Spawn(kChookKind, kFactionHostile, 2, Vec3(10.0f, 0.0f, 4.0f));
	Face(*second, Vec3(0.0f, 0.0f, 1.0f));
	const float ageBefore = strikes[0]->age;
	ASSERT_GT(ageBefore, 0.0f);
	FXEntity *fifth = FXSpawner::Spawn(second.get(), kFXKindStrikeSword, Vec3(0.0f));
	EXPECT_EQ(strikes[0], fifth);
	EXPECT_EQ(second.get(), fifth->source);
	EXPECT_EQ(0.0f, fifth->age);
	EXPECT_EQ(4u, sounds.Count("sfx/strsw")) << "a running strike is moved, not resumed";
	EXPECT_NEAR(10.0f, fifth->transform.position.x, 1e-5f);
	EXPECT_NEAR(4.3f, fifth->transform.position.z, 1e-5f);
	// Its box follows the new swinger's facing, not the old one's.
	EXPECT_NEAR(0.0f, fifth->collider->offset.x, 1e-5f);
	EXPECT_NEAR(1.0f, fifth->collider->offset.z, 1e-5f);
	EXPECT_EQ(4u, FXSpawner::ListedCount());
}

TEST_F(FXWorld, ThreeSplashesAreHeardAndTheFourthIsSilent)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	struct Row {
		uint32_t kind;
		const char *texture;
	};
	const Row rows[] = {{kFXKindSplash, "mats/wave.png"}, {kFXKindSplashLava, "mats/wavelava.png"}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.texture);
		sounds.names.clear();
		sounds.volumes.clear();
		FXEntity *splashes[4] = {};
		for (FXEntity *&splash : splashes) {
			splash = FXSpawner::Spawn(hero.get(), row.kind, Vec3(0.0f, -0.5f, 0.0f));
			Frames(6); // past its 0.2 s
		}
		EXPECT_EQ(splashes[0], splashes[3]);
		EXPECT_EQ(3u, sounds.Count("sfx/splash.wav"));
		ASSERT_FALSE(sounds.volumes.empty());
		EXPECT_FLOAT_EQ(0.1f, sounds.volumes[0]);
		EXPECT_EQ(row.texture, std::string(static_cast<FXSplash *>(splashes[0])->GetTexture()));
		EXPECT_EQ(static_cast<uint32_t>(kLifePaused), splashes[3]->lifeState) << "gone after 0.2 s";
	}
}

TEST_F(FXWorld, ASplashRingWidensAndFlattens)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	FXEntity *splash = FXSpawner::Spawn(hero.get(), kFXKindSplash, Vec3(0.0f));
	struct Row {
		int frames;
		float width, height;
	};
	// A frame of no time starts it at age 0; each later one adds 0.05 s, and
	// at 0.2 s, its last moment, it is as wide as it is high.
	const Row rows[] = {{0, 0.5f, 1.5f}, {1, 0.65f, 1.4f}, {3, 1.1f, 1.1f}};
	Frame(0.0f);
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.frames));
		Frames(row.frames);
		EXPECT_NEAR(row.width, splash->transform.scale.x, 1e-4f);
		EXPECT_NEAR(row.height, splash->transform.scale.y, 1e-4f);
		EXPECT_NEAR(row.width, splash->transform.scale.z, 1e-4f);
	}
}

TEST_F(FXWorld, EffectsStayListedOnceAndStartAgainInALaterScene)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	for (int i = 0; i < 3; i++) {
		FXSpawner::Spawn(hero.get(), kFXKindSplash, Vec3(0.0f));
		Frames(6);
	}
	FXEntity *splash = FXSpawner::FindPool(kFXKindSplash)->At(0);
	const Model3D *model = splash->model.get();
	FXEntity *strike = FXSpawner::Spawn(hero.get(), kFXKindStrikeAxe, Vec3(0.0f));
	Frame();
	const Collider *box = strike->collider;
	ASSERT_NE(nullptr, box);
	ASSERT_NE(nullptr, model);
	ASSERT_EQ(3u, sounds.Count("sfx/splash.wav"));

	// The next map's scene: the hero moves there; the old scene goes.
	{
		auto next = std::make_unique<Scene>();
		next->state = kSceneActive;
		scene.RemoveEntity(hero.get());
		next->AddEntity(hero.get());
		next->Update(0.0f);
		for (int i = 0; i < 4; i++) {
			FXEntity *again = FXSpawner::Spawn(hero.get(), kFXKindSplash, Vec3(0.0f));
			ASSERT_NE(nullptr, again);
			EXPECT_EQ(next.get(), again->scene);
			for (int f = 0; f < 6; f++)
				next->Update(kFXFrame);
		}
		EXPECT_EQ(6u, sounds.Count("sfx/splash.wav")) << "each instance starts once per scene";
		EXPECT_EQ(model, splash->model.get()) << "the model is made once per instance";
		for (int i = 0; i < 4; i++)
			FXSpawner::Spawn(hero.get(), kFXKindStrikeAxe, Vec3(0.0f));
		next->Update(kFXFrame);
		EXPECT_EQ(next.get(), strike->scene);
		EXPECT_EQ(box, strike->collider) << "and so is the collider";
		EXPECT_FLOAT_EQ(1.8f, strike->collider->size.x);
		EXPECT_EQ(3u + 4u, FXSpawner::ListedCount());
		next->RemoveEntity(hero.get());
	}
	EXPECT_EQ(nullptr, splash->scene) << "a scene that goes unlinks its effects";
	scene.AddEntity(hero.get());
	EXPECT_NE(nullptr, FXSpawner::Spawn(hero.get(), kFXKindSplash, Vec3(0.0f)));
	EXPECT_EQ(3u + 4u, FXSpawner::ListedCount());
}

TEST_F(FXWorld, DeactivatingCatchesEveryEffectAndLeavesNoneUnstarted)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	FXEntity *dust = FXSpawner::Spawn(hero.get(), kFXKindDust, Vec3(0.0f));
	FXEntity *smoke = FXSpawner::Spawn(hero.get(), kFXKindSmoke, Vec3(0.0f));
	Frame();
	smoke->SetActive(false);
	// Spawned and unloaded at once: not started yet.
	FXEntity *strike = FXSpawner::Spawn(hero.get(), kFXKindStrikeSword, Vec3(0.0f));
	ASSERT_EQ(static_cast<uint32_t>(kLifeAdded), strike->lifeState);
	FXSpawner::DeactivateAll();
	for (FXEntity *effect : {dust, smoke, strike}) {
		EXPECT_EQ(static_cast<uint32_t>(kLifePaused), effect->lifeState);
	}
	Frames(2);
	EXPECT_EQ(0.0f, strike->age) << "a switched-off effect is not updated";
	EXPECT_EQ(nullptr, strike->collider) << "nor started";

	// Four more swings wrap the pool round to the unstarted one: it is set up
	// before it runs.
	for (int i = 0; i < 3; i++)
		FXSpawner::Spawn(hero.get(), kFXKindStrikeSword, Vec3(0.0f));
	const size_t swishes = sounds.Count("sfx/strsw");
	EXPECT_EQ(strike, FXSpawner::Spawn(hero.get(), kFXKindStrikeSword, Vec3(0.0f)));
	EXPECT_EQ(static_cast<uint32_t>(kLifeRunning), strike->lifeState);
	ASSERT_NE(nullptr, strike->collider);
	EXPECT_FLOAT_EQ(1.3f, strike->collider->size.x);
	EXPECT_EQ(1, strike->damage);
	EXPECT_EQ(swishes + 1, sounds.Count("sfx/strsw"));
}

TEST_F(FXWorld, NoEffectEverHitsWithDamage255)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	auto chook = Spawn(kChookKind, kFactionHostile, 6, Vec3(1.0f, 0.0f, 0.0f));
	auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 6, Vec3(-1.0f, 0.0f, 0.0f));
	Entity plain;
	scene.AddEntity(&plain);
	struct Row {
		const char *what;
		Entity *source;
		uint8_t damage;
		TestActor *target;
		uint8_t heartsAfter;
		bool reacts; // the contact's dust and shake, even for a blow refused
	};
	const Row rows[] = {
		{"no hits", hero.get(), FXEntity::kNoHits, chook.get(), 6, false},
		{"a blow", hero.get(), 2, chook.get(), 4, true},
		{"never its own source", hero.get(), 2, hero.get(), 6, false},
		{"a source that is no actor", &plain, 2, chook.get(), 6, false},
		{"the faction rule", hero.get(), 2, townee.get(), 6, true},
		{"the other side's blow", chook.get(), 2, hero.get(), 4, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		FXEntity effect;
		scene.AddEntity(&effect);
		effect.source = row.source;
		effect.damage = row.damage;
		row.target->stats.hearts = 6;
		row.target->knockBackTimer = 0.0f;
		row.target->busyTimer = 0.0f;
		effect.OnCollide(row.target);
		EXPECT_EQ(row.heartsAfter, row.target->stats.hearts);
		EXPECT_EQ(row.reacts ? FXEntity::kHitCooldown : 0.0f, effect.hitCooldown);
	}
	scene.RemoveEntity(&plain);
}

TEST(FXTurning, ZeroOrVerticalDirectionsLeaveTheRotation)
{
	struct Row {
		Vec3 direction;
		bool turns;
	};
	const Row rows[] = {
		{Vec3(0.0f), false},
		{Vec3(0.0f, 1.0f, 0.0f), false},
		{Vec3(0.0f, -3.0f, 0.0f), false},
		{Vec3(NAN, 0.0f, 1.0f), false},
		{Vec3(1.0f, 0.0f, 0.0f), true},
		{Vec3(0.0f, 5.0f, -1.0f), true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.direction.x) + "," + std::to_string(row.direction.y) + "," +
			std::to_string(row.direction.z));
		Transform transform;
		const glm::quat before = glm::angleAxis(0.5f, Vec3(0.0f, 1.0f, 0.0f));
		transform.rotation = before;
		EXPECT_EQ(row.turns, TurnAlong(transform, row.direction));
		const glm::quat after = transform.rotation;
		for (int i = 0; i < 4; i++)
			EXPECT_TRUE(std::isfinite(after[i]));
		if (!row.turns) {
			EXPECT_EQ(before, after);
		} else {
			EXPECT_GT(glm::dot(glm::normalize(row.direction), transform.GetForward()), 0.999f);
		}
	}
}

TEST_F(FXWorld, AStrikeFromASwingerLookingStraightUpStaysFinite)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	hero->transform.rotation = glm::angleAxis(1.5707964f, Vec3(1.0f, 0.0f, 0.0f)); // forward now +y
	FXEntity *strike = FXSpawner::Spawn(hero.get(), kFXKindStrikeUnarmed, Vec3(0.0f));
	ASSERT_NE(nullptr, strike);
	Frame();
	for (int i = 0; i < 4; i++)
		EXPECT_TRUE(std::isfinite(strike->transform.rotation[i]));
	EXPECT_TRUE(std::isfinite(strike->transform.position.y));
}

TEST_F(FXWorld, ReleasedPoolsAreBuiltAgainOnTheNextSpawn)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	for (uint32_t kind : {kFXKindFireball, kFXKindChicken, kFXKindDust, kFXKindLove})
		FXSpawner::Spawn(hero.get(), kind, Vec3(0.0f));
	Frame();
	FXSpawner::ReleaseAll();
	EXPECT_EQ(0u, FXSpawner::ListedCount());
	EXPECT_EQ(nullptr, FXSpawner::FindPool(kFXKindDust));
	Frame(); // the scene lists none of the freed effects any more
	FXEntity *dust = FXSpawner::Spawn(hero.get(), kFXKindDust, Vec3(0.0f));
	ASSERT_NE(nullptr, dust);
	EXPECT_EQ(1u, FXSpawner::ListedCount());
	Frame();
	EXPECT_EQ(static_cast<uint32_t>(kLifeRunning), dust->lifeState);
}

} // namespace
