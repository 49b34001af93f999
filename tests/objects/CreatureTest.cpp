#include "objects/ActorWorld.h"

#include "engine/core/FileAccess.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/ActorBird.h"
#include "objects/ActorBlob.h"
#include "objects/ActorChookBomb.h"
#include "objects/ActorFireWizard.h"
#include "objects/MapEntityFactory.h"
#include "support/EntityLookCheck.h"
#include "support/TempFolder.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr float kFrameTime = 1.0f / 60.0f;

// A link whose HUD can be showing a message.
class HudLink : public RulesLink {
public:
	bool HasHud() override { return true; }
	bool IsMessageVisible() override { return messageVisible; }
	bool messageVisible = false;
};

class CreatureWorld : public ActorWorld {
protected:
	void SetUp() override
	{
		ActorWorld::SetUp();
		GameLink::Install(&hud);
	}
	// A creature of the kind from the factory, in the scene at the position.
	template <class T = Actor> std::unique_ptr<T> Make(uint32_t kind, const Vec3 &position)
	{
		MapEntity *made = MapEntityFactory::CreateByKind(kind);
		EXPECT_NE(nullptr, made);
		std::unique_ptr<T> creature(static_cast<T *>(made));
		creature->transform.position = position;
		scene.AddEntity(creature.get());
		scene.Update(0.0f);
		creature->hurtTimer = 0.0f;
		return creature;
	}
	HudLink hud;
};

bool SoundFileExists(const char *pattern, int variant)
{
	char name[64];
	std::snprintf(name, sizeof(name), pattern, variant);
	return TempFolder::Exists(ResolvePath(name));
}

TEST_F(CreatureWorld, EachCreatureKindHasItsOwnNumbers)
{
	struct Row {
		uint32_t kind;
		uint8_t baseHearts;
		bool scaled;
		float speed;
		float radius;
		uint8_t contact;
		float hitStun;
		float modelSpeed;
		const char *hurtVoice;  // pattern, or null
		int hurtCount;
		const char *idleVoice;
		int idleCount;
	};
	const Row rows[] = {
		{50, 2, true, 3.0f, 0.3f, 1, 0.5f, 80.0f, "sfx/vox-chickhit%d.wav", 3, "sfx/vox-chickbok%d.wav", 2},
		{51, 3, true, 3.0f, 0.3f, 1, 0.4f, 120.0f, "sfx/vox-chickhit%d.wav", 3, "sfx/vox-chickbok%d.wav", 2},
		{52, 8, true, 3.0f, 0.3f, 1, 0.3f, 15.0f, "sfx/vox-chickhit%d.wav", 3, "sfx/vox-chickbok%d.wav", 2},
		{53, 12, true, 3.0f, 0.4f, 2, 0.5f, 12.0f, "sfx/vox-ogrehit%d.wav", 3, "sfx/vox-ogre%d.wav", 3},
		{54, 2, true, 9.0f, 0.25f, 1, 0.5f, 80.0f, nullptr, 0, nullptr, 0},
		{55, 12, true, 3.0f, 0.4f, 1, 0.5f, 30.0f, nullptr, 0, nullptr, 0},
		{56, 1, false, 5.0f, 0.25f, 1, 0.5f, 80.0f, nullptr, 0, nullptr, 0},
		{57, 1, false, 3.0f, 0.3f, 1, 0.8f, 120.0f, "sfx/vox-chickhit%d.wav", 3, "sfx/vox-chickbok%d.wav", 2},
		{61, 1, false, 3.0f, 0.6f, 1, 0.5f, 80.0f, "sfx/vox-chickhit%d.wav", 3, "sfx/vox-chickbok%d.wav", 2},
		{62, 2, true, 2.0f, 0.3f, 1, 0.5f, 80.0f, "sfx/blob%d.wav", 3, "sfx/blob%d.wav", 3},
	};
	struct Rules {
		int difficulty;
		bool newGamePlus;
		int factor; // of the base hearts, for scaled kinds
	};
	const Rules rules[] = {{0, false, 1}, {1, false, 2}, {2, false, 3}, {2, true, 4}};
	for (const Row &row : rows) {
		for (const Rules &rule : rules) {
			SCOPED_TRACE("kind " + std::to_string(row.kind) + " difficulty " + std::to_string(rule.difficulty) +
				(rule.newGamePlus ? " newgame+" : ""));
			hud.difficulty = rule.difficulty;
			hud.newGamePlus = rule.newGamePlus;
			auto creature = Make(row.kind, Vec3(0.0f));
			const int hearts = row.baseHearts * (row.scaled ? rule.factor : 1);
			EXPECT_EQ(row.kind, creature->GetKind());
			EXPECT_EQ(kFactionHostile, creature->GetFaction());
			EXPECT_EQ(hearts, creature->stats.hearts);
			EXPECT_EQ(hearts, creature->stats.maxHearts);
			EXPECT_EQ(row.baseHearts / 2 + 1, creature->dropCount);
			EXPECT_FLOAT_EQ(row.speed, creature->moveSpeed);
			EXPECT_FLOAT_EQ(row.radius, creature->radius);
			EXPECT_FLOAT_EQ(row.hitStun, creature->hitStun);
			EXPECT_FLOAT_EQ(row.modelSpeed, creature->modelSpeed);
			const uint8_t contact = row.kind == 53 && rule.difficulty == 2 ? 3 : row.contact;
			EXPECT_EQ(contact, creature->contactDamage);
			if (rule.difficulty != 1)
				continue;
			EXPECT_TRUE(NamesLookOf(*creature, creature->model));
			// Its model, with what every creature plays.
			for (uint8_t animation : {kAnimIdle, kAnimRun, kAnimHit1, kAnimDie})
				EXPECT_NE(nullptr, creature->GetAnimation(animation)) << "animation " << int(animation);
			EXPECT_EQ(row.hurtCount, creature->soundSets[Actor::kHurtVoice].count);
			EXPECT_EQ(row.idleCount, creature->soundSets[0].count);
			for (int i = 1; i <= row.hurtCount; i++)
				EXPECT_TRUE(SoundFileExists(row.hurtVoice, i)) << row.hurtVoice << " " << i;
			for (int i = 1; i <= row.idleCount; i++)
				EXPECT_TRUE(SoundFileExists(row.idleVoice, i)) << row.idleVoice << " " << i;
		}
	}
	hud.difficulty = 1;
	hud.newGamePlus = false;
}

