#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "audio/MusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/Scene.h"
#include "engine/render/Textbox.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "support/StoreQuestion.h"
#include "support/TempFolder.h"
#include "support/MissingDevice.h"

namespace {

// A game of its own for each test, so that the single instance stays
// untouched; it may also pretend that play has started.
class TestGame : public TalvexGame {
public:
	void SetInGame(bool on) { inGame = on ? 1 : 0; }
};

uint32_t FixedTicks() { return 0; }
void NoDelay(uint32_t) {}

// Records its own deletion.
class TrackedScene : public Scene {
public:
	explicit TrackedScene(std::vector<TrackedScene *> *deletedScenes) : deleted(deletedScenes) {}
	~TrackedScene() override { deleted->push_back(this); }

private:
	std::vector<TrackedScene *> *deleted;
};

class TalvexGameTest : public testing::Test {
protected:
	void SetUp() override
	{
		settingsFile = folder.Path("settings.dat");
		Settings::Instance().UseFile(settingsFile.c_str());
		GameProgress::ResetGlobal();
		game.SetClock(&FixedTicks, &NoDelay);
		// Without the store's client, start-up asks; these tests go on.
		previousHook = GetMessageBoxHook();
		SetMessageBoxHook(&StoreQuestion::Proceed);
	}
	void TearDown() override
	{
		SetMessageBoxHook(previousHook);
		Settings::Instance().UseFile("settings.dat");
		GameProgress::ResetGlobal();
	}

	void StoreSettings(std::vector<uint8_t> bytes)
	{
		Settings::Instance().Set(bytes.data());
	}

	MessageBoxHook previousHook = nullptr;
	TempFolder folder;
	std::string settingsFile;
	std::vector<TrackedScene *> deleted; // outlives the scenes that the game deletes when it goes
	TestGame game;
};

bool OrthoAt(uint8_t mode, std::vector<uint8_t> orthoModes)
{
	for (uint8_t m : orthoModes)
		if (m == mode)
			return true;
	return false;
}

}

TEST(TalvexGamePostMode, BrutalPlayShowsOnlyOrthographicModes)
{
	const struct {
		const char *name;
		uint8_t stored;
		uint16_t count;
		bool inGame;
		int difficulty;
		std::vector<uint8_t> ortho;
		uint8_t shown;
	} rows[] = {
		{"outside play the stored mode is used", 2, 6, false, 2, {4}, 2},
		{"outside play even past the table", 9, 6, false, 2, {4}, 9},
		{"intended play keeps the mode", 2, 6, true, 1, {4}, 2},
		{"intended play wraps a mode past the table", 8, 6, true, 1, {4}, 2},
		{"brutal play moves on to the next ortho mode", 2, 6, true, 2, {4}, 4},
		{"brutal play wraps around to find one", 5, 6, true, 2, {1, 4}, 1},
		{"brutal play keeps an ortho mode", 4, 6, true, 2, {1, 4}, 4},
		{"brutal play without ortho modes ends on the last one tried", 3, 6, true, 2, {}, 2},
		{"no modes at all", 3, 0, true, 2, {}, 3},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		std::vector<uint8_t> ortho = row.ortho;
		uint8_t shown = TalvexGame::ChoosePostMode(row.stored, row.count, row.inGame, row.difficulty,
			[&ortho](uint8_t mode) { return OrthoAt(mode, ortho); });
		EXPECT_EQ(row.shown, shown);
	}
}

