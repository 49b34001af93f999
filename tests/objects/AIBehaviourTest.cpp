#include "objects/ActorWorld.h"

#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AIJumpBehaviour.h"
#include "objects/AIPlayAnimBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/FleeBehaviour.h"
#include "objects/InteractBehaviour.h"
#include "objects/RoamBehaviour.h"
#include "support/GridMap.h"

#include <cmath>
#include <string>

namespace {

constexpr float kFrameTime = 1.0f / 60.0f;

// A sub-behaviour that keeps running until told, and counts its freeing.
class HeldBehaviour : public ActorBehaviour {
public:
	HeldBehaviour(Actor *owner, int *freed) : ActorBehaviour(owner), freed(freed) {}
	~HeldBehaviour() override
	{
		if (freed != nullptr)
			++*freed;
	}
	bool Decide() override { return true; }
	bool Tick(float) override { return true; }

	int *freed;
};

class TargetingWorld : public ActorWorld {
protected:
	// A hostile actor at the origin facing +Z, driven by a targeting behaviour
	// with held idle and attack sub-behaviours.
	AITargetingBehaviour *Brain(TestActor &creature, float range = 7.0f, float leash = 1000.0f)
	{
		auto brain = std::make_unique<AITargetingBehaviour>(&creature, std::make_unique<HeldBehaviour>(&creature, nullptr),
			std::make_unique<HeldBehaviour>(&creature, nullptr), range, 2.0f, leash);
		AITargetingBehaviour *held = brain.get();
		creature.AddBehaviour(std::move(brain), true);
		return held;
	}
	void Run(float seconds, float step = kTick)
	{
		for (float t = 0.0f; t < seconds - 1e-4f; t += step)
			scene.Update(step);
	}
};

TEST_F(TargetingWorld, AttacksOnlyWhatIsInViewAndTakesTurnsForTheToken)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, -3.0f)); // behind
	auto first = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	auto second = Spawn(kChookKind, kFactionHostile, 2, Vec3(1.0f, 0.0f, 0.0f));
	AITargetingBehaviour *one = Brain(*first);
	AITargetingBehaviour *two = Brain(*second);
	Run(1.0f);
	EXPECT_EQ(AITargetingBehaviour::kStateIdle, one->GetState()) << "a foe behind is not seen";
	EXPECT_EQ(0u, ActorRegistry::Count());

	hero->transform.position = Vec3(0.5f, 0.0f, 3.0f); // in front of both
	Run(1.0f);
	const bool oneAttacks = one->GetState() == AITargetingBehaviour::kStateAttack;
	const bool twoAttacks = two->GetState() == AITargetingBehaviour::kStateAttack;
	EXPECT_TRUE(oneAttacks != twoAttacks) << "exactly one holds the token";
	EXPECT_EQ(1u, ActorRegistry::Count());
	AITargetingBehaviour *waiting = oneAttacks ? two : one;
	TestActor *attacker = oneAttacks ? first.get() : second.get();
	EXPECT_EQ(AITargetingBehaviour::kStateIdle, waiting->GetState());

	// The attacker falls; the other takes its turn.
	attacker->Defeat();
	Run(1.0f);
	EXPECT_EQ(AITargetingBehaviour::kStateAttack, waiting->GetState());
}

