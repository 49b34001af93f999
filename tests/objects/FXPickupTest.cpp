#include "objects/FXWorld.h"

#include "engine/collision/Collider.h"
#include "objects/FXChicken.h"
#include "objects/FXHeart.h"
#include "objects/SpawnFX.h"

#include <cmath>
#include <string>

namespace {

constexpr int kMaxFrames = 200; // ten seconds: a pickup's whole life

// Runs frames until the pickup has a collector or is gone; the frames run.
int FramesUntilTaken(FXWorld *world, FXPickup *pickup, void (FXWorld::*frame)(float))
{
	int frames = 0;
	while (pickup->collector == nullptr && pickup->lifeState < kLifePaused && frames < kMaxFrames) {
		(world->*frame)(kFXFrame);
		frames++;
	}
	return frames;
}

class FXPickupWorld : public FXWorld {
protected:
	// A dropper of the other side beside the hero, and a pickup of the kind
	// thrown out of it.
	FXPickup *Drop(uint32_t kind)
	{
		if (dropper == nullptr) {
			dropper = Spawn(kChookKind, kFactionHostile, 2, Vec3(3.0f, 0.0f, 0.0f));
			// Beaten: its body no longer touches anything.
			dropper->collider->mode = Collider::kModeIgnored;
		}
		FXEntity *effect = FXSpawner::Spawn(dropper.get(), kind, Vec3(0.0f));
		return dynamic_cast<FXPickup *>(effect);
	}
	int RunUntilTaken(FXPickup *pickup) { return FramesUntilTaken(this, pickup, &FXPickupWorld::Frame); }
	// Frames until the pickup is off again (collected and arrived, or expired).
	void RunUntilOff(FXPickup *pickup)
	{
		for (int i = 0; i < kMaxFrames && pickup->lifeState < kLifePaused; i++)
			Frame();
	}

	std::unique_ptr<TestActor> dropper;
};

TEST_F(FXPickupWorld, AChickenIsRefusedWhileTheHeroCarriesAllItCan)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f, 0.0f, 20.0f)); // beyond the 12-unit pull
	FXPickup *chicken = Drop(kFXKindChicken);
	ASSERT_NE(nullptr, dynamic_cast<FXChicken *>(chicken));
	const int full = hero->stats.GetMaxWeight();
	hero->stats.weight = static_cast<uint8_t>(full);
	for (int i = 0; i < kMaxFrames && chicken->landed == 0; i++)
		Frame(); // up, down and landed
	ASSERT_EQ(1, chicken->landed);
	hero->transform.position = Vec3(chicken->transform.position.x + 2.0f, 0.0f, chicken->transform.position.z);
	Frames(10);
	EXPECT_EQ(nullptr, chicken->collector) << "refused at capacity";
	EXPECT_EQ(static_cast<uint32_t>(kLifeRunning), chicken->lifeState) << "left lying";
	EXPECT_EQ(full, hero->stats.weight);

	hero->stats.weight = static_cast<uint8_t>(full - 3);
	RunUntilTaken(chicken);
	EXPECT_EQ(hero.get(), chicken->collector);
	RunUntilOff(chicken);
	EXPECT_EQ(full - 2, hero->stats.weight);
	EXPECT_EQ(1u, sounds.Count("sfx/pickup.wav"));
}

TEST_F(FXPickupWorld, AHeartHealsOneHeartButNeverPastTheMaximum)
{
	struct Row {
		uint8_t hearts, maxHearts, after;
		size_t sounds;
	};
	const Row rows[] = {{6, 6, 6, 0}, {5, 6, 6, 1}, {4, 6, 6, 1}, {1, 6, 3, 1}};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.hearts) + " of " + std::to_string(row.maxHearts));
		sounds.names.clear();
		auto hero = Spawn(kHeroKind, kFactionPlayer, row.maxHearts, Vec3(1.0f, 0.0f, 1.0f));
		hero->stats.hearts = row.hearts;
		FXPickup *heart = Drop(kFXKindHeart);
		ASSERT_NE(nullptr, dynamic_cast<FXHeart *>(heart));
		const int frames = RunUntilTaken(heart);
		EXPECT_GE(frames * kFXFrame, 1.0f - 1e-4f) << "not before its 1 s delay";
		EXPECT_EQ(hero.get(), heart->collector) << "taken at full health too";
		RunUntilOff(heart);
		EXPECT_EQ(row.after, hero->stats.hearts);
		EXPECT_EQ(row.sounds, sounds.Count("sfx/pickup2.wav"));
		scene.RemoveEntity(hero.get());
		Frame();
	}
}

