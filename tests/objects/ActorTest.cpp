#include "objects/ActorWorld.h"

#include "engine/collision/Collider.h"
#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/FacingBehaviour.h"
#include "objects/SoundSet.h"

#include <cmath>
#include <string>

namespace {

constexpr uint32_t kFireSwordKind = 45;

TEST(ActorFactions, OnlyTheHostileSideAndAnotherAreHostile)
{
	struct Row {
		uint8_t a, b;
		bool hostile;
	};
	const Row rows[] = {
		{4, 4, false}, {1, 2, false}, {1, 1, false}, {0, 0, false},
		{1, 4, true}, {4, 1, true}, {2, 4, true}, {4, 0, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.a) + " vs " + std::to_string(row.b));
		EXPECT_EQ(row.hostile, IsHostile(row.a, row.b));
	}
}

TEST_F(ActorWorld, BlowsLandOnlyAcrossTheHostileLine)
{
	struct Row {
		uint8_t attackerSide, targetSide;
		bool lands;
	};
	const Row rows[] = {
		{kFactionHostile, kFactionHostile, false},
		{kFactionPlayer, kFactionTownsfolk, false},
		{kFactionPlayer, kFactionHostile, true},
		{kFactionHostile, kFactionPlayer, true},
		{kFactionTownsfolk, kFactionHostile, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.attackerSide) + " strikes " + std::to_string(row.targetSide));
		auto attacker = Spawn(kHeroKind, row.attackerSide, 4, Vec3(0.0f));
		auto target = Spawn(kChookKind, row.targetSide, 4, Vec3(1.0f, 0.0f, 0.0f));
		EXPECT_EQ(row.lands, attacker->Attack(target.get(), 1, 1.0f));
		EXPECT_EQ(row.lands ? 3 : 4, target->stats.hearts);
		EXPECT_EQ(row.lands ? attacker.get() : nullptr, target->lastAttacker);
	}
}

TEST_F(ActorWorld, ABlowThatUsesUpTheHeartsDefeats)
{
	struct Row {
		uint8_t hearts, damage;
		uint8_t heartsAfter;
		bool defeated;
	};
	const Row rows[] = {{3, 2, 1, false}, {3, 3, 0, true}, {3, 9, 0, true}, {1, 0, 1, false}};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.damage) + " of " + std::to_string(row.hearts));
		auto hero = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f));
		auto chook = Spawn(kChookKind, kFactionHostile, row.hearts, Vec3(1.0f, 0.0f, 0.0f));
		ASSERT_TRUE(hero->Attack(chook.get(), row.damage, 1.0f));
		EXPECT_EQ(row.heartsAfter, chook->stats.hearts);
		EXPECT_EQ(row.defeated ? chook->deathDelay : 0.0f, chook->deathTimer);
		EXPECT_EQ(row.defeated ? Collider::kModeIgnored : Collider::kModeSolid, chook->collider->mode);
		EXPECT_EQ(row.defeated ? 1 : 0, hero->chainHits);
		EXPECT_FALSE(chook->Strike(hero.get(), 1, 1.0f)) << "busy or knocked back right after a blow";
	}
}

TEST_F(ActorWorld, TheDeathTimerEndsOnExactlyZero)
{
	auto chook = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	chook->deathDelay = 2 * kTick;
	chook->Defeat();
	ASSERT_EQ(2 * kTick, chook->deathTimer);
	chook->UpdateAnimation(kTick);
	EXPECT_EQ(kLifeRunning, chook->lifeState);
	chook->UpdateAnimation(kTick);
	EXPECT_EQ(0.0f, chook->deathTimer);
	EXPECT_EQ(kLifePaused, chook->lifeState) << "the drops are out and the foe is gone";
}

