#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/Input.h"
#include "engine/core/NameHash.h"
#include "map/MapFiles.h"
#include "map/MapPreloader.h"
#include "map/TileMap.h"
#include "game/GameProgress.h"
#include "game/ScreenCredits.h"
#include "game/ScreenDied.h"
#include "game/ScreenIntro.h"
#include "game/ScreenLoadGame.h"
#include "game/ScreenTitle.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "game/UIScrollingText.h"
#include "game/UISkipper.h"
#include "game/UIGameplayMenu.h"
#include "game/UISettingsMenu.h"
#include "game/UITitleMenu.h"
#include "engine/core/UIStack.h"
#include "support/KeyEvent.h"
#include "support/ScreenTest.h"
#include "support/SaveFolder.h"
#include "support/TempFolder.h"

namespace {

// Writes down the stages the screens ask for and builds none of them.
class NoteGame : public TalvexGame {
public:
	void ShowStartup() override { route.push_back("startup"); }
	void ShowTitle() override { route.push_back("title"); }
	void ShowPreIntro() override { route.push_back("preintro"); }
	void ShowIntro() override { route.push_back("intro"); }
	void ShowGameScene() override { route.push_back("play"); }
	void ShowEndChoice() override { route.push_back("endchoice"); }
	void ShowLoadScreen() override { route.push_back("load"); }
	void SetEndedSlot(bool on) { anySlotEnded = on ? 1 : 0; }
	std::vector<std::string> route;
};

class ScreenPartsTest : public ScreenTest {
protected:
	// Starts a screen as the game's switch would.
	static void Begin(Scene &screen)
	{
		screen.state = kSceneActive;
		screen.Start();
	}
	static void Run(Scene &screen, float seconds, float dt = 1.0f / 60.0f)
	{
		for (float t = 0.0f; t < seconds; t += dt) {
			screen.Update(dt);
			Input::Get()->EndFrame();
		}
	}
	int Count(const std::string &step) const { return (int)std::count(game.route.begin(), game.route.end(), step); }

	NoteGame game;
};

}

TEST_F(ScreenPartsTest, ScrollingTextMakesOneLinePerEndedLineAndStopsBeforeItsEnd)
{
	const struct {
		const char *text;
		size_t lines;
		float length;
	} rows[] = {
		{"one\ntwo\n", 2, 70.0f},
		{"one\ntwo", 1, 35.0f},      // no final line end: the last line is lost
		{"one\nx\n\nthree\n", 2, 140.0f}, // short lines only leave a gap
		{"", 0, 0.0f},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.text);
		UIScrollingText crawl;
		crawl.Load(row.text);
		EXPECT_EQ(row.lines, crawl.LineCount());
		EXPECT_FLOAT_EQ(row.length, crawl.GetLength());
		crawl.SetScrollRange(10.0f, 0.0f);
		EXPECT_FLOAT_EQ(row.length + 10.0f, crawl.ScrollEnd());
		crawl.SetSpeed(2.0f);
		crawl.Update(0.5f);
		EXPECT_FLOAT_EQ(std::min(20.0f, row.length + 10.0f), crawl.GetScroll());
		crawl.Update(60.0f);
		EXPECT_TRUE(crawl.IsFinished());
		EXPECT_FLOAT_EQ(0.0f, crawl.Remaining());
	}
}

