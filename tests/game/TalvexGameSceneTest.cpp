#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/Achievements.h"
#include "objects/Party.h"
#include "support/ExpectVec.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"

namespace {

constexpr float kPi = 3.1415927f;

class TalvexGameSceneTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
	}

	// home: 12 by 10 with a link "town" on its east edge; town: 16 by 12 with
	// a link "home" on its top row and one "cave" in its first column.
	void AddHomeAndTown()
	{
		world.book.AddFlat("home", 12, 10, [](TileMapData &data) {
			MapBook::AddObject(data, kObjectExit, "town", 11, 3, 1, 3);
			MapBook::AddObject(data, kObjectExit, "nowhere", 4, 9, 2, 1);
		});
		world.book.AddFlat("town", 16, 12, [](TileMapData &data) {
			MapBook::AddObject(data, kObjectExit, "home", 5, 0, 3, 1);
			MapBook::AddObject(data, kObjectExit, "cave", 0, 4, 1, 3);
		});
		world.book.AddFlat("cave", 8, 8, [](TileMapData &data) {
			MapBook::AddObject(data, kObjectExit, "town", 7, 2, 1, 2);
		});
	}

	// Starts the walk out through the named link of the map being played.
	void WalkOutThrough(const char *link)
	{
		MapObjectDef *object = world.scene->GetMap().FindObjectByKey(HashName(link));
		ASSERT_NE(nullptr, object) << link;
		world.scene->GetPlayer().EnterMapLink(object);
	}

	GameSceneTestWorld world;
};

}

TEST(TalvexGameSceneRules, StartMapFollowsTheRespawnLevelAndAPendingMap)
{
	TempFolder folder;
	GameProgress::SetSaveFolder(folder.Folder().c_str());
	const struct {
		const char *name;
		uint32_t respawn;
		uint16_t pending;
		uint16_t expected;
	} rows[] = {
		{"respawn at the save point", 1, 0, 0x5111},
		{"respawn where the game stood", 0, 0, 0x3333},
		{"respawn at home", 2, 0, 0},
		{"a pending map beats the save point", 1, 0x7777, 0x7777},
		{"a pending map beats home", 2, 0x7777, 0x7777},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress::ResetGlobal();
		GameProgress::SetDifficulty(1);
		GameProgress::SetRespawnLevel(row.respawn);
		GameProgress::SetStartMap(0x5111);
		GameProgress::Current().currentMap = 0x3333;
		GameProgress::SetPendingValue(row.pending);
		EXPECT_EQ(row.expected, TalvexGameScene::ChooseStartMap());
		EXPECT_EQ(0, GameProgress::PendingValue()) << "a pending map is taken once";
	}
	GameProgress::SetSaveFolder("");
	GameProgress::ResetGlobal();
}

TEST(TalvexGameSceneRules, DirectionsAnglesAndSteps)
{
	const struct {
		uint32_t direction;
		float angle;
		uint32_t opposite;
		int dx;
		int dy;
	} rows[] = {
		{0, 0.0f, 0, 0, 0},
		{1, 0.0f, 3, 0, -1},
		{2, 1.5707964f, 4, 1, 0},
		{3, 3.1415927f, 1, 0, 1},
		{4, -1.5707964f, 2, -1, 0},
		{9, 0.0f, 0, 0, 0},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.direction);
		EXPECT_FLOAT_EQ(row.angle, TalvexGameScene::DirectionAngle(row.direction));
		EXPECT_EQ(row.opposite, TalvexGameScene::OppositeDirection(row.direction));
		int16_t x = 5;
		int16_t y = 5;
		TalvexGameScene::StepTile(row.direction, x, y, -2);
		EXPECT_EQ(5 - 2 * row.dx, x);
		EXPECT_EQ(5 - 2 * row.dy, y);
	}
}

