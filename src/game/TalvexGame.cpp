#include "game/TalvexGame.h"

#include "audio/MusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/Log.h"
#include "engine/core/Scene.h"
#include "engine/render/Textbox.h"
#include "game/GameProgress.h"
#include "game/Settings.h"

constexpr int kModeChooksDoor = 2;
constexpr int kModeOriginalHacks = 1;
constexpr int kModeNormal = 0;
constexpr const char *kDefaultFontName = "fonts/body2"; // the game's text face
constexpr uint8_t kDefaultFontSize = 18;                 // pixels of the logical screen

TalvexGame::TalvexGame()
	: Game("The Sword of Quillowen")
{
}

TalvexGame &TalvexGame::Instance()
{
	static TalvexGame game;
	return game;
}

TalvexGame *TalvexGame::Running()
{
	return dynamic_cast<TalvexGame *>(Game::Get());
}

void TalvexGame::StepGraphicsMode(uint16_t modeCount)
{
	if (modeCount == 0)
		return; // no modes to step through
	Settings &settings = Settings::Instance();
	settings.SetValue(kSettingGraphicsMode, (uint8_t)((settings.Get()[kSettingGraphicsMode] + 1) % modeCount));
	if (TalvexGame *game = Running())
		game->ApplySettings();
}

int32_t TalvexGame::Init()
{
	LogDebug("------\nINIT\n------\n");
	int32_t result = Game::Init();
	if (result != 0)
		return result;
	SetFrameRate(kFrameRate);
	ApplySettings();
	return 0;
}

void TalvexGame::SetScene(Scene *next)
{
	// The engine forgets a pending scene that a newer one replaces before the
	// switch; it was handed to us, so it is ours to delete. A repeat of the
	// current scene changes nothing, so the pending one stays then.
	if (next != currentScene && pendingScene != nullptr && pendingScene != next) {
		Scene *superseded = pendingScene;
		pendingScene = nullptr;
		delete superseded;
	}
	Game::SetScene(next);
}

void TalvexGame::OnSceneEnd(Scene *ended)
{
	renderer.SetFade(0.0f, 0.0f);
	renderer.SetOverlayMode(0);
	delete ended;
}

void TalvexGame::SetFullscreen(bool on)
{
	Game::SetFullscreen(on);
	Settings::Instance().SetValue(kSettingWindowed, IsFullscreen() ? 0 : 1);
}

uint8_t TalvexGame::ChoosePostMode(uint8_t storedMode, uint16_t modeCount, bool inGame, int difficulty,
	const std::function<bool(uint8_t)> &isOrtho)
{
	uint8_t mode = storedMode;
	if (!inGame)
		return mode;
	for (uint16_t step = 0; step < modeCount; step++) {
		mode = (uint8_t)((storedMode + step) % modeCount);
		if (difficulty < kDifficultyBrutal || isOrtho(mode))
			break;
	}
	return mode;
}

void TalvexGame::ApplySettings()
{
	const uint8_t *settings = Settings::Instance().Get();
	const uint8_t audioMode = settings[kSettingAudioMode];

	uint8_t mode = ChoosePostMode(settings[kSettingGraphicsMode], renderer.GetPostModeCount(), inGame != 0,
		GameProgress::Difficulty(), [this](uint8_t index) { return renderer.IsPostModeOrtho(index); });
	renderer.SetPostModeIndex(mode);

	LoadMusicCues(audioMode == kAudioEightBit || renderer.IsPostModeOrtho(mode));
	timedMode = settings[kSettingTimedMode] == 1;
	Sound::Instance()->SetDisabled(audioMode == kAudioAllOff);
	MusicPlayer::Instance()->SetMuted(audioMode == kAudioMusicOff || audioMode == kAudioAllOff);
	renderer.SetFullscreen(settings[kSettingWindowed] == 0);
	SetDefaultFontName(kDefaultFontName);
	SetDefaultFontSize(kDefaultFontSize);
}

void TalvexGame::LoadMusicCues(uint8_t eightBit)
{
	MusicPlayer::Instance()->LoadCues(eightBit ? "data/music8.xml" : "data/music.xml");
}

bool TalvexGame::IsMode(int mode)
{
	int current = kModeNormal;
	if (GameProgress::Flag("chooksdoor"))
		current = kModeChooksDoor;
	else if (GameProgress::Flag(kOriginalContentFlag))
		current = kModeOriginalHacks;
	return current == mode;
}

bool TalvexGame::IsOriginalContent()
{
	return GameProgress::Flag(kOriginalContentFlag) || GameProgress::Flag(kOriginalMapsFlag);
}

void TalvexGame::ShowWinAlt(const char *text, int ending)
{
	// No win screen exists to switch to: log which one would show.
	Log("No win screen for ending %i: %s\n", ending, text != nullptr ? text : "");
}