TEST_F(TargetingWorld, AStoppedAttackChillsOrReactsByTheHitReactStep)
{
	struct Row {
		float step;
		uint8_t firstStop;
		uint8_t secondStop;
	};
	const Row rows[] = {
		{0.5f, AITargetingBehaviour::kStateChill, AITargetingBehaviour::kStateHitReact},
		{1.0f, AITargetingBehaviour::kStateHitReact, AITargetingBehaviour::kStateHitReact},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.step);
		ActorRegistry::Clear();
		auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 3.0f));
		auto creature = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
		AITargetingBehaviour *brain = Brain(*creature);
		auto react = std::make_unique<HeldBehaviour>(creature.get(), nullptr);
		HeldBehaviour *reaction = react.get();
		brain->SetSubBehaviour(AITargetingBehaviour::kStateHitReact, std::move(react));
		brain->hitReactStep = row.step;
		const uint8_t expected[2] = {row.firstStop, row.secondStop};
		for (uint8_t stop : expected) {
			for (int i = 0; i < 40 && brain->GetState() != AITargetingBehaviour::kStateAttack; i++) {
				if (brain->GetState() == AITargetingBehaviour::kStateHitReact)
					reaction->Finish(); // the reaction ends, the attack resumes
				scene.Update(kTick);
			}
			ASSERT_EQ(AITargetingBehaviour::kStateAttack, brain->GetState());
			creature->StopBehaviour();
			EXPECT_EQ(stop, brain->GetState());
			EXPECT_FALSE(ActorRegistry::Contains(creature.get())) << "the token goes back";
			reaction->state = kBehaviourRunning;
		}
		creature.reset();
		hero.reset();
	}
}

TEST_F(TargetingWorld, BeyondItsLeashACreatureWalksHomeAndIdles)
{
	auto creature = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	AITargetingBehaviour *brain = Brain(*creature, 7.0f, 3.0f);
	scene.Update(kFrameTime);
	creature->transform.position = Vec3(10.0f, 0.0f, 0.0f);
	scene.Update(kFrameTime);
	EXPECT_EQ(AITargetingBehaviour::kStateReturn, brain->GetState());
	Vec3 move(0.0f);
	brain->MoveTowards(move, kFrameTime);
	EXPECT_LT(move.x, 0.0f) << "it heads home, not standing";
	Run(6.0f, kFrameTime);
	EXPECT_EQ(AITargetingBehaviour::kStateIdle, brain->GetState());
	EXPECT_LT(Vec3Length(creature->transform.position), AITargetingBehaviour::kHomeReach + 0.5f);
}

TEST_F(TargetingWorld, SlotsKeepTheirOwnBehaviourRefuseBadIndexesAndFreeEachOnce)
{
	auto creature = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	int idleFreed = 0, attackFreed = 0, firstFreed = 0, strayFreed = 0, secondFreed = 0;
	{
		AITargetingBehaviour brain(creature.get(), std::make_unique<HeldBehaviour>(creature.get(), &idleFreed),
			std::make_unique<HeldBehaviour>(creature.get(), &attackFreed), 7.0f, 2.0f, 1000.0f);
		EXPECT_FLOAT_EQ(14.0f, brain.range) << "twice the attack range beyond the default";
		auto first = std::make_unique<HeldBehaviour>(creature.get(), &firstFreed);
		HeldBehaviour *held = first.get();
		EXPECT_TRUE(brain.SetSubBehaviour(1, std::move(first)));
		// The same behaviour once more: kept, not freed.
		EXPECT_TRUE(brain.SetSubBehaviour(1, std::unique_ptr<ActorBehaviour>(held)));
		EXPECT_EQ(held, brain.GetSubBehaviour(1));
		EXPECT_EQ(0, firstFreed);
		EXPECT_FALSE(brain.SetSubBehaviour(6, std::make_unique<HeldBehaviour>(creature.get(), &strayFreed)));
		EXPECT_EQ(1, strayFreed) << "a refused behaviour is freed";
		EXPECT_EQ(nullptr, brain.GetSubBehaviour(6));
		EXPECT_TRUE(brain.SetSubBehaviour(1, std::make_unique<HeldBehaviour>(creature.get(), &secondFreed)));
		EXPECT_EQ(1, firstFreed);
	}
	EXPECT_EQ(1, idleFreed);
	EXPECT_EQ(1, attackFreed);
	EXPECT_EQ(1, firstFreed);
	EXPECT_EQ(1, secondFreed);
}

