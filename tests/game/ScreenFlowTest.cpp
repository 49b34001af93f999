#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/MusicPlayer.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Input.h"
#include "engine/core/NameHash.h"
#include "map/MapPreloader.h"
#include "objects/CollectableKind.h"
#include "map/TileMap.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/ScreenCountUp.h"
#include "game/ScreenCredits.h"
#include "game/ScreenCreditsFR.h"
#include "game/ScreenDied.h"
#include "game/ScreenEndChoice.h"
#include "game/ScreenIntro.h"
#include "game/ScreenLoadGame.h"
#include "game/ScreenPreIntro.h"
#include "game/ScreenStartup.h"
#include "game/ScreenTitle.h"
#include "game/ScreenWinAlt.h"
#include "game/ScreenWon.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "game/TalvexGameScene.h"
#include "support/ScreenNotingGame.h"
#include "game/UIPause.h"
#include "support/KeyEvent.h"
#include "support/SharedRenderer.h"
#include "support/SaveFolder.h"
#include "support/TempFolder.h"
#include "support/WindowPicture.h"

namespace {

uint32_t g_now = 0;
uint32_t FakeTicks() { return g_now; }
void NoDelay(uint32_t) {}

// A game of the test's own that writes down the stages it is asked for and
// notes play instead of building it, unless the test plays for real.
class FlowGame : public ScreenNotingGame {
public:
	void SetPlayScene() override
	{
		Note("play");
		if (buildsPlay)
			TalvexGame::SetPlayScene();
	}

	void SetEndedSlot(bool on) { anySlotEnded = on ? 1 : 0; }
	std::vector<std::string> &route = screens;
	bool buildsPlay = false;
};

using Route = std::vector<std::string>;

class ScreenFlowTest : public SharedRendererTest {
protected:
	static constexpr uint32_t kFrameMs = 17;
	static constexpr uint32_t kLongFrameMs = 25; // the longest frame the step takes as it is

	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		folder.Use();
		Input::Get()->Reset();
		g_now = 1000;
		game.SetClock(&FakeTicks, &NoDelay);
		game.SetFrameRate(TalvexGame::kFrameRate);
		std::filesystem::create_directories(GetBaseDirectory() + "screens");
	}
	void TearDown() override
	{
		game.DropScenes();
		Input::Get()->Reset();
		SaveFolder::Release();
		SharedRendererTest::TearDown();
	}

