#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/EntityContainer.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Input.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "game/GameProgress.h"
#include "game/GameUI.h"
#include "game/TalvexGame.h"
#include "game/UIMiniMap.h"
#include "game/UIWorldMap.h"
#include "game/UIWorldMapScreen.h"
#include "map/WorldMap.h"
#include "support/KeyEvent.h"
#include "support/SharedRenderer.h"
#include "support/TempFolder.h"
#include "support/WindowPicture.h"

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// A small world: the start, a town, a reachable place with its arrow, a
// shortcut, the tower and two other towers, and a far goal. Pixels on a
// 16-pixel grid, so a step is 18 panel units.
const char *const kWorld = R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.10" orientation="orthogonal" width="64" height="64" tilewidth="16" tileheight="16">
 <objectgroup id="2" name="places">
  <object id="1" name="home" x="32" y="32" env="grassland" dragon="homecoin"/>
  <object id="2" name="town" prev="home" x="48" y="32" px="-1" env="grassland"/>
  <object id="3" name="orchard" prev="town" x="48" y="48" py="-1" env="forest" cooler="orchardcooler"/>
  <object id="4" name="cut" prev="home" x="32" y="48" py="-1" shortcut="true"/>
  <object id="5" name="black2" prev="home" x="16" y="32" px="1" env="black"/>
  <object id="6" name="far3" prev="home" x="16" y="16" px="1" env="black"/>
  <object id="7" name="faraway" prev="orchard" x="480" y="480" env="snow"/>
 </objectgroup>
</map>)";

// The game's world-map list read from the test's own file; the progress
// record reset around each test.
class WorldMapPanelTest : public testing::Test {
protected:
	void SetUp() override
	{
		const std::string path = folder.Path("world.tmx");
		TempFolder::WriteBytes(path, std::vector<uint8_t>(kWorld, kWorld + strlen(kWorld)));
		WorldMap::Instance() = WorldMap(path.c_str());
		LoadWorldMap(true);
		GameProgress::ResetGlobal();
	}
	void TearDown() override
	{
		WorldMap::Instance() = WorldMap();
		GameProgress::ResetGlobal();
	}
	void Visit(std::initializer_list<const char *> names)
	{
		GameProgress &progress = GameProgress::Current();
		for (const char *name : names) {
			MapRecord record;
			record.id = HashName(name);
			progress.mapRecords.push_back(record);
			progress.previousMap = progress.currentMap;
			progress.currentMap = record.id;
		}
	}
	// Frames of the markers of a place, in list order.
	static std::vector<uint32_t> FramesOf(const UIWorldMap &map, const char *place)
	{
		std::vector<uint32_t> frames;
		for (size_t i = 0; i < map.GetMarkerCount(); i++)
			if (map.GetMarker(i).location != nullptr && NameEquals(map.GetMarker(i).location->name, place))
				frames.push_back(map.GetMarker(i).frame);
		return frames;
	}

	TempFolder folder;
};

}

// Cells per place state: visited, reachable with an arrow, a shortcut never
// visited hidden (and arrowless), towns and towers, to-find marks, YOU.
TEST_F(WorldMapPanelTest, CellsFollowWhatThePlayerHasSeen)
{
	Visit({"town", "black2", "far3", "home"});
	UIWorldMap map;
	map.Build();
	ASSERT_EQ(0, map.GetCurrentIndex());
	const struct {
		const char *place;
		std::vector<uint32_t> frames;
	} rows[] = {
		{"home", {1, 7, 8}},   // visited; its coin is still to find; YOU
		{"town", {1, 12, 9}},  // visited, entered from home (arrow across), the town
		{"orchard", {4, 13}},  // reachable from town, arrow up-down; its cooler is not marked (not visited)
		{"cut", {23}},         // a shortcut never visited: hidden, no arrow
		{"black2", {1, 12}},   // an earlier other tower: no tower icon
		{"far3", {1, 12, 5}},  // the last visited other tower
		{"faraway", {23}},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.place);
		EXPECT_EQ(row.frames, FramesOf(map, row.place));
	}
	// The arrow sits a step toward where the place is entered from.
	for (size_t i = 0; i < map.GetMarkerCount(); i++) {
		const WorldMapMarker &m = map.GetMarker(i);
		if (m.frame == UIWorldMap::kFrameArrowAcross && NameEquals(m.location->name, "town")) {
			EXPECT_EQ(map.GetMarker(1).basePosition + Vec3(18.0f, 0.0f, 0.0f), m.basePosition);
		}
	}

	// After the ending, unvisited places get their marks too.
	GameProgress::SetFlag("ending", 1);
	map.Build();
	EXPECT_EQ(std::vector<uint32_t>({4, 13, 7}), FramesOf(map, "orchard"));
}