TEST_F(ActorWorld, TheFireSwordBurnsDownOnlyWhatWouldTakeTheBlow)
{
	struct Row {
		const char *name;
		uint8_t hearts, damage;
		bool refuses, busy, knockedBack;
		bool diesAtOnce;
		uint8_t heartsAfter;
	};
	const Row rows[] = {
		{"finishing blow", 2, 2, false, false, false, true, 0},
		{"busy foe still burns", 2, 2, false, true, false, true, 0},
		{"knocked-back foe still burns", 1, 2, false, false, true, true, 0},
		{"foe whose own rule refuses", 2, 2, true, false, false, false, 2},
		{"blow too weak to finish", 3, 2, false, false, false, false, 1},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		TileMap map;
		MapObjectDef record;
		record.id = 7; // group 7
		auto hero = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f));
		hero->stats.heldKind = kFireSwordKind;
		auto foe = Spawn(kChookKind, kFactionHostile, row.hearts, Vec3(1.0f, 0.0f, 0.0f));
		foe->LinkToMap(&map, &record);
		foe->defeatOpensGroup = 1;
		foe->refusesBlows = row.refuses;
		foe->busyTimer = row.busy ? 1.0f : 0.0f;
		foe->knockBackTimer = row.knockedBack ? 1.0f : 0.0f;

		EXPECT_EQ(row.diesAtOnce || row.heartsAfter != row.hearts, hero->Attack(foe.get(), row.damage, 1.0f));
		EXPECT_EQ(row.heartsAfter, foe->stats.hearts);
		EXPECT_EQ(row.diesAtOnce ? kLifePaused : kLifeRunning, foe->lifeState);
		EXPECT_EQ(0.0f, foe->deathTimer) << "no slow death: it burns at once or lives";
		EXPECT_EQ(row.diesAtOnce, map.IsGroupEnabled(7)) << "its defeat opens its group";
		foe->LinkToMap(nullptr, nullptr);
	}
}

TEST_F(ActorWorld, AFoeBeatenOnAnEarlierVisitStartsDefeated)
{
	struct Row {
		const char *name;
		bool deadLine, groupOpen, opensGroup, facing;
		bool defeated;
	};
	const Row rows[] = {
		{"a dead line, its group open", true, true, false, false, true},
		{"a dead line, its group closed", true, false, false, false, false},
		{"its own group already opened by its defeat", false, true, true, false, true},
		{"its group open, but it opens none", false, true, false, false, false},
		{"a facing townsperson", false, false, false, true, false},
	};
	constexpr uint8_t kGroup = 3;
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		TileMap map;
		MapObjectDef record;
		record.id = kGroup;
		record.facing = row.facing ? 1 : 0;
		if (row.deadLine) {
			// As the compiler writes it: "dead" keeps no number.
			MapCommand dead;
			dead.code = kCmdDead;
			map.GetMapData().commands.push_back(dead);
			record.commandCount = 1;
		}
		if (row.groupOpen)
			map.SetGroupFlag(kGroup, true);
		auto actor = std::make_unique<TestActor>(kTowneeKind);
		actor->faction = kFactionTownsfolk;
		actor->stats.hearts = 2;
		actor->defeatOpensGroup = row.opensGroup ? 1 : 0;
		actor->LinkToMap(&map, &record);
		scene.AddEntity(actor.get());
		scene.Update(kTick);
		EXPECT_EQ(row.defeated ? 0 : 2, actor->stats.hearts);
		EXPECT_EQ(row.defeated, actor->deathTimer > 0.0f);
		EXPECT_EQ(row.facing, dynamic_cast<FacingBehaviour *>(actor->GetCurrentBehaviour()) != nullptr);
		actor.reset();
	}
}