	void Frames(int count)
	{
		for (int i = 0; i < count; i++) {
			g_now += frameMs;
			game.RunFrame();
		}
	}
	// Runs frames until the current scene is a T; false after maxFrames.
	template <class T> T *Until(int maxFrames = 4000)
	{
		for (int i = 0; i < maxFrames; i++) {
			if (T *scene = dynamic_cast<T *>(game.GetCurrentScene()))
				return scene;
			Frames(1);
		}
		return dynamic_cast<T *>(game.GetCurrentScene());
	}
	// A key pressed for one frame, then let go, then time for the page it
	// built to take presses.
	void Tap(SDL_Scancode key)
	{
		Input::Get()->HandleEvent(KeyEvent(true, key));
		Frames(1);
		Input::Get()->HandleEvent(KeyEvent(false, key));
		Frames(8);
	}
	void Taps(std::initializer_list<SDL_Scancode> keys)
	{
		for (SDL_Scancode key : keys)
			Tap(key);
	}
	// Draws the current scene into the window, keeps it as screens/<name>.png
	// and returns how many sampled spots are not black.
	int Shoot(const char *name)
	{
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		if (game.GetCurrentScene() != nullptr)
			game.GetCurrentScene()->Render();
		renderer->EndFrame();
		WindowPicture picture(3);
		picture.ReadWindow();
		const std::string path = GetBaseDirectory() + "screens/" + name + ".png";
		EXPECT_TRUE(picture.Save(path)) << path;
		int lit = 0;
		for (int y = 10; y < WindowPicture::kHeight - 10; y += 10)
			for (int x = 10; x < WindowPicture::kWidth - 10; x += 10) {
				Rgb c;
				if (picture.Average(x, y, c) && c.Sum() > 60)
					lit++;
			}
		return lit;
	}
	// A save in the slot with play time, standing in town.
	void SavePlayedSlot(uint8_t slot, uint32_t seconds)
	{
		GameProgress::ResetGlobal();
		GameProgress::SetCurrentMap("town");
		GameProgress::SetPlaySeconds(seconds);
		ASSERT_TRUE(GameProgress::Write(GameProgress::SaveFileName(slot).c_str()));
		GameProgress::ResetGlobal();
	}
	void PlayIntro(bool ortho, bool skip, const char *music, const char *picture)
	{
		renderer->SetPostModeIndex(ortho ? 1 : 0);
		ASSERT_EQ(ortho, renderer->IsCurrentPostModeOrtho());
		game.SetEndedSlot(skip);
		game.ShowPreIntro();
		ASSERT_NE(nullptr, Until<ScreenPreIntro>(3));
		Frames(10);
		Tap(SDL_SCANCODE_RETURN);
		ScreenIntro *intro = Until<ScreenIntro>(3);
		ASSERT_NE(nullptr, intro);
		EXPECT_STREQ(music, intro->GetMusicFile());
		EXPECT_EQ(skip, intro->HasSkipper());
		frameMs = kLongFrameMs; // a long crawl, in fewer frames
		Frames(6 * 40);
		EXPECT_EQ(ScreenIntro::kCrawl, intro->GetState());
		if (picture != nullptr) {
			EXPECT_GT(Shoot(picture), 10);
		}
		auto played = [this] { return std::count(game.route.begin(), game.route.end(), "play"); };
		if (skip) {
			Input::Get()->HandleEvent(KeyEvent(true, SDL_SCANCODE_SPACE));
			Frames(2 * 40);
			EXPECT_EQ(0, played());
			Frames(50);
			Input::Get()->HandleEvent(KeyEvent(false, SDL_SCANCODE_SPACE));
			Frames(1);
		} else {
			for (int i = 0; i < 60 * 60 && played() == 0; i++)
				Frames(1);
		}
		EXPECT_EQ(Route({"preintro", "intro", "play"}), game.route);
		renderer->SetPostModeIndex(0);
	}
	// A save with play time in the file, standing on the map (also its
	// save point).
	void SavePlayedGame(const std::string &file, const char *map)
	{
		GameProgress::ResetGlobal();
		GameProgress::SetCurrentMap(map);
		GameProgress::SetStartMap(HashName(map));
		GameProgress::SetPlaySeconds(300);
		ASSERT_TRUE(GameProgress::Write(file.c_str()));
		GameProgress::ResetGlobal();
	}
	static std::vector<std::string> Labels(const UIOptions &list)
	{
		std::vector<std::string> labels;
		for (size_t i = 0; i < list.GetOptionCount(); i++)
			labels.push_back(list.GetOption(i).label);
		return labels;
	}
	// Down until the cursor is on the label, then Return; false when the
	// page has no such option.
	bool Choose(UIOptions &list, const std::string &label)
	{
		const std::vector<std::string> labels = Labels(list);
		for (size_t i = 0; i < labels.size() && labels[list.GetCursor()] != label; i++)
			Tap(SDL_SCANCODE_DOWN);
		if (labels.empty() || labels[list.GetCursor()] != label)
			return false;
		Tap(SDL_SCANCODE_RETURN);
		return true;
	}
	// From the title's main page by keys: "Play Game", then "Other Saves";
	// the list of that page, or null when the way is not there.
	UIOptions *OtherSavesPage()
	{
		ScreenTitle *title = Until<ScreenTitle>(3);
		if (title == nullptr)
			return nullptr;
		Frames(10);
		UIOptions &list = title->GetMenu().GetOptions();
		if (!Choose(list, "Play Game") || !Choose(list, "Other Saves"))
			return nullptr;
		return &list;
	}
	// Chooses the save with the label and goes through the load screen into
	// play until its first map has loaded.
	TalvexGameScene *PlaySave(UIOptions &list, const std::string &label)
	{
		if (!Choose(list, label))
			return nullptr;
		ScreenLoadGame *load = Until<ScreenLoadGame>(3);
		for (int i = 0; load != nullptr && i < 600 && load->GetPhase() < 2; i++)
			Frames(1);
		Tap(SDL_SCANCODE_SPACE);
		TalvexGameScene *play = Until<TalvexGameScene>(3);
		for (int i = 0; play != nullptr && i < 600 && (play->IsMapLoading() || play->GetHud().IsBusy()); i++)
			Frames(1);
		return play;
	}
	// The title screen reached through the start-up logos.
	ScreenTitle *ToTitle()
	{
		game.ShowStartup();
		ScreenTitle *title = Until<ScreenTitle>();
		Frames(10); // the menu takes presses a tenth of a second after it is built
		return title;
	}

	SaveFolder folder;
	FlowGame game;
	uint32_t frameMs = kFrameMs;
};

}