TEST_F(ScreenPartsTest, SkipperCountsAHeldButtonAndStartsAgainWhenLetGo)
{
	UISkipper skipper;
	skipper.Start();
	Input::Get()->HandleEvent(KeyEvent(true, SDL_SCANCODE_SPACE));
	skipper.Update(0.4f); // presses in the first half second do not count
	EXPECT_FLOAT_EQ(0.0f, skipper.GetHoldTime());
	EXPECT_FALSE(skipper.GetText().IsVisible());
	skipper.Update(0.2f);
	EXPECT_STREQ("Skip in 3...", skipper.GetText().GetText());
	skipper.Update(2.7f);
	EXPECT_FALSE(skipper.IsReady());
	EXPECT_STREQ("Skip in 1...", skipper.GetText().GetText());
	Input::Get()->HandleEvent(KeyEvent(false, SDL_SCANCODE_SPACE));
	Input::Get()->EndFrame();
	skipper.Update(0.1f);
	EXPECT_FLOAT_EQ(0.0f, skipper.GetHoldTime());
	Input::Get()->HandleEvent(KeyEvent(true, SDL_SCANCODE_SPACE));
	skipper.Update(2.0f);
	skipper.Update(1.5f);
	EXPECT_TRUE(skipper.IsReady());
	EXPECT_STREQ("Skip in 0...", skipper.GetText().GetText());
}