// The minimap's radius: a goal beyond it is held 88 units from the centre
// and blinks; everything else beyond it is left out.
TEST_F(WorldMapPanelTest, TheGoalIsHeldAtTheEdgeAndBlinks)
{
	Visit({"home"});
	GameProgress::Current().waypoint = HashName("faraway");
	UIWorldMap map;
	map.radius = 100.0f;
	map.blinkGoal = 1;
	map.bob = 0;
	map.Build();
	ASSERT_EQ(6, map.GetGoalIndex());
	size_t goalMarker = map.GetMarkerCount() - 1;
	ASSERT_EQ(UIWorldMap::kFrameGoal, map.GetMarker(goalMarker).frame);
	const Vec3 centre = map.GetMarker(0).basePosition;
	const struct {
		float time;
		bool drawn;
	} times[] = {{0.1f, false}, {0.3f, true}, {0.6f, false}, {0.8f, true}};
	float now = 0.0f;
	for (const auto &t : times) {
		SCOPED_TRACE(t.time);
		map.Update(t.time - now);
		now = t.time;
		Vec3 p;
		EXPECT_EQ(t.drawn, map.PlaceMarker(goalMarker, p));
		if (t.drawn) {
			EXPECT_EQ(centre + Vec3(88.0f, 88.0f, 0.0f), p);
		}
	}
	Vec3 p;
	EXPECT_FALSE(map.PlaceMarker(6, p)) << "the far place itself is left out";
	EXPECT_TRUE(map.PlaceMarker(0, p));
}

// A rebuild takes the markers of the last build again instead of new ones,
// and each comes out as a new marker would: after a game with more places
// seen, the board of a younger game matches one built from nothing.
TEST_F(WorldMapPanelTest, ARebuildReusesItsMarkersAndMatchesANewBoard)
{
	Visit({"town", "black2", "far3", "home"});
	GameProgress::Current().waypoint = HashName("faraway");
	UIWorldMap map;
	map.Build();
	std::vector<const WorldMapMarker *> earlier;
	for (size_t i = 0; i < map.GetMarkerCount(); i++)
		earlier.push_back(&map.GetMarker(i));

	GameProgress::ResetGlobal();
	Visit({"home", "town"});
	map.Build();
	UIWorldMap fresh;
	fresh.Build();
	ASSERT_EQ(fresh.GetMarkerCount(), map.GetMarkerCount());
	ASSERT_LE(map.GetMarkerCount(), earlier.size()) << "the younger game needs fewer markers";
	EXPECT_EQ(fresh.GetCurrentIndex(), map.GetCurrentIndex());
	EXPECT_EQ(fresh.GetGoalIndex(), map.GetGoalIndex());
	EXPECT_EQ(fresh.GetExtent(), map.GetExtent());
	for (size_t i = 0; i < map.GetMarkerCount(); i++) {
		SCOPED_TRACE(i);
		const WorldMapMarker &got = map.GetMarker(i);
		const WorldMapMarker &want = fresh.GetMarker(i);
		EXPECT_NE(earlier.end(), std::find(earlier.begin(), earlier.end(), &got)) << "a new marker was made";
		EXPECT_EQ(want.location, got.location);
		EXPECT_EQ(want.frame, got.frame);
		EXPECT_EQ(want.basePosition, got.basePosition);
		EXPECT_EQ(want.markerScale, got.markerScale);
		EXPECT_EQ(want.arrowX, got.arrowX);
		EXPECT_EQ(want.arrowY, got.arrowY);
		EXPECT_EQ(want.visited, got.visited);
		EXPECT_EQ(want.reached, got.reached);
		EXPECT_EQ(want.GetUVRect(), got.GetUVRect());
		EXPECT_EQ(want.GetSize(), got.GetSize());
		EXPECT_EQ(want.GetPivot(), got.GetPivot());
		EXPECT_EQ(want.transform.position, got.transform.position);
		EXPECT_EQ(want.transform.scale, got.transform.scale);
	}
}

