#include "engine/core/Scene.h"

#include "engine/core/EntityContainer.h"
#include "engine/render/Renderer.h"
#include "support/RecordingEntity.h"
#include "support/MissingDevice.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

namespace {

constexpr float kFrame = 1.0f / 60.0f; // seconds

// A scene with test entities that outlive it.
struct SceneWithEntities : RecordingEntities {
	explicit SceneWithEntities(uint32_t sceneState) { scene.state = sceneState; }
	RecordingEntity *Add(const std::string &name, int16_t layer = 0)
	{
		RecordingEntity *entity = Make(name);
		entity->drawLayer = layer;
		scene.AddEntity(entity);
		return entity;
	}

	Scene scene; // goes first, so the entities never point at a freed scene
};

}

TEST(Scene, AddingTwiceDependsOnTheSceneState)
{
	struct Row {
		uint32_t state;
		uint16_t entries;
		Journal hooks;
	};
	const Row rows[] = {
		// A pending scene takes the entity out and lists it again.
		{ kScenePending, 2, { "a.Init", "a.OnEvent", "a.Init" } },
		{ kSceneActive, 1, { "a.Init" } },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("scene state " + std::to_string(row.state));
		SceneWithEntities s(row.state);
		RecordingEntity *a = s.Add("a");
		s.scene.AddEntity(a);
		EXPECT_EQ(s.scene.GetEntityCount(), row.entries);
		EXPECT_EQ(s.journal, row.hooks);
		EXPECT_EQ(s.scene.GetEntityAt(row.entries - 1), a);
		// Added while pending, started on the first active update.
		s.journal.clear();
		s.scene.state = kSceneActive;
		s.scene.Update(kFrame);
		EXPECT_EQ(s.journal, (Journal { "a.Start", "a.OnResume", "a.Update" }));
		EXPECT_EQ(s.scene.GetEntityCount(), 1);
	}
}

TEST(Scene, UpdateSkipsRemovedEntriesAndPurgesAfterwards)
{
	SceneWithEntities s(kSceneActive);
	RecordingEntity *a = s.Add("a");
	RecordingEntity *b = s.Add("b");
	RecordingEntity *c = s.Add("c");
	// The scene deletes an entity it finds destroyed, so this one is not owned.
	RecordingEntity *doomed = new RecordingEntity(&s.journal, "doomed");
	s.scene.AddEntity(doomed);
	s.scene.Update(kFrame);
	s.journal.clear();
	RecordingEntity *late = nullptr;
	a->onUpdate = [&]() {
		s.scene.RemoveEntity(b);
		late = s.Add("late");
	};
	doomed->lifeState = kLifeDestroyed;
	s.scene.Update(kFrame);
	// b is skipped after its removal; the late entity waits for the next frame.
	EXPECT_EQ(s.journal, (Journal { "a.Update", "b.OnEvent", "late.Init", "c.Update", "doomed.Deleted" }));
	EXPECT_EQ(b->scene, nullptr);
	ASSERT_EQ(s.scene.GetEntityCount(), 3);
	EXPECT_EQ(s.scene.GetEntityAt(0), a);
	EXPECT_EQ(s.scene.GetEntityAt(1), c);
	EXPECT_EQ(s.scene.GetEntityAt(2), late);
}

TEST(Scene, EntitiesLeftForItToFreeGoWithTheScene)
{
	struct Row {
		const char *name;
		uint32_t sceneState;
	};
	// A scene that never updates again (gone before its next frame, or never
	// current) still frees what it was left to free, and nothing else.
	const Row rows[] = { { "active", kSceneActive }, { "pending", kScenePending } };
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Journal journal;
		RecordingEntity kept(&journal, "kept");
		{
			Scene scene;
			scene.state = row.sceneState;
			RecordingEntity *doomed = new RecordingEntity(&journal, "doomed");
			scene.AddEntity(doomed);
			scene.AddEntity(&kept);
			doomed->lifeState = kLifeDestroyed;
			journal.clear();
		}
		EXPECT_EQ(journal, (Journal { "doomed.Deleted" }));
		EXPECT_EQ(kept.scene, nullptr);
	}
}

TEST(Scene, LeavingDuringUpdateStopsTheRestOfTheList)
{
	SceneWithEntities s(kSceneActive);
	RecordingEntity *gone = s.Add("gone");
	RecordingEntity *a = s.Add("a");
	s.Add("b");
	s.scene.RemoveEntity(gone);
	s.journal.clear();
	a->onUpdate = [&]() { s.scene.state = kSceneLeaving; };
	s.scene.Update(kFrame);
	EXPECT_EQ(s.journal, (Journal { "a.Start", "a.OnResume", "a.Update" }));
	EXPECT_EQ(s.scene.GetEntityCount(), 3); // not purged either
}