TEST(TalvexGameSceneRules, FightMusicRisesButNeverDropsFromTwoToOne)
{
	const struct {
		uint16_t current;
		int worked;
		uint16_t next;
	} steps[] = {
		{0, 0, 0}, {0, 1, 1}, {1, 2, 2}, {0, 5, 2}, {2, 1, 2}, {2, 2, 2}, {2, 0, 0}, {1, 0, 0}, {1, 1, 1},
	};
	for (const auto &step : steps) {
		SCOPED_TRACE(testing::Message() << step.current << " then " << step.worked);
		EXPECT_EQ(step.next, TalvexGameScene::NextFightLevel(step.current, step.worked));
	}

	const struct {
		const char *name;
		uint32_t kind;
		uint8_t faction;
		bool active;
		uint8_t maxHalves;
		float distance;
		int level;
	} foes[] = {
		{"a small enemy near", 50, 4, true, 4, 5.0f, 1},
		{"ten half hearts alone give level two", 55, 4, true, 10, 19.9f, 3},
		{"too far", 50, 4, true, 10, 20.0f, 0},
		{"paused", 50, 4, false, 10, 1.0f, 0},
		{"not hostile", 50, 2, true, 10, 1.0f, 0},
		{"no enemy kind", 30, 4, true, 10, 1.0f, 0},
		{"the blob is an enemy", 62, 4, true, 0, 1.0f, 1},
	};
	for (const auto &foe : foes) {
		SCOPED_TRACE(foe.name);
		EXPECT_EQ(foe.level, TalvexGameScene::FightContribution(foe.kind, foe.faction, foe.active, foe.maxHalves, foe.distance));
	}
}

// A fresh game opens on "maps/home.tmx" at the top middle tile, heading
// nowhere, with at least two whole hearts, and the record and the slot say so.
TEST_F(TalvexGameSceneTest, FreshGameStartsAtTheTopOfHome)
{
	AddHomeAndTown();
	GameProgress::Current().stats.maxHearts = 2;
	GameProgress::Current().stats.hearts = 1;
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	EXPECT_STREQ("home", scene.GetLoadedAs());
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
	EXPECT_TRUE(TempFolder::Exists(world.folder.Path("Save_1.sav")));
	PlayerTile tile = world.Tile();
	EXPECT_EQ(6, tile.x);
	EXPECT_EQ(0, tile.y);
	EXPECT_EQ(4, scene.GetPlayer().GetStats().maxHearts);
	EXPECT_EQ(4, scene.GetPlayer().GetStats().hearts);
	EXPECT_FLOAT_EQ(kPi, scene.GetFadeAngle()) << "no direction: the fade of north turned round";
	EXPECT_EQ(&scene.GetPlayer(), Party::Instance().GetLeader());
}

// The first frames fade in from black within half a second, from the side
// the player came in.
TEST_F(TalvexGameSceneTest, MapFadesInOverHalfASecond)
{
	AddHomeAndTown();
	world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	EXPECT_FLOAT_EQ(1.0f, world.renderer->GetFadeAmount());
	world.Frames(15);
	EXPECT_NEAR(0.5f, world.renderer->GetFadeAmount(), 0.02f);
	world.Frames(15);
	EXPECT_NEAR(0.0f, world.renderer->GetFadeAmount(), 0.001f);
	world.Frames(30);
	EXPECT_FLOAT_EQ(0.0f, world.renderer->GetFadeAmount());
}

