// The hero's first walk through the running game, headless: the real in-game
// scene loads "maps/home.tmx" from the data tree as a fresh game, and the
// test drives the player with the arrow keys and the action key at a fixed
// 1/60 s per frame, as a player at the keyboard would.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/core/ActiveSequence.h"
#include "support/GameSceneTestWorld.h"

namespace {

constexpr int kMaxWalkFrames = 600;

class PlayerWalk : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			GTEST_SKIP() << whyNot;
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

TEST_F(PlayerWalk, WalksHomeAndOutToTown)
{
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	ASSERT_STREQ("home", scene.GetLoadedAs());
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
	TileMap &map = scene.GetMap();

	// A fresh game: the player stands at its spawn, the top middle tile.
	PlayerTile spawn = world.Tile();
	EXPECT_EQ(map.GetMapData().width / 2, spawn.x);
	EXPECT_EQ(0, spawn.y);
	EXPECT_EQ(4, Hero().GetStats().hearts);

	// The map's title, then the welcome message, answered with action 1.
	ASSERT_TRUE(FramesUntil([&] { return !scene.GetHud().IsTimerActive(); }));
	ASSERT_TRUE(FramesUntil([&] { return scene.GetHud().IsMessageVisible(); }, 60));
	EXPECT_EQ("Home at last. The fire is warm and the road can wait.", scene.GetHud().GetMessageText());
	Vec3 held = Position();
	HoldFor(SDL_SCANCODE_DOWN, 20);
	EXPECT_EQ(held, Position()) << "the message holds the player";
	for (int press = 0; press < 4 && scene.GetHud().IsMessageVisible(); press++) {
		Tap(SDL_SCANCODE_SPACE);
		world.Frames(10);
	}
	EXPECT_FALSE(scene.GetHud().IsMessageVisible());
	EXPECT_FALSE(IsSequenceRunning());
	EXPECT_TRUE(GameProgress::Flag("homeseen")) << "the script went on past its message";

	// It moves: south down its column, up the ramp onto the platform.
	const float ground = Position().y;
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return world.Tile().y >= 3; }));
	world.Frames(10);
	EXPECT_EQ(spawn.x, world.Tile().x);
	EXPECT_NEAR(ground + 0.75f, Position().y, 0.05f) << "climbed the ramp";

	// East: the terrace rises more than a step; the player stops at its foot.
	HoldFor(SDL_SCANCODE_RIGHT, 60);
	EXPECT_EQ(spawn.x, world.Tile().x) << "stopped at the terrace";
	EXPECT_NEAR(ground + 0.75f, Position().y, 0.05f);
	// West: a wall.
	HoldFor(SDL_SCANCODE_LEFT, 90);
	EXPECT_EQ(spawn.x, world.Tile().x) << "stopped at the wall";
	EXPECT_NEAR(ground + 0.75f, Position().y, 0.05f);

	// South off the ledge, down to the road.
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return world.Tile().y >= 5; }));
	world.Frames(30);
	EXPECT_NEAR(ground, Position().y, 0.05f) << "dropped off the ledge";

	// East to the pond's column, then south into the pond.
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_RIGHT, [&] { return world.Tile().x >= spawn.x + 2; }));
	int16_t pondColumn = world.Tile().x;
	uint8_t heartsBefore = Hero().GetStats().hearts;
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_DOWN, [&] { return Hero().splashed != 0 || Position().y < ground - 0.5f; }));
	PlayerTile safe;
	ASSERT_TRUE(FramesUntil([&] {
		if (Hero().GetStats().hearts != heartsBefore)
			return true;
		safe = Hero().GetSafeTile(); // as it was when the player went under
		return false;
	}));
	PlayerTile standing = world.Tile();
	world.Frames(30);
	EXPECT_EQ(heartsBefore - 2, Hero().GetStats().hearts) << "the pond costs 2 half hearts";
	EXPECT_TRUE(safe.IsSet());
	EXPECT_EQ(safe, standing) << "back on the last safe tile";
	EXPECT_EQ(pondColumn, standing.x);
	EXPECT_NEAR(ground, Position().y, 0.05f) << "standing again on dry ground";
	EXPECT_EQ(kLevelWater, map.TileAt(standing.x, (int16_t)(standing.y + 2)).level) << "the pond lies just south";

	// North to the middle of the top row, then west through the "town" link.
	const float topRow = world.TileCentre(0, 0).z;
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_UP, [&] { return Position().z <= topRow; }));
	EXPECT_EQ(0, world.Tile().y);
	ASSERT_TRUE(HoldUntil(SDL_SCANCODE_LEFT, [&] { return Hero().HasExitTarget(); }));
	EXPECT_STREQ("town", Hero().ExitTarget());
	ASSERT_TRUE(world.UntilOn("town"));

	// Town is loaded, the player stands inside its "home" link, and the
	// record says the game is in town now.
	EXPECT_EQ(HashName("town"), GameProgress::Current().currentMap);
	EXPECT_EQ(HashName("home"), GameProgress::Current().previousMap);
	MapObjectDef *homeLink = scene.GetMap().FindObjectByKey(HashName("home"));
	ASSERT_NE(nullptr, homeLink);
	EXPECT_EQ(kObjectExit, homeLink->kind);
	EXPECT_TRUE(scene.GetMap().IsInsideObject(*homeLink, Position()));
	world.Frames(120);
	EXPECT_STREQ("town", scene.GetLoadedAs()) << "arriving on the link does not walk straight back";
}