TEST_F(TalvexGameTest, AudioSettingChoosesSwitchesAndCueList)
{
	const struct {
		uint8_t audioMode;
		bool soundOff;
		bool musicMuted;
		const char *cueList;
	} rows[] = {
		{0, false, false, "data/music.xml"},
		{1, false, true, "data/music.xml"},
		{2, true, true, "data/music.xml"},
		{3, false, false, "data/music8.xml"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(testing::Message() << "audio mode " << (int)row.audioMode);
		StoreSettings({2, row.audioMode, 0, 1, 0, 0, 0, 1, 0});
		game.ApplySettings();
		EXPECT_EQ(row.soundOff, Sound::Instance()->IsDisabled());
		EXPECT_EQ(row.musicMuted, MusicPlayer::Instance()->IsMuted());
		EXPECT_EQ(row.musicMuted, ModMusicPlayer::Instance()->IsMuted());
		EXPECT_EQ(row.cueList, MusicPlayer::Instance()->CueListName());
	}
}

TEST_F(TalvexGameTest, WindowModeAndTimedModeFollowTheSettings)
{
	// No settings file: the first start is full screen, Timed Mode off.
	game.ApplySettings();
	EXPECT_TRUE(game.GetGameRenderer()->IsFullscreen());
	EXPECT_EQ(0, game.OptionFlag());
	EXPECT_EQ(std::vector<uint8_t>({2, 0, 0, 0, 0, 0, 0, 1, 0}), TempFolder::ReadBytes(settingsFile));

	StoreSettings({2, 0, 0, 1, 1, 0, 0, 1, 0});
	game.ApplySettings();
	EXPECT_FALSE(game.GetGameRenderer()->IsFullscreen());
	EXPECT_EQ(1, game.OptionFlag());
	// Applying never writes the settings back.
	EXPECT_EQ(std::vector<uint8_t>({2, 0, 0, 1, 1, 0, 0, 1, 0}), TempFolder::ReadBytes(settingsFile));
}

TEST_F(TalvexGameTest, ApplyingSettingsSetsTheGamesTextFace)
{
	SetDefaultFontName("fonts/pixel");
	SetDefaultFontSize(8);
	game.ApplySettings();
	EXPECT_STREQ("fonts/body2", GetDefaultFontName());
	EXPECT_EQ(18, GetDefaultFontSize());
}

TEST_F(TalvexGameTest, FullScreenChoiceIsKeptInTheSettingsFile)
{
	StoreSettings({2, 1, 3, 0, 0, 2, 0, 1, 0});
	game.SetFullscreen(false);
	EXPECT_EQ(std::vector<uint8_t>({2, 1, 3, 1, 0, 2, 0, 1, 0}), TempFolder::ReadBytes(settingsFile));
	game.SetFullscreen(true);
	EXPECT_EQ(std::vector<uint8_t>({2, 1, 3, 0, 0, 2, 0, 1, 0}), TempFolder::ReadBytes(settingsFile));
}

TEST_F(TalvexGameTest, SceneThatEndsIsDeletedAndThePresentationReset)
{
	TrackedScene *first = new TrackedScene(&deleted);
	TrackedScene *second = new TrackedScene(&deleted);

	game.SetScene(first);
	game.RunFrame();
	ASSERT_EQ(first, game.GetCurrentScene());

	Renderer *renderer = game.GetGameRenderer();
	renderer->SetFade(1.5f, 0.75f);
	renderer->SetOverlayMode(1);
	game.SetScene(second);
	EXPECT_TRUE(deleted.empty()) << "the old scene lives until the switch";
	game.RunFrame();
	EXPECT_EQ(std::vector<TrackedScene *>({first}), deleted);
	EXPECT_EQ(second, game.GetCurrentScene());
	EXPECT_EQ(0.0f, renderer->GetFadeAngle());
	EXPECT_EQ(0.0f, renderer->GetFadeAmount());
	EXPECT_EQ(0, renderer->GetOverlayMode());
}

TEST_F(TalvexGameTest, SupersededPendingSceneIsDeletedOnlyWhenReplacedByAnother)
{
	TrackedScene *current = new TrackedScene(&deleted);
	game.SetScene(current);
	game.RunFrame();

	TrackedScene *first = new TrackedScene(&deleted);
	TrackedScene *second = new TrackedScene(&deleted);
	game.SetScene(first);
	game.SetScene(first);
	EXPECT_TRUE(deleted.empty()) << "the same pending scene again is kept";
	game.SetScene(current);
	EXPECT_TRUE(deleted.empty()) << "the current scene again changes nothing";
	EXPECT_EQ(first, game.GetPendingScene());

	game.SetScene(second);
	EXPECT_EQ(std::vector<TrackedScene *>({first}), deleted);
	EXPECT_EQ(second, game.GetPendingScene());

	game.RunFrame();
	EXPECT_EQ(std::vector<TrackedScene *>({first, current}), deleted);
	EXPECT_EQ(second, game.GetCurrentScene());
}

// With the real renderer and the data tree's post modes: at "Brutal" in play
// a plain stored mode is shown through an orthographic one, and that mode
// brings the 8-bit music, while the stored byte stays as it was.
TEST_F(TalvexGameTest, BrutalPlayAppliesAnOrthographicModeOnTheRealRenderer)
{
	if (game.Init() != 0)
		SKIP_FOR_MISSING_DEVICE() << "no video: the renderer could not start";
	EXPECT_EQ(TalvexGame::kFrameRate, game.GetFrameRate());
	Renderer *renderer = game.GetGameRenderer();
	int orthoMode = -1;
	for (uint16_t mode = 1; mode < renderer->GetPostModeCount() && orthoMode < 0; mode++)
		if (renderer->IsPostModeOrtho((uint8_t)mode))
			orthoMode = mode;
	ASSERT_GE(orthoMode, 0) << "the data tree has no orthographic post mode";
	ASSERT_FALSE(renderer->IsPostModeOrtho(0));

	StoreSettings({2, 0, 0, 1, 0, 0, 0, 1, 0});
	game.SetInGame(true);
	GameProgress::SetDifficulty(2);
	game.ApplySettings();
	EXPECT_EQ(orthoMode, renderer->GetPostModeIndex());
	EXPECT_EQ("data/music8.xml", MusicPlayer::Instance()->CueListName());
	EXPECT_EQ(0, Settings::Instance().Get()[kSettingGraphicsMode]);

	GameProgress::SetDifficulty(1);
	game.ApplySettings();
	EXPECT_EQ(0, renderer->GetPostModeIndex());
	EXPECT_EQ("data/music.xml", MusicPlayer::Instance()->CueListName());
}

// A write killed between its temporary file and the rename leaves "<file>.tmp"
// beside the whole old file: the next start clears every such leftover of
// the files the game writes, and nothing else.
TEST_F(TalvexGameTest, StartClearsTheTemporaryFilesOfKilledWrites)
{
	GameProgress::SetSaveFolder(folder.Folder().c_str());
	const std::string saves[] = {GameProgress::SaveFileName(0), GameProgress::SaveFileName(2)};
	for (const std::string &save : saves) {
		TempFolder::WriteBytes(save, {1, 2, 3});
		TempFolder::WriteBytes(save + ".tmp", {1, 2});
	}
	TempFolder::WriteBytes(settingsFile + ".tmp", {9});
	const std::string stranger = folder.Path("notes.txt.tmp");
	TempFolder::WriteBytes(stranger, {7});

	game.RemoveStaleTempFiles();

	for (const std::string &save : saves) {
		EXPECT_FALSE(std::filesystem::exists(save + ".tmp")) << save;
		EXPECT_EQ(TempFolder::ReadBytes(save), std::vector<uint8_t>({1, 2, 3})) << save;
	}
	EXPECT_FALSE(std::filesystem::exists(settingsFile + ".tmp"));
	EXPECT_TRUE(std::filesystem::exists(stranger)) << "only the game's own files are swept";
	EXPECT_FALSE(RemoveStaleTempFile(saves[0].c_str())) << "nothing is left to remove";
	GameProgress::SetSaveFolder("");
}