TEST_F(TargetingWorld, TheViewConeBehindStaysClosedWithANegativeAlignment)
{
	auto creature = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	const float side = std::sqrt(1.0f - 0.3f * 0.3f);
	// Slightly behind (alignment -0.3) and close: squaring range x alignment
	// would let it in; the actor's own rule never sees behind.
	EXPECT_FALSE(creature->IsInView(Vec3(side, 0.0f, -0.3f), 10.0f, -0.4f));
	EXPECT_TRUE(creature->IsInView(Vec3(0.0f, 0.0f, 5.0f), 10.0f, -0.4f));
}

// An interaction whose every step is its own, to show they can be replaced.
class ScriptedInteraction : public InteractBehaviour {
public:
	using InteractBehaviour::InteractBehaviour;
	uint8_t OnReach() override
	{
		*steps += "reach ";
		return InteractBehaviour::OnReach();
	}
	uint8_t Act() override
	{
		*steps += "act ";
		return kPhaseFollow;
	}
	uint8_t Follow(float) override
	{
		*steps += "follow ";
		return kPhaseDone;
	}
	std::string *steps = nullptr; // the test's, outliving the behaviour
};

TEST_F(TargetingWorld, AnInteractionRunsItsStepsInOrderAndFinishes)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 1.0f));
	auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 2, Vec3(0.0f));
	std::string steps;
	auto interaction = std::make_unique<ScriptedInteraction>(townee.get(), hero.get());
	interaction->steps = &steps;
	const BehaviourHandle handle = interaction->GetHandle();
	townee->AddBehaviour(std::move(interaction), true);
	for (int i = 0; i < 6; i++)
		scene.Update(kTick);
	EXPECT_TRUE(IsBehaviourFinished(handle));
	EXPECT_EQ(hero.get(), townee->GetTarget());
	EXPECT_EQ(std::string("reach act follow "), steps);
}

TEST_F(TargetingWorld, AnInteractionWithoutATargetFinishesAtOnce)
{
	auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 2, Vec3(0.0f));
	InteractBehaviour lonely(townee.get(), nullptr);
	lonely.Begin();
	EXPECT_TRUE(lonely.IsFinished());
}

TEST_F(TargetingWorld, AChargeThatLosesItsTargetInTheWindUpFinishes)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 2.0f));
	auto creature = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	auto charge = std::make_unique<AIAttackChargeBehaviour>(creature.get(), 4.0f, 7.0f, 10.0f, 0.4f);
	charge->windUp = 0.5f;
	AIAttackChargeBehaviour *held = charge.get();
	const BehaviourHandle handle = charge->GetHandle();
	creature->SetTarget(hero.get());
	creature->AddBehaviour(std::move(charge), true);
	scene.Update(kFrameTime);
	scene.Update(kFrameTime);
	ASSERT_EQ(InteractBehaviour::kPhaseWindUp, held->active);
	const Vec3 crouched = creature->transform.position;
	creature->SetTarget(nullptr);
	for (int i = 0; i < 60 && !IsBehaviourFinished(handle); i++)
		scene.Update(kFrameTime);
	EXPECT_TRUE(IsBehaviourFinished(handle));
	// It coasts to a stop; a dash would carry it 4 units.
	EXPECT_LT(Vec3Length(creature->transform.position - crouched), 0.5f) << "no dash without a target";
}

