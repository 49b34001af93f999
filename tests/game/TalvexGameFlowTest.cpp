#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "game/GameProgress.h"
#include "game/GameService.h"
#include "game/ScreenCountUp.h"
#include "game/ScreenCredits.h"
#include "game/ScreenCreditsFR.h"
#include "game/ScreenDied.h"
#include "game/ScreenEndChoice.h"
#include "game/ScreenIntro.h"
#include "game/ScreenPreIntro.h"
#include "game/ScreenStartup.h"
#include "game/ScreenTitle.h"
#include "game/ScreenWinAlt.h"
#include "game/ScreenWon.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "map/MapFiles.h"
#include "map/MapPreloader.h"
#include "map/TileMap.h"
#include "support/MissingDevice.h"
#include "support/SaveFolder.h"
#include "support/SharedRenderer.h"
#include "support/TempFolder.h"

namespace {

// A game of its own that writes down each screen it is asked for, then goes
// where the game would; play itself is recorded instead of built.
class RouteGame : public TalvexGame {
public:
	void ShowStartup() override { Note("startup"); TalvexGame::ShowStartup(); }
	void ShowTitle() override { Note("title"); TalvexGame::ShowTitle(); }
	void ShowPreIntro() override { Note("preintro"); TalvexGame::ShowPreIntro(); }
	void ShowDied() override { Note("died"); TalvexGame::ShowDied(); }
	void ShowQuestComplete() override { Note("won"); TalvexGame::ShowQuestComplete(); }
	void ShowWinAlt(const char *text, int ending) override
	{
		Note("winalt " + std::to_string(ending));
		TalvexGame::ShowWinAlt(text, ending);
	}
	void ShowIntro() override { Note("intro"); TalvexGame::ShowIntro(); }
	void ShowWon() override { Note("victory"); TalvexGame::ShowWon(); }
	void ShowCreditsFR() override { Note("creditsfr"); TalvexGame::ShowCreditsFR(); }
	void ShowEndChoice() override { Note("endchoice"); TalvexGame::ShowEndChoice(); }
	void ShowCredits(bool withTheme) override { Note("credits"); TalvexGame::ShowCredits(withTheme); }
	void ShowLoadScreen() override { Note("load"); TalvexGame::ShowLoadScreen(); }
	void SetPlayScene() override { Note("play"); }

	void SetInGame(bool on) { inGame = on ? 1 : 0; }
	void SetEndedSlot(bool on) { anySlotEnded = on ? 1 : 0; }
	void Note(const std::string &step) { route.push_back(step); }

	std::vector<std::string> route;
};

// Counts what the game asks of its service.
class RecordingService : public GameService {
public:
	uint32_t Init() override { inits++; return 0; }
	void Shutdown() override { shutdowns++; }
	bool UnlockAchievement(const char *) override { return false; }
	int inits = 0;
	int shutdowns = 0;
};

using Route = std::vector<std::string>;

class TalvexGameFlowTest : public testing::Test {
protected:
	void SetUp() override
	{
		folder.Use();
	}
	void TearDown() override
	{
		SetGameService(nullptr);
		TalvexGame::SetUrlOpener(nullptr);
		SaveFolder::Release();
	}

	// Writes the global record into a slot's file as it is now.
	void SaveSlot(uint8_t slot)
	{
		ASSERT_TRUE(GameProgress::Write(GameProgress::SaveFileName(slot).c_str()));
	}
	void SetSetting(uint8_t index, uint8_t value)
	{
		uint8_t values[kSettingsSize];
		memcpy(values, Settings::Instance().Get(), sizeof(values));
		values[index] = value;
		Settings::Instance().Set(values);
	}

	SaveFolder folder;
	RouteGame game;
};

}

