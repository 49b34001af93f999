#include "objects/ActorWorld.h"

#include "objects/FacingBehaviour.h"

#include <string>
#include <vector>

namespace {

// Hands a logged behaviour to the actor and returns it (still owned by the
// actor) and its handle.
LoggedBehaviour *Give(Actor &actor, BehaviourLog &log, bool clear, BehaviourHandle *handle = nullptr)
{
	auto behaviour = std::make_unique<LoggedBehaviour>(&actor, &log);
	LoggedBehaviour *given = behaviour.get();
	if (handle != nullptr)
		*handle = behaviour->GetHandle();
	actor.AddBehaviour(std::move(behaviour), clear);
	return given;
}

TEST_F(ActorWorld, AFinishedBehaviourIsFreedAndTheOneBelowResumesWithoutBeginning)
{
	auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 2, Vec3(0.0f));
	BehaviourLog lower, upper;
	BehaviourHandle lowerHandle = kNoBehaviour, upperHandle = kNoBehaviour;
	Give(*townee, lower, false, &lowerHandle);
	scene.Update(kTick);
	ASSERT_EQ(1, lower.begins);
	LoggedBehaviour *top = Give(*townee, upper, false, &upperHandle);
	scene.Update(kTick);
	EXPECT_EQ(1, upper.begins);
	EXPECT_EQ(townee->GetCurrentBehaviour(), top);
	const int lowerUpdates = lower.updates;

	top->Finish();
	EXPECT_FALSE(IsBehaviourFinished(lowerHandle));
	EXPECT_TRUE(IsBehaviourFinished(upperHandle));
	scene.Update(kTick);
	EXPECT_EQ(1, upper.freed);
	EXPECT_TRUE(IsBehaviourFinished(upperHandle)) << "a freed behaviour counts as finished";
	EXPECT_EQ(1, lower.begins) << "still running: no second Begin";
	EXPECT_EQ(lowerUpdates + 1, lower.updates);
	EXPECT_EQ(1u, townee->GetBehaviourCount());
	EXPECT_FALSE(IsBehaviourFinished(lowerHandle));
}

TEST_F(ActorWorld, BehavioursAreFreedWhenReplacedEvenFromInsideTheirOwnUpdate)
{
	struct Row {
		const char *name;
		bool fromInside;
	};
	for (const Row &row : {Row{"replaced from outside", false}, Row{"replaced by itself", true}}) {
		SCOPED_TRACE(row.name);
		auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 2, Vec3(0.0f));
		BehaviourLog first, second;
		BehaviourHandle firstHandle = kNoBehaviour;
		LoggedBehaviour *old = Give(*townee, first, false, &firstHandle);
		scene.Update(kTick);
		if (row.fromInside) {
			old->onUpdate = [&] {
				Give(*townee, second, true);
				EXPECT_EQ(0, first.freed) << "not freed under its own feet";
				EXPECT_TRUE(IsBehaviourFinished(firstHandle));
			};
			scene.Update(kTick);
		} else {
			Give(*townee, second, true);
		}
		EXPECT_EQ(1, first.freed);
		EXPECT_TRUE(IsBehaviourFinished(firstHandle));
		scene.Update(kTick);
		EXPECT_EQ(1, second.begins);
		townee.reset();
		EXPECT_EQ(1, second.freed) << "an actor frees its behaviours when it goes";
	}
}

TEST_F(ActorWorld, DefeatFreesEveryBehaviour)
{
	auto chook = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	BehaviourLog a, b;
	BehaviourHandle handle = kNoBehaviour;
	Give(*chook, a, false, &handle);
	Give(*chook, b, false);
	scene.Update(kTick);
	chook->Defeat();
	EXPECT_EQ(1, a.freed);
	EXPECT_EQ(1, b.freed);
	EXPECT_EQ(0u, chook->GetBehaviourCount());
	EXPECT_EQ(nullptr, chook->GetCurrentBehaviour());
	EXPECT_TRUE(IsBehaviourFinished(handle));
	scene.Update(kTick);
}