TEST_F(ActorWorld, DifficultyScalesHostileHearts)
{
	struct Row {
		int difficulty;
		bool newGamePlus;
		int gameMode;
		uint8_t side;
		bool scaled;
		uint8_t base;
		uint8_t hearts, dropCount;
		float recovery;
	};
	const Row rows[] = {
		{0, false, 0, kFactionHostile, true, 2, 2, 2, 1.3f},
		{1, false, 0, kFactionHostile, true, 2, 4, 2, 0.8f},
		{2, false, 0, kFactionHostile, true, 2, 6, 2, 0.5f},
		{2, true, 0, kFactionHostile, true, 2, 8, 2, 0.5f},
		{0, true, 0, kFactionHostile, true, 3, 6, 2, 1.3f},
		{2, true, 0, kFactionHostile, false, 3, 3, 2, 0.5f},
		{2, true, 0, kFactionTownsfolk, true, 3, 3, 2, 0.5f},
		{1, false, 1, kFactionHostile, true, 3, 6, 3, 0.8f},
		{1, false, 0, kFactionHostile, true, 0, 0, 0, 0.8f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("difficulty " + std::to_string(row.difficulty) + " base " + std::to_string(row.base));
		link.difficulty = row.difficulty;
		link.newGamePlus = row.newGamePlus;
		link.gameMode = row.gameMode;
		TestActor actor(kChookKind);
		actor.faction = row.side;
		actor.ApplyDifficulty(row.base, row.scaled);
		EXPECT_EQ(row.hearts, actor.stats.hearts);
		EXPECT_EQ(row.hearts, actor.stats.maxHearts);
		EXPECT_EQ(row.hearts, actor.dropFlag);
		EXPECT_EQ(row.dropCount, actor.dropCount);
		actor.ResetState();
		EXPECT_FLOAT_EQ(row.recovery, actor.knockBackRecovery);
	}
}

TEST_F(ActorWorld, TheViewConeNarrowsWithTheAngle)
{
	struct Row {
		float degrees, distance, range, minAlignment;
		bool seen;
	};
	const Row rows[] = {
		{0, 9, 10, 0, true},    // straight ahead, inside the range
		{0, 11, 10, 0, false},  // straight ahead, beyond it
		{60, 9, 10, 0, false},  // 10 x 0.5 = 5 < 9
		{60, 4, 10, 0, true},
		{90, 1, 10, 0, false},  // beside: no reach at all
		{45, 5, 10, 0.8f, false},
		{180, 1, 10, -1, false}, // behind
	};
	auto watcher = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.degrees) + " degrees at " + std::to_string(row.distance));
		const float radians = glm::radians(row.degrees);
		const Vec3 point(std::sin(radians) * row.distance, 3.0f, std::cos(radians) * row.distance);
		EXPECT_EQ(row.seen, watcher->IsInView(point, row.range, row.minAlignment));
	}
}

TEST_F(ActorWorld, BehavioursAcquireOnlyTargetsInView)
{
	struct Row {
		float degrees;
		bool acquired;
	};
	for (const Row &row : {Row{0, true}, Row{60, false}}) {
		SCOPED_TRACE(std::to_string(row.degrees) + " degrees");
		auto chook = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
		const float radians = glm::radians(row.degrees);
		auto hero = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(std::sin(radians) * 9, 0.0f, std::cos(radians) * 9));
		ActorBehaviour looking(chook.get());
		EXPECT_EQ(row.acquired ? hero.get() : nullptr, looking.AcquireTarget(1.0f));
		EXPECT_EQ(row.acquired ? hero.get() : nullptr, looking.GetHostileTarget());
	}
}

TEST_F(ActorWorld, AWalkTargetWalksAtTheMoveSpeed)
{
	auto walker = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f));
	Vec3 move(9.0f);
	walker->GetDesiredMove(move, kTick);
	EXPECT_EQ(Vec3(0.0f), move) << "(-100000, -100000, -100000) means no target";
	walker->walkTarget = Vec3(0.0f, 5.0f, 10.0f);
	walker->GetDesiredMove(move, kTick);
	EXPECT_FLOAT_EQ(0.0f, move.x);
	EXPECT_FLOAT_EQ(0.0f, move.y);
	EXPECT_FLOAT_EQ(walker->moveSpeed, move.z);
}

TEST_F(ActorWorld, AHolderFreesAReplacedItemAndTheNameStaysWithTheItem)
{
	int freed = 0;
	auto hero = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f));
	hero->TakeInHand(std::make_unique<CountedItem>(kSwordKind, &freed), "Blade");
	MapEntity *first = hero->GetHeldItem();
	ASSERT_NE(nullptr, first);
	EXPECT_STREQ("Blade", first->mapObject->name.Get());
	EXPECT_NE(&MapEntity::EmptyMapObject(), first->mapObject);
	EXPECT_EQ(nullptr, MapEntity::EmptyMapObject().name.Get()) << "the shared record stays empty";

	hero->TakeInHand(std::make_unique<CountedItem>(kSwordKind + 1, &freed), nullptr);
	EXPECT_EQ(1, freed);
	EXPECT_EQ(&MapEntity::EmptyMapObject(), hero->GetHeldItem()->mapObject);

	hero->Hold(0, nullptr);
	EXPECT_EQ(2, freed);
	EXPECT_EQ(nullptr, hero->GetHeldItem());
	EXPECT_EQ(0u, hero->stats.heldKind);

	constexpr uint32_t kClasslessKind = 41;
	hero->Hold(kClasslessKind, "Unmade");
	EXPECT_EQ(kClasslessKind, hero->stats.heldKind) << "a kind without a class is still recorded";
	EXPECT_EQ(nullptr, hero->GetHeldItem());
	EXPECT_EQ(nullptr, MapEntity::EmptyMapObject().name.Get());
}