TEST_F(ScreenPartsTest, LoadPhasesByRateNeverWrapAndLoadTheTablesOnce)
{
	const struct {
		const char *name;
		int difficulty;
		uint8_t timed;
		float rate;
		const char *heading;
	} rows[] = {
		{"normal", 1, 0, 0.4f, "TIP:"},
		{"timed", 1, 1, 0.6f, "TIP:"},
		{"brutal, timed or not", 2, 1, 0.8f, "BRUTAL TIP:"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress::ResetGlobal();
		GameProgress::SetCurrentMap("town");
		GameProgress::SetDifficulty((uint32_t)row.difficulty);
		Settings::Instance().SetValue(kSettingTimedMode, row.timed);
		ScreenLoadGame load;
		Begin(load);
		EXPECT_FLOAT_EQ(row.rate, load.GetPhaseRate());
		EXPECT_STREQ(row.heading, load.GetHeading().GetText());
		load.Update(1.0f / row.rate - 0.01f);
		EXPECT_EQ(0, load.GetPhase());
		load.Update(0.02f);
		EXPECT_EQ(1, load.GetPhase());
		EXPECT_EQ(1, load.TableLoads());
	}
	// One long frame passes phases 1 and 2 at once, and a very long stay
	// holds the phase at its top instead of wrapping to 0.
	GameProgress::ResetGlobal();
	Settings::Instance().SetValue(kSettingTimedMode, 0);
	ScreenLoadGame load;
	Begin(load);
	EXPECT_FALSE(load.ShowsTips());
	load.Update(6.0f);
	EXPECT_EQ(2, load.GetPhase());
	EXPECT_EQ(1, load.TableLoads());
	EXPECT_EQ(1, Count("play")); // a fresh game starts without a press
	load.Update(2000.0f);
	EXPECT_EQ(255, load.GetPhase());
	EXPECT_EQ(1, load.TableLoads());
	EXPECT_EQ(1, Count("play"));
}

TEST_F(ScreenPartsTest, TipsFollowInTurnAcrossNormalAndBrutalGames)
{
	const struct {
		uint8_t last;
		int difficulty;
		const char *tip;
	} rows[] = {
		{5, 1, ScreenLoadGame::NormalTip(6)},
		{23, 1, ScreenLoadGame::NormalTip(0)},
		{23, 2, ScreenLoadGame::BrutalTip(24)},
		{27, 1, ScreenLoadGame::NormalTip(4)}, // 28 mod 24
	};
	GameProgress::SetCurrentMap("town");
	for (const auto &row : rows) {
		SCOPED_TRACE((int)row.last);
		GameProgress::SetDifficulty((uint32_t)row.difficulty);
		ScreenLoadGame::SetLastTipIndex(row.last);
		ScreenLoadGame load;
		Begin(load);
		EXPECT_STREQ(row.tip, load.GetTip().GetText());
	}
	EXPECT_STREQ("Avoid learning; you already know.", ScreenLoadGame::BrutalTip(27));
	EXPECT_STREQ("", ScreenLoadGame::NormalTip(24));
}

TEST_F(ScreenPartsTest, DeathBannersWalkTheTableInOrder)
{
	ScreenDied::SetBannerCounter(16);
	EXPECT_STREQ("MARROWBY IT", ScreenDied::PickDeathBanner());
	EXPECT_STREQ("SKEWERED", ScreenDied::PickDeathBanner());
	EXPECT_STREQ("DED", ScreenDied::PickDeathBanner());
	EXPECT_STREQ("A'SPLODE", ScreenDied::PickDeathBanner());
}

TEST_F(ScreenPartsTest, IntroWithMissingPartsStillRunsAndAsksForPlayOnce)
{
	TempFolder::WriteBytes(folder.Path("nologo.xml"), std::vector<uint8_t>({'<', 'i', 'n', 't', 'r', 'o', '/', '>'}));
	TempFolder::WriteBytes(folder.Path("other.xml"), std::vector<uint8_t>({'<', 'x', '/', '>'}));
	const struct {
		const char *name;
		std::string file;
	} rows[] = {
		{"no text, no logo texture, no attributes", folder.Path("nologo.xml")},
		{"no intro element", folder.Path("other.xml")},
		{"no file", folder.Path("missing.xml")},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		game.route.clear();
		ScreenIntro intro(row.file.c_str());
		Begin(intro);
		EXPECT_STREQ("", intro.GetPretext().GetText());
		EXPECT_EQ(0u, intro.GetCrawl().LineCount());
		Run(intro, 4.1f);
		EXPECT_EQ(ScreenIntro::kCrawl, intro.GetState());
		Run(intro, 1.0f);
		// A logo without a texture is drawn at size 0, never divided by 0.
		EXPECT_FLOAT_EQ(0.0f, intro.GetLogo().GetSize().x);
		EXPECT_FLOAT_EQ(0.0f, intro.GetLogo().GetSize().y);
		Run(intro, 30.0f);
		EXPECT_EQ(1, Count("play"));
	}
	// Skipping while the background scrolls away asks for play once only.
	game.SetEndedSlot(true);
	game.route.clear();
	ScreenIntro intro(folder.Path("missing.xml").c_str());
	Begin(intro);
	EXPECT_TRUE(intro.HasSkipper());
	Input::Get()->HandleEvent(KeyEvent(true, SDL_SCANCODE_SPACE));
	Run(intro, 40.0f);
	EXPECT_EQ(1, Count("play"));
}

TEST_F(ScreenPartsTest, CreditsWithoutTheirFileEndOnAnActionAfterEightSeconds)
{
	ScreenCredits credits;
	Begin(credits);
	// The shipped file is there; the scroll runs on its own length.
	EXPECT_GT(credits.GetCrawl().LineCount(), 5u);
	EXPECT_FALSE(credits.HasSkipper());
	Input::Get()->HandleEvent(KeyEvent(true, SDL_SCANCODE_SPACE));
	credits.Update(0.1f);
	Input::Get()->EndFrame();
	EXPECT_TRUE(game.route.empty()) << "an action only ends the credits near their end";
	credits.Finish();
	credits.Finish();
	EXPECT_EQ(std::vector<std::string>({"title"}), game.route);
}

TEST_F(ScreenPartsTest, OtherSavesListOnlyRegularSaveFilesAsPlainText)
{
	std::filesystem::create_directories(folder.Path("folder.sav"));
	const std::vector<std::string> files = {"Save_1.sav", "UPPER.SAV", "100%s_done.sav", "notes.txt",
		"a_very-long_name_of_a_run.sav", "broken.sav"};
	for (const std::string &name : files)
		TempFolder::WriteBytes(folder.Path(name), {'x'});
	GameProgress::SetCurrentMap("home");
	ASSERT_TRUE(GameProgress::Write(folder.Path("a_very-long_name_of_a_run.sav").c_str()));
	GameProgress::ResetGlobal();
	UITitleMenu menu;
	menu.Start();
	menu.OnSelect(UITitleMenu::kOtherSaves, 0);
	std::vector<std::string> labels;
	for (size_t i = 0; i < menu.GetOptions().GetOptionCount(); i++)
		labels.push_back(menu.GetOptions().GetOption(i).label);
	std::sort(labels.begin(), labels.end());
	EXPECT_EQ(std::vector<std::string>({"100%s done", "UPPER", "a very long name of a run", "broken"}), labels);
	// A file that fails to load starts nothing and writes no slot.
	for (size_t i = 0; i < menu.GetOptions().GetOptionCount(); i++) {
		const UIOption &option = menu.GetOptions().GetOption(i);
		if (std::string(option.label) == "broken")
			menu.OnSelect(option.id, (uint8_t)i);
	}
	EXPECT_FALSE(game.IsInGame());
	EXPECT_EQ(std::vector<uint8_t>({'x'}), TempFolder::ReadBytes(GameProgress::SaveFileName(0)));
	// The long name is loaded whole.
	for (size_t i = 0; i < menu.GetOptions().GetOptionCount(); i++) {
		const UIOption &option = menu.GetOptions().GetOption(i);
		if (std::string(option.label) == "a very long name of a run")
			menu.OnSelect(option.id, (uint8_t)i);
	}
	EXPECT_TRUE(game.IsInGame());
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
}

TEST_F(ScreenPartsTest, OtherSavesStopAtTwoHundredAndTwentyFour)
{
	for (int i = 0; i < 230; i++)
		TempFolder::WriteBytes(folder.Path("run" + std::to_string(i) + ".sav"), {'x'});
	UITitleMenu menu;
	menu.Start();
	menu.OnSelect(UITitleMenu::kOtherSaves, 0);
	ASSERT_EQ(UITitleMenu::kMaxOtherSaves, menu.GetOptions().GetOptionCount());
	EXPECT_EQ(224u, menu.GetOtherSaves().size());
	EXPECT_EQ(255, menu.GetOptions().GetOption(223).id);
}

TEST_F(ScreenPartsTest, ASlotWithPlayTimeIsNeverANewGame)
{
	const struct {
		uint32_t seconds;
		bool used;
	} rows[] = {{0, false}, {1, true}, {65536, true}, {131072, true}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.seconds);
		GameProgress::ResetGlobal();
		GameProgress::SetPlaySeconds(row.seconds);
		ASSERT_TRUE(GameProgress::Write(GameProgress::SaveFileName(1).c_str()));
		GameProgress::ResetGlobal();
		UITitleMenu menu;
		menu.Start();
		EXPECT_EQ(row.used, game.IsSlotUsed(1));
		EXPECT_EQ(row.used, game.HasUsedSlot());
		menu.OnSelect(row.used ? UITitleMenu::kPlayGame : UITitleMenu::kBeginGame, 0);
		if (row.used) {
			EXPECT_NE(std::string("2. New Game"), menu.GetOptions().GetOption(1).label);
		}
	}
}