TEST_F(CreatureWorld, EveryCreatureSoundIsInTheDataTree)
{
	struct Row {
		const char *pattern;
		int count;
	};
	const Row rows[] = {{"sfx/smstep%d.wav", 2}, {"sfx/bigstep%d.wav", 3}, {"sfx/vox-black%d.wav", 2},
		{"sfx/vox-ogre%d.wav", 3}, {"sfx/blob%d.wav", 3}};
	for (const Row &row : rows)
		for (int i = 1; i <= row.count; i++)
			EXPECT_TRUE(SoundFileExists(row.pattern, i)) << row.pattern << " " << i;
}

TEST_F(CreatureWorld, EachChookKindBuildsItsOwnBehaviours)
{
	struct Row {
		uint32_t kind;
		float attackRange;
		float leash;
		bool preAttack;
		bool hitReact;
		float hitReactStep;
	};
	const Row rows[] = {
		{50, 7.0f, 1000.0f, true, true, 0.5f},
		{51, 12.0f, 1000.0f, true, true, 1.0f},
		{52, 10.0f, 100.0f, false, true, 1.0f},
		{57, 12.0f, 1000.0f, true, false, 0.5f},
		{62, 7.0f, 1000.0f, true, true, 0.5f},
		{54, 6.0f, 1000.0f, false, false, 0.5f},
		{53, 10.0f, 1000.0f, true, true, 0.5f},
		{55, 23.0f, 1000.0f, false, false, 0.5f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.kind);
		auto creature = Make(row.kind, Vec3(0.0f));
		ASSERT_EQ(1u, creature->GetBehaviourCount());
		auto *brain = dynamic_cast<AITargetingBehaviour *>(creature->GetBehaviourAt(0));
		ASSERT_NE(nullptr, brain);
		EXPECT_FLOAT_EQ(row.attackRange, brain->attackRange);
		EXPECT_FLOAT_EQ(row.leash, brain->leash);
		EXPECT_EQ(row.preAttack, brain->GetSubBehaviour(AITargetingBehaviour::kStatePreAttack) != nullptr);
		EXPECT_EQ(row.hitReact, brain->GetSubBehaviour(AITargetingBehaviour::kStateHitReact) != nullptr);
		EXPECT_FLOAT_EQ(row.hitReactStep, brain->hitReactStep);
	}
	auto lord = Make(56, Vec3(0.0f));
	EXPECT_EQ(0u, lord->GetBehaviourCount()) << "scripts drive the dark lord";
}

TEST_F(CreatureWorld, InTheChookGameTheChooksWearTheDarkLordsLook)
{
	hud.gameMode = 2;
	// The people's rig waves; the chooks' own does not.
	const std::pair<uint32_t, bool> rows[] = {{50, true}, {51, true}, {52, false}, {57, false}};
	for (const auto &[kind, lordly] : rows) {
		SCOPED_TRACE(kind);
		auto chook = Make(kind, Vec3(0.0f));
		EXPECT_EQ(lordly, chook->GetAnimation(kAnimWave) != nullptr);
	}
	hud.gameMode = 0;
}