TEST_F(ActorWorld, ActorsForgetTargetsAndAttackersBeforeTheyAreFreed)
{
	auto chook = Spawn(kChookKind, kFactionHostile, 4, Vec3(0.0f));
	auto hero = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f, 0.0f, 2.0f));
	chook->SetTarget(hero.get());
	ASSERT_TRUE(hero->Attack(chook.get(), 1, 1.0f));
	ASSERT_EQ(hero.get(), chook->lastAttacker);
	hero.reset();
	EXPECT_EQ(nullptr, chook->GetTarget());
	EXPECT_EQ(nullptr, chook->lastAttacker);
	EXPECT_FALSE(chook->HasTarget(1000.0f, 0));
	scene.Update(kTick); // reads nothing freed
	EXPECT_EQ(0.0f, chook->targetTime);

	// A plain map entity (a prop a script points the actor at) as well.
	auto crate = std::make_unique<MapEntity>(2);
	chook->SetTarget(crate.get());
	ASSERT_TRUE(chook->HasTarget(1000.0f, 0));
	crate.reset();
	EXPECT_EQ(nullptr, chook->GetTarget());
}

TEST_F(ActorWorld, TheAnimationTableAndWeaponBoneComeFromTheModel)
{
	struct Row {
		const char *model;
		uint8_t strikeAnimations;
		bool hasStrikeBack, hasWave;
	};
	const Row rows[] = {
		{"models/blacksmith.iqm", 2, true, true},
		{"models/chook.iqm", 1, false, false}, // a peck, no back-hand strike
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.model);
		auto actor = std::make_unique<TestActor>(kChookKind);
		ASSERT_TRUE(actor->model.LoadSimple(row.model, 1.0f));
		actor->stats.hearts = 2;
		scene.AddEntity(actor.get());
		scene.Update(0.0f); // Start loads the table
		EXPECT_EQ(row.strikeAnimations, actor->strikeAnimationCount);
		ASSERT_NE(nullptr, actor->GetAnimation(kAnimIdle));
		EXPECT_EQ(1, actor->GetAnimation(kAnimIdle)->loop);
		EXPECT_EQ(1, actor->GetAnimation(kAnimRun)->loop);
		EXPECT_EQ(0, actor->GetAnimation(kAnimStrikeFore)->loop);
		EXPECT_EQ(row.hasStrikeBack, actor->GetAnimation(kAnimStrikeBack) != nullptr);
		EXPECT_EQ(row.hasWave, actor->GetAnimation(kAnimWave) != nullptr);
		EXPECT_NE(nullptr, actor->weaponBone);
		EXPECT_EQ(nullptr, actor->GetAnimation(kActorAnimationCount));

		// Two strikes in a row alternate only when there is a second one.
		actor->StartAttack();
		EXPECT_EQ(actor->GetAnimation(kAnimStrikeFore), actor->model.GetCurrentAnimation());
		actor->busyTimer = 0.0f;
		actor->StartAttack();
		EXPECT_EQ(actor->GetAnimation(row.hasStrikeBack ? kAnimStrikeBack : kAnimStrikeFore),
			actor->model.GetCurrentAnimation());
	}
}

