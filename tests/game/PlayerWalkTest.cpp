// The hero's first walk through the running game, headless: the real in-game
// scene loads "maps/home.tmx" from the data tree as a fresh game, and the
// test drives the player with the arrow keys and the action key at a fixed
// 1/60 s per frame, as a player at the keyboard would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <functional>
#include <string>

#include "engine/core/ActiveSequence.h"
#include "engine/render/Mesh.h"
#include "objects/FXPool.h"
#include "objects/FXSpawner.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"

namespace {

constexpr int kMaxWalkFrames = 600;

class PlayerWalk : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		world.book.readFiles = true; // the game's own maps
	}

	Player &Hero() { return world.scene->GetPlayer(); }
	Vec3 Position() { return Hero().transform.position; }

	// Holds the key until done says so (checked before every frame); false
	// when that takes too long. The key is let go either way.
	bool HoldUntil(SDL_Scancode key, const std::function<bool()> &done, int maxFrames = kMaxWalkFrames)
	{
		world.Press(key);
		bool reached = false;
		for (int i = 0; i < maxFrames && !reached; i++) {
			reached = done();
			if (!reached)
				world.Frame();
		}
		world.Release(key);
		world.Frame();
		return reached;
	}
	// Holds the key for a number of frames.
	void HoldFor(SDL_Scancode key, int frames)
	{
		world.Press(key);
		world.Frames(frames);
		world.Release(key);
		world.Frame();
	}
	bool FramesUntil(const std::function<bool()> &done, int maxFrames = kMaxWalkFrames) { return world.FramesUntil(done, maxFrames); }
	void Tap(SDL_Scancode key) { world.Tap(key); }

	GameSceneTestWorld world;
};

}