TEST_F(CreatureWorld, TheOgreAndTheWizardCarryTheirWeapons)
{
	auto ogre = Make(53, Vec3(0.0f));
	auto wizard = Make(55, Vec3(3.0f, 0.0f, 0.0f));
	EXPECT_EQ(44u, ogre->stats.heldKind);
	ASSERT_NE(nullptr, ogre->GetHeldItem());
	EXPECT_EQ(44u, ogre->GetHeldItem()->GetKind());
	EXPECT_NE(nullptr, ogre->weaponBone) << "the axe sits in its hand";
	EXPECT_NE(nullptr, ogre->GetAnimation(kAnimStrikeFore));
	EXPECT_NE(nullptr, ogre->GetAnimation(kAnimTalk));
	EXPECT_EQ(47u, wizard->stats.heldKind);
}

TEST_F(CreatureWorld, TheBombFuseIsLitByAnAttackAndBurnsOutOnce)
{
	auto bomb = Make<ActorChookBomb>(57, Vec3(0.0f));
	for (int i = 0; i < 40; i++)
		scene.Update(kTick);
	EXPECT_EQ(1, bomb->stats.hearts) << "an unlit fuse never goes off";
	EXPECT_FLOAT_EQ(0.0f, bomb->fuse);

	// Attacking a foe far ahead (the attack has not begun to move it).
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 30.0f));
	bomb->SetTarget(hero.get());
	bomb->GetCurrentBehaviour()->active = AITargetingBehaviour::kStateAttack;
	bomb->Update(kTick);
	EXPECT_FLOAT_EQ(ActorChookBomb::kFuseTime - kTick, bomb->fuse);
	// 4 s in quarter seconds lands on exactly 0.
	for (int i = 0; i < 14; i++)
		bomb->Update(kTick);
	EXPECT_EQ(1, bomb->stats.hearts);
	EXPECT_FLOAT_EQ(kTick, bomb->fuse);
	bomb->Update(kTick);
	EXPECT_EQ(0, bomb->stats.hearts) << "landing on 0 explodes";
	EXPECT_FLOAT_EQ(ActorChookBomb::kSpentFuse, bomb->fuse);
	EXPECT_FLOAT_EQ(ActorChookBomb::kBlastDeathDelay, bomb->deathTimer);
}

TEST_F(CreatureWorld, AStruckBombExplodesAtOnceAndIsNeverRelit)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 5.0f));
	auto bomb = Make<ActorChookBomb>(57, Vec3(0.0f));
	EXPECT_TRUE(bomb->Strike(hero.get(), 1, 1.0f));
	EXPECT_EQ(0, bomb->stats.hearts);
	EXPECT_FLOAT_EQ(ActorChookBomb::kSpentFuse, bomb->fuse);
	EXPECT_FALSE(bomb->Strike(hero.get(), 1, 1.0f)) << "nothing left to explode";
	bomb->Update(kTick);
	EXPECT_FLOAT_EQ(ActorChookBomb::kSpentFuse, bomb->fuse) << "a spent fuse is not lit again";
}

TEST_F(CreatureWorld, ABlobTakesWhatIsHeldButNoHearts)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 1.0f));
	hero->Hold(kSwordKind, nullptr);
	ASSERT_EQ(kSwordKind, hero->stats.heldKind);
	auto blob = Make<ActorBlob>(62, Vec3(0.0f));
	EXPECT_TRUE(blob->Attack(hero.get(), 4, 1.0f));
	EXPECT_EQ(0u, hero->stats.heldKind);
	EXPECT_EQ(nullptr, hero->GetHeldItem());
	EXPECT_EQ(6, hero->stats.hearts);
	EXPECT_TRUE(blob->Attack(hero.get(), 4, 1.0f)) << "empty hands: still a landed blow";
	EXPECT_EQ(6, hero->stats.hearts);
}

TEST_F(CreatureWorld, OnlyTheFireSwordHurtsTheWizardOneHeartABlow)
{
	hud.difficulty = 0;
	auto wizard = Make<ActorFireWizard>(55, Vec3(0.0f));
	ASSERT_EQ(12, wizard->stats.hearts);
	struct Row {
		const char *name;
		uint32_t held; // 0: no striking actor at all
		uint8_t damage;
		bool lands;
		int heartsAfter;
	};
	const Row rows[] = {
		{"plain sword", kSwordKind, 2, false, 12},
		{"no striker (a hurting wall)", 0, 3, false, 12},
		{"fire sword", 45, 3, true, 11},
		{"fire sword, big blow", 45, 5, true, 10},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 1.0f));
		hero->stats.heldKind = row.held;
		wizard->knockBackTimer = 0.0f;
		wizard->busyTimer = 0.0f;
		EXPECT_EQ(row.lands, wizard->Strike(row.held != 0 ? hero.get() : nullptr, row.damage, 1.0f));
		EXPECT_EQ(row.heartsAfter, wizard->stats.hearts);
	}
	hud.difficulty = 1;
}

