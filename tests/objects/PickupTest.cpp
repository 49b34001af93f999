#include "engine/collision/Collider.h"
#include "objects/CollectableKind.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace objecttest;

namespace {

bool SceneHolds(const Scene &scene, uint32_t kind)
{
	for (uint16_t i = 0; i < scene.GetEntityCount(); i++) {
		auto *entity = dynamic_cast<MapEntity *>(scene.GetEntityAt(i));
		if (entity != nullptr && entity->GetKind() == kind)
			return true;
	}
	return false;
}

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



TEST(Pickup, TakenOnAnEarlierVisitLeavesAtItsStartUnlessItsGroupIsZero)
{
	struct Case {
		uint16_t id;
		bool comesBack;
	};
	const Case cases[] = {{7, false}, {256 + 9, false}, {256, true}, {512, true}};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.id);
		ObjectTestWorld world;
		world.Place(39, 3, 3, c.id, "cooler1");
		world.Load();
		ASSERT_NE(world.EntityOf(c.id), nullptr);
		// Taken: the map remembers the id's low byte (group 0 is refused).
		world.map.SetGroupFlag(static_cast<uint8_t>(c.id & 0xFF), true);
		world.Load(); // the same map again
		world.Frame();
		EXPECT_EQ(world.EntityOf(c.id) != nullptr, c.comesBack);
		EXPECT_EQ(SceneHolds(world.scene, 39), c.comesBack);
	}
}

TEST(Pickup, CoinsAndCoolersFoundInTheSaveStayAway)
{
	ObjectTestWorld world;
	world.link.flagIds.insert(HashName("coin7"));
	world.Place(37, 3, 3, 1, "coin7");
	world.Place(37, 5, 3, 2, "coin8");
	world.Place(39, 7, 3, 3, "cooler2");
	world.Place(42, 3, 5, 4, "coin7"); // a key named like the coin: no flag test
	world.Load();
	world.Frame();
	EXPECT_FALSE(world.EntityOf(1)->IsActive());
	EXPECT_TRUE(world.EntityOf(2)->IsActive());
	EXPECT_TRUE(world.EntityOf(3)->IsActive());
	EXPECT_TRUE(world.EntityOf(4)->IsActive());
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