TEST_F(ActorWorld, ADamagingBlowFlashesRedAndFades)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f));
	auto chook = Spawn(kChookKind, kFactionHostile, 4, Vec3(0.0f, 0.0f, 2.0f));
	struct Row {
		uint8_t damage;
		float after;
		Vec3 colour;
	};
	const Row rows[] = {
		{0, 0.0f, Vec3(1.0f)},                // no damage, no flash
		{1, 0.25f, Vec3(4.0f, 0.8f, 0.8f)},   // full red for the first 0.3 s
		{1, 0.375f, Vec3(2.875f, 0.875f, 0.875f)}, // 0.125 s left: 5/8 of the way
		{1, 0.5f, Vec3(1.0f)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.damage) + " after " + std::to_string(row.after));
		chook->busyTimer = 0.0f;
		chook->knockBackTimer = 0.0f;
		chook->flashTimer = 0.0f;
		ASSERT_TRUE(hero->Attack(chook.get(), row.damage, 1.0f));
		chook->Update(row.after);
		const Vec3 colour = chook->model.GetColour();
		EXPECT_NEAR(row.colour.x, colour.x, 1e-4f);
		EXPECT_NEAR(row.colour.y, colour.y, 1e-4f);
		EXPECT_NEAR(row.colour.z, colour.z, 1e-4f);
	}
}

TEST_F(ActorWorld, ARollBumpsOnlyIntoWhatStandsInTheWay)
{
	struct Row {
		const char *name;
		uint32_t kind;
		float height;
		int gameMode;
		bool rolling;
		bool bumps;
	};
	const Row rows[] = {
		{"a crate", 2, 0.0f, 0, true, true},
		{"a crate, not rolling", 2, 0.0f, 0, false, false},
		{"a crate sunk below the roller", 2, -0.5f, 0, true, false},
		{"a sword on the ground", kSwordKind, 0.0f, 0, true, false},
		{"a floor switch", 4, 0.0f, 0, true, false},
		{"grass", 21, 0.0f, 0, true, false},
		{"a fireplace", 22, 0.0f, 0, true, false},
		{"a crate by the original rules", 2, 0.0f, 1, true, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		link.gameMode = row.gameMode;
		auto hero = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f));
		MapEntity thing(row.kind);
		thing.transform.position = Vec3(0.0f, row.height, 0.5f);
		hero->rollTimer = row.rolling ? 0.5f : 0.0f;
		hero->moving = 1;
		hero->OnCollide(&thing);
		EXPECT_EQ(row.bumps ? 0.5f : 0.0f, hero->recoilTimer);
		EXPECT_EQ(row.bumps || !row.rolling ? 0.0f : 0.5f, hero->rollTimer);
	}
}

TEST(ActorSoundSets, VariantsFollowTheSharedCounter)
{
	struct Row {
		const char *pattern;
		uint8_t count, counter;
		const char *file;
	};
	const Row rows[] = {
		{"sfx/blob%d.wav", 3, 1, "sfx/blob2.wav"},
		{"sfx/blob%d.wav", 3, 2, "sfx/blob3.wav"},
		{"sfx/blob%d.wav", 3, 3, "sfx/blob1.wav"},
		{"sfx/roar.wav", 1, 7, "sfx/roar.wav"},
		{"sfx/blob%d.wav", 0, 1, ""},
		{"sfx/100%%-%d.wav", 2, 1, "sfx/100%%-2.wav"}, // no other '%' is read as a conversion
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::string(row.pattern) + " #" + std::to_string(row.counter));
		SoundSet set;
		set.Set(row.pattern, row.count, 1.0f);
		char file[SoundSet::kPatternChars + 4];
		set.FileName(row.counter, file, sizeof(file));
		EXPECT_STREQ(row.file, file);
	}
}

TEST_F(ActorWorld, FootstepsCountOnlyWalkedDistance)
{
	auto walker = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f));
	walker->stepDistance = 1.5f;
	walker->moveVelocity = Vec3(0.0f, 0.0f, 4.0f);
	walker->UpdateFootsteps(kTick);
	EXPECT_FLOAT_EQ(1.0f, walker->stepAccumulator);
	walker->UpdateFootsteps(kTick);
	EXPECT_FLOAT_EQ(0.5f, walker->stepAccumulator) << "one step taken, the rest kept";
	walker->moveVelocity = Vec3(0.0f);
	walker->UpdateFootsteps(kTick);
	EXPECT_FLOAT_EQ(0.5f, walker->stepAccumulator) << "standing still keeps it";
	walker->stepDistance = 0.0f;
	walker->UpdateFootsteps(kTick);
	EXPECT_EQ(0.0f, walker->stepAccumulator);
}

} // namespace