TEST_F(CreatureWorld, TheFireSwordBurnsDownAWeakWizardAndTheDefeatCounts)
{
	hud.difficulty = 0;
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 1.0f));
	auto wizard = Make<ActorFireWizard>(55, Vec3(0.0f));
	hero->stats.heldKind = 45;
	wizard->stats.hearts = 7;
	EXPECT_TRUE(hero->Attack(wizard.get(), 6, 1.0f));
	EXPECT_EQ(6, wizard->stats.hearts) << "still one heart a blow";
	wizard->knockBackTimer = 0.0f;
	wizard->busyTimer = 0.0f;
	EXPECT_TRUE(hero->Attack(wizard.get(), 6, 1.0f));
	EXPECT_EQ(0, wizard->stats.hearts) << "burnt down at once";
	EXPECT_EQ(1, hero->chainHits) << "the defeat counts toward the chain";
	hud.difficulty = 1;
}

TEST_F(CreatureWorld, TheBirdHangsFreezesUnderAMessageDivesAndComesBack)
{
	const Vec3 perch(0.0f, 4.0f, 0.0f);
	auto bird = Make<ActorBird>(61, perch);
	for (int i = 0; i < 60; i++)
		scene.Update(kFrameTime);
	EXPECT_NEAR(perch.y, bird->transform.position.y, 1e-3f) << "no falling while alive";
	EXPECT_FLOAT_EQ(0.0f, bird->verticalFactor);
	EXPECT_EQ(ActorBird::kPerched, bird->birdState);

	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 4.0f));
	bird->SetTarget(hero.get()); // as its tree does when the hero walks under it
	hud.messageVisible = true;
	for (int i = 0; i < 30; i++)
		scene.Update(kFrameTime);
	EXPECT_EQ(ActorBird::kPerched, bird->birdState) << "frozen under a message";
	EXPECT_NEAR(perch.y, bird->transform.position.y, 1e-3f);

	hud.messageVisible = false;
	scene.Update(kFrameTime);
	EXPECT_EQ(ActorBird::kDiving, bird->birdState);
	EXPECT_TRUE(ActorRegistry::Contains(bird.get()));
	float lowest = perch.y;
	bool retreated = false;
	for (int i = 0; i < 600 && !retreated; i++) {
		scene.Update(kFrameTime);
		lowest = std::min(lowest, bird->transform.position.y);
		retreated = bird->birdState == ActorBird::kRetreating;
	}
	EXPECT_TRUE(retreated);
	EXPECT_LT(lowest, 2.0f) << "it came down at the hero";
	EXPECT_FALSE(ActorRegistry::Contains(bird.get()));
	hero->transform.position = Vec3(0.0f, 0.0f, 60.0f);
	bool perched = false;
	for (int i = 0; i < 600 && !perched; i++) {
		scene.Update(kFrameTime);
		perched = bird->birdState == ActorBird::kPerched;
	}
	EXPECT_TRUE(perched);
	EXPECT_LT(Vec3Length(bird->transform.position - perch), ActorBird::kHomeReach + 0.2f);

	// Struck down, it falls and flies nowhere.
	EXPECT_TRUE(bird->Strike(hero.get(), 1, 1.0f));
	EXPECT_FLOAT_EQ(1.0f, bird->verticalFactor);
	Vec3 move(1.0f);
	bird->GetDesiredMove(move, kFrameTime);
	EXPECT_EQ(Vec3(0.0f), move);
}

TEST_F(CreatureWorld, TheBirdsMoveHasNoNaN)
{
	auto bird = Make<ActorBird>(61, Vec3(0.0f, 4.0f, 0.0f));
	bird->birdState = ActorBird::kReturning;
	bird->aimPoint = bird->transform.position; // exactly at its aim
	Vec3 move(1.0f);
	bird->GetDesiredMove(move, kFrameTime);
	EXPECT_EQ(Vec3(0.0f), move);

	// A retreat without a target flies on from the bird itself.
	bird->birdState = ActorBird::kDiving;
	bird->diveDirection = Vec3(1.0f, 0.0f, 0.0f);
	bird->SetTarget(nullptr);
	bird->Update(kFrameTime);
	EXPECT_EQ(ActorBird::kRetreating, bird->birdState);
	EXPECT_TRUE(std::isfinite(bird->aimPoint.x));
	EXPECT_NEAR(bird->transform.position.x + ActorBird::kRetreatDistance, bird->aimPoint.x, 0.3f);
	EXPECT_NEAR(bird->homePosition.y + ActorBird::kRetreatHeight, bird->aimPoint.y, 1e-4f);
}

} // namespace