// The title shows the preloader's map; a preloader replaced meanwhile is
// freed only once the title no longer lists its map.
TEST_F(ScreenPartsTest, APreloaderReplacedUnderTheTitleLivesUntilTheTitleGoes)
{
	MapPreloader::SetInstance(nullptr);
	game.PreloadMap(MapFileHash("maps/home.tmx"));
	MapPreloader::Instance()->Finish();
	auto title = std::make_unique<ScreenTitle>();
	Begin(*title);
	ASSERT_NE(nullptr, title->GetTileMap());
	EXPECT_EQ(title.get(), title->GetTileMap()->scene);
	game.PreloadMap(MapFileHash("maps/town.tmx"));
	game.Update(0.016f);
	EXPECT_EQ(1u, game.RetiredPreloaderCount());
	title->Update(0.016f);
	title.reset();
	game.Update(0.016f);
	EXPECT_EQ(0u, game.RetiredPreloaderCount());
}

TEST_F(ScreenPartsTest, TitleMenuDifficultyPagesFollowTheSavesAndTheTimer)
{
	const struct {
		const char *name;
		bool save;
		uint8_t timed;
		std::vector<std::string> labels;
	} rows[] = {
		{"first run", false, 0, {"Intended"}},
		{"with a save", true, 0, {"Intended", "Relaxed", "Brutal Mode"}},
		{"with a save and the timer", true, 1, {"Intended", "Relaxed", "Brutal Mode", "OG Mode"}},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		std::error_code ignored;
		std::filesystem::remove(GameProgress::SaveFileName(2), ignored);
		if (row.save) {
			GameProgress::SetPlaySeconds(60);
			ASSERT_TRUE(GameProgress::Write(GameProgress::SaveFileName(2).c_str()));
		}
		Settings::Instance().SetValue(kSettingTimedMode, row.timed);
		UITitleMenu menu;
		menu.Start();
		menu.OnSelect(UITitleMenu::kDifficulty, 0);
		std::vector<std::string> labels;
		for (size_t i = 0; i < menu.GetOptions().GetOptionCount(); i++)
			labels.push_back(menu.GetOptions().GetOption(i).label);
		EXPECT_EQ(row.labels, labels);
	}
	// "OG Mode" starts at once with the original content on; the Brutal
	// question offers four ways back before the one way on.
	UITitleMenu menu;
	menu.Start();
	menu.OnSelect(UITitleMenu::kMakeBrutal, 0);
	ASSERT_EQ(5u, menu.GetOptions().GetOptionCount());
	for (size_t i = 0; i < 4; i++)
		EXPECT_EQ(UITitleMenu::kDifficulty, menu.GetOptions().GetOption(i).id);
	EXPECT_EQ(UITitleMenu::kBrutal, menu.GetOptions().GetOption(4).id);
	menu.OnSelect(UITitleMenu::kOgMode, 0);
	EXPECT_TRUE(menu.IsOgPage());
	menu.OnSelect(UITitleMenu::kBrutal, 2);
	EXPECT_TRUE(GameProgress::Flag("oghacks"));
	EXPECT_EQ(2, GameProgress::Difficulty());
	EXPECT_EQ(std::vector<std::string>({"load"}), game.route);

	static std::vector<std::string> opened;
	opened.clear();
	TalvexGame::SetUrlOpener([](const char *url) {
		opened.push_back(url);
		return 0;
	});
	menu.OnSelect(UITitleMenu::kMoreGames, 2);
	TalvexGame::SetUrlOpener(nullptr);
	EXPECT_EQ(std::vector<std::string>({TalvexGame::kMakerPageUrl}), opened);
	menu.OnSelect(UITitleMenu::kExit, 3);
	EXPECT_FALSE(game.IsRunning());
}