TEST_F(TalvexGameFlowTest, NewGameSetsDifficultyAndTheMapAndContentFlags)
{
	const struct {
		uint32_t difficulty;
		uint8_t og;
		bool shotmap;
		bool oghacks;
		Route route;
	} rows[] = {
		{0, 0, true, false, {"preintro"}},
		{1, 0, true, false, {"preintro"}},
		{2, 0, false, false, {"preintro"}},
		// The original content skips the pre-intro, whatever the difficulty.
		{0, 1, false, true, {"load"}},
		{2, 1, false, true, {"load"}},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(testing::Message() << "difficulty " << row.difficulty << " og " << (int)row.og);
		// A flag left from the game before must not survive a new one.
		GameProgress::SetFlag("shotmap", 1);
		GameProgress::SetFlag("traitor", 1);
		game.route.clear();
		game.NewGame(row.difficulty, row.og);
		EXPECT_EQ(row.shotmap, GameProgress::Flag("shotmap"));
		EXPECT_EQ(row.oghacks, GameProgress::Flag("oghacks"));
		EXPECT_FALSE(GameProgress::Flag("traitor"));
		EXPECT_EQ((int)row.difficulty, GameProgress::Difficulty());
		EXPECT_EQ((int)row.difficulty, GameProgress::RespawnLevel());
		EXPECT_TRUE(game.IsInGame());
		EXPECT_EQ(row.route, game.route);
	}
}

TEST_F(TalvexGameFlowTest, StartPlayChoosesPreIntroOnlyForAFreshPlainGame)
{
	const struct {
		const char *name;
		const char *currentMap; // null: fresh
		const char *flag;       // set before starting, or null
		Route route;
	} rows[] = {
		{"fresh game", nullptr, nullptr, {"preintro"}},
		{"a game under way", "town", nullptr, {"load"}},
		{"fresh original content", nullptr, "oghacks", {"load"}},
		{"fresh after an ending", nullptr, "ending", {"load"}},
		// The chook game is mode 2, not the original content's mode 1.
		{"fresh chook game", nullptr, "chooksdoor", {"preintro"}},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress::ResetGlobal();
		if (row.currentMap != nullptr)
			GameProgress::SetCurrentMap(row.currentMap);
		if (row.flag != nullptr)
			GameProgress::SetFlag(row.flag, 1);
		game.route.clear();
		game.StartPlay();
		EXPECT_EQ(row.route, game.route);
	}
}

TEST_F(TalvexGameFlowTest, StartPlayKeepsTheSlotReloadsTheClockAndMarksAWin)
{
	GameProgress::SetSaveSlot(2);
	GameProgress::SetPlaySeconds(75);
	game.SetEndedSlot(true);
	game.SetTimerPaused(1);
	game.StartPlay();
	EXPECT_EQ(75000u, game.PlayTimeMs());
	EXPECT_EQ(2, Settings::Instance().Get()[kSettingLastSaveSlot]);
	EXPECT_EQ(2, TempFolder::ReadBytes(folder.Path("settings.dat"))[kSettingLastSaveSlot]);
	EXPECT_TRUE(GameProgress::Flag("haswon"));
	EXPECT_TRUE(game.IsInGame());
	EXPECT_EQ(&game.GetOverlay(), ScreenOverlay::Instance());
}

TEST_F(TalvexGameFlowTest, PlayTimeCountsWholeMillisecondsUnlessPaused)
{
	game.StartPlay();
	ASSERT_EQ(0u, game.PlayTimeMs());
	game.Update(1.0f / 60.0f);
	EXPECT_EQ(16u, game.PlayTimeMs());
	game.Update(0.5f);
	EXPECT_EQ(516u, game.PlayTimeMs());
	game.SetTimerPaused(1);
	game.Update(0.5f);
	EXPECT_EQ(516u, game.PlayTimeMs());
	EXPECT_TRUE(game.IsTimerPaused());
	game.SetTimerPaused(0);
	game.Update(0.25f);
	EXPECT_EQ(766u, game.PlayTimeMs());
}

