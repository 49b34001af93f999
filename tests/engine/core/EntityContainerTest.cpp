#include "engine/core/EntityContainer.h"

#include "engine/core/UIStack.h"
#include "support/RecordingEntity.h"

#include <gtest/gtest.h>


namespace {

constexpr float kFrame = 1.0f / 60.0f; // seconds

}

TEST(EntityContainer, UpdatesInOrderDrawsInReverseAndPurgesRemoved)
{
	RecordingEntities c;
	EntityContainer container;
	RecordingEntity *a = c.Make("a");
	RecordingEntity *b = c.Make("b");
	RecordingEntity *d = c.Make("d");
	for (RecordingEntity *child : { a, b, d })
		container.AddEntity(child);
	container.Update(kFrame);
	c.journal.clear();

	a->onUpdate = [&]() { container.RemoveEntity(b); };
	container.Update(kFrame);
	container.Render();
	EXPECT_EQ(c.journal, (Journal { "a.Update", "d.Update", "d.Render", "a.Render" }));
	// Only the link changes; the mark stays until the next update.
	EXPECT_EQ(b->container, nullptr);
	EXPECT_EQ(b->lifeState, kLifeRunning);
	EXPECT_EQ(container.GetChildCount(), 3u);
	container.Update(kFrame);
	EXPECT_EQ(container.GetChildCount(), 2u);

	// Adding a child of another container takes it out of that one.
	EntityContainer other;
	other.AddEntity(d);
	EXPECT_EQ(d->container, &other);
	container.Update(kFrame);
	EXPECT_EQ(container.GetChildCount(), 1u);
}

TEST(EntityContainer, StopsWhenAChildDestroysIt)
{
	for (bool deleted : { true, false }) {
		SCOPED_TRACE(deleted ? "destroyed and deleted" : "marked destroyed");
		RecordingEntities c;
		EntityContainer *container = new EntityContainer();
		RecordingEntity *a = c.Make("a");
		RecordingEntity *b = c.Make("b");
		container->AddEntity(a);
		container->AddEntity(b);
		if (deleted)
			a->onUpdate = [container]() { container->Destroy(); };
		else
			a->onUpdate = [container]() { container->lifeState = kLifeDestroyed; };
		container->Update(kFrame);
		EXPECT_EQ(JournalEntriesFor(c.journal, ".Update"), (Journal { "a.Update" }));
		if (deleted)
			EXPECT_EQ(b->container, nullptr);
		else
			delete container;
	}
}

TEST(EntityContainer, RefusesChildrenBeyondSixteenBitCounts)
{
	std::vector<Entity> crowd(EntityContainer::kMaxChildren);
	EntityContainer container; // goes before the crowd
	for (Entity &entity : crowd)
		container.AddEntity(&entity);
	EntityContainer home;
	Entity extra;
	home.AddEntity(&extra);
	testing::internal::CaptureStdout();
	container.AddEntity(&extra);
	EXPECT_FALSE(testing::internal::GetCapturedStdout().empty());
	EXPECT_EQ(container.GetChildCount(), EntityContainer::kMaxChildren);
	EXPECT_EQ(extra.container, &home);
}

TEST(UIStack, OnlyTheTopPanelIsUpdatedAndDrawn)
{
	RecordingEntities c;
	UIStack stack;
	EXPECT_EQ(stack.drawLayer, 100);
	EXPECT_EQ(stack.Top(), nullptr);
	EXPECT_EQ(stack.Pop(), nullptr);
	RecordingEntity *p1 = c.Make("p1");
	RecordingEntity *p2 = c.Make("p2");
	stack.AddEntity(p1);
	stack.AddEntity(p2);

	struct Step {
		const char *name;
		std::function<void()> action;
		Journal expected;
	};
	const Step steps[] = {
		{ "both pushed", [] {}, { "p2.Start", "p2.OnResume", "p2.Update", "p2.Render" } },
		{ "popped",
			[&] {
				EXPECT_EQ(stack.Pop(), p2);
				EXPECT_EQ(p2->container, nullptr);
				EXPECT_EQ(p2->lifeState, kLifeRunning);
			},
			{ "p1.Start", "p1.OnResume", "p1.Update", "p1.Render" } },
		{ "pushed again", [&] { stack.AddEntity(p2); }, { "p2.Init", "p2.Start", "p2.OnResume", "p2.Update", "p2.Render" } },
		{ "top removed",
			[&] {
				stack.RemoveEntity(p2);
				// The mark stays on top until the update purges it.
				ASSERT_NE(stack.Top(), nullptr);
				EXPECT_NE(stack.Top(), p2);
			},
			{ "p1.Update", "p1.Render" } },
	};
	for (const Step &step : steps) {
		SCOPED_TRACE(step.name);
		c.journal.clear();
		step.action();
		stack.Update(kFrame);
		stack.Render();
		EXPECT_EQ(c.journal, step.expected);
	}

	// A removed top is no one's entity: popping it hands nothing out.
	stack.AddEntity(p2);
	stack.RemoveEntity(p2);
	EXPECT_EQ(stack.Pop(), nullptr);
	EXPECT_EQ(stack.Pop(), p1);
	EXPECT_EQ(stack.Top(), nullptr);
}
