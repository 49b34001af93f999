#pragma once
// A headless world for actor tests: an active scene without a map, a game
// link whose difficulty, "newgame+" flag and game mode the test sets, and
// actors, items and behaviours that count what happens to them.
#include "engine/core/Scene.h"
#include "objects/Actor.h"
#include "objects/ActorBehaviour.h"
#include "objects/ActorRegistry.h"
#include "objects/GameLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

constexpr uint32_t kChookKind = 50; // an enemy kind
constexpr uint32_t kTowneeKind = 26; // a townsfolk kind
constexpr uint32_t kHeroKind = 1;
constexpr uint32_t kSwordKind = 43;
constexpr float kTick = 0.25f; // a frame time that sums to whole seconds exactly

class RulesLink : public GameLink {
public:
	int Difficulty() override { return difficulty; }
	bool Flag(const char *name) override { return newGamePlus && name != nullptr && std::strcmp(name, "newgame+") == 0; }
	bool IsMode(int mode) override { return mode == gameMode; }

	int difficulty = 1;
	bool newGamePlus = false;
	int gameMode = 0;
};

// An actor whose own rule may refuse blows, and that counts chain hits.
class TestActor : public Actor {
public:
	using Actor::Actor;
	using Actor::TakeInHand;

	bool AcceptsBlowFrom(Actor *attacker) override { return !refusesBlows && Actor::AcceptsBlowFrom(attacker); }
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override
	{
		return !refusesBlows && Actor::Strike(attacker, damage, power);
	}
	void AddChain(uint8_t count) override { chainHits += count; }

	bool refusesBlows = false;
	int chainHits = 0;
};

// A held item that counts its own freeing.
class CountedItem : public MapEntity {
public:
	CountedItem(uint32_t kind, int *freed) : MapEntity(kind), freed(freed) {}
	~CountedItem() override { ++*freed; }

private:
	int *freed;
};

struct BehaviourLog {
	int begins = 0;
	int updates = 0;
	int ends = 0;
	int freed = 0;
};

// A behaviour that logs its calls; an action can run at the end of its
// update (and may free it: the actor keeps it alive until the call is over).
class LoggedBehaviour : public ActorBehaviour {
public:
	LoggedBehaviour(Actor *owner, BehaviourLog *log) : ActorBehaviour(owner), log(log) {}
	~LoggedBehaviour() override { log->freed++; }

	void Begin() override
	{
		log->begins++;
		ActorBehaviour::Begin();
	}
	void Update(float dt) override
	{
		log->updates++;
		ActorBehaviour::Update(dt);
		std::function<void()> action = onUpdate;
		if (action)
			action();
	}
	bool Decide() override { return decides; }
	bool Tick(float dt) override
	{
		(void)dt;
		return ticks;
	}
	void OnEnd() override { log->ends++; }

	BehaviourLog *log;
	std::function<void()> onUpdate;
	bool decides = false;
	bool ticks = false;
};

class ActorWorld : public ::testing::Test {
protected:
	void SetUp() override
	{
		scene.state = kSceneActive;
		GameLink::Install(&link);
	}
	void TearDown() override
	{
		ActorRegistry::Clear();
		GameLink::Install(nullptr);
	}

	// An actor in the scene, started by one scene update.
	std::unique_ptr<TestActor> Spawn(uint32_t kind, uint8_t faction, uint8_t hearts, const Vec3 &position)
	{
		auto actor = std::make_unique<TestActor>(kind);
		actor->faction = faction;
		actor->stats.hearts = hearts;
		actor->stats.maxHearts = hearts;
		actor->transform.position = position;
		scene.AddEntity(actor.get());
		scene.Update(0.0f);
		actor->hurtTimer = 0.0f;
		return actor;
	}

	Scene scene;
	RulesLink link;
};