// Walking out through a link fades toward the walk, then the next map loads
// and the player arrives at the link named after the map it left: on the
// top row of town, then in the first column of the cave's neighbour.
TEST_F(TalvexGameSceneTest, ArrivalThroughLinksOnTheTopRowAndTheFirstColumn)
{
	AddHomeAndTown();
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(40);

	// Out of home eastward, at the second row of the link (span 1).
	scene.GetPlayer().SetPosition(world.TileCentre(11, 4));
	world.Frame();
	WalkOutThrough("town");
	ASSERT_EQ(2u, scene.GetPlayer().GetWalkOutDirection());
	world.Frames(30);
	EXPECT_NEAR(kPi / 2.0f, world.renderer->GetFadeAngle(), 1e-5f);
	EXPECT_NEAR(0.5f, world.renderer->GetFadeAmount(), 0.05f) << "half way through the 1 s walk-out fade";
	ASSERT_TRUE(world.UntilOn("town"));
	EXPECT_EQ(HashName("town"), GameProgress::Current().currentMap);
	EXPECT_EQ(HashName("home"), GameProgress::Current().previousMap);

	// The "home" link lies on row 0 of town: the player comes in on it,
	// heading south, at the column of its span.
	uint8_t spanX = 9;
	uint8_t spanY = 9;
	GameProgress::SpawnBytes(spanX, spanY);
	EXPECT_EQ(0, spanX);
	EXPECT_EQ(1, spanY);
	PlayerTile arrived = world.Tile();
	EXPECT_EQ(5, arrived.x);
	EXPECT_EQ(0, arrived.y);
	EXPECT_FLOAT_EQ(kPi + kPi, scene.GetFadeAngle());
	EXPECT_EQ(HashName("home"), scene.GetPlayer().GetCurrentArea() != nullptr ? scene.GetPlayer().GetCurrentArea()->key : 0);

	// Town to the cave and back: the cave's "town" link is on its east edge,
	// town's "cave" link in column 0, so the player comes back in heading east.
	world.Frames(60);
	scene.GetPlayer().SetPosition(world.TileCentre(0, 6));
	world.Frame();
	WalkOutThrough("cave");
	ASSERT_TRUE(world.UntilOn("cave"));
	world.Frames(60);
	scene.GetPlayer().SetPosition(world.TileCentre(7, 3));
	world.Frame();
	WalkOutThrough("town");
	ASSERT_TRUE(world.UntilOn("town"));
	arrived = world.Tile();
	EXPECT_EQ(0, arrived.x);
	EXPECT_EQ(5, arrived.y) << "the cave link's row plus the span the player left the cave by";
	EXPECT_NEAR(kPi / 2.0f + kPi, scene.GetFadeAngle(), 1e-5f);
}

// A link to a map that does not exist yet is logged; the player stops at the
// edge of the map it is on, the fade is lifted and play goes on there.
TEST_F(TalvexGameSceneTest, MissingTargetMapLeavesThePlayerOnTheMapItIsOn)
{
	AddHomeAndTown();
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(40);
	scene.GetPlayer().SetPosition(world.TileCentre(4, 9));
	world.Frame();
	testing::internal::CaptureStdout();
	WalkOutThrough("nowhere");
	ASSERT_EQ(3u, scene.GetPlayer().GetWalkOutDirection());
	world.Frames(120);
	std::string log = testing::internal::GetCapturedStdout();
	EXPECT_NE(std::string::npos, log.find("nowhere")) << log;
	EXPECT_STREQ("home", scene.GetLoadedAs());
	EXPECT_EQ(12, scene.GetMap().GetMapData().width) << "home is still loaded";
	EXPECT_FALSE(scene.GetPlayer().HasExitTarget());
	EXPECT_EQ(0u, scene.GetPlayer().GetWalkOutDirection());
	EXPECT_FLOAT_EQ(0.0f, world.renderer->GetFadeAmount());
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
	PlayerTile tile = world.Tile();
	EXPECT_TRUE(scene.GetMap().IsInMap(tile.x, tile.y, 0)) << tile.x << ", " << tile.y;
	EXPECT_TRUE(world.game.screens.empty());

	// The controls work again: walking north moves the player.
	Vec3 before = scene.GetPlayer().transform.position;
	world.Press(SDL_SCANCODE_UP);
	world.Frames(20);
	world.Release(SDL_SCANCODE_UP);
	EXPECT_LT(scene.GetPlayer().transform.position.z, before.z - 1.0f);
}

// When the map that was left is already gone by the time the new one fails,
// the old one is loaded again and the player stands where it was.
TEST_F(TalvexGameSceneTest, FailedChangeAfterTheOldMapWentLoadsItAgain)
{
	AddHomeAndTown();
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(40);
	scene.GetPlayer().SetPosition(world.TileCentre(5, 9));
	world.Frame();
	testing::internal::CaptureStdout();
	WalkOutThrough("nowhere");
	world.Frames(59); // nearly the whole walk-out fade
	scene.GetPlayer().ForgetMapObjects();
	scene.GetMap().Clear();
	world.Frames(10); // the failed load and the reload
	ASSERT_TRUE(world.UntilOn("home"));
	std::string log = testing::internal::GetCapturedStdout();
	EXPECT_NE(std::string::npos, log.find("nowhere")) << log;
	EXPECT_EQ(12, scene.GetMap().GetMapData().width);
	EXPECT_FALSE(scene.GetPlayer().HasExitTarget());
	PlayerTile tile = world.Tile();
	EXPECT_EQ(5, tile.x);
	EXPECT_EQ(9, tile.y);
}