// No world map: nothing is built or drawn; a missing index makes no marker
// and a missing marker has no position.
TEST_F(WorldMapPanelTest, AnEmptyWorldMapDrawsNothing)
{
	WorldMap::Instance() = WorldMap(folder.Path("missing.tmx").c_str());
	testing::internal::CaptureStdout();
	LoadWorldMap(true);
	UIWorldMap map;
	map.Build();
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(0u, map.GetMarkerCount());
	EXPECT_EQ(nullptr, map.AddMarkerAt(UIWorldMap::kNoIndex, 8, 1.0f));
	EXPECT_EQ(nullptr, map.AddMarkerAt(3, 8, 1.0f));
	EXPECT_EQ(Vec3(0.0f), map.MarkerPosition(0));
	Vec3 p;
	EXPECT_FALSE(map.PlaceMarker(0, p));
}

// The pan stays within 80 across and 250 up and down, also after centring
// put it further; a screen no container holds does not close.
TEST_F(WorldMapPanelTest, TheScreenPansWithinItsLimits)
{
	Visit({"home", "faraway"});
	Input input;
	UIWorldMapScreen screen;
	screen.SetInput(&input);
	screen.Init();
	screen.Refresh();
	EXPECT_GT(std::abs(screen.GetOffset().y), 250.0f) << "centring on a far place";
	screen.Update(kFrame);
	EXPECT_LE(std::abs(screen.GetOffset().x), 80.0f);
	EXPECT_LE(std::abs(screen.GetOffset().y), 250.0f);
	for (SDL_Scancode key : {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP, SDL_SCANCODE_DOWN}) {
		input.HandleEvent(KeyEvent(true, key));
		for (int i = 0; i < 600; i++)
			screen.Update(kFrame);
		if (key == SDL_SCANCODE_LEFT || key == SDL_SCANCODE_RIGHT) {
			EXPECT_FLOAT_EQ(80.0f, std::abs(screen.GetOffset().x));
		} else {
			EXPECT_FLOAT_EQ(250.0f, std::abs(screen.GetOffset().y));
		}
		input.HandleEvent(KeyEvent(false, key));
		input.EndFrame();
	}
	input.HandleEvent(KeyEvent(true, SDL_SCANCODE_SPACE));
	screen.Update(kFrame); // held by nothing: stays
	EXPECT_EQ(nullptr, screen.container);

	EntityContainer holder;
	holder.AddEntity(&screen);
	screen.Update(kFrame);
	EXPECT_EQ(nullptr, screen.container) << "action 1 closes it";
}

// The minimap: hidden on the first map, higher with the clock, and growing
// for ten seconds on arriving somewhere new.
// The minimap reads the same small world.
namespace {
class MiniMapTest : public WorldMapPanelTest {};
}

TEST_F(MiniMapTest, GrowsOnArrivalAndClearsTheClock)
{
	UIMiniMap minimap;
	minimap.Init();
	minimap.Start();
	Visit({"home"});
	minimap.Refresh();
	EXPECT_FALSE(minimap.IsShown()) << "no previous map";
	Visit({"town"});
	minimap.Refresh();
	EXPECT_TRUE(minimap.IsShown());
	EXPECT_FLOAT_EQ(0.0f, minimap.GetOffset().y);
	minimap.Update(kFrame);
	EXPECT_NEAR(10.0f, minimap.GetHighlightTime(), kFrame * 1.5f);
	for (int i = 0; i < 120; i++)
		minimap.Update(kFrame);
	EXPECT_NEAR(1.3f, minimap.GetZoom(), 0.01f);
	EXPECT_EQ(1, minimap.GetMap().blinkGoal);
	for (int i = 0; i < 600; i++)
		minimap.Update(kFrame);
	EXPECT_NEAR(1.0f, minimap.GetZoom(), 0.01f);
	EXPECT_EQ(0, minimap.GetMap().blinkGoal);

	// With the play clock shown it sits 32 units higher, compass and all.
	struct TimedGame : TalvexGame {
		TimedGame() { timedMode = 1; }
	} timed;
	const Vec3 compassBefore = minimap.GetCompass().transform.position;
	minimap.Refresh();
	minimap.Update(kFrame);
	EXPECT_FLOAT_EQ(-32.0f, minimap.GetOffset().y);
	EXPECT_NEAR(compassBefore.y - 32.0f, minimap.GetCompass().transform.position.y, 0.01f);
}