TEST_F(ScreenPartsTest, SettingsMenuCyclesSoundAndClearsAllData)
{
	UISettingsMenu menu;
	menu.Start();
	menu.OnSelect(UISettingsMenu::kPresentation, 0);
	const char *expected[] = {"Sick of Music", "Sound: Off", "Sound: Low", "Sound: Medium"};
	for (const char *label : expected) {
		menu.OnSelect(UISettingsMenu::kSound, 1);
		EXPECT_STREQ(label, menu.GetOptions().GetOption(1).label);
	}
	EXPECT_EQ(0, TempFolder::ReadBytes(folder.Path("settings.dat"))[kSettingAudioMode]);

	GameProgress::SetCurrentMap("town");
	GameProgress::SetPlaySeconds(99);
	GameProgress::SaveCurrentSlot();
	menu.OnSelect(UISettingsMenu::kWindowed, 2);
	menu.OnSelect(UISettingsMenu::kTimedMode, 3);
	EXPECT_STREQ("Windowed", menu.GetOptions().GetOption(2).label);
	EXPECT_STREQ("Timed Mode", menu.GetOptions().GetOption(3).label);
	menu.OnSelect(UISettingsMenu::kClearAllData, 1);
	const std::vector<uint8_t> settings = TempFolder::ReadBytes(folder.Path("settings.dat"));
	ASSERT_EQ((size_t)kSettingsSize, settings.size());
	EXPECT_EQ(0, settings[kSettingWindowed]);
	EXPECT_EQ(0, settings[kSettingTimedMode]);
	GameProgress slot;
	ASSERT_TRUE(GameProgress::ReadSlot(slot, 0));
	EXPECT_EQ(0u, slot.playSeconds);
	EXPECT_EQ(std::vector<std::string>({"startup"}), game.route);
}

