// The map entity's physics step on small maps made in memory: stepping up
// rises, being stopped by higher ones, falling into water and holes, knock-
// back, and the short guard of the hurt timer. Frames are fixed 60 Hz ticks.
#include "objects/MapEntity.h"

#include "engine/collision/Collider.h"
#include "engine/core/NameHash.h"
#include "support/GridMap.h"
#include "support/TestWalker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// A 4 x 3 map whose west half is level 1 (height 0) and east half level 2,
// one height step higher. The boundary lies at x = 3.
GridMap Terrace(float rise)
{
	std::vector<MapTile> tiles;
	for (int y = 0; y < 3; y++)
		for (int x = 0; x < 4; x++)
			tiles.push_back(Flat(x < 2 ? 1 : 2));
	return GridMap(4, 3, tiles, 0, [rise](TileMapData &data) { data.heightStep = rise; });
}

} // namespace

TEST(MapEntityWalk, RisesUpToTheStepHeightAreWalkedOntoHigherOnesBlock)
{
	struct Row {
		const char *name;
		float rise;
		float step;
		bool passes;
	};
	const Row rows[] = {
		{"a rise of the step height", 0.5f, 0.5f, true},
		{"0.01 more than the step", 0.51f, 0.5f, false},
		{"the player's step against a terrace", 0.75f, 0.72f, false},
		{"the player's step against its own height", 0.72f, 0.72f, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		GridMap grid = Terrace(row.rise);
		Walker walker(&grid.map);
		walker.stepHeight = row.step;
		walker.SetPosition(Vec3(0.0f, 0.0f, 2.0f));
		walker.wanted = Vec3(3.0f, 0.0f, 0.0f);
		int framesBlocked = 0;
		for (int frame = 0; frame < 120; frame++) {
			walker.blockedThisFrame = 0;
			walker.Update(kFrame);
			ASSERT_LE(walker.blockedThisFrame, 1) << "frame " << frame;
			framesBlocked += walker.blockedThisFrame;
		}
		const Vec3 &at = walker.transform.position;
		if (row.passes) {
			EXPECT_EQ(framesBlocked, 0);
			EXPECT_GT(at.x, 3.5f);
			EXPECT_FLOAT_EQ(at.y, row.rise);
		} else {
			// Stopped with the probe (half a unit ahead) at the wall, and told
			// so in every frame it kept pushing.
			EXPECT_LT(at.x, 3.0f - walker.radius + 0.06f);
			EXPECT_GT(at.x, 2.0f);
			EXPECT_FLOAT_EQ(at.y, 0.0f);
			EXPECT_GT(framesBlocked, 60);
			EXPECT_EQ(walker.lastBlocked, Vec3(1.0f, 0.0f, 0.0f));
			EXPECT_EQ(walker.moving, 0);
		}
	}
}

TEST(MapEntityWalk, WaterSinksToTheFloorWithOneSplashHolesDropToDeath)
{
	struct Row {
		const char *name;
		MapTile under;
		float heightStep;
		float startY;
		int splashes;
		bool killed;
		float restY;
	};
	const Row rows[] = {
		{"falling into water", Water(), 0.75f, 3.0f, 1, true, -10.0f},
		{"stepping off into water", Water(), 0.75f, 0.0f, 1, true, -10.0f},
		{"a hole is a drop to -10", Hole(), 0.75f, 0.0f, 0, true, -10.0f},
		// A negative height step puts level 2 just above the hole height.
		{"ground just above -1.0 holds", Flat(2), -0.99f, 0.0f, 0, false, -0.99f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		std::vector<MapTile> tiles(9, Flat(1));
		tiles[4] = row.under;
		const float step = row.heightStep;
		GridMap grid(3, 3, tiles, 0, [step](TileMapData &data) { data.heightStep = step; });
		Walker walker(&grid.map);
		walker.hurtTimer = 0.0f;
		walker.SetPosition(Vec3(2.0f, row.startY, 2.0f));
		int frames = 0;
		while (walker.lifeState != kLifePaused && frames < 600) {
			walker.Update(kFrame);
			frames++;
		}
		EXPECT_EQ(walker.splashes, row.splashes);
		EXPECT_EQ(walker.kills > 0, row.killed);
		EXPECT_FLOAT_EQ(walker.transform.position.y, row.restY);
		if (row.killed) {
			EXPECT_EQ(walker.kills, 1);
			EXPECT_EQ(walker.lifeState, kLifePaused);
		}
	}
}

TEST(MapEntityWalk, TheSplashHappensWhenFallingPastTheSurfaceOnly)
{
	std::vector<MapTile> tiles(9, Water());
	GridMap grid(3, 3, tiles);
	Walker walker(&grid.map);
	walker.hurtTimer = 0.0f;
	walker.SetPosition(Vec3(2.0f, 2.0f, 2.0f));
	float yBefore = 0.0f;
	while (walker.splashes == 0) {
		yBefore = walker.transform.position.y;
		walker.Update(kFrame);
	}
	EXPECT_GE(yBefore, 0.0f);
	EXPECT_LT(walker.transform.position.y, 0.0f);
	// The splash stops the fall (which then starts again from nothing) and
	// guards against more.
	EXPECT_FLOAT_EQ(walker.fallSpeed, 60.0f * kFrame);
	EXPECT_FLOAT_EQ(walker.hurtTimer, 1.0f);
	EXPECT_EQ(walker.splashed, 1);

	// Without a map nothing is looked up: no ground, no water, free fall.
	Walker free(nullptr);
	free.SetPosition(Vec3(0.0f, 5.0f, 0.0f));
	free.fallSpeed = 6.0f;
	free.Update(kFrame);
	EXPECT_FLOAT_EQ(free.transform.position.y, 5.0f - 0.1f);
	EXPECT_EQ(free.splashes, 0);
}

// These read the game's own surface table: "brambles" walls hurt (damage 1),
// "ice" is slippery (slip 1.0).
TEST(MapEntityWalk, ThornyWallsStrikeTheWalkerIceKeepsItSliding)
{
	struct Row {
		const char *name;
		const char *lowGround;
		const char *highGround;
		Vec3 wanted;
		int walkFrames;
		bool struck;
		bool slides;
	};
	// East runs into the terrace (blocked from x = 2.5); south stays on the
	// low ground.
	const Row rows[] = {
		{"plain ground into the terrace", nullptr, nullptr, Vec3(2.0f, 0.0f, 0.0f), 90, false, false},
		{"into a bramble terrace", nullptr, "brambles", Vec3(2.0f, 0.0f, 0.0f), 90, true, false},
		{"plain ground along it", nullptr, nullptr, Vec3(0.0f, 0.0f, 1.0f), 20, false, false},
		{"ice along it", "ice", nullptr, Vec3(0.0f, 0.0f, 1.0f), 20, false, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		GridMap grid = Terrace(0.75f);
		TileMapData &data = grid.map.GetMapData();
		data.layerIds[0] = HashName(row.lowGround);
		data.layerIds[1] = HashName(row.highGround);
		Walker walker(&grid.map);
		walker.SetPosition(Vec3(0.0f, 0.0f, 0.0f));
		walker.wanted = row.wanted;
		for (int frame = 0; frame < row.walkFrames; frame++)
			walker.Update(kFrame);
		EXPECT_EQ(walker.slideVelocity != Vec3(0.0f), row.slides);
		EXPECT_LE(Vec3Length(walker.slideVelocity), 5.0f);
		walker.wanted = Vec3(0.0f);
		for (int frame = 0; frame < 40; frame++)
			walker.Update(kFrame);
		EXPECT_EQ(walker.strikes > 0, row.struck);
		if (row.struck) {
			EXPECT_EQ(walker.lastDamage, 1);
		}
		// On ice the walker goes on sliding after it stopped wanting to move.
		const Vec3 before = walker.transform.position;
		walker.Update(kFrame);
		EXPECT_EQ(walker.transform.position != before, row.slides);
	}
}

TEST(MapEntityKnockBack, PushesForAQuarterSecondAndRecoversAfterHalf)
{
	struct Row {
		const char *name;
		float force;
		float recovery;
		int pushFrames;     // frames in which the push still moves the entity
		int knockedFrames;  // frames until the entity walks again
		float distance;
	};
	const Row rows[] = {
		// 15 units a second falling by 60 a second: 15 frames, 2 units.
		{"force 1", 1.0f, 1.0f, 15, 30, 2.0f},
		{"slow recovery", 1.0f, 0.5f, 15, 60, 2.0f},
		{"force 2 pushes twice as long", 2.0f, 1.0f, 30, 30, 7.75f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		GridMap grid(12, 3, std::vector<MapTile>(36, Flat(1)));
		Walker walker(&grid.map);
		walker.knockBackRecovery = row.recovery;
		walker.SetPosition(Vec3(2.0f, 0.0f, 2.0f));
		walker.KnockBack(Vec3(1.0f, 0.0f, 0.0f), row.force);
		EXPECT_EQ(walker.facing, Vec3(-1.0f, 0.0f, 0.0f));
		EXPECT_FLOAT_EQ(walker.knockBackTimer, 0.5f);
		// A second blow while the first still pushes changes nothing.
		walker.KnockBack(Vec3(0.0f, 0.0f, 1.0f), 5.0f);
		EXPECT_EQ(walker.facing, Vec3(-1.0f, 0.0f, 0.0f));
		EXPECT_FLOAT_EQ(walker.knockBackSpeed, 15.0f * row.force);

		walker.wanted = Vec3(0.0f, 0.0f, 3.0f); // ignored until the knock-back ends
		int pushFrames = 0;
		int frames = 0;
		while (walker.knockBackTimer > 0.0f && frames < 200) {
			float x = walker.transform.position.x;
			walker.Update(kFrame);
			frames++;
			if (walker.transform.position.x > x)
				pushFrames++;
			EXPECT_FLOAT_EQ(walker.transform.position.z, 2.0f);
		}
		EXPECT_EQ(pushFrames, row.pushFrames);
		EXPECT_NEAR(frames, row.knockedFrames, 1);
		EXPECT_NEAR(walker.transform.position.x, 2.0f + row.distance, 1e-3f);
		walker.Update(kFrame);
		EXPECT_GT(walker.transform.position.z, 2.0f);
	}
}

TEST(MapEntityKnockBack, HitsComeFromTheStrikerJoltedSideways)
{
	Walker walker(nullptr);
	walker.SetPosition(Vec3(0.0f));
	Walker striker(nullptr);
	striker.SetPosition(Vec3(-2.0f, 0.0f, 0.0f));
	EXPECT_TRUE(walker.Strike(&striker, 1, 1.0f));
	// Away from the striker along +x, with half of that turned sideways,
	// flattened and normalised; the entity faces back toward the blow.
	const Vec3 away = walker.facing * -1.0f;
	EXPECT_GT(away.x, 0.0f);
	EXPECT_NEAR(away.y, 0.0f, 1e-6f);
	EXPECT_NEAR(std::fabs(away.z / away.x), 0.5f, 1e-5f);
	EXPECT_NEAR(Vec3Length(away), 1.0f, 1e-5f);

	// Without a striker the push goes backward from where it faces.
	Walker alone(nullptr);
	alone.SetPosition(Vec3(0.0f));
	alone.KnockBackFrom(nullptr, 1.0f);
	EXPECT_GT(alone.facing.z * -1.0f, 0.0f); // pushed toward +z, its back
}

TEST(MapEntityGuards, TheHurtTimerSilencesHitsThudsAndSplashes)
{
	struct Row {
		const char *name;
		void (*act)(Walker &);
		float guardAfter; // the hurt timer an unguarded call leaves
	};
	const Row rows[] = {
		{"hit sound", [](Walker &w) { w.PlayHitSound(Vec3(1.0f, 0.0f, 0.0f)); }, 0.2f},
		{"hurt", [](Walker &w) { w.Hurt(nullptr); }, 0.2f},
		{"thud", [](Walker &w) { w.PlayThud(); }, 0.07f},
		{"splash", [](Walker &w) { w.Splash(); }, 1.0f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		// Every entity starts guarded for 0.2 s.
		Walker fresh(nullptr);
		EXPECT_FLOAT_EQ(fresh.hurtTimer, 0.2f);
		fresh.hurtTimer = 0.05f;
		row.act(fresh);
		EXPECT_FLOAT_EQ(fresh.hurtTimer, 0.05f);

		Walker open(nullptr);
		open.hurtTimer = 0.0f;
		row.act(open);
		EXPECT_FLOAT_EQ(open.hurtTimer, row.guardAfter);
	}

	// An invisible entity, or one below the floor, makes no splash.
	Walker hidden(nullptr);
	hidden.hurtTimer = 0.0f;
	hidden.SetVisible(false);
	hidden.Splash();
	EXPECT_FLOAT_EQ(hidden.hurtTimer, 0.0f);
	Walker sunk(nullptr);
	sunk.hurtTimer = 0.0f;
	sunk.SetPosition(Vec3(0.0f, -10.5f, 0.0f));
	sunk.Splash();
	EXPECT_FLOAT_EQ(sunk.hurtTimer, 0.0f);

	// The timer runs down with the frames.
	Walker ticking(nullptr);
	for (int i = 0; i < 13; i++)
		ticking.Update(kFrame);
	EXPECT_LE(ticking.hurtTimer, 0.0f);
}

TEST(MapEntityContacts, OnlySolidsAboveTheStepPushAndThePushBendsTheWalk)
{
	struct Row {
		const char *name;
		int32_t mode;
		float weight;
		Vec3 otherAt;
		Vec3 push;
		bool stopsFall;
	};
	const Row rows[] = {
		{"a touch-only collider", Collider::kModeTrigger, 1.0f, Vec3(3.0f, 2.0f, 0.0f), Vec3(0.0f), false},
		{"a weightless solid", Collider::kModeStatic, 0.0f, Vec3(3.0f, 2.0f, 0.0f), Vec3(0.0f), false},
		{"a solid level with it", Collider::kModeStatic, 1.0f, Vec3(1.0f, 0.0f, 0.0f), Vec3(0.0f), true},
		{"a solid straight above", Collider::kModeStatic, 1.0f, Vec3(0.5f, 2.0f, 0.0f), Vec3(0.0f), true},
		{"a solid high beside", Collider::kModeSolid, 1.0f, Vec3(3.0f, 2.0f, 0.0f), Vec3(3.0f, 0.0f, 0.0f), true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Walker walker(nullptr);
		walker.SetPosition(Vec3(0.0f));
		walker.fallSpeed = 4.0f;
		Walker other(nullptr);
		other.SetPosition(row.otherAt);
		other.CreateCollider(static_cast<uint32_t>(row.mode), Vec3(1.0f), Vec3(0.0f));
		other.collider->weight = row.weight;
		walker.OnCollide(&other);
		EXPECT_EQ(walker.contactPush, row.push);
		EXPECT_EQ(walker.fallSpeed == 0.0f, row.stopsFall);
	}

	// A push ahead takes away the part of the walk along its main axis, and
	// is gone after the update.
	GridMap grid(6, 6, std::vector<MapTile>(36, Flat(1)));
	Walker walker(&grid.map);
	walker.SetPosition(Vec3(4.0f, 0.0f, 4.0f));
	walker.wanted = Vec3(3.0f, 0.0f, 3.0f);
	walker.Update(kFrame);
	walker.contactPush = Vec3(3.0f, 0.0f, 0.5f);
	const Vec3 before = walker.transform.position;
	walker.Update(kFrame);
	EXPECT_FLOAT_EQ(walker.transform.position.x, before.x);
	EXPECT_GT(walker.transform.position.z, before.z);
	EXPECT_EQ(walker.contactPush, Vec3(0.0f));
}

TEST(MapEntityColliders, SmallSizesBecomeACubeOfTheDiameterOnItsFeet)
{
	Walker walker(nullptr);
	walker.radius = 0.75f;
	walker.CreateCollider(4, Vec3(0.05f, 0.05f, 0.0f), Vec3(9.0f));
	ASSERT_NE(walker.collider, nullptr);
	EXPECT_EQ(walker.collider->owner, &walker);
	EXPECT_EQ(walker.collider->mode, 4);
	EXPECT_EQ(walker.collider->size, Vec3(1.5f));
	EXPECT_EQ(walker.collider->offset, Vec3(0.0f, 0.75f, 0.0f));
	Collider *first = walker.collider;
	walker.CreateCollider(3, Vec3(2.0f, 1.0f, 2.0f), Vec3(0.0f, 0.5f, 0.0f));
	EXPECT_EQ(walker.collider, first); // the same collider, reshaped
	EXPECT_EQ(walker.collider->size, Vec3(2.0f, 1.0f, 2.0f));
	EXPECT_EQ(walker.collider->offset, Vec3(0.0f, 0.5f, 0.0f));

	// Start turns a collider left in mode 0 into an ignored one and makes
	// the spot it stands on its home.
	Walker started(nullptr);
	started.collider = new Collider(&started, Vec3(1.0f), Vec3(0.0f));
	started.transform.position = Vec3(1.0f, 2.0f, 3.0f);
	started.Start();
	EXPECT_EQ(started.collider->mode, Collider::kModeIgnored);
	EXPECT_EQ(started.homePosition, Vec3(1.0f, 2.0f, 3.0f));
	EXPECT_EQ(started.placed, 1);
}

TEST(MapEntityKinds, AnswersTheMapEntityClassAndKeepsItsKind)
{
	Walker walker(nullptr);
	EXPECT_EQ(walker.GetKind(), kWalkerKind);
	EXPECT_TRUE(walker.IsKind(1000));
	EXPECT_FALSE(walker.IsKind(2000));
	EXPECT_FALSE(walker.IsKind(100));
	EXPECT_EQ(walker.mapObject, &MapEntity::EmptyMapObject());
	// Killable or not.
	walker.Kill();
	EXPECT_EQ(walker.lifeState, kLifePaused);
	Walker tough(nullptr);
	tough.killable = 0;
	tough.lifeState = kLifeRunning;
	tough.Kill();
	EXPECT_EQ(tough.lifeState, kLifeRunning);
}
