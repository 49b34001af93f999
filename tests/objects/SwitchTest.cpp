#include "engine/collision/Collider.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <limits>

using namespace objecttest;

namespace {

uint16_t MaterialKey(const char *texture)
{
	return static_cast<uint16_t>(HashName(texture) + HashName("shaders/standard.dsh"));
}

TEST(PropSwitch, OddIdsAreBlueAndEvenIdsRed)
{
	ObjectTestWorld world;
	world.Place(4, 2, 2, 7);
	world.Place(4, 4, 2, 8);
	world.Load();
	auto *blue = world.Find<PropSwitch>(7);
	auto *red = world.Find<PropSwitch>(8);
	EXPECT_EQ(blue->GetOnMaterial().GetKey(), MaterialKey("mats/switch_on_blue.png"));
	EXPECT_EQ(blue->GetOffMaterial().GetKey(), MaterialKey("mats/switch_off_blue.png"));
	EXPECT_EQ(red->GetOnMaterial().GetKey(), MaterialKey("mats/switch_on_red.png"));
	EXPECT_EQ(red->GetOffMaterial().GetKey(), MaterialKey("mats/switch_off_red.png"));
	EXPECT_EQ(red->GetModel().GetMaterial().GetKey(), MaterialKey("mats/switch_off_red.png"));
	EXPECT_FLOAT_EQ(red->transform.scale.y, 0.5f);
}

TEST(PropSwitch, StaysOnWhileTouchedAndGoesOffATenthOfASecondAfter)
{
	ObjectTestWorld world;
	world.Place(4, 2, 2, 7);
	world.Load();
	auto *plate = world.Find<PropSwitch>(7);
	MapEntity crate(2);
	for (int i = 0; i < 5; i++) { // a crate resting on it
		plate->OnCollide(&crate);
		world.Frame();
		EXPECT_TRUE(plate->IsOn());
	}
	EXPECT_TRUE(world.map.IsGroupEnabled(7));
	EXPECT_FLOAT_EQ(plate->transform.scale.y, 0.2f);
	EXPECT_EQ(plate->GetModel().GetMaterial().GetKey(), MaterialKey("mats/switch_on_blue.png"));
	// Slid off: the last touch's frame left 0.05 s, the next one runs the
	// timer down to exactly 0, which ends it.
	EXPECT_FLOAT_EQ(plate->GetHoldTimer(), 0.05f);
	world.Frame();
	EXPECT_FALSE(plate->IsOn());
	EXPECT_FALSE(world.map.IsGroupEnabled(7));
	EXPECT_EQ(world.sounds.names, std::vector<std::string>({PropSwitch::kOnSound, PropSwitch::kOffSound}));

	// Still in contact when the timer runs out: it stays on.
	plate->OnCollide(&crate);
	plate->collider->contacts.push_back(&crate);
	world.Frames(4);
	EXPECT_TRUE(plate->IsOn());
	plate->collider->contacts.clear();
}

TEST(PropBlockRaiseLower, BlocksOfOneFlagStandOppositeAndKeepTheirPlaceAcrossAReload)
{
	ObjectTestWorld world;
	world.Place(4, 2, 2, 7);        // the switch
	world.Place(5, 4, 2, 10, nullptr, 7); // lowers while switch 7 is on
	world.Place(6, 6, 2, 11, nullptr, 7); // rises while it is on
	world.Load();
	auto *lower = world.Find<PropBlockRaiseLower>(10);
	auto *raise = world.Find<PropBlockRaiseLower>(11);
	EXPECT_FALSE(lower->IsLowered());
	EXPECT_TRUE(raise->IsLowered());
	EXPECT_FLOAT_EQ(raise->transform.position.y, raise->homePosition.y - 1.5f); // no movement at load
	EXPECT_EQ(lower->model.GetMaterial().GetKey(), MaterialKey("mats/rock-blue.png"));

	// Pressed and held: the blocks trade places at up to 10 units a second.
	auto *plate = world.Find<PropSwitch>(7);
	plate->SetOn(true, std::numeric_limits<float>::infinity());
	world.Frame();
	EXPECT_TRUE(lower->IsLowered());
	EXPECT_FALSE(raise->IsLowered());
	EXPECT_NEAR(lower->transform.position.y, lower->homePosition.y - 0.5f, 1e-4f);
	EXPECT_EQ(lower->collider->mode, Collider::kModeIgnored);
	EXPECT_EQ(raise->collider->mode, Collider::kModeStatic);
	EXPECT_EQ(world.sounds.Count("sfx/blockdown.wav"), 1u);
	EXPECT_EQ(world.sounds.Count("sfx/blockup.wav"), 1u);
	world.Frames(5);
	EXPECT_FLOAT_EQ(lower->transform.position.y, lower->homePosition.y - 1.5f);
	EXPECT_FLOAT_EQ(raise->transform.position.y, raise->homePosition.y);
	// Level 1 lies at height 0: a block sunk from there is out of sight.
	EXPECT_FALSE(lower->IsVisible());
	EXPECT_TRUE(raise->IsVisible());

	world.Load(); // the same map again: the switch and its blocks as they were
	EXPECT_TRUE(world.Find<PropSwitch>(7)->IsOn());
	lower = world.Find<PropBlockRaiseLower>(10);
	raise = world.Find<PropBlockRaiseLower>(11);
	EXPECT_TRUE(lower->IsLowered());
	EXPECT_FALSE(raise->IsLowered());
	EXPECT_FLOAT_EQ(lower->transform.position.y, lower->homePosition.y - 1.5f);
	EXPECT_EQ(lower->collider->mode, Collider::kModeIgnored);
}

TEST(PropObelisk, OnlyAnEndlessHoldTurnsItOnForGood)
{
	ObjectTestWorld world;
	world.Place(20, 3, 3, 5);
	world.Load();
	auto *obelisk = world.Find<PropObelisk>(5);
	MapEntity hero(1);
	obelisk->OnCollide(&hero);
	world.Frame();
	EXPECT_FALSE(obelisk->IsOn());
	EXPECT_FLOAT_EQ(obelisk->transform.scale.y, 1.0f); // never squashed
	obelisk->SetOn(true, std::numeric_limits<float>::infinity());
	const glm::quat before = obelisk->transform.rotation;
	world.Frames(100);
	EXPECT_TRUE(obelisk->IsOn());
	EXPECT_NE(obelisk->transform.rotation, before); // it turns while on
	EXPECT_EQ(world.sounds.Count(PropSwitch::kOnSound), 1u);
	EXPECT_EQ(obelisk->GetModel().GetMaterial().GetKey(), MaterialKey("models/obelisk_on.png"));
}

} // namespace
