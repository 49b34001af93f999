#include "engine/core/Entity.h"

#include "engine/collision/Collider.h"
#include "engine/collision/CollisionChecker.h"
#include "engine/core/Scene.h"
#include "support/RecordingEntity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f; // seconds

// Reports its own deletion, so a test can tell whether an entity freed it.
class WatchedCollider : public Collider {
public:
	WatchedCollider(Entity *owner, bool *deleted) : Collider(owner, Vec3(1.0f), Vec3(0.0f)), deleted(deleted) {}
	~WatchedCollider() override { *deleted = true; }

private:
	bool *deleted;
};

}

TEST(Entity, TickRunsTheHooksOfItsLifeState)
{
	struct Row {
		uint32_t state;
		Journal firstTick;
		uint32_t stateAfter;
		Journal secondTick;
	};
	const Row rows[] = {
		{ kLifeNew, {}, kLifeNew, {} },
		{ kLifeAdded, { "e.Start", "e.OnResume", "e.Update" }, kLifeRunning, { "e.Update" } },
		{ kLifeRunning, { "e.Update" }, kLifeRunning, { "e.Update" } },
		{ kLifePaused, {}, kLifePaused, {} },
		{ kLifeRemoved, { "e.OnPause" }, kLifeRemoved, { "e.OnPause" } },
		{ kLifeDestroyed, {}, kLifeDestroyed, {} },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("life state " + std::to_string(row.state));
		Journal journal;
		RecordingEntity entity(&journal, "e");
		entity.lifeState = row.state;
		entity.Tick(kFrame);
		EXPECT_EQ(journal, row.firstTick);
		EXPECT_EQ(entity.lifeState, row.stateAfter);
		journal.clear();
		entity.Tick(kFrame);
		EXPECT_EQ(journal, row.secondTick);
	}
}

TEST(Entity, WhatStartDecidesAboutItselfStands)
{
	struct Row {
		const char *name;
		std::function<void(Entity &)> inStart;
		Journal hooks; // of the first tick
		uint32_t stateAfter;
	};
	const Row rows[] = {
		{ "nothing", [](Entity &) {}, { "e.Start", "e.OnResume", "e.Update" }, kLifeRunning },
		{ "pauses itself", [](Entity &e) { e.SetActive(false); }, { "e.Start" }, kLifePaused },
		{ "marks itself destroyed", [](Entity &e) { e.lifeState = kLifeDestroyed; }, { "e.Start" }, kLifeDestroyed },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Journal journal;
		RecordingEntity entity(&journal, "e");
		entity.lifeState = kLifeAdded;
		entity.onStart = [&]() { row.inStart(entity); };
		entity.Tick(kFrame);
		EXPECT_EQ(journal, row.hooks);
		EXPECT_EQ(entity.lifeState, row.stateAfter);
	}
}

TEST(Entity, SetActivePausesAndResumes)
{
	struct Row {
		const char *name;
		uint32_t state;
		std::vector<bool> calls;
		Journal hooks; // including one tick after the calls
		uint32_t stateAfter;
	};
	const Row rows[] = {
		{ "pause twice", kLifeRunning, { false, false }, { "e.OnPause" }, kLifePaused },
		{ "pause then resume", kLifeRunning, { false, true }, { "e.OnPause", "e.OnResume", "e.Update" }, kLifeRunning },
		{ "resume running", kLifeRunning, { true }, { "e.Update" }, kLifeRunning },
		{ "resume removed", kLifeRemoved, { true }, { "e.OnPause" }, kLifeRemoved },
		// Paused before its first tick: started when first resumed, once.
		{ "pause added, resume", kLifeAdded, { false, true }, { "e.Start", "e.OnResume", "e.Update" }, kLifeRunning },
		{ "pause added, resume twice", kLifeAdded, { false, true, false, true },
			{ "e.Start", "e.OnResume", "e.OnPause", "e.OnResume", "e.Update" }, kLifeRunning },
		{ "pause added, stays paused", kLifeAdded, { false }, {}, kLifePaused },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Journal journal;
		RecordingEntity entity(&journal, "e");
		entity.lifeState = row.state;
		for (bool on : row.calls)
			entity.SetActive(on);
		entity.Tick(kFrame);
		EXPECT_EQ(journal, row.hooks);
		EXPECT_EQ(entity.lifeState, row.stateAfter);
	}
}