TEST_F(ScreenPartsTest, GameplayMenuChangesWaitForAccept)
{
	// Each row starts at Intended, makes its choices, answers the question
	// on the way out, and then continues the saved slot as the title would.
	const struct {
		const char *name;
		std::vector<uint8_t> choices;
		uint8_t answer;
		const char *combat, *respawn; // the labels the choices show
		int difficulty, respawnLevel; // kept in the live game and the slot
	} rows[] = {
		{"brutal, discarded", {UIGameplayMenu::kCombat}, UIGameplayMenu::kDiscard, "Brutal Combat", "Brutal Respawn", 1, 1},
		{"brutal", {UIGameplayMenu::kCombat}, UIGameplayMenu::kAccept, "Brutal Combat", "Brutal Respawn", 2, 2},
		{"round to easier", {UIGameplayMenu::kCombat, UIGameplayMenu::kCombat}, UIGameplayMenu::kAccept, "Easier Combat",
			"Easy Respawn", 0, 0},
		{"brutal combat, easy respawn", {UIGameplayMenu::kCombat, UIGameplayMenu::kRespawn}, UIGameplayMenu::kAccept,
			"Brutal Combat", "Easy Respawn", 2, 0},
		{"easier combat, brutal respawn",
			{UIGameplayMenu::kCombat, UIGameplayMenu::kCombat, UIGameplayMenu::kRespawn, UIGameplayMenu::kRespawn},
			UIGameplayMenu::kAccept, "Easier Combat", "Brutal Respawn", 0, 2},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress::ResetGlobal();
		GameProgress::SetCurrentMap("town");
		ASSERT_TRUE(GameProgress::SaveCurrentSlot());
		game.StartPlay();
		UIStack stack;
		UIGameplayMenu menu;
		stack.AddEntity(&menu);
		menu.Start();
		EXPECT_STREQ("Intended Combat", menu.GetOptions().GetOption(1).label);
		for (uint8_t choice : row.choices)
			menu.OnSelect(choice, 1);
		EXPECT_STREQ(row.combat, menu.GetOptions().GetOption(1).label);
		EXPECT_STREQ(row.respawn, menu.GetOptions().GetOption(2).label);
		EXPECT_EQ(1, GameProgress::Difficulty()) << "nothing changes before the question";
		menu.OnDone();
		ASSERT_STREQ("Change Mode?", menu.GetOptions().GetTitle());
		menu.OnSelect(row.answer, 1);
		EXPECT_EQ(nullptr, menu.container);
		EXPECT_EQ(row.difficulty, GameProgress::Difficulty());
		EXPECT_EQ(row.respawnLevel, GameProgress::RespawnLevel());
		ASSERT_TRUE(GameProgress::LoadCurrentSlot());
		EXPECT_EQ(row.difficulty, GameProgress::Difficulty()) << "as continued from the slot";
		EXPECT_EQ(row.respawnLevel, GameProgress::RespawnLevel()) << "as continued from the slot";
		menu.Open();
		EXPECT_STREQ(row.difficulty == 1 ? "Intended Combat" : row.combat, menu.GetOptions().GetOption(1).label);
		EXPECT_STREQ(row.respawnLevel == 1 ? "Intended Respawn" : row.respawn, menu.GetOptions().GetOption(2).label);
	}
}