TEST_F(PlayerWalk, WalksHomeAndOutToTheOrchard)
{
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	ASSERT_STREQ("home", scene.GetLoadedAs());
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
	TileMap &map = scene.GetMap();

	// A fresh game: the player wakes by home's first fire.
	const MapObjectDef *fire = nullptr;
	for (const MapObjectDef &record : map.GetMapData().entityRecords)
		if (MapEntityKindFromType(record.type) == 22 && fire == nullptr)
			fire = &record;
	ASSERT_NE(nullptr, fire) << "home has a fireplace";
	PlayerTile spawn = world.Tile();
	EXPECT_LE(std::abs(spawn.x - fire->x) + std::abs(spawn.y - fire->y), 1) << "by the fire";
	EXPECT_EQ(4, Hero().GetStats().hearts);

	// The map's title, then the welcome message, answered with action 1.
	ASSERT_TRUE(FramesUntil([&] { return !scene.GetHud().IsTimerActive(); }));
	ASSERT_TRUE(FramesUntil([&] { return scene.GetHud().IsMessageVisible(); }, 60));
	EXPECT_EQ(0u, scene.GetHud().GetMessageText().rfind("Home at last.", 0)) << scene.GetHud().GetMessageText();
	// The fire's solid hearth nudges the hero off its middle first.
	world.Frames(30);
	Vec3 held = Position();
	HoldFor(SDL_SCANCODE_DOWN, 20);
	EXPECT_EQ(held, Position()) << "the message holds the player";
	for (int press = 0; press < 8 && scene.GetHud().IsMessageVisible(); press++) {
		Tap(SDL_SCANCODE_SPACE);
		world.Frames(20);
	}
	EXPECT_FALSE(scene.GetHud().IsMessageVisible());
	EXPECT_FALSE(IsSequenceRunning());
	EXPECT_TRUE(GameProgress::Flag("homeseen")) << "the script went on past its message";

	// North up column 14 to the road below the hedge, west to column 12.
	const float ground = Position().y;
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_UP, [&] { return world.Tile().y <= 1; }));
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_LEFT, [&] { return world.Tile().x <= 12; }));
	world.Frames(10);
	EXPECT_EQ(12, world.Tile().x);
	EXPECT_NEAR(ground, Position().y, 0.05f);

	// It moves: south down its column, up the ramp onto the platform.
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return world.Tile().y >= 3; }));
	world.Frames(10);
	EXPECT_EQ(12, world.Tile().x);
	EXPECT_NEAR(ground + 0.75f, Position().y, 0.05f) << "climbed the ramp";

	// East: the terrace rises more than a step; the player stops at its foot.
	HoldFor(SDL_SCANCODE_RIGHT, 60);
	EXPECT_EQ(12, world.Tile().x) << "stopped at the terrace";
	EXPECT_NEAR(ground + 0.75f, Position().y, 0.05f);
	// West: a wall.
	HoldFor(SDL_SCANCODE_LEFT, 90);
	EXPECT_EQ(12, world.Tile().x) << "stopped at the wall";
	EXPECT_NEAR(ground + 0.75f, Position().y, 0.05f);

	// South off the ledge, down to the road.
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return world.Tile().y >= 5; }));
	world.Frames(30);
	EXPECT_NEAR(ground, Position().y, 0.05f) << "dropped off the ledge";

	// East to the pond's column, then south into the pond. It throws up a
	// splash that stands out of the water for as long as it lasts.
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_RIGHT, [&] { return world.Tile().x >= 15; }));
	int16_t pondColumn = world.Tile().x;
	uint8_t heartsBefore = Hero().GetStats().hearts;
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return Hero().splashed != 0 || Position().y < ground - 0.5f; }));
	const FXPool *splashes = FXSpawner::FindPool(kFXKindSplash);
	ASSERT_NE(nullptr, splashes) << "falling in splashes";
	const FXEntity *splash = splashes->At((uint16_t)((splashes->GetNextIndex() + splashes->GetCount() - 1) % splashes->GetCount()));
	ASSERT_NE(nullptr, splash);
	ASSERT_NE(nullptr, splash->model);
	const float surface = map.LevelHeight(kLevelWater);
	float lowestCrest = surface + 100.0f;
	int splashFrames = 0;
	PlayerTile safe;
	ASSERT_TRUE(FramesUntil([&] {
		if (splash->IsActive() && splash->model->GetMesh() != nullptr) {
			float crest = -100.0f;
			for (const glm::vec3 &p : splash->model->GetMesh()->GetPositions())
				crest = std::max(crest, (splash->ModelMatrix() * glm::vec4(p, 1.0f)).y);
			lowestCrest = std::min(lowestCrest, crest);
			splashFrames++;
		}
		if (Hero().GetStats().hearts != heartsBefore)
			return true;
		safe = Hero().GetSafeTile(); // as it was when the player went under
		return false;
	}));
	EXPECT_GT(splashFrames, 3);
	EXPECT_GT(lowestCrest, surface + 0.1f) << "the splash shows above the water";
	PlayerTile standing = world.Tile();
	world.Frames(30);
	EXPECT_EQ(heartsBefore - 2, Hero().GetStats().hearts) << "the pond costs 2 half hearts";
	EXPECT_TRUE(safe.IsSet());
	EXPECT_EQ(safe, standing) << "back on the last safe tile";
	EXPECT_EQ(pondColumn, standing.x);
	EXPECT_NEAR(ground, Position().y, 0.05f) << "standing again on dry ground";
	EXPECT_EQ(kLevelWater, map.TileAt(standing.x, (int16_t)(standing.y + 2)).level) << "the pond lies just south";

	// West along row 11 below the house, then north up column 9 to the north
	// gate, which holds while the chooks of the yard run loose.
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return world.TileCentre(0, 11).z <= Position().z; }));
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_LEFT, [&] { return world.TileCentre(9, 0).x >= Position().x; }));
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_UP, [&] { return world.Tile().y <= 2; }));
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_RIGHT, [&] { return world.Tile().x >= 10; }));
	HoldFor(SDL_SCANCODE_UP, 90);
	EXPECT_GE(world.Tile().y, 1) << "the north gate is shut";
	EXPECT_FALSE(Hero().HasExitTarget());

	// Back down column 9 and west through the hedge's gap into the orchard.
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return world.TileCentre(0, 2).z <= Position().z; }));
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_LEFT, [&] { return world.TileCentre(9, 0).x >= Position().x; }));
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return world.TileCentre(0, 9).z <= Position().z; }));
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_LEFT, [&] { return Hero().HasExitTarget(); }));
	EXPECT_STREQ("orchard", Hero().ExitTarget());
	ASSERT_TRUE(world.UntilOn("orchard"));

	// The orchard is loaded, the player stands inside its "home" link, and
	// the record says the game is in the orchard now.
	EXPECT_EQ(HashName("orchard"), GameProgress::Current().currentMap);
	EXPECT_EQ(HashName("home"), GameProgress::Current().previousMap);
	MapObjectDef *homeLink = scene.GetMap().FindObjectByKey(HashName("home"));
	ASSERT_NE(nullptr, homeLink);
	EXPECT_EQ(kObjectExit, homeLink->kind);
	EXPECT_TRUE(scene.GetMap().IsInsideObject(*homeLink, Position()));
	world.Frames(120);
	EXPECT_STREQ("orchard", scene.GetLoadedAs()) << "arriving on the link does not walk straight back";
}