TEST_F(TalvexGameFlowTest, ContinuingAnEndedGameSwitchesToEightBitMusicUntilNewGamePlus)
{
	const struct {
		bool newGamePlus;
		uint8_t audioMode;
	} rows[] = {{false, kAudioEightBit}, {true, kAudioMusicOff}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.newGamePlus ? "new game plus" : "first ending");
		SetSetting(kSettingAudioMode, kAudioMusicOff);
		GameProgress::ResetGlobal();
		GameProgress::SetCurrentMap("town");
		GameProgress::SetFlag("ending", 1);
		GameProgress::SetFlag("newgame+", row.newGamePlus ? 1 : 0);
		SaveSlot(0);
		GameProgress::ResetGlobal();
		game.route.clear();
		game.ContinueGame();
		EXPECT_EQ(row.audioMode, Settings::Instance().Get()[kSettingAudioMode]);
		EXPECT_EQ(Route({"load"}), game.route);
		EXPECT_EQ(HashName("town"), GameProgress::Current().currentMap);
	}
}

TEST_F(TalvexGameFlowTest, ContinueWithStartsOnTheGivenMap)
{
	GameProgress::SetCurrentMap("town");
	SaveSlot(0);
	GameProgress::ResetGlobal();
	game.ContinueWith(0x4242);
	// Reloading the slot keeps the pending map for the scene to take.
	EXPECT_EQ(0x4242, GameProgress::PendingValue());
	EXPECT_EQ(HashName("town"), GameProgress::Current().currentMap);
}

TEST_F(TalvexGameFlowTest, LoadGameFromAnUnreadableFileStartsNothing)
{
	// The live game in slot 1, under way.
	GameProgress::SetSaveSlot(1);
	SetSetting(kSettingLastSaveSlot, 1);
	GameProgress::SetCurrentMap("home");
	GameProgress::SetFlag("dragon1", 1);
	TempFolder::WriteBytes(folder.Path("short.sav"), {'v', '1', '0', '1', 0x12});
	const struct {
		const char *name;
		std::string path;
	} rows[] = {
		{"damaged file", folder.Path("short.sav")},
		{"missing file", folder.Path("nothing here.sav")},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		game.route.clear();
		EXPECT_FALSE(game.LoadGameFrom(row.path.c_str()));
		EXPECT_TRUE(game.route.empty());
		EXPECT_FALSE(game.IsInGame());
		EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
		EXPECT_TRUE(GameProgress::Flag("dragon1"));
		EXPECT_EQ(1, GameProgress::SaveSlot());
		EXPECT_EQ(1, Settings::Instance().Get()[kSettingLastSaveSlot]);
	}
	EXPECT_FALSE(game.LoadGameFrom(nullptr));

	// A good file is played.
	GameProgress::ResetGlobal();
	GameProgress::SetCurrentMap("town");
	ASSERT_TRUE(GameProgress::Write(folder.Path("good.sav").c_str()));
	GameProgress::ResetGlobal();
	EXPECT_TRUE(game.LoadGameFrom(folder.Path("good.sav").c_str()));
	EXPECT_EQ(HashName("town"), GameProgress::Current().currentMap);
	EXPECT_EQ(Route({"load"}), game.route);
}