TEST_F(FXPickupWorld, TheFlightArcsUpAndEndsAboveTheCollector)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(1.0f, 0.0f, 1.0f));
	hero->stats.hearts = 2;
	FXPickup *heart = Drop(kFXKindHeart);
	RunUntilTaken(heart);
	ASSERT_EQ(hero.get(), heart->collector);
	const Vec3 start = heart->flightStart;
	const Vec3 goal = hero->transform.position + Vec3(0.0f, 1.0f, 0.0f);
	Frame(0.125f); // half-way
	const Vec3 middle = (start + goal) * 0.5f;
	EXPECT_NEAR(middle.x, heart->transform.position.x, 1e-4f);
	EXPECT_NEAR(middle.y + 1.0f, heart->transform.position.y, 1e-4f);
	EXPECT_EQ(2, hero->stats.hearts) << "the reward comes on arrival";
	Frame(0.125f);
	EXPECT_EQ(4, hero->stats.hearts);
	EXPECT_EQ(static_cast<uint32_t>(kLifePaused), heart->lifeState);
}

TEST_F(FXPickupWorld, UnderTheOriginalRulesOnlyATouchOrAnEarlyTouchTakesIt)
{
	link.gameMode = 1;
	// Within the 12-unit pull, but not touching.
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(3.0f, 0.0f, 8.0f));
	FXPickup *lying = Drop(kFXKindChicken);
	FXPickup *touched = Drop(kFXKindChicken);
	EXPECT_EQ(0, lying->attracts);
	Frame();
	EXPECT_EQ(0, lying->attracts) << "no pull under these rules";
	touched->OnCollide(dropper.get()); // anything touching it early
	EXPECT_EQ(1, touched->touchedEarly);
	Frames(60);
	EXPECT_EQ(nullptr, lying->collector) << "not pulled to the hero within 12 units";
	EXPECT_EQ(1, lying->landed);
	EXPECT_TRUE(touched->collected != 0 || touched->lifeState == kLifePaused) << "an early touch is remembered";

	lying->OnCollide(dropper.get());
	EXPECT_EQ(nullptr, lying->collector) << "only the hero takes it by touch";
	lying->OnCollide(hero.get());
	EXPECT_EQ(hero.get(), lying->collector);
}

TEST_F(FXPickupWorld, OutsideTheOriginalRulesPickupsAreDrawnToTheHero)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(1.0f, 0.0f, 1.0f));
	FXPickup *chicken = Drop(kFXKindChicken);
	Frame();
	EXPECT_EQ(1, chicken->attracts);
	const int frames = RunUntilTaken(chicken);
	EXPECT_EQ(hero.get(), chicken->collector);
	EXPECT_GE(frames * kFXFrame, 0.5f - 1e-4f);
}

TEST_F(FXPickupWorld, ACollectorThatGoesIsForgotten)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(1.0f, 0.0f, 1.0f));
	hero->stats.hearts = 2;
	FXPickup *heart = Drop(kFXKindHeart);
	RunUntilTaken(heart);
	ASSERT_EQ(hero.get(), heart->collector);
	Frame(0.1f);
	hero.reset(); // freed mid-flight
	EXPECT_EQ(nullptr, heart->collector);
	Frames(5); // falls back to the ground instead of reading the freed hero
	EXPECT_EQ(static_cast<uint32_t>(kLifeRunning), heart->lifeState);
	dropper.reset();
	EXPECT_EQ(nullptr, heart->source);
}


} // namespace
