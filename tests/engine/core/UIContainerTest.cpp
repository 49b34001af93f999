#include "engine/core/UIContainer.h"

#include "support/RecordingEntity.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr float kFrame = 1.0f / 60.0f; // seconds

}

// A panel starts from the entity defaults with only its layer raised to the
// interface, and works as a full container: nothing of it is blanked out
// (a wholesale blanking would leave it invisible, flat and without its
// dispatch table).
TEST(UIContainer, StartsFromEntityDefaultsOnTheInterfaceLayer)
{
	RecordingEntities c;
	auto panel = std::make_unique<UIContainer>();
	EXPECT_EQ(panel->drawLayer, 100);
	EXPECT_EQ(panel->kind, Entity::kDefaultKind);
	EXPECT_TRUE(panel->IsVisible());
	EXPECT_EQ(panel->lifeState, kLifeNew);
	EXPECT_EQ(panel->transform.scale, Vec3(1.0f, 1.0f, 1.0f));
	EXPECT_EQ(panel->collider, nullptr);
	EXPECT_EQ(panel->scene, nullptr);
	EXPECT_EQ(panel->container, nullptr);
	EXPECT_EQ(panel->GetChildCount(), 0u);

	RecordingEntity *label = c.Make("label");
	panel->AddEntity(label);
	panel->Update(kFrame);
	panel->Render();
	EXPECT_EQ(c.journal, (Journal { "label.Init", "label.Start", "label.OnResume", "label.Update", "label.Render" }));

	// Going first, the panel leaves its child no link back to it.
	panel.reset();
	EXPECT_EQ(label->container, nullptr);
}