TEST_F(TargetingWorld, RoamingPicksASameLevelNeighbourNearHomeAndHomeBeyondSix)
{
	std::vector<MapTile> tiles(7 * 7, Flat(2));
	tiles[3 * 7 + 3] = Flat(1);
	tiles[3 * 7 + 4] = Flat(1); // the only neighbour on the same level
	GridMap grid(7, 7, tiles);
	const Vec3 middle = grid.map.TilePosition(3, 3, 0.5f, 0.5f);
	Vec3 east(0.0f);
	int sameLevel = 0;
	for (uint8_t direction = 1; direction <= 4; direction++) {
		const int16_t x = (int16_t)(3 + DirectionStepX(direction));
		const int16_t y = (int16_t)(3 + DirectionStepY(direction));
		if (grid.map.TileAt(x, y).level == grid.map.TileAt(3, 3).level) {
			east = grid.map.TilePosition(x, y, 0.5f, 0.5f);
			sameLevel++;
		}
	}
	ASSERT_EQ(1, sameLevel);
	auto creature = Spawn(kChookKind, kFactionHostile, 2, middle);
	creature->map = &grid.map;
	RoamBehaviour roam(creature.get(), 2.0f, 0.3f);
	for (int i = 0; i < 6; i++) {
		SCOPED_TRACE(i);
		roam.PickPoint();
		EXPECT_NEAR(east.x, roam.targetPoint.x, 1e-4f);
		EXPECT_NEAR(east.z, roam.targetPoint.z, 1e-4f);
		EXPECT_GE(roam.pauseTimer, 1.7f - 1e-4f);
		EXPECT_LE(roam.pauseTimer, 2.3f + 1e-4f);
	}
	creature->transform.position = middle + Vec3(6.5f, 0.0f, 0.0f);
	roam.PickPoint();
	EXPECT_NEAR(creature->homePosition.x, roam.targetPoint.x, 1e-4f);
	EXPECT_NEAR(creature->homePosition.z, roam.targetPoint.z, 1e-4f);
	creature->map = nullptr;
}

TEST_F(TargetingWorld, AFleeingTownsmanNeverStops)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 20.0f));
	auto smith = Spawn(kTowneeKind, kFactionTownsfolk, 2, Vec3(0.0f));
	auto flee = std::make_unique<FleeBehaviour>(smith.get(), kDirectionEast);
	FleeBehaviour *held = flee.get();
	smith->AddBehaviour(std::move(flee), true);
	Run(1.0f);
	EXPECT_EQ(0, held->fleeing) << "nobody near yet";
	hero->transform.position = Vec3(0.0f, 0.0f, 5.0f);
	scene.Update(kTick);
	EXPECT_EQ(1, held->fleeing);
	hero->transform.position = Vec3(0.0f, 0.0f, 80.0f);
	const float before = smith->transform.position.x;
	Run(1.0f, kFrameTime);
	EXPECT_EQ(1, held->fleeing);
	EXPECT_GT(smith->transform.position.x, before + 5.0f) << "still running east";
	EXPECT_FALSE(held->IsFinished());
}

TEST_F(TargetingWorld, ShortActionsLastTheirDurationAndNeedATarget)
{
	struct Row {
		const char *name;
		std::function<std::unique_ptr<ActorBehaviour>(Actor *)> make;
		int ticksToFinish; // of 0.25 s
	};
	const Row rows[] = {
		{"jump 0.4", [](Actor *a) { return std::make_unique<AIJumpBehaviour>(a, 0.4f); }, 2},
		{"growl 0.3", [](Actor *a) { return std::make_unique<AIPlayAnimBehaviour>(a, kAnimTalk, 0, 0.3f, 0.0f); }, 2},
		{"jump 0.5", [](Actor *a) { return std::make_unique<AIJumpBehaviour>(a, 0.5f); }, 2},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 3.0f));
		auto creature = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
		std::unique_ptr<ActorBehaviour> action = row.make(creature.get());
		action->Begin();
		EXPECT_FALSE(action->IsFinished());
		EXPECT_EQ(hero.get(), creature->GetTarget());
		for (int i = 1; i < row.ticksToFinish; i++)
			action->Update(kTick);
		EXPECT_FALSE(action->IsFinished());
		action->Update(kTick);
		EXPECT_TRUE(action->IsFinished());

		hero.reset();
		creature->SetTarget(nullptr);
		std::unique_ptr<ActorBehaviour> alone = row.make(creature.get());
		alone->Begin();
		EXPECT_TRUE(alone->IsFinished()) << "nothing to face";
	}
}

} // namespace