TEST_F(ActorWorld, TheTimeoutEndsActivityAndDecideTakesOver)
{
	struct Row {
		const char *name;
		bool ticks, decides;
		float timeout;
		int frames;
		bool active;
		float timeoutAfter;
	};
	const Row rows[] = {
		{"tick keeps it going", true, false, 0.0f, 4, true, 0.0f},
		{"a 0.5 s timeout ends it", true, false, 0.5f, 2, false, 0.0f},
		{"the timeout is still running", true, false, 0.5f, 1, true, 0.25f},
		{"a failing tick drops at once", false, false, 0.5f, 1, false, 0.0f},
		{"decide revives it", false, true, 0.5f, 1, true, 0.0f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 2, Vec3(0.0f));
		BehaviourLog log;
		LoggedBehaviour behaviour(townee.get(), &log);
		behaviour.ticks = row.ticks;
		behaviour.decides = row.decides;
		behaviour.active = 1;
		behaviour.timeout = row.timeout;
		for (int i = 0; i < row.frames; i++)
			behaviour.Update(kTick);
		EXPECT_EQ(row.active, behaviour.active != 0);
		EXPECT_FLOAT_EQ(row.timeoutAfter, behaviour.timeout);
	}
}

TEST_F(ActorWorld, MovingTowardNoPointStandsStill)
{
	auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 2, Vec3(0.0f));
	ActorBehaviour walk(townee.get());
	EXPECT_EQ(townee->GetMoveSpeed(), walk.speed);
	Vec3 move(1.0f);
	walk.MoveTowards(move, kTick);
	EXPECT_EQ(Vec3(0.0f), move);
	walk.targetPoint = Vec3(0.0f, 0.0f, 20.0f);
	walk.MoveTowards(move, kTick);
	EXPECT_FLOAT_EQ(walk.speed, move.z);
	walk.targetPoint = Vec3(0.1f, 0.0f, 0.0f);
	walk.MoveTowards(move, kTick);
	EXPECT_EQ(Vec3(0.0f), move) << "close enough counts as reached";
}

TEST_F(ActorWorld, AFacingTownsfolkWavesOnceEachTimeThePlayerComesNear)
{
	auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 2, Vec3(0.0f));
	auto hero = Spawn(kHeroKind, kFactionPlayer, 4, Vec3(0.0f, 0.0f, 30.0f));
	auto facing = std::make_unique<FacingBehaviour>(townee.get());
	FacingBehaviour *watcher = facing.get();
	townee->AddBehaviour(std::move(facing), true);

	int waves = 0;
	float lastWave = 0.0f;
	auto run = [&](int frames) {
		for (int i = 0; i < frames; i++) {
			scene.Update(kTick);
			if (watcher->waveTimer > lastWave)
				waves++;
			lastWave = watcher->waveTimer;
		}
	};
	run(8);
	EXPECT_EQ(0, waves);
	hero->transform.position = Vec3(0.0f, 0.0f, 5.0f);
	run(8);
	EXPECT_EQ(1, waves);
	EXPECT_EQ(0.0f, watcher->waveTimer) << "waved for exactly a second";
	EXPECT_GT(townee->facing.z, 0.99f);
	hero->transform.position = Vec3(0.0f, 0.0f, 30.0f);
	run(8);
	hero->transform.position = Vec3(0.0f, 0.0f, -5.0f);
	run(8);
	EXPECT_EQ(2, waves);
	EXPECT_LT(townee->facing.z, -0.99f);

	hero.reset();
	run(2); // the watched player is gone: nothing freed is read
	EXPECT_EQ(nullptr, watcher->targetEntity);
}