// On Brutal the walk-out fade lasts 0.2 s; otherwise it follows the border.
TEST_F(TalvexGameSceneTest, WalkOutFadeLastsByBorderAndDifficulty)
{
	const struct {
		const char *name;
		uint8_t border;
		uint32_t difficulty;
		float seconds;
	} rows[] = {
		{"no border", 0, 1, 1.0f},
		{"a border of 4", 4, 1, 1.6f},
		{"a high border", 9, 1, 2.0f},
		{"brutal", 4, 2, 0.2f},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		uint8_t border = row.border;
		world.book.AddFlat("home", 8, 8, [border](TileMapData &data) { data.border = border; });
		GameProgress::ResetGlobal();
		GameProgress::SetDifficulty(row.difficulty);
		TalvexGameScene &scene = world.Begin();
		ASSERT_TRUE(world.UntilLoaded());
		EXPECT_NEAR(row.seconds, scene.GetExitFadeDuration(), 1e-5f);
	}
}

// The object groups a map had enabled, the player's stats and the exit span
// are kept in the record when the map unloads and come back with the map.
TEST_F(TalvexGameSceneTest, MapStateSurvivesAMapChange)
{
	AddHomeAndTown();
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(40);
	scene.GetMap().SetGroupFlag(7, true);
	scene.GetMap().SetGroupFlag(200, true);
	scene.GetPlayer().GetStats().weight = 33;
	scene.GetPlayer().SetPosition(world.TileCentre(11, 5));
	world.Frame();
	WalkOutThrough("town");
	ASSERT_TRUE(world.UntilOn("town"));
	EXPECT_FALSE(scene.GetMap().IsGroupEnabled(7));
	EXPECT_EQ(33, GameProgress::Current().stats.weight);
	EXPECT_TRUE(GameProgress::Current().HasMapRecord(HashName("home")));

	world.Frames(60);
	scene.GetPlayer().SetPosition(world.TileCentre(6, 0));
	world.Frame();
	WalkOutThrough("home");
	ASSERT_TRUE(world.UntilOn("home"));
	EXPECT_TRUE(scene.GetMap().IsGroupEnabled(7));
	EXPECT_TRUE(scene.GetMap().IsGroupEnabled(200));
	EXPECT_FALSE(scene.GetMap().IsGroupEnabled(8));
	EXPECT_EQ(33, scene.GetPlayer().GetStats().weight);
	// Back through the "town" link of home, on its east edge, heading west.
	PlayerTile tile = world.Tile();
	EXPECT_EQ(11, tile.x);
	EXPECT_NEAR(-kPi / 2.0f + kPi, scene.GetFadeAngle(), 1e-5f);
}

// A map's title shows as a banner on the first visit only; while it is up
// only the HUD runs and the picture stays black.
TEST_F(TalvexGameSceneTest, MapTitleBannerOnTheFirstVisitOnly)
{
	world.book.AddFlat("home", 8, 8, [](TileMapData &data) { data.title = MapMessage("Home Sweet Home"); });
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	EXPECT_TRUE(scene.GetHud().IsTimerActive());
	EXPECT_EQ("Home Sweet Home", scene.GetHud().GetBannerText());
	Vec3 before = scene.GetPlayer().transform.position;
	world.Press(SDL_SCANCODE_DOWN);
	world.Frames(60);
	EXPECT_FLOAT_EQ(1.0f, world.renderer->GetFadeAmount());
	EXPECT_EQ(before, scene.GetPlayer().transform.position) << "the world waits behind the banner";
	world.Release(SDL_SCANCODE_DOWN);
	world.Frames(200);
	EXPECT_FALSE(scene.GetHud().IsTimerActive());

	// The same map again in a new scene of the same game: no banner.
	world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	EXPECT_FALSE(world.scene->GetHud().IsTimerActive());
}

