// The props and effects in play on a loaded map: the hero pushes crates
// into the open, into water, over a sunk block, against a standing one and
// onto a floor switch; a boulder rolls down a ramp; blows and bolts land on
// a foe; a lava ball arcs, lands and burns; every effect ends and comes back
// from its pool; and one frame full of effects is drawn and kept as
// "effects.png" (beside "effects_none.png", the same view without them).
#include "objects/EffectsMapWorld.h"

#include "engine/core/FileAccess.h"
#include "engine/render/Renderer.h"
#include "objects/PropBoulder.h"
#include "objects/PropCrate.h"
#include "objects/PropLavaBall.h"
#include "objects/PropSwitch.h"
#include "support/WindowPicture.h"

#include <cmath>
#include <cstdlib>

using namespace effectsmap;

TEST_F(EffectsOnMap, CrateSlidesOneTileInEachLaneAndRestsWhereItShould)
{
	struct Row {
		const char *lane;
		uint16_t crate;
		Tile start, end;
		float restHeight;
		bool splashes;
	};
	const Row rows[] = {
		{"open ground: one tile, centred", 1, kOpenCrate, {kOpenCrate.x, kOpenCrate.y - 1}, 0.0f, false},
		{"into water: floats half sunk", 2, kWaterCrate, kWater, PropCrate::kWaterFloor, true},
		{"over a sunk block", 3, kSunkCrate, kSunkBlock, 0.0f, false},
		{"against a standing block: stays", 5, kStandingCrate, kStandingCrate, 0.0f, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.lane);
		LoadMap();
		auto *crate = Find<PropCrate>(row.crate);
		ASSERT_NE(crate, nullptr);
		PlaceHero({row.start.x, row.start.y + 2});
		PushNorth(*crate);
		EXPECT_TRUE(AtCentre(crate->transform.position, row.end))
			<< "at " << crate->transform.position.x << ", " << crate->transform.position.z;
		EXPECT_NEAR(row.restHeight, crate->transform.position.y, 1e-4f);
		FXPool *splashes = FXSpawner::FindPool(kFXKindSplash);
		EXPECT_EQ(row.splashes, splashes != nullptr && splashes->GetNextIndex() == 1);
		FXSpawner::ReleaseAll();
	}
}

TEST_F(EffectsOnMap, FloorSwitchGoesOffATenthAfterThePushedCrateLeaves)
{
	LoadMap();
	auto *crate = Find<PropCrate>(7);
	auto *plate = Find<PropSwitch>(kSwitchId);
	ASSERT_TRUE(crate != nullptr && plate != nullptr);
	PlaceHero({kSwitchCrate.x, kSwitchCrate.y + 2});
	PushNorth(*crate);
	ASSERT_TRUE(AtCentre(crate->transform.position, kSwitch));
	EXPECT_TRUE(plate->IsOn());
	EXPECT_TRUE(map.IsGroupEnabled(kSwitchId));

	Press(SDL_SCANCODE_UP);
	ASSERT_TRUE(RunUntil([&] { return plate->collider->contacts.empty(); }, 3.0f)) << "the crate moves on";
	Release(SDL_SCANCODE_UP);
	float offAfter = 0.0f;
	while (plate->IsOn() && offAfter < 1.0f) {
		Frame();
		offAfter += kFrame;
	}
	EXPECT_GT(offAfter, 0.1f - 2.0f * kFrame);
	EXPECT_LT(offAfter, 0.1f + 2.0f * kFrame);
	EXPECT_FALSE(map.IsGroupEnabled(kSwitchId));
}

TEST_F(EffectsOnMap, BoulderRollsDownTheRampUntilTheWall)
{
	LoadMap();
	auto *boulder = Find<PropBoulder>(8);
	ASSERT_NE(boulder, nullptr);
	const glm::quat rest = boulder->transform.rotation;
	const float terrace = boulder->transform.position.y;
	PlaceHero({kBoulder.x, kBoulder.y - 1});
	Press(SDL_SCANCODE_DOWN);
	ASSERT_TRUE(RunUntil([&] { return boulder->IsSliding(); }, 1.5f));
	Release(SDL_SCANCODE_DOWN);
	EXPECT_TRUE(RunUntil([&] { return !boulder->IsSliding(); }, 6.0f));
	EXPECT_GT(terrace, 0.7f) << "it starts a level up";
	EXPECT_EQ(kWallRow - 1, boulder->tile.y) << "down the ramp and on to the wall";
	EXPECT_NEAR(0.0f, boulder->transform.position.y, 1e-3f);
	EXPECT_LT(std::fabs(glm::dot(rest, boulder->transform.rotation)), 0.999f) << "it turned as it rolled";
}

TEST_F(EffectsOnMap, BlowsAndBoltsLandOnAFoe)
{
	struct Row {
		const char *weapon;
		uint32_t held;
		float reach; // world units east of the hero
	};
	const Row rows[] = {{"sword strike", 43, 1.6f}, {"fire sword's bolt", 45, 8.0f}};
	LoadMap();
	for (const Row &row : rows) {
		SCOPED_TRACE(row.weapon);
		PlaceHero({2, 10});
		player.Hold(row.held, nullptr);
		player.facing = Vec3(1.0f, 0.0f, 0.0f);
		player.transform.rotation = LookRotation(player.facing, Vec3(0.0f, 1.0f, 0.0f));
		auto foe = AddFoe(player.transform.position + Vec3(row.reach, 0.0f, 0.0f), 10);
		Press(SDL_SCANCODE_SPACE);
		Frame();
		Release(SDL_SCANCODE_SPACE);
		EXPECT_TRUE(RunUntil([&] { return foe->stats.hearts < 10; }, 1.5f));
		scene.RemoveEntity(foe.get());
		Frame();
	}
}