TEST(Entity, DeletingFreesOnlyTheColliderItOwns)
{
	bool ownDeleted = false;
	bool foreignDeleted = false;
	Entity other;
	WatchedCollider foreign(&other, &foreignDeleted);
	Entity *entity = new Entity();
	entity->collider = new WatchedCollider(entity, &ownDeleted);
	delete entity;
	Entity *borrower = new Entity();
	borrower->collider = &foreign;
	delete borrower;
	EXPECT_TRUE(ownDeleted);
	EXPECT_FALSE(foreignDeleted);
}

TEST(Entity, DestroyFromAHookEndsTheTick)
{
	const char *hooks[] = { "Start", "OnResume", "Update" };
	for (const std::string hook : hooks) {
		SCOPED_TRACE(hook);
		Journal journal;
		Scene scene;
		scene.state = kSceneActive;
		RecordingEntity *entity = new RecordingEntity(&journal, "e");
		auto destroy = [entity]() { entity->Destroy(); };
		(hook == "Start" ? entity->onStart : hook == "OnResume" ? entity->onResume : entity->onUpdate) = destroy;
		scene.AddEntity(entity);
		scene.Update(kFrame);
		// Nothing of the tick runs after the hook that destroyed the entity.
		Journal expected;
		for (const char *step : { "Start", "OnResume", "Update" }) {
			expected.push_back(std::string("e.") + step);
			if (hook == step)
				break;
		}
		expected.insert(expected.end(), { "e.OnEvent", "e.Deleted" });
		journal.erase(journal.begin()); // e.Init
		EXPECT_EQ(journal, expected);
		EXPECT_EQ(scene.GetEntityCount(), 0);
	}
}

TEST(Entity, DestroyDuringACollisionCheckWaitsForTheCheckToEnd)
{
	Journal journal;
	Scene scene;
	scene.state = kSceneActive;
	CollisionChecker checker;
	RecordingEntity *hitter = new RecordingEntity(&journal, "hitter");
	RecordingEntity *victim = new RecordingEntity(&journal, "victim");
	for (RecordingEntity *entity : { hitter, victim }) {
		entity->collider = new Collider(entity, Vec3(1.0f), Vec3(0.0f));
		scene.AddEntity(entity);
	}
	hitter->collider->mode = Collider::kModeSolid;
	victim->collider->mode = Collider::kModeStatic;
	scene.Update(kFrame);

	bool deletedInsideCheck = true;
	hitter->onCollide = [&]() {
		victim->Destroy();
		deletedInsideCheck = std::find(journal.begin(), journal.end(), "victim.Deleted") != journal.end();
	};
	journal.clear();
	checker.Check(&scene);
	EXPECT_FALSE(deletedInsideCheck);
	ASSERT_FALSE(journal.empty());
	EXPECT_EQ(journal.back(), "victim.Deleted");
	EXPECT_FALSE(scene.HasEntity(victim));
	delete hitter;
}

// Destruction held by nested passes: the entity stays in memory until the
// outermost hold ends, and is deleted exactly once, also when it is destroyed
// twice or when its owner deletes it while the hold is still on.
TEST(Entity, AnEntityDestroyedUnderAHoldIsDeletedOnceWhenTheLastHoldEnds)
{
	const struct {
		const char *name;
		int holds;
		int destroys;
		bool ownerDeletes; // the owner deletes it before the holds end
	} rows[] = {
		{"one hold", 1, 1, false},
		{"nested holds", 3, 1, false},
		{"destroyed twice", 1, 2, false},
		{"deleted by its owner meanwhile", 2, 1, true},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		Journal journal;
		Scene scene;
		RecordingEntity *entity = new RecordingEntity(&journal, "e");
		scene.AddEntity(entity);
		{
			std::vector<std::unique_ptr<Entity::DestroyHold>> holds;
			for (int i = 0; i < row.holds; i++)
				holds.push_back(std::make_unique<Entity::DestroyHold>());
			for (int i = 0; i < row.destroys; i++)
				entity->Destroy();
			EXPECT_TRUE(Entity::IsAwaitingDeletion(entity));
			EXPECT_FALSE(scene.HasEntity(entity));
			if (row.ownerDeletes)
				delete entity;
			while (holds.size() > 1) {
				holds.pop_back();
				EXPECT_EQ(std::count(journal.begin(), journal.end(), "e.Deleted"), row.ownerDeletes ? 1 : 0)
					<< "an inner hold never deletes";
			}
		}
		EXPECT_EQ(std::count(journal.begin(), journal.end(), "e.Deleted"), 1);
	}
}
