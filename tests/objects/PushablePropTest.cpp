// Crates, boulders and lava balls by their own rules, on the lanes of the
// effects map: how long a push must last, what refuses one, what a slide
// does at its end, in a fall, on a slope and against a foe, and how both
// hold still while the HUD is busy.
#include "objects/EffectsMapWorld.h"

#include "objects/PropBoulder.h"
#include "objects/PropCrate.h"
#include "objects/PropLavaBall.h"
#include "objects/PushableProp.h"
#include "map/TileCode.h"

#include <cmath>

using namespace effectsmap;

namespace {

const Vec3 kNorth(0.0f, 0.0f, -1.0f);
const Vec3 kEast(1.0f, 0.0f, 0.0f);
const Vec3 kSouth(0.0f, 0.0f, 1.0f);
const Vec3 kWest(-1.0f, 0.0f, 0.0f);

bool Finite(const glm::quat &q)
{
	return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

} // namespace

class Pushables : public EffectsOnMap {
protected:
	PropCrate *OpenCrate() { return Find<PropCrate>(1); }
	// Back on the ground at home after a respawn.
	static bool Landed(const PushableProp &prop)
	{
		return prop.respawnTimer <= 0.0f && prop.grounded != 0 && prop.transform.position.y < prop.homePosition.y + 0.01f;
	}
};

TEST_F(Pushables, APushMustLastATenthFromTheStartButNotAfterARespawn)
{
	struct Row {
		const char *what;
		int frames;
		bool respawned;
		bool slides;
	};
	const Row rows[] = {
		{"five frames of pushing", 5, false, false},
		{"eight frames of pushing", 8, false, true},
		{"one frame after a respawn", 1, true, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		LoadMap();
		PushableProp *crate = OpenCrate();
		ASSERT_NE(crate, nullptr);
		EXPECT_FLOAT_EQ(PushableProp::kPushDelay, crate->pushDelay);
		if (row.respawned) {
			crate->Kill();
			EXPECT_EQ(Collider::kModeIgnored, crate->collider->mode);
			Frames(static_cast<int>(PushableProp::kRespawnSeconds / kFrame) + 2);
			EXPECT_NEAR(PushableProp::kRespawnDrop, crate->transform.position.y, 0.5f) << "drops in from high above";
			EXPECT_EQ(Collider::kModeSolid, crate->collider->mode);
			ASSERT_TRUE(RunUntil([&] { return Landed(*crate); }, 4.0f));
			EXPECT_TRUE(AtCentre(crate->transform.position, kOpenCrate));
			crate->stopTimer = 0.0f;
		}
		for (int i = 0; i < row.frames; i++) {
			crate->TryPush(kNorth, false);
			Frame();
		}
		EXPECT_EQ(row.slides, crate->IsSliding());
	}
}

TEST_F(Pushables, SolidsAheadAndHighGroundRefuseAPush)
{
	struct Row {
		const char *what;
		std::string extra;
		Vec3 direction;
		bool slides;
	};
	const std::string crateOnSwitch = Object(60, PropCrate::kKind, kSwitch);
	const Row rows[] = {
		{"open ground", "", kNorth, true},
		{"a crate on the switch ahead, listed after the switch", crateOnSwitch, kNorth, false},
		{"a foe ahead", "", kNorth, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		LoadMap(row.extra);
		PushableProp *crate = Find<PropCrate>(row.extra.empty() ? 1 : 7);
		std::unique_ptr<TargetActor> foe;
		if (std::string(row.what) == "a foe ahead")
			foe = AddFoe(crate->transform.position + row.direction * 2.0f, 4);
		Frame();
		crate->TryPush(row.direction, true);
		EXPECT_EQ(row.slides, crate->IsSliding());
		if (foe)
			scene.RemoveEntity(foe.get());
	}

	// The boulder's terrace is a level above the open ground: a crate below
	// it may not climb, a boulder up there need not look.
	LoadMap();
	PushableProp *crate = OpenCrate();
	crate->SetPosition(Centre({15, 1}));
	Frame();
	crate->TryPush(kEast, true);
	EXPECT_FALSE(crate->IsSliding()) << "a rise of 0.75 ahead";
}

TEST_F(Pushables, ASlideWithNoTilesLeftEndsAtTheNextTile)
{
	LoadMap();
	PushableProp *crate = OpenCrate();
	// Near the north edge of its tile, a knock-back sets it sliding with no
	// tiles counted and carries it over the edge in one frame.
	crate->transform.position.z -= 0.9f;
	crate->hurtTimer = 0.0f;
	crate->KnockBack(kNorth, 1.0f);
	Frame();
	EXPECT_EQ(kOpenCrate.y - 1, crate->tile.y);
	EXPECT_EQ(0, crate->tilesLeft) << "never counted round below 0";
	EXPECT_FALSE(crate->IsSliding()) << "the slide ends at the tile it entered";
	Frames(60);
	EXPECT_EQ(0, crate->tilesLeft);
	EXPECT_TRUE(AtCentre(crate->transform.position, {kOpenCrate.x, kOpenCrate.y - 1}));
}

TEST_F(Pushables, SlideShakeStaysFiniteWithTheCrateAtTheCamera)
{
	LoadMap();
	PushableProp *crate = OpenCrate();
	camera.transform.position = crate->transform.position;
	crate->TryPush(kNorth, true);
	ASSERT_TRUE(crate->IsSliding());
	EXPECT_TRUE(std::isfinite(camera.GetShakeAmount()));
	EXPECT_GT(camera.GetShakeAmount(), 0.3f / 2.0f);
}

TEST_F(Pushables, HoldStillWhileTheHudIsBusy)
{
	LoadMap(Object(50, PropLavaBall::kKind, {2, 10}));
	PushableProp *crate = OpenCrate();
	auto *ball = Find<PropLavaBall>(50);
	const Vec3 start = crate->transform.position;
	const float wait = ball->GetWaitTimer();
	link.busy = true;
	crate->TryPush(kNorth, true);
	Frames(30);
	EXPECT_EQ(start, crate->transform.position);
	EXPECT_EQ(wait, ball->GetWaitTimer());
	link.busy = false;
	Frames(30);
	EXPECT_NE(start, crate->transform.position);
	EXPECT_LT(ball->GetWaitTimer(), wait);
}

TEST_F(Pushables, BoulderHitsHarderOnHarderSettingsAndRollsOnPastFoes)
{
	struct Row {
		int difficulty;
		uint8_t power;
	};
	const Row rows[] = {{0, 1}, {1, 2}, {2, 8}, {3, 8}};
	for (const Row &row : rows)
		EXPECT_EQ(row.power, PropBoulder::StrikePowerFor(row.difficulty)) << row.difficulty;

	link.difficulty = 2;
	LoadMap();
	auto *boulder = Find<PropBoulder>(8);
	EXPECT_EQ(8, boulder->strikePower);
	auto foe = AddFoe(Centre({kBoulder.x, 7}), 20);
	boulder->TryPush(kSouth, true);
	EXPECT_TRUE(RunUntil([&] { return foe->stats.hearts < 20; }, 4.0f));
	EXPECT_TRUE(boulder->IsSliding()) << "a creature does not stop it";
	scene.RemoveEntity(foe.get());
}

TEST_F(Pushables, BoulderTurnsDownhillNeverSpinsIntoNaNAndStopsWhenStuck)
{
	LoadMap();
	auto *boulder = Find<PropBoulder>(8);
	ASSERT_EQ(static_cast<uint32_t>(kTileDiagonalSE), map.TileAt(kDiagonal.x, kDiagonal.y).kind);
	struct Row {
		Vec3 rolling, turned;
	};
	// The high half lies south-east: the boulder goes off to the north-west.
	const Row rows[] = {{kEast, kNorth}, {kNorth, kNorth}, {kWest, kWest}, {kSouth, kWest}};
	for (const Row &row : rows) {
		boulder->tile = {kDiagonal.x, kDiagonal.y};
		boulder->pushVelocity = row.rolling;
		boulder->OnEnterTile();
		EXPECT_EQ(row.turned, boulder->pushVelocity);
	}

	// Sliding with no way along the ground: straight down, or not at all.
	const Vec3 moves[] = {Vec3(0.0f), Vec3(0.0f, -5.0f, 0.0f)};
	for (const Vec3 &move : moves) {
		boulder->moving = 1;
		boulder->moveVelocity = move;
		boulder->previousPosition = boulder->transform.position + Vec3(0.0f, 1.0f, 0.0f);
		boulder->UpdateAnimation(kFrame);
		EXPECT_TRUE(Finite(boulder->transform.rotation));
	}

	// Sliding without getting anywhere for more than 0.1 s stops it.
	boulder->pushVelocity = kSouth;
	boulder->previousPosition = boulder->transform.position;
	int frames = 0;
	while (boulder->stopTimer <= 0.0f && frames < 30) {
		boulder->UpdateAnimation(kFrame);
		frames++;
	}
	EXPECT_GE(frames, 6);
	EXPECT_LE(frames, 7);
	EXPECT_EQ(Vec3(0.0f), boulder->pushVelocity);
}

TEST_F(Pushables, ShippedPushablesRestWhereTheMapsMeantThem)
{
	LoadShipped("maps/town.tmx");
	auto *byThePond = Find<PropCrate>(40);
	auto *boulder = Find<PropBoulder>(41);
	auto *drifter = Find<PropCrate>(42);
	ASSERT_TRUE(byThePond != nullptr && boulder != nullptr && drifter != nullptr);
	EXPECT_EQ(kLevelWater, map.TileAt(byThePond->tile.x, static_cast<int16_t>(byThePond->tile.y + 1)).level);

	// Its "dir" takes the crate west along the pond's bank to the terrace.
	EXPECT_FLOAT_EQ(-1.0f, drifter->fixedDirection.x);
	Frames(240);
	EXPECT_TRUE(AtCentre(drifter->transform.position, {1, 13}));

	// The boulder rolls down the ramp below it and stops at the crate
	// further down.
	const Point16 top = boulder->tile;
	EXPECT_TRUE(IsRampKind(map.TileAt(top.x, static_cast<int16_t>(top.y + 1)).kind));
	boulder->TryPush(kSouth, true);
	EXPECT_TRUE(RunUntil([&] { return !boulder->IsSliding(); }, 8.0f));
	const auto *stopper = Find<PropCrate>(43);
	ASSERT_NE(stopper, nullptr);
	EXPECT_EQ(stopper->tile.y - 1, boulder->tile.y);

	LoadShipped("maps/cinders.tmx");
	int balls = 0, crates = 0;
	for (MapObjectDef &record : map.GetMapData().entityRecords) {
		balls += dynamic_cast<PropLavaBall *>(record.entity) != nullptr ? 1 : 0;
		crates += dynamic_cast<PropCrate *>(record.entity) != nullptr ? 1 : 0;
	}
	EXPECT_GE(balls, 2);
	EXPECT_EQ(3, crates) << "one weight for each plate of the ash ring";
}