TEST_F(ScreenFlowTest, StartUpShowsItsLogosThenTheTitleOverTheTownMap)
{
	game.ShowStartup();
	ScreenStartup *startup = Until<ScreenStartup>(2);
	ASSERT_NE(nullptr, startup);
	const uint32_t begun = g_now;
	Frames(30);
	EXPECT_TRUE(startup->GetEngineLogo().IsVisible());
	EXPECT_FALSE(startup->GetTitleLogo().IsVisible());
	EXPECT_GT(Shoot("startup"), 10);
	ScreenTitle *title = Until<ScreenTitle>();
	ASSERT_NE(nullptr, title);
	// 5001 + 101 + 2701 ms, and a frame or three of rounding at each step.
	const uint32_t took = g_now - begun;
	EXPECT_GE(took, 5001u + 101u + 2701u);
	EXPECT_LE(took, 5001u + 101u + 2701u + 6 * kFrameMs);
	ASSERT_NE(nullptr, title->GetTileMap());
	EXPECT_EQ(MapFileHash("maps/town.tmx"), MapPreloader::Instance()->GetMapId());
	Frames(20);
	EXPECT_EQ(kPhaseLoaded, title->GetTileMap()->GetLoadState().phase);
	EXPECT_GT(Shoot("title"), 100);
	EXPECT_EQ(Route({"startup", "title"}), game.route);
	// With no save the only option begins a game in slot 1 at Intended.
	ASSERT_EQ(1u, title->GetMenu().GetOptions().GetOptionCount());
	EXPECT_STREQ("Begin Game", title->GetMenu().GetOptions().GetOption(0).label);
}

