#include "engine/collision/Collider.h"
#include "objects/CollectableKind.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace objecttest;

namespace {

TEST(Pickup, BobsBetween03And07AboveItsPlaceAndSpins)
{
	ObjectTestWorld world;
	world.Place(42, 3, 3, 7, "key");
	world.Load();
	Pickup *key = world.Find<Pickup>(7);
	ASSERT_NE(key, nullptr);
	float lowest = 10.0f;
	float highest = -10.0f;
	for (int i = 0; i < 200; i++) { // ten seconds: more than one whole bob
		const float before = key->GetSpin();
		world.Frame();
		EXPECT_FLOAT_EQ(key->GetSpin(), before + ObjectTestWorld::kFrame);
		const float lift = key->transform.position.y - key->homePosition.y;
		lowest = std::min(lowest, lift);
		highest = std::max(highest, lift);
		EXPECT_EQ(key->transform.position.x, key->homePosition.x);
	}
	EXPECT_GE(lowest, 0.3f - 1e-5f);
	EXPECT_LE(highest, 0.7f + 1e-5f);
	EXPECT_LT(lowest, 0.31f);
	EXPECT_GT(highest, 0.69f);
}

TEST(Pickup, ShowsAndCanBeTouchedOnlyWhileItsFlagGroupIsOn)
{
	ObjectTestWorld world;
	world.Place(43, 3, 3, 7, "sword", 12);
	world.Place(43, 5, 3, 8, "sword"); // no flag: always there
	world.Load();
	Pickup *hidden = world.Find<Pickup>(7);
	Pickup *shown = world.Find<Pickup>(8);
	EXPECT_FALSE(hidden->IsPresent());
	EXPECT_EQ(hidden->collider->mode, Collider::kModeIgnored);
	EXPECT_TRUE(shown->IsPresent());
	EXPECT_EQ(shown->collider->mode, Collider::kModeTrigger);

	world.map.SetGroupFlag(12, true);
	world.Frame(); // shows up in the frame the group turns on
	EXPECT_TRUE(hidden->IsPresent());
	EXPECT_EQ(hidden->collider->mode, Collider::kModeTrigger);
	EXPECT_FLOAT_EQ(hidden->collider->size.y, 2.0f * hidden->radius);
}



TEST(Pickup, InAHandItStartsWithoutAMapOrARecordOfItsOwn)
{
	// The item a holder makes: no scene, no map, the shared empty record.
	PickupSword sword;
	sword.Start();
	sword.Update(0.1f);
	EXPECT_TRUE(sword.IsPresent());
	EXPECT_EQ(sword.model.GetKey(), ModelReaderKey("models/swordsword.iqm", "models/swordsword.iqm"));
	EXPECT_FALSE(MapEntity::EmptyMapObject().name.IsSet());
	PickupCollectable letter;
	MapObjectDef record; // the pose names it; no id
	record.name = MapName("letter3");
	letter.LinkToMap(nullptr, &record);
	letter.Start();
	EXPECT_STREQ(letter.GetTexturePath(), "mats/letter3.png");
}

} // namespace