namespace {

// The renderer with the small world of the tests as the game's world map.
class WorldMapPicture : public SharedRendererTest {
protected:
	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		const std::string path = folder.Path("world.tmx");
		TempFolder::WriteBytes(path, std::vector<uint8_t>(kWorld, kWorld + strlen(kWorld)));
		WorldMap::Instance() = WorldMap(path.c_str());
		LoadWorldMap(true);
		GameProgress::ResetGlobal();
		GameProgress &progress = GameProgress::Current();
		for (const char *name : {"home", "town", "black2", "orchard"}) {
			MapRecord record;
			record.id = HashName(name);
			progress.mapRecords.push_back(record);
			progress.previousMap = progress.currentMap;
			progress.currentMap = record.id;
		}
		progress.waypoint = HashName("faraway");
	}
	void TearDown() override
	{
		WorldMap::Instance() = WorldMap();
		GameProgress::ResetGlobal();
		SharedRendererTest::TearDown();
	}
	// Lit pixels (sum above 150) in a rectangle of the picture.
	int LitIn(int x0, int y0, int x1, int y1) const
	{
		int lit = 0;
		for (int y = y0; y < y1; y++)
			for (int x = x0; x < x1; x++) {
				Rgb at;
				if (picture.Average(x, y, at) && at.Sum() > 150)
					lit++;
			}
		return lit;
	}
	void Draw(Entity &entity, const char *file)
	{
		renderer->BeginFrame();
		entity.Render();
		renderer->EndFrame();
		picture.ReadWindow();
		const std::string path = GetBaseDirectory() + file;
		EXPECT_TRUE(picture.Save(path)) << path;
	}

	TempFolder folder;
	WindowPicture picture{1};
};

}

namespace {
class MiniMapPicture : public WorldMapPicture {};
}

TEST_F(MiniMapPicture, ShowsThePlacesAroundThePlayerAndTheCompass)
{
	if (IsSkipped())
		return;
	GameProgress::SetFlag("shotmap", 1);
	Scene scene;
	scene.state = kSceneActive;
	GameUI hud;
	scene.AddEntity(&hud);
	hud.RefreshShotMap();
	for (int i = 0; i < 30; i++)
		scene.Update(kFrame);
	Draw(hud, "minimap.png");
	EXPECT_GT(LitIn(17, 271, 83, 337), 200) << "the compass";
	EXPECT_GT(LitIn(40, 240, 160, 360), 400) << "markers around the player";
	EXPECT_LT(LitIn(250, 100, 550, 250), 10) << "nothing in the middle of the screen";
	scene.RemoveEntity(&hud);
}

TEST_F(WorldMapPicture, ScreenShowsMarkersLegendAndTitle)
{
	if (IsSkipped())
		return;
	Scene scene;
	scene.state = kSceneActive;
	UIWorldMapScreen screen;
	scene.AddEntity(&screen);
	screen.Refresh();
	for (int i = 0; i < 10; i++)
		scene.Update(kFrame);
	Draw(screen, "worldmap_screen.png");
	EXPECT_GT(LitIn(16, 16, 200, 50), 100) << "the title";
	EXPECT_GT(LitIn(16, 219, 120, 337), 150) << "the legend";
	EXPECT_GT(LitIn(80, 110, 200, 220), 500) << "the markers";
	EXPECT_GT(LitIn(480, 320, 590, 350), 30) << "CONTINUE";
	scene.RemoveEntity(&screen);
}