// Each screen operation hands the game a new scene of its own kind, which
// becomes current at the next frame; a newer one replaces it before then.
TEST_F(TalvexGameFlowTest, ScreenOperationsHandOverTheirScreens)
{
	GameProgress::SetCurrentMap("town");
	const struct {
		const char *name;
		void (*ask)(RouteGame &);
		bool (*isExpected)(Scene *);
	} rows[] = {
		{"start-up", [](RouteGame &g) { g.ShowStartup(); },
			[](Scene *s) { return dynamic_cast<ScreenStartup *>(s) != nullptr; }},
		{"title", [](RouteGame &g) { g.ShowTitle(); },
			[](Scene *s) { return dynamic_cast<ScreenTitle *>(s) != nullptr; }},
		{"pre-intro", [](RouteGame &g) { g.ShowPreIntro(); },
			[](Scene *s) { return dynamic_cast<ScreenPreIntro *>(s) != nullptr; }},
		{"intro", [](RouteGame &g) { g.ShowIntro(); },
			[](Scene *s) { return dynamic_cast<ScreenIntro *>(s) != nullptr; }},
		{"death", [](RouteGame &g) { g.ShowDied(); },
			[](Scene *s) { return dynamic_cast<ScreenDied *>(s) != nullptr; }},
		{"quest complete", [](RouteGame &g) { g.ShowQuestComplete(); },
			[](Scene *s) { return dynamic_cast<ScreenCountUp *>(s) != nullptr; }},
		{"victory", [](RouteGame &g) { g.ShowWon(); },
			[](Scene *s) { return dynamic_cast<ScreenWon *>(s) != nullptr; }},
		{"an ending", [](RouteGame &g) { g.ShowWinAlt("Wrong Hole!", 3); },
			[](Scene *s) { return dynamic_cast<ScreenWinAlt *>(s) != nullptr; }},
		{"end choice", [](RouteGame &g) { g.ShowEndChoice(); },
			[](Scene *s) { return dynamic_cast<ScreenEndChoice *>(s) != nullptr; }},
		{"credits", [](RouteGame &g) { g.ShowCredits(false); },
			[](Scene *s) { return dynamic_cast<ScreenCredits *>(s) != nullptr && dynamic_cast<ScreenCreditsFR *>(s) == nullptr; }},
		{"french credits", [](RouteGame &g) { g.ShowCreditsFR(); },
			[](Scene *s) { return dynamic_cast<ScreenCreditsFR *>(s) != nullptr; }},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		game.route.clear();
		row.ask(game);
		EXPECT_EQ(1u, game.route.size());
		EXPECT_TRUE(row.isExpected(game.GetPendingScene()));
	}
}

// The death screen keeps the play time in the record; its way on reloads the
// slot the player's death was saved in, with that slot's play time.
TEST_F(TalvexGameFlowTest, DeathKeepsThePlayTimeAndContinuesTheSavedSlot)
{
	GameProgress::SetSaveSlot(1);
	GameProgress::SetCurrentMap("home");
	GameProgress::SetPlaySeconds(42);
	GameProgress::AddDeath();
	SaveSlot(1);
	game.StartPlay();
	game.Update(2.0f);
	GameProgress::SetCurrentMap("town"); // play went on after the save
	game.route.clear();
	game.ShowDied();
	EXPECT_EQ(44u, GameProgress::PlaySeconds());
	game.ContinueGame();
	EXPECT_EQ(Route({"died", "load"}), game.route);
	EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
	EXPECT_EQ(1, GameProgress::Deaths());
	EXPECT_EQ(42000u, game.PlayTimeMs());
}

TEST_F(TalvexGameFlowTest, SlotSummariesOfEmptySlotsAndBeyondTheThird)
{
	GameProgress::SetCurrentMap("town");
	GameProgress::SetPlaySeconds(90);
	SaveSlot(1);
	GameProgress::ResetGlobal();
	game.ScanSaveSlots();
	EXPECT_TRUE(game.HasUsedSlot());
	EXPECT_FALSE(game.HasEndedSlot());
	EXPECT_EQ(0, game.SlotSummary(0).played);
	EXPECT_EQ(1, game.SlotSummary(1).played);
	for (uint8_t slot : {3, 4, 200}) {
		SCOPED_TRACE(slot);
		EXPECT_EQ(0, game.SlotSummary(slot).played);
		EXPECT_STREQ("", game.SlotSummary(slot).line);
		EXPECT_EQ(1, game.SlotSummary(slot).difficulty);
	}
	// The scan of games that never ended writes no settings.
	EXPECT_FALSE(TempFolder::Exists(folder.Path("settings.dat")));

	GameProgress::SetFlag("ending", 1);
	SaveSlot(2);
	game.ScanSaveSlots();
	EXPECT_TRUE(game.HasEndedSlot());
	EXPECT_EQ(1, TempFolder::ReadBytes(folder.Path("settings.dat"))[kSettingHasWon]);
}