// After an ending the first map load turns New Game+ on and says so, once.
TEST_F(TalvexGameSceneTest, NewGamePlusIsAnnouncedOnce)
{
	world.book.AddFlat("home", 8, 8);
	GameProgress::SetFlag("ending", 1);
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	EXPECT_TRUE(GameProgress::Flag("newgame+"));
	EXPECT_EQ("Somehow, after Vozaduzurizaz was defeated, the enemies all grew in strength.",
		scene.GetHud().GetMessageText());
	scene.GetHud().CloseMessage();
	world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	EXPECT_FALSE(world.scene->GetHud().IsMessageVisible());
}

// Walking off to a map-named ending shows its screen instead of a map.
TEST_F(TalvexGameSceneTest, EndingLinksShowTheirScreens)
{
	const struct {
		const char *target;
		uint32_t held;
		const char *screen;
		const char *mission;
	} rows[] = {
		{"end_north", 0, "winalt 1: Walked North.\nWorld Ended.", "end_north"},
		{"end_north", 48, "winalt 2: Walked North,\nConfidently.", "end_lady"},
		{"end_hole", 0, "winalt 3: Wrong Hole!", "end_hole"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.screen);
		std::string target = row.target;
		world.book.AddFlat("home", 8, 8, [target](TileMapData &data) {
			MapBook::AddObject(data, kObjectExit, target.c_str(), 3, 7, 1, 1);
		});
		GameProgress::ResetGlobal();
		world.game.screens.clear();
		TalvexGameScene &scene = world.Begin();
		ASSERT_TRUE(world.UntilLoaded());
		world.Frames(40);
		scene.GetPlayer().GetStats().heldKind = row.held;
		scene.GetPlayer().SetPosition(world.TileCentre(3, 7));
		world.Frame();
		WalkOutThrough(row.target);
		world.Frames(120);
		EXPECT_EQ(std::vector<std::string>({row.screen}), world.game.screens);
		EXPECT_TRUE(GameProgress::Flag(row.mission));
		EXPECT_STREQ("home", scene.GetLoadedAs());
	}
}

// The pause key opens the pause menu over the game (the world stops and the
// play clock with it); back closes it again.
TEST_F(TalvexGameSceneTest, PauseMenuStopsTheWorldUntilClosed)
{
	world.book.AddFlat("home", 8, 8);
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(40);
	// Return pauses; Escape would also open the world map over the menu.
	world.Press(SDL_SCANCODE_RETURN);
	world.Frame();
	world.Release(SDL_SCANCODE_RETURN);
	ASSERT_TRUE(scene.IsOverlayOpen());
	EXPECT_TRUE(scene.GetPauseMenu().IsOpen());
	EXPECT_TRUE(world.game.IsTimerPaused());
	EXPECT_FALSE(scene.GetHud().IsVisible());
	uint32_t clock = world.game.PlayTimeMs();
	Vec3 before = scene.GetPlayer().transform.position;
	world.Press(SDL_SCANCODE_DOWN);
	world.Frames(30);
	world.Release(SDL_SCANCODE_DOWN);
	EXPECT_EQ(before, scene.GetPlayer().transform.position);
	EXPECT_EQ(clock, world.game.PlayTimeMs());

	world.Press(SDL_SCANCODE_ESCAPE);
	world.Frame();
	world.Release(SDL_SCANCODE_ESCAPE);
	world.Frame();
	EXPECT_FALSE(scene.IsOverlayOpen());
	EXPECT_FALSE(world.game.IsTimerPaused());
	EXPECT_TRUE(scene.GetHud().IsVisible());
	world.Frames(10);
	EXPECT_GT(world.game.PlayTimeMs(), clock);
}

// A script's own panel takes the pause menu's place until it is put back.
TEST_F(TalvexGameSceneTest, OverlayPanelReplacesThePauseMenuUntilCleared)
{
	world.book.AddFlat("home", 8, 8);
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	Entity panel;
	scene.SetOverlayUI(&panel);
	EXPECT_TRUE(scene.IsOverlayOpen());
	EXPECT_EQ(&panel, scene.GetOverlayUI());
	scene.SetOverlayUI(nullptr);
	EXPECT_FALSE(scene.IsOverlayOpen());
	EXPECT_EQ(nullptr, scene.GetOverlayUI());
	EXPECT_EQ(nullptr, panel.container);
}