TEST(Scene, DrawsByAscendingLayerInListOrder)
{
	struct Item {
		const char *name;
		int16_t layer;
		uint32_t state;
		bool visible;
	};
	struct Row {
		const char *name;
		std::vector<Item> items;
		Journal drawn;
	};
	constexpr int16_t kLowest = std::numeric_limits<int16_t>::min();
	const Row rows[] = {
		{ "scene and interface layers",
			{ { "a", 150, kLifeRunning, true }, { "b", 50, kLifeRunning, true }, { "c", 100, kLifeRunning, true },
				{ "d", 50, kLifeRunning, true } },
			{ "b.Render", "d.Render", "c.Render", "a.Render" } },
		{ "negative and lowest layers",
			{ { "a", 0, kLifeRunning, true }, { "b", -5, kLifeRunning, true }, { "c", kLowest, kLifeRunning, true } },
			{ "c.Render", "b.Render", "a.Render" } },
		{ "only running visible entities",
			{ { "added", 10, kLifeAdded, true }, { "paused", 10, kLifePaused, true },
				{ "hidden", 10, kLifeRunning, false }, { "shown", 20, kLifeRunning, true } },
			{ "shown.Render" } },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		SceneWithEntities s(kSceneActive);
		for (const Item &item : row.items) {
			RecordingEntity *entity = s.Add(item.name, item.layer);
			entity->lifeState = item.state;
			entity->SetVisible(item.visible);
		}
		s.journal.clear();
		s.scene.Render();
		EXPECT_EQ(s.journal, row.drawn);
		s.journal.clear();
		s.scene.state = kSceneLeaving;
		s.scene.Render();
		EXPECT_TRUE(s.journal.empty());
	}
}

TEST(Scene, SwitchesToTheInterfaceBufferBeforeTheFirstInterfaceLayer)
{
	Renderer renderer;
	testing::internal::CaptureStdout();
	int started = renderer.Init("scene test");
	testing::internal::GetCapturedStdout();
	if (started != 0 || GetRenderer() != &renderer)
		SKIP_FOR_MISSING_DEVICE() << "no renderer could start on this machine";

	struct Row {
		const char *name;
		std::vector<int16_t> layers;
		std::vector<uint32_t> buffers; // seen by each entity as it draws, in draw order
	};
	const Row rows[] = {
		{ "scene, then interface", { 150, 50, 100 }, { 0, 1, 1 } },
		{ "interface only", { 150, 120 }, { 1, 1 } },
		{ "scene only", { 99, -3 }, { 0, 0 } },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		renderer.SetDrawBuffer(Renderer::kLayerScene);
		SceneWithEntities s(kSceneActive);
		std::vector<uint32_t> seen;
		for (int16_t layer : row.layers) {
			RecordingEntity *entity = s.Add("e", layer);
			entity->lifeState = kLifeRunning;
			entity->onRender = [&]() { seen.push_back(renderer.GetDrawBuffer()); };
		}
		s.scene.Render();
		EXPECT_EQ(seen, row.buffers);
	}
}

TEST(Scene, RefusesEntriesBeyondSixteenBitIndexes)
{
	std::vector<Entity> crowd(Scene::kMaxEntities);
	Scene scene; // goes before the crowd
	for (Entity &entity : crowd)
		scene.AddEntity(&entity); // while pending: no duplicate search
	scene.state = kSceneActive;
	EXPECT_EQ(scene.GetEntityAt(65534), &crowd.back());

	// Refused, the newcomer stays listed where it was.
	Scene home;
	Entity extra;
	home.AddEntity(&extra);
	testing::internal::CaptureStdout();
	scene.AddEntity(&extra);
	EXPECT_FALSE(testing::internal::GetCapturedStdout().empty());
	EXPECT_EQ(scene.GetEntityCount(), Scene::kMaxEntities);
	EXPECT_EQ(extra.scene, &home);

	// A removed entry counts until the next update purges it.
	scene.RemoveEntity(&crowd.front());
	scene.Update(kFrame);
	scene.AddEntity(&extra);
	EXPECT_EQ(extra.scene, &scene);
	EXPECT_EQ(scene.GetEntityCount(), Scene::kMaxEntities);
}

TEST(Scene, DeletingEitherSideFirstLeavesNoDanglingLink)
{
	struct Row {
		const char *name;
		bool inScene;
		bool inContainer;
	};
	const Row rows[] = { { "scene", true, false }, { "container", false, true }, { "both", true, true } };
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Journal journal;
		RecordingEntity survivor(&journal, "survivor");
		auto scene = std::make_unique<Scene>();
		scene->state = kSceneActive;
		auto holder = std::make_unique<EntityContainer>();
		scene->AddEntity(holder.get());
		RecordingEntity *doomed = new RecordingEntity(&journal, "doomed");
		if (row.inScene)
			scene->AddEntity(doomed);
		if (row.inContainer)
			holder->AddEntity(doomed);
		scene->AddEntity(&survivor);
		holder->AddEntity(&survivor);
		delete doomed;
		journal.clear();
		scene->Update(kFrame);
		scene->Render();
		holder->Render();
		EXPECT_EQ(JournalEntriesFor(journal, ".Start"), (Journal { "survivor.Start" }));
		EXPECT_EQ(scene->GetEntityCount(), 2);
		EXPECT_EQ(holder->GetChildCount(), 1u);

		// Now the holders go first: the survivor must not reach back.
		holder.reset();
		EXPECT_EQ(survivor.container, nullptr);
		scene.reset();
		EXPECT_EQ(survivor.scene, nullptr);
	}
}