TEST_F(ScreenFlowTest, NewGameInSlotTwoAtEachDifficulty)
{
	const struct {
		const char *name;
		std::vector<SDL_Scancode> keys; // on the Difficulty page
		int difficulty;
		const char *picture;
	} rows[] = {
		{"Intended", {SDL_SCANCODE_RETURN}, 1, "menu_difficulty"},
		{"Relaxed", {SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN}, 0, nullptr},
		{"Brutal after four refusals", {SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN, SDL_SCANCODE_DOWN,
			SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN}, 2, "menu_brutal"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		SavePlayedSlot(0, 300);
		Settings::Instance().SetValue(kSettingLastSaveSlot, 0); // the picker opens on the slot played last
		std::error_code ignored;
		std::filesystem::remove(GameProgress::SaveFileName(1), ignored);
		ScreenTitle *title = ToTitle();
		ASSERT_NE(nullptr, title);
		UIOptions &list = title->GetMenu().GetOptions();
		EXPECT_STREQ("Play Game", list.GetOption(0).label);
		Tap(SDL_SCANCODE_RETURN);
		ASSERT_STREQ("Pick a Game", list.GetTitle());
		EXPECT_STREQ("2. New Game", list.GetOption(1).label);
		if (row.picture != nullptr && std::strcmp(row.picture, "menu_difficulty") == 0) {
			EXPECT_GT(Shoot("menu_pick"), 10);
		}
		EXPECT_EQ(0, list.GetCursor());
		Tap(SDL_SCANCODE_DOWN);
		EXPECT_EQ(1, list.GetCursor());
		Tap(SDL_SCANCODE_RETURN);
		ASSERT_STREQ("Difficulty", list.GetTitle());
		for (size_t i = 0; i < row.keys.size(); i++) {
			if (row.picture != nullptr && i + 1 == row.keys.size()) {
				EXPECT_GT(Shoot(row.picture), 10);
			}
			Tap(row.keys[i]);
		}
		ASSERT_NE(nullptr, Until<ScreenPreIntro>(3));
		EXPECT_EQ(1, GameProgress::SaveSlot());
		EXPECT_EQ(row.difficulty, GameProgress::Difficulty());
		EXPECT_EQ(1, Settings::Instance().Get()[kSettingLastSaveSlot]);
		EXPECT_EQ(1, TempFolder::ReadBytes(folder.Path("settings.dat"))[kSettingLastSaveSlot]);
		game.route.clear();
	}
}

TEST_F(ScreenFlowTest, ContinueAndAnotherSaveGoThroughTheLoadScreenIntoPlay)
{
	SavePlayedSlot(0, 300);
	ScreenTitle *title = ToTitle();
	ASSERT_NE(nullptr, title);
	UIOptions &list = title->GetMenu().GetOptions();
	Taps({SDL_SCANCODE_RETURN, SDL_SCANCODE_RETURN});
	ASSERT_STREQ("Game #1", list.GetTitle());
	Tap(SDL_SCANCODE_RETURN);
	ScreenLoadGame *load = Until<ScreenLoadGame>(3);
	ASSERT_NE(nullptr, load);
	EXPECT_TRUE(load->ShowsTips());
	Frames(60);
	EXPECT_GT(Shoot("load"), 10);
	// An action before phase 2 does nothing; at phase 2 it starts play.
	Tap(SDL_SCANCODE_SPACE);
	EXPECT_EQ(0, std::count(game.route.begin(), game.route.end(), "play"));
	Frames(300);
	EXPECT_EQ(2, load->GetPhase());
	EXPECT_STREQ("READY: Press to begin!", load->GetCaption().GetText());
	EXPECT_EQ(1, load->TableLoads());
	Tap(SDL_SCANCODE_SPACE);
	EXPECT_EQ("play", game.route.back());
	EXPECT_EQ(HashName("town"), GameProgress::Current().currentMap);

	// Another save, listed by its file name, is reached with keys alone from
	// the title and loaded by its whole name into play.
	GameProgress::ResetGlobal();
	GameProgress::SetCurrentMap("home");
	ASSERT_TRUE(GameProgress::Write(folder.Path("my_old-run.sav").c_str()));
	GameProgress::ResetGlobal();
	game.route.clear();
	game.ShowTitle();
	title = Until<ScreenTitle>(3);
	ASSERT_NE(nullptr, title);
	Frames(10);
	UIOptions &menu = title->GetMenu().GetOptions();
	Tap(SDL_SCANCODE_RETURN);
	ASSERT_STREQ("Pick a Game", menu.GetTitle());
	ASSERT_EQ(5u, menu.GetOptionCount());
	EXPECT_STREQ("Other Saves", menu.GetOption(3).label);
	EXPECT_STREQ("Load another save file.", menu.GetOption(3).description);
	EXPECT_STREQ("Back", menu.GetOption(4).label);
	Taps({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN});
	EXPECT_EQ(3, menu.GetCursor());
	Tap(SDL_SCANCODE_RETURN);
	ASSERT_EQ(1u, menu.GetOptionCount());
	EXPECT_STREQ("my old run", menu.GetOption(0).label);
	Tap(SDL_SCANCODE_RETURN);
	ScreenLoadGame *other = Until<ScreenLoadGame>(3);
	ASSERT_NE(nullptr, other);
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
	for (int i = 0; i < 600 && other->GetPhase() < 2; i++)
		Frames(1);
	Tap(SDL_SCANCODE_SPACE);
	EXPECT_EQ(Route({"title", "load", "play"}), game.route);
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
}

TEST_F(ScreenFlowTest, PickAGameTellsAnOldLayoutSaveToStartAnew)
{
	// Slot 1 holds a save in the old layout: no tag, the current map first,
	// no maps, no flags, then the stats and the rest.
	const uint16_t town = HashName("town");
	const std::vector<uint8_t> old = {
		(uint8_t)town, (uint8_t)(town >> 8), // current map
		0, 0,                                // previous map
		0, 0,                                // map records
		0, 0,                                // flags
		6, 6, 0, 1, 0, 0, 0, 0,              // stats
		0, 0,                                // exit span
		0, 0,                                // start map
		0x2C, 0x01, 0, 0,                    // play seconds 300
		0, 0,                                // deaths
		1, 0, 1, 0,                          // difficulty, respawn, both lowest
	};
	TempFolder::WriteBytes(GameProgress::SaveFileName(0), old);
	SavePlayedSlot(1, 300);
	ScreenTitle *title = ToTitle();
	ASSERT_NE(nullptr, title);
	UIOptions &list = title->GetMenu().GetOptions();
	Tap(SDL_SCANCODE_RETURN);
	ASSERT_STREQ("Pick a Game", list.GetTitle());
	EXPECT_STREQ("Old save - you should start anew.", list.GetOption(0).description);
	EXPECT_STREQ("Resume Intended game.", list.GetOption(1).description);
	EXPECT_STREQ("Start a fresh game!", list.GetOption(2).description);
}

TEST_F(ScreenFlowTest, PreIntroYesPlaysTheIntroToItsEnd)
{
	ASSERT_NO_FATAL_FAILURE(PlayIntro(false, false, "data/intro.it", "intro"));
}

TEST_F(ScreenFlowTest, PreIntroYesInAnOrthographicLookPlaysAFlatIntro)
{
	ASSERT_NO_FATAL_FAILURE(PlayIntro(true, false, "data/intro8.it", nullptr));
}

TEST_F(ScreenFlowTest, AFinishedPlayerMayHoldAButtonToSkipTheIntro)
{
	ASSERT_NO_FATAL_FAILURE(PlayIntro(false, true, "data/intro.it", nullptr));
}

TEST_F(ScreenFlowTest, PreIntroNoGoesStraightIntoPlay)
{
	game.ShowPreIntro();
	ASSERT_NE(nullptr, Until<ScreenPreIntro>(3));
	Frames(10);
	EXPECT_GT(Shoot("menu_preintro"), 10);
	Taps({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN});
	EXPECT_EQ(Route({"preintro", "play"}), game.route);
}

TEST_F(ScreenFlowTest, DeathShowsItsBannerThenContinuesTheSlot)
{
	SavePlayedSlot(0, 90);
	GameProgress::LoadCurrentSlot();
	for (int difficulty : {1, 2}) {
		SCOPED_TRACE(difficulty);
		GameProgress::SetDifficulty((uint32_t)difficulty);
		GameProgress::SetRespawnLevel((uint32_t)difficulty);
		game.route.clear();
		ScreenDied::SetBannerCounter(17);
		game.ShowDied();
		ScreenDied *died = Until<ScreenDied>(3);
		ASSERT_NE(nullptr, died);
		EXPECT_STREQ("SKEWERED", died->GetBanner().GetText());
		const float speed = difficulty == 2 ? 2.0f : 1.0f;
		EXPECT_EQ(speed, died->GetSpeed());
		Frames((int)(1.0f / speed * 60));
		EXPECT_FALSE(died->GetYouDied().IsActive() && died->GetYouDied().lifeState == kLifeRunning);
		Frames((int)(1.0f / speed * 60));
		EXPECT_EQ((uint32_t)kLifeRunning, died->GetYouDied().lifeState);
		if (difficulty == 1) {
			EXPECT_GT(Shoot("died"), 5);
		}
		ASSERT_NE(nullptr, Until<ScreenLoadGame>((int)(4.0f / speed * 60)));
		EXPECT_EQ(Route({"died", "load"}), game.route);
	}
	// The next death shows the next banner, round the table.
	EXPECT_STREQ("DED", ScreenDied::PickDeathBanner());
}

TEST_F(ScreenFlowTest, QuestCompleteCountsUpThenVictoryCreditsAndBothEndChoices)
{
	for (uint8_t choice : {0, 1}) {
		SCOPED_TRACE((int)choice);
		SavePlayedSlot(0, 1200);
		GameProgress::LoadCurrentSlot();
		GameProgress::SetFlag("ending", 1);
		GameProgress::Current().lowestDifficulty = 1;
		// The first time round every secret was found: all 23 collectables
		// and the largest cooler (capacity level 7).
		int secrets = 0;
		if (choice == 0) {
			for (uint32_t set = 0; set < CollectableKind::kSetCount; set++) {
				const CollectableKind *kind = CollectableKind::Get(set);
				for (uint8_t n = 1; n <= kind->count; n++)
					GameProgress::SetFlagId(CollectableFlagKey(kind->baseFlag, n), 1);
				secrets += kind->count;
			}
			GameProgress::Current().stats.capacityLevel = 7;
			secrets += 7;
			ASSERT_EQ(30, secrets);
		}
		GameProgress::SaveCurrentSlot();
		game.StartPlay();
		game.route.clear();
		game.ShowQuestComplete();
		ScreenCountUp *tally = Until<ScreenCountUp>(3);
		ASSERT_NE(nullptr, tally);
		Frames(100);
		EXPECT_STREQ("STORY", tally->GetLabel(0).GetText());
		EXPECT_STREQ("", tally->GetLabel(1).GetText());
		Frames(200);
		EXPECT_STREQ("SECRETS", tally->GetLabel(2).GetText());
		EXPECT_EQ(std::to_string(secrets) + "/33", tally->GetValue(2).GetText());
		if (choice == 0) {
			EXPECT_GT(Shoot("quest_complete"), 10);
		}
		ScreenWon *won = Until<ScreenWon>(300);
		ASSERT_NE(nullptr, won);
		EXPECT_STREQ("QUEST COMPLETE!", won->GetTitle().GetText());
		EXPECT_TRUE(Achievements::Instance().IsUnlocked(HashName("complete_intended")));
		// A victory within the hour completes "speedy".
		EXPECT_TRUE(GameProgress::Flag("speedy"));
		Tap(SDL_SCANCODE_SPACE); // too early
		EXPECT_EQ(Route({"questcomplete", "won"}), game.route);
		Frames(5 * 60);
		if (choice == 0) {
			EXPECT_GT(Shoot("won"), 10);
		}
		Tap(SDL_SCANCODE_SPACE);
		ScreenCredits *credits = Until<ScreenCredits>(3);
		ASSERT_NE(nullptr, credits);
		EXPECT_FALSE(credits->HasSkipper());
		Frames(120);
		if (choice == 0) {
			EXPECT_GT(Shoot("credits"), 5);
		}
		for (int i = 0; i < 400 && credits->GetCrawl().Remaining() >= ScreenCredits::kActionEndsWithin; i++)
			Frames(10);
		Tap(SDL_SCANCODE_SPACE);
		ScreenEndChoice *end = Until<ScreenEndChoice>(3);
		ASSERT_NE(nullptr, end);
		Frames(10);
		if (choice == 0) {
			EXPECT_GT(Shoot("menu_endchoice"), 5);
		}
		if (choice == 1)
			Tap(SDL_SCANCODE_DOWN);
		Tap(SDL_SCANCODE_RETURN);
		const Route expected = choice == 0 ? Route({"questcomplete", "won", "credits theme", "endchoice", "load"})
		                                   : Route({"questcomplete", "won", "credits theme", "endchoice", "title"});
		EXPECT_EQ(expected, game.route);
		Frames(2);
		game.route.clear();
	}
}

TEST_F(ScreenFlowTest, EachEndingShowsItsSentenceThenItsNextScreen)
{
	const struct {
		int ending;
		const char *sentence;
		Route route;
	} rows[] = {
		{1, "Walked North.\nWorld Ended.", {"ending 1", "startup"}},
		{2, "Walked North,\nConfidently.", {"ending 2", "startup"}},
		{3, "Wrong Hole!", {"ending 3", "startup"}},
		{4, "ATE THE ENEMY", {"ending 4", "startup"}},
		{5, "Enigmania!", {"ending 5", "creditsfr"}},
	};
	GameProgress::SetCurrentMap("town");
	for (const auto &row : rows) {
		SCOPED_TRACE(row.ending);
		game.route.clear();
		game.ShowWinAlt(row.sentence, row.ending);
		ScreenWinAlt *screen = Until<ScreenWinAlt>(3);
		ASSERT_NE(nullptr, screen);
		EXPECT_EQ("ENDING " + std::to_string(row.ending) + " of 5", std::string(screen->GetHeading().GetText()));
		EXPECT_STREQ(row.sentence, screen->GetMessage().GetText());
		EXPECT_TRUE(game.IsTimerPaused());
		Frames(60);
		EXPECT_GT(Shoot(("ending" + std::to_string(row.ending)).c_str()), 5);
		Frames(3 * 60 + 10);
		EXPECT_EQ(row.route, game.route);
	}
	// The French credits end by sending the save home.
	ScreenCreditsFR *french = Until<ScreenCreditsFR>(3);
	ASSERT_NE(nullptr, french);
	EXPECT_GT(french->GetCrawl().LineCount(), 5u);
	french->Finish();
	french->Finish();
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
	EXPECT_EQ(HashName("home"), GameProgress::StartMap());
	GameProgress saved;
	ASSERT_TRUE(GameProgress::ReadSlot(saved, 0));
	EXPECT_EQ(HashName("home"), saved.currentMap);
	EXPECT_EQ(1, std::count(game.route.begin(), game.route.end(), "title"));
}

namespace {

// A bare screen holding a panel stack, for the menus that play pushes.
class StackScreen : public Screen {
public:
	void Start() override { AddEntity(&stack); }
	UIStack stack;
};

// Stands for a panel the pause menu pushes (the quests, the world map).
class MarkPanel : public Entity {
public:
	MarkPanel() { drawLayer = kInterfaceLayer; }
};

}

TEST_F(ScreenFlowTest, SettingsChosenOnTheTitleSurviveAReload)
{
	SavePlayedSlot(0, 300);
	ScreenTitle *title = ToTitle();
	ASSERT_NE(nullptr, title);
	Taps({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN});
	UIOptions &settings = title->GetMenu().GetSettingsMenu().GetOptions();
	ASSERT_STREQ("Settings", settings.GetTitle());
	EXPECT_STREQ("Fullscreened", settings.GetOption(2).label);
	EXPECT_GT(Shoot("menu_settings"), 5);
	Tap(SDL_SCANCODE_RETURN);
	ASSERT_STREQ("Presentation", settings.GetTitle());
	EXPECT_STREQ("Sound: Medium", settings.GetOption(1).label);
	EXPECT_GT(Shoot("menu_presentation"), 5);
	Taps({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN});
	EXPECT_STREQ("Sick of Music", settings.GetOption(1).label);
	EXPECT_EQ(1, TempFolder::ReadBytes(folder.Path("settings.dat"))[kSettingAudioMode]);
	Settings::Instance().UseFile(folder.Path("settings.dat").c_str());
	EXPECT_EQ(1, Settings::Instance().Get()[kSettingAudioMode]);
	// Back closes the settings; the title menu shows its main page again.
	Tap(SDL_SCANCODE_ESCAPE);
	Frames(2);
	EXPECT_EQ(&title->GetMenu(), title->GetStack().Top());
	EXPECT_STREQ("Play Game", title->GetMenu().GetOptions().GetOption(0).label);
}

TEST_F(ScreenFlowTest, PauseMenuWithEveryEntry)
{
	SavePlayedSlot(0, 300);
	GameProgress::LoadCurrentSlot();
	game.StartPlay();
	auto *screen = new StackScreen();
	game.SetScene(screen);
	Frames(1);
	UIPause pause;
	MarkPanel quests, worldMap;
	pause.SetQuestPanel(&quests);
	pause.SetWorldMapPanel(&worldMap);
	screen->stack.AddEntity(&pause);
	pause.Open();
	Frames(10);
	UIOptions &list = pause.GetOptions();
	const std::vector<std::string> plain = {"World Map", "Quests", "Respawn", "Gameplay", "Settings", "Quit"};
	ASSERT_EQ(plain.size(), list.GetOptionCount());
	for (size_t i = 0; i < plain.size(); i++)
		EXPECT_EQ(plain[i], list.GetOption(i).label);
	EXPECT_TRUE(game.IsTimerPaused());
	EXPECT_GT(Shoot("menu_pause"), 5);
	// Twenty presses of cancel add the jukebox and the credits before "Quit".
	for (int i = 0; i < 20; i++)
		Tap(SDL_SCANCODE_LSHIFT);
	ASSERT_EQ(8u, list.GetOptionCount());
	EXPECT_STREQ("Music", list.GetOption(5).label);
	EXPECT_STREQ("Credits", list.GetOption(6).label);
	EXPECT_STREQ("Quit", list.GetOption(7).label);
	// The jukebox plays the next cue of the list, round to the first.
	MusicPlayer *music = MusicPlayer::Instance();
	music->LoadCues("data/music.xml");
	const size_t cues = music->CueCount();
	ASSERT_GE(cues, 2u);
	ASSERT_TRUE(music->PlayCue(music->FindCueById(music->CueAt((uint8_t)(cues - 2)))));
	pause.OnSelect(UIPause::kMusic, 5);
	EXPECT_EQ(music->CueAt((uint8_t)(cues - 1)), music->CurrentCueId());
	pause.OnSelect(UIPause::kMusic, 5);
	EXPECT_EQ(music->CueAt(0), music->CurrentCueId());
	EXPECT_TRUE(music->IsPlaying());
	// With no cue list it has nothing to step to.
	music->LoadCues("data/no-such-cues.xml");
	ASSERT_EQ(0u, music->CueCount());
	pause.OnSelect(UIPause::kMusic, 5);
	EXPECT_EQ(0, music->CurrentCueId());
	music->Stop();

	// World map and quests are pushed over the menu.
	Tap(SDL_SCANCODE_RETURN);
	EXPECT_EQ(&worldMap, screen->stack.Top());
	screen->stack.RemoveEntity(&worldMap);
	Frames(2);
	Taps({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN});
	EXPECT_EQ(&quests, screen->stack.Top());
	screen->stack.RemoveEntity(&quests);
	Frames(2);

	// Gameplay: the controls picture closes on the next press, not the one
	// that opened it; a difficulty change is asked about on the way out, and
	// "Accept" takes only the two difficulty values.
	Taps({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN});
	UIGameplayMenu &gameplay = pause.GetGameplayMenu();
	ASSERT_EQ(&gameplay, screen->stack.Top());
	EXPECT_GT(Shoot("menu_gameplay"), 5);
	Tap(SDL_SCANCODE_RETURN);
	EXPECT_EQ(&gameplay.GetControls(), screen->stack.Top());
	Tap(SDL_SCANCODE_RETURN);
	Frames(2);
	EXPECT_EQ(&gameplay, screen->stack.Top());
	Taps({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN});
	EXPECT_STREQ("Brutal Combat", gameplay.GetOptions().GetOption(1).label);
	EXPECT_EQ(1, GameProgress::Difficulty());
	GameProgress::SetFlag("shotmap", 1); // changed meanwhile
	Tap(SDL_SCANCODE_ESCAPE);
	ASSERT_STREQ("Change Mode?", gameplay.GetOptions().GetTitle());
	Tap(SDL_SCANCODE_RETURN);
	EXPECT_EQ(2, GameProgress::Difficulty());
	EXPECT_EQ(2, GameProgress::RespawnLevel());
	EXPECT_TRUE(GameProgress::Flag("shotmap"));
	Frames(2);
	EXPECT_EQ(&pause, screen->stack.Top());

	// Settings are pushed and closed again.
	pause.OnSelect(UIPause::kSettings, 4);
	Frames(10);
	EXPECT_EQ(&pause.GetSettingsMenu(), screen->stack.Top());
	Tap(SDL_SCANCODE_ESCAPE);
	EXPECT_EQ(&pause, screen->stack.Top());

	// Back closes the menu and starts the clock again.
	Tap(SDL_SCANCODE_ESCAPE);
	EXPECT_FALSE(pause.IsOpen());
	EXPECT_FALSE(game.IsTimerPaused());
	EXPECT_EQ(nullptr, pause.container);

	// Respawn, credits and quit lead on.
	const struct {
		uint8_t id;
		const char *step;
	} ways[] = {{UIPause::kRespawn, "load"}, {UIPause::kCredits, "credits"}, {UIPause::kQuit, "title"}};
	for (const auto &way : ways) {
		SCOPED_TRACE(way.step);
		game.route.clear();
		pause.OnSelect(way.id, 0);
		ASSERT_FALSE(game.route.empty());
		EXPECT_EQ(way.step, game.route.back());
	}
}

TEST_F(ScreenFlowTest, PauseMenuPushesItsOwnQuestListAndWorldMap)
{
	SavePlayedSlot(0, 300);
	GameProgress::LoadCurrentSlot();
	game.StartPlay();
	auto *screen = new StackScreen();
	game.SetScene(screen);
	Frames(1);
	UIPause pause;
	screen->stack.AddEntity(&pause);
	pause.Open();
	Frames(10);
	UIWorldMapScreen &map = pause.GetWorldMapScreen();
	Tap(SDL_SCANCODE_RETURN);
	ASSERT_EQ(&map, screen->stack.Top());
	// It opens on "YOU", the place the save stands in.
	const Vec3 centred = map.GetMap().MarkerPosition(map.GetMap().GetCurrentIndex());
	EXPECT_GT(Vec3Length(centred), 1.0f) << "the town lies away from the board's middle";
	EXPECT_LT(Vec3Length(map.GetOffset() - centred), 10.0f);
	// Panned away and closed, it opens centred again, from the menu and
	// from a fresh pause.
	for (const char *reopen : {"the menu's row", "a fresh pause"}) {
		SCOPED_TRACE(reopen);
		Input::Get()->HandleEvent(KeyEvent(true, SDL_SCANCODE_RIGHT));
		Frames(60);
		Input::Get()->HandleEvent(KeyEvent(false, SDL_SCANCODE_RIGHT));
		Frames(1);
		EXPECT_GT(Vec3Length(map.GetOffset() - centred), 40.0f) << "the board pans";
		Tap(SDL_SCANCODE_SPACE);
		ASSERT_EQ(&pause, screen->stack.Top()) << "a press closes the map";
		if (std::string(reopen) == "a fresh pause") {
			pause.Close();
			screen->stack.AddEntity(&pause);
			pause.Open();
			Frames(10);
		}
		Tap(SDL_SCANCODE_RETURN);
		ASSERT_EQ(&map, screen->stack.Top());
		EXPECT_LT(Vec3Length(map.GetOffset() - centred), 10.0f);
	}
	screen->stack.RemoveEntity(screen->stack.Top());
	Frames(2);
	Taps({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN});
	EXPECT_NE(nullptr, dynamic_cast<UIAchievements *>(screen->stack.Top()));
	Frames(2);
}

// Another save played in a slot writes that slot at its first map; the game
// the slot held is kept first as a save of its own, listed with the other
// saves, and loads back. A slot without a game keeps nothing.
TEST_F(ScreenFlowTest, AnotherSavePlayedInASlotKeepsTheSlotsGameToLoadBack)
{
	game.buildsPlay = true;
	const std::string kept = "slot 1 before my old run";
	const struct {
		const char *name;
		bool slotPlayed; // slot 1 holds a game on woods
		bool slotCleared; // slot 1 holds the fresh game "Clear All Data" writes
	} rows[] = {{"a game on woods", true, false}, {"no file", false, false}, {"a cleared slot", false, true}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		for (const auto &entry : std::filesystem::directory_iterator(folder.Folder()))
			if (entry.path().extension() == ".sav")
				std::filesystem::remove(entry.path());
		if (row.slotPlayed)
			SavePlayedGame(GameProgress::SaveFileName(0), "woods");
		else
			SavePlayedGame(GameProgress::SaveFileName(2), "town"); // so that the title offers "Play Game"
		if (row.slotCleared) {
			ASSERT_TRUE(GameProgress::Write(GameProgress::SaveFileName(0).c_str()));
		}
		const std::vector<uint8_t> slotBefore = TempFolder::ReadBytes(GameProgress::SaveFileName(0));
		SavePlayedGame(folder.Path("my_old-run.sav"), "home");

		game.ShowTitle();
		Frames(1);
		UIOptions *list = OtherSavesPage();
		ASSERT_NE(nullptr, list);
		TalvexGameScene *play = PlaySave(*list, "my old run");
		ASSERT_NE(nullptr, play);
		EXPECT_STREQ("home", play->GetLoadedAs());
		GameProgress slot;
		ASSERT_TRUE(GameProgress::ReadSlot(slot, 0));
		EXPECT_EQ(HashName("home"), slot.currentMap) << "the first map writes the slot";
		EXPECT_EQ(row.slotPlayed, TempFolder::Exists(folder.Path(kept + ".sav")));
		if (row.slotPlayed) {
			EXPECT_EQ(slotBefore, TempFolder::ReadBytes(folder.Path(kept + ".sav")));
		}

		// Back to the title through the pause menu's "Quit".
		Tap(SDL_SCANCODE_RETURN);
		ASSERT_TRUE(play->IsOverlayOpen());
		ASSERT_TRUE(Choose(play->GetPauseMenu().GetOptions(), "Quit"));
		list = OtherSavesPage();
		ASSERT_NE(nullptr, list);
		const std::vector<std::string> listed = Labels(*list);
		EXPECT_EQ(row.slotPlayed ? 2u : 1u, listed.size());
		EXPECT_EQ(row.slotPlayed, std::find(listed.begin(), listed.end(), kept) != listed.end());
		if (!row.slotPlayed)
			continue;
		play = PlaySave(*list, kept);
		ASSERT_NE(nullptr, play);
		EXPECT_STREQ("woods", play->GetLoadedAs());
		// Its own first write keeps the game of my old run in turn.
		EXPECT_TRUE(TempFolder::Exists(folder.Path("slot 1 before " + kept + ".sav")));
		game.route.clear();
	}
}