TEST_F(ActorWorld, TheRegistryCountsAndStopsEngagedActors)
{
	auto a = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	auto b = Spawn(kChookKind, kFactionHostile, 2, Vec3(3.0f, 0.0f, 0.0f));
	TestActor outside(kChookKind);
	outside.stats.hearts = 2;
	BehaviourLog logA, logB;
	Give(*a, logA, false);
	Give(*b, logB, false);
	scene.Update(kTick);

	ActorRegistry::Add(a.get());
	ActorRegistry::Add(a.get());
	ActorRegistry::Add(b.get());
	ActorRegistry::Add(&outside);
	ActorRegistry::Add(nullptr);
	EXPECT_EQ(2u, ActorRegistry::Count()) << "live actors, each once";
	EXPECT_EQ(2, CountLivingActors());

	b->Defeat();
	EXPECT_EQ(1, CountLivingActors()) << "no hearts, no count";
	b.reset();
	EXPECT_EQ(1u, ActorRegistry::Count()) << "a freed actor leaves the list";

	logA.ends = 0;
	ActorRegistry::StopAll();
	EXPECT_EQ(1, logA.ends);
	EXPECT_EQ(0u, ActorRegistry::Count());
	ActorRegistry::Add(a.get());
	ActorRegistry::Clear();
	EXPECT_EQ(0, CountLivingActors());
}

// A behaviour's end may free an actor still waiting its turn, stop the fight
// again or bring new fighters in: the freed one is passed over, the nested
// call does nothing, the newcomers stay engaged, and a later call stops only
// the actors engaged by then.
TEST_F(ActorWorld, StoppingTheFightSurvivesWhatABehavioursEndDoes)
{
	struct EndingBehaviour : LoggedBehaviour {
		using LoggedBehaviour::LoggedBehaviour;
		void OnEnd() override
		{
			LoggedBehaviour::OnEnd();
			if (onEnd)
				onEnd();
		}
		std::function<void()> onEnd;
	};
	auto a = Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f));
	auto b = Spawn(kChookKind, kFactionHostile, 2, Vec3(3.0f, 0.0f, 0.0f));
	auto c = Spawn(kChookKind, kFactionHostile, 2, Vec3(6.0f, 0.0f, 0.0f));
	BehaviourLog logA, logB, logC;
	auto ending = std::make_unique<EndingBehaviour>(a.get(), &logA);
	EndingBehaviour *endingA = ending.get();
	a->AddBehaviour(std::move(ending), false);
	Give(*b, logB, false);
	Give(*c, logC, false);
	scene.Update(kTick);
	for (Actor *actor : {a.get(), b.get(), c.get()})
		ActorRegistry::Add(actor);
	ASSERT_EQ(3u, ActorRegistry::Count());

	// More newcomers than the list has room for, so that it grows meanwhile.
	constexpr int kNewcomers = 12;
	std::vector<std::unique_ptr<TestActor>> newcomers;
	int endsOfB = -1;
	endingA->onEnd = [&] {
		// Brought in before B goes, so that none of them takes B's place in
		// memory.
		for (int i = 0; i < kNewcomers; i++) {
			newcomers.push_back(Spawn(kChookKind, kFactionHostile, 2, Vec3(0.0f, 0.0f, 3.0f * (float)(i + 1))));
			ActorRegistry::Add(newcomers.back().get());
		}
		b.reset();
		endsOfB = logB.ends;
		ActorRegistry::StopAll();
		EXPECT_EQ(0, logC.ends) << "the nested call stopped nobody";
	};
	ActorRegistry::StopAll();
	EXPECT_EQ(1, logA.ends);
	EXPECT_EQ(1, logB.freed);
	EXPECT_EQ(endsOfB, logB.ends) << "nothing reached the freed actor";
	EXPECT_EQ(1, logC.ends);
	EXPECT_EQ((size_t)kNewcomers, ActorRegistry::Count()) << "the newcomers joined after the stop began";

	endingA->onEnd = nullptr;
	ActorRegistry::Add(c.get());
	ActorRegistry::StopAll();
	EXPECT_EQ(1, logA.ends) << "no longer engaged";
	EXPECT_EQ(2, logC.ends);
	EXPECT_EQ(0u, ActorRegistry::Count());
}

} // namespace