TEST_F(EffectsOnMap, LavaBallLandsOnACrateAtHomeThenBurnsTheHero)
{
	const Tile home{10, 10};
	LoadMap(Object(50, PropLavaBall::kKind, home) + Object(51, PropCrate::kKind, {home.x, home.y - 2}));
	auto *ball = Find<PropLavaBall>(50);
	auto *crate = Find<PropCrate>(51);
	ASSERT_TRUE(ball != nullptr && crate != nullptr);
	PlaceHero({0, 0}); // beyond its reach
	ASSERT_TRUE(RunUntil([&] { return ball->IsVisible(); }, 5.0f)) << "thrown after its wait";
	crate->transform.position = Centre(home); // under its way down
	float peak = 0.0f;
	ASSERT_TRUE(RunUntil([&] {
		peak = Max(peak, ball->transform.position.y);
		return ball->HasLanded();
	}, 4.0f));
	EXPECT_GT(peak, 14.0f) << "a high arc";
	EXPECT_TRUE(AtCentre(ball->transform.position, home)) << "nobody near: it comes down at home";
	EXPECT_GT(ball->GetFlightTime(), 0.75f * PropLavaBall::kFlightSeconds);
	EXPECT_NEAR(crate->transform.position.y + 1.1f, ball->transform.position.y, 1e-3f) << "on top of the crate";

	crate->transform.position = Centre({home.x, home.y - 3});
	ASSERT_TRUE(RunUntil([&] { return !ball->IsVisible(); }, 6.0f)) << "it sinks away";
	PlaceHero({home.x + 3, home.y});
	const uint8_t hearts = player.stats.hearts;
	ASSERT_TRUE(RunUntil([&] { return player.stats.hearts < hearts; }, 8.0f)) << "it comes down on the hero";
	EXPECT_FALSE(ball->IsVisible());
	EXPECT_NEAR(PropLavaBall::kHitWait, ball->GetWaitTimer(), 2.0f * kFrame);
}

TEST_F(EffectsOnMap, EveryEffectEndsAndComesBackFromItsPool)
{
	LoadMap();
	PlaceHero({2, 10});
	for (uint32_t kind = 1; kind <= kFXKindLast; kind++) {
		SCOPED_TRACE(kind);
		FXEntity *first = SpawnFX(&player, kind, Vec3(0.0f, 1.0f, 0.0f));
		ASSERT_NE(first, nullptr);
		// Bolts fly for ten seconds when they meet nothing.
		EXPECT_TRUE(RunUntil([&] { return first->lifeState == kLifePaused; }, 10.5f)) << "its lifetime ends it";
		const uint16_t count = FXSpawner::PoolSize(kind);
		for (uint16_t i = 1; i < count; i++)
			SpawnFX(&player, kind, Vec3(0.0f));
		EXPECT_EQ(first, SpawnFX(&player, kind, Vec3(0.0f))) << "the pool hands the oldest out again";
		FXSpawner::DeactivateAll();
		Frame();
	}
}

TEST_F(EffectsOnMap, DrawsAFrameFullOfEffects)
{
	LoadMap();
	PlaceHero({8, 9});
	camera.fieldOfView = 45;
	camera.transform.SetPosition(player.transform.position + Vec3(0.0f, 9.0f, 9.0f));
	camera.transform.LookAt(player.transform.position);
	auto draw = [&](const char *name, WindowPicture &picture) {
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		scene.Render();
		renderer->EndFrame();
		picture.ReadWindow();
		const std::string path = GetBaseDirectory() + name;
		EXPECT_TRUE(picture.Save(path)) << "could not write " << path;
	};
	player.SetVisible(false); // the effects alone make the difference
	WindowPicture none(1);
	draw("effects_none.png", none);

	struct Shown {
		uint32_t kind;
		Vec3 offset;
	};
	const Shown shown[] = {
		{kFXKindExplosion, {-3.0f, 1.0f, 0.0f}}, {kFXKindDust, {3.0f, 0.5f, 0.0f}},
		{kFXKindGrass, {-1.5f, 0.5f, 2.0f}}, {kFXKindSplash, {1.5f, 0.0f, 2.0f}},
		{kFXKindFireball, {0.0f, 1.0f, -2.0f}}, {kFXKindChicken, {-2.0f, 1.0f, -2.0f}},
		{kFXKindHeart, {2.0f, 1.0f, -2.0f}},
	};
	for (const Shown &effect : shown)
		ASSERT_NE(SpawnFX(&player, effect.kind, effect.offset), nullptr) << effect.kind;
	Frames(3);
	WindowPicture full(1);
	draw("effects.png", full);

	int changed = 0;
	for (size_t i = 0; i + 3 < full.rgba.size(); i += 4) {
		const int d = std::abs(full.rgba[i] - none.rgba[i]) + std::abs(full.rgba[i + 1] - none.rgba[i + 1]) +
			std::abs(full.rgba[i + 2] - none.rgba[i + 2]);
		changed += d > 60 ? 1 : 0;
	}
	EXPECT_GT(changed, 2000) << "pixels the effects changed visibly";
}