TEST_F(TalvexGameFlowTest, QuitLeavesPlayAndShutsTheService)
{
	RecordingService service;
	SetGameService(&service);
	game.StartPlay();
	game.Quit();
	EXPECT_FALSE(game.IsInGame());
	EXPECT_FALSE(game.IsRunning());
	EXPECT_EQ(1, service.shutdowns);
	EXPECT_EQ(0, service.inits);
}

TEST_F(TalvexGameFlowTest, MakerPageOpensThroughTheHook)
{
	static std::vector<std::string> opened;
	opened.clear();
	TalvexGame::SetUrlOpener([](const char *url) {
		opened.push_back(url);
		return 0;
	});
	game.OpenMakerPage();
	ASSERT_EQ(1u, opened.size());
	EXPECT_EQ(TalvexGame::kMakerPageUrl, opened[0]);
}

TEST_F(TalvexGameFlowTest, ModeFollowsTheContentFlags)
{
	const struct {
		std::vector<const char *> flags;
		int mode;
		bool original;
	} rows[] = {
		{{}, 0, false},
		{{"oghacks"}, 1, true},
		{{"ogmaps"}, 0, true},
		{{"oghacks", "chooksdoor"}, 2, true},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.mode);
		GameProgress::ResetGlobal();
		for (const char *flag : row.flags)
			GameProgress::SetFlag(flag, 1);
		EXPECT_EQ(row.mode, TalvexGame::Mode());
		EXPECT_TRUE(TalvexGame::IsMode(row.mode));
		EXPECT_EQ(row.original, TalvexGame::IsOriginalContent());
	}
}

// Preloading another map makes it the current preloader at once; the one it
// replaces is freed only once no other scene shows its map.
TEST_F(TalvexGameFlowTest, PreloadingAnotherMapFreesTheOldOneWhenNoSceneShowsIt)
{
	std::string whyNot;
	Renderer *renderer = SharedStartedRenderer(whyNot);
	if (renderer == nullptr)
		SKIP_FOR_MISSING_DEVICE() << whyNot;
	SDL_GL_MakeCurrent(renderer->GetWindow(), renderer->GetContext());
	MapPreloader *before = MapPreloader::Instance();
	MapPreloader::SetInstance(nullptr);

	uint16_t home = MapFileHash("maps/home.tmx");
	uint16_t town = MapFileHash("maps/town.tmx");
	game.PreloadMap(home);
	MapPreloader *first = MapPreloader::Instance();
	ASSERT_NE(nullptr, first);
	EXPECT_EQ(home, first->GetMapId());
	game.PreloadMap(home);
	EXPECT_EQ(first, MapPreloader::Instance()) << "the same map is not preloaded twice";

	// The title screen shows the first backdrop.
	auto title = std::make_unique<Scene>();
	title->AddEntity(first->GetTileMap());
	game.PreloadMap(town);
	ASSERT_NE(nullptr, MapPreloader::Instance());
	EXPECT_NE(first, MapPreloader::Instance());
	EXPECT_EQ(town, MapPreloader::Instance()->GetMapId());
	EXPECT_EQ(1u, game.RetiredPreloaderCount());
	game.Update(0.016f);
	EXPECT_EQ(1u, game.RetiredPreloaderCount()) << "still shown by the title";

	title.reset();
	game.Update(0.016f);
	EXPECT_EQ(0u, game.RetiredPreloaderCount());
	EXPECT_EQ(town, MapPreloader::Instance()->GetMapId());
	MapPreloader::SetInstance(before);
}
