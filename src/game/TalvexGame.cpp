#include "game/TalvexGame.h"

#include <SDL.h>
#include <cstring>

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/Log.h"
#include "engine/core/Scene.h"
#include "engine/render/Textbox.h"
#include "map/MapFiles.h"
#include "map/MapPreloader.h"
#include "map/Missions.h"
#include "map/TileMap.h"
#include "game/GameProgress.h"
#include "game/GameService.h"
#include "game/Settings.h"
#include "game/TalvexGameScene.h"

constexpr int kModeChooksDoor = 2;
constexpr int kModeOriginalHacks = 1;
constexpr int kModeNormal = 0;
constexpr const char *kDefaultFontName = "fonts/body2"; // the game's text face
constexpr uint8_t kDefaultFontSize = 18;                 // pixels of the logical screen
constexpr uint16_t kTitleOverlayMode = 1;
constexpr float kThemeSongVolume = 0.5f;
constexpr float kMillisecondsPerSecond = 1000.0f;
constexpr const char *kDefaultPreloadMap = "maps/town.tmx"; // a slot without a start map shows the town

namespace {

int SdlOpenUrl(const char *url)
{
	return SDL_OpenURL(url);
}

TalvexGame::UrlOpener g_urlOpener = &SdlOpenUrl;

const SaveSlotSummary kEmptySummary{};

}

TalvexGame::TalvexGame()
	: Game("The Sword of Quillowen")
{
	GameLink::Install(&link);
}

TalvexGame::~TalvexGame()
{
	DropScenes();
	if (GameLink::IsInstalled(&link))
		GameLink::Install(nullptr);
	// The preloaders' tile maps may still be listed by a scene of this game.
	if (MapPreloader::Instance() == preloader.get())
		MapPreloader::SetInstance(nullptr);
	preloader.reset();
	retiredPreloaders.clear();
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

TalvexGame &TalvexGame::Current()
{
	TalvexGame *running = Running();
	return running != nullptr ? *running : Instance();
}

void TalvexGame::DropScenes()
{
	Scene *pending = pendingScene;
	Scene *current = currentScene;
	pendingScene = nullptr;
	currentScene = nullptr;
	delete pending;
	if (current != pending)
		delete current;
	// The pop-up's text and icon hold cached drawing resources, which must
	// go before the caches do at exit.
	overlay.ReleaseDrawing();
}

int32_t TalvexGame::Init()
{
	LogDebug("------\nINIT\n------\n");
	int32_t result = Game::Init();
	if (result != 0)
		return result;
	SetFrameRate(kFrameRate);
	ApplySettings();
	return (int32_t)GetGameService().Init();
}

void TalvexGame::Update(float dt)
{
	if (timerPaused == 0)
		playTimeMs += (uint32_t)(dt * kMillisecondsPerSecond);
	overlay.Update(dt);
	FreeRetiredPreloaders();
}

void TalvexGame::Render()
{
	overlay.Render();
}

void TalvexGame::Quit()
{
	inGame = 0;
	Game::Quit();
	GetGameService().Shutdown();
}

void TalvexGame::SetScene(Scene *next)
{
	if (next == nullptr)
		return;
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

int TalvexGame::Mode()
{
	if (GameProgress::Flag("chooksdoor"))
		return kModeChooksDoor;
	if (GameProgress::Flag(kOriginalContentFlag))
		return kModeOriginalHacks;
	return kModeNormal;
}

bool TalvexGame::IsMode(int mode)
{
	return Mode() == mode;
}

const SaveSlotSummary &TalvexGame::SlotSummary(uint8_t slot) const
{
	return slot < kSaveSlotCount ? slotSummaries[slot] : kEmptySummary;
}

// --- Screen changes -----------------------------------------------------------

void TalvexGame::ShowStartup()
{
	LogDebug("------\nSTARTUP\n------\n");
	ScanSaveSlots();
	ContinueLastSlot();
}

void TalvexGame::ShowTitle()
{
	LogDebug("------\nTITLE\n------\n");
	if (inGame != 0) {
		MusicPlayer::Instance()->Stop();
		inGame = 0;
	}
	renderer.SetOverlayMode(kTitleOverlayMode);
	ContinueLastSlot();
}

void TalvexGame::ShowPreIntro()
{
	LogDebug("No pre-intro screen yet: straight into play\n");
	ShowGameScene();
}

void TalvexGame::ShowIntro()
{
	LogDebug("No intro screen yet: straight into play\n");
	ShowGameScene();
}

void TalvexGame::ShowGameScene()
{
	SetPlayScene();
}

void TalvexGame::ShowDied()
{
	LogDebug("------\nDIED\n------\n");
	GameProgress::SetPlaySeconds(playTimeMs / 1000);
	MusicPlayer::Instance()->Stop();
	ContinueGame();
}

void TalvexGame::ShowQuestComplete()
{
	LogDebug("------\nWON\n------\n");
	ShowStartup();
}

bool TalvexGame::IsOriginalContent()
{
	return GameProgress::Flag(kOriginalContentFlag) || GameProgress::Flag(kOriginalMapsFlag);
}

void TalvexGame::ShowWinAlt(const char *text, int ending)
{
	LogDebug("------\nWON ALT\n------\n");
	Log("No win screen for ending %i: %s\n", ending, text != nullptr ? text : "");
	ShowStartup();
}

void TalvexGame::ShowWon()
{
	LogDebug("------\nWON CONTINUE\n------\n");
	ShowStartup();
}

void TalvexGame::ShowEndChoice()
{
	ProgressSummary summary;
	Missions::Summarize(summary, GameProgress::Current());
	if (summary.percent >= kCompletePercent) {
		ShowTitle();
		return;
	}
	LogDebug("No end choice screen yet\n");
	ShowStartup();
}

void TalvexGame::ShowCredits(bool withTheme)
{
	if (withTheme) {
		MusicPlayer::Instance()->Stop();
		Sound::Instance()->Play("sfx/themesong.ogg", kThemeSongVolume, 0.0f, 0);
	}
	LogDebug("No credits screen yet\n");
	ShowStartup();
}

void TalvexGame::ShowCreditsFR()
{
	MusicPlayer::Instance()->Stop();
	LogDebug("No credits screen yet\n");
	ShowStartup();
}

void TalvexGame::ShowLoadScreen()
{
	LogDebug("No load screen yet: straight into play\n");
	SetPlayScene();
}

void TalvexGame::SetPlayScene()
{
	SetScene(new TalvexGameScene());
}

void TalvexGame::ContinueLastSlot()
{
	uint8_t slot = Settings::Instance().Get()[kSettingLastSaveSlot];
	GameProgress::SetSaveSlot(slot < kSaveSlotCount ? slot : 0);
	ContinueGame();
}

// --- Starting play --------------------------------------------------------------

void TalvexGame::NewGame(uint32_t difficulty, uint8_t og)
{
	GameProgress::ResetGlobal();
	GameProgress::SetDifficulty(difficulty);
	GameProgress::SetRespawnLevel(difficulty);
	if (og != 0)
		GameProgress::SetFlag("shotmap", 0);
	else if (difficulty < (uint32_t)kDifficultyBrutal)
		GameProgress::SetFlag("shotmap", 1);
	if (og != 0)
		GameProgress::SetFlag(kOriginalContentFlag, 1);
	StartPlay();
}

void TalvexGame::ContinueGame()
{
	GameProgress::LoadCurrentSlot();
	if (GameProgress::Flag("ending") && !GameProgress::Flag("newgame+")) {
		uint8_t values[kSettingsSize];
		memcpy(values, Settings::Instance().Get(), sizeof(values));
		values[kSettingAudioMode] = kAudioEightBit;
		Settings::Instance().Set(values);
	}
	StartPlay();
}

void TalvexGame::ContinueWith(uint16_t mapId)
{
	GameProgress::SetPendingValue(mapId);
	ContinueGame();
}

bool TalvexGame::LoadGameFrom(const char *path)
{
	// Read into a copy (which keeps the pending map and exit span, as a reset
	// does), so that a missing or damaged file leaves the live game whole. A
	// file picked by name that is not there is no fresh game either.
	if (path == nullptr)
		return false;
	GameProgress loaded = GameProgress::Current();
	if (!GameProgress::Read(loaded, path)) {
		Log("Couldn't load game from %s\n", path);
		return false;
	}
	GameProgress::Assign(loaded);
	StartPlay();
	return true;
}

void TalvexGame::StartPlay()
{
	LogDebug("------\nSTART GAME\n------\n");
	overlay.state = kSceneActive;
	overlay.Start();
	inGame = 1;
	if (MapPreloader *current = MapPreloader::Instance())
		current->Discard();
	renderer.SetOverlayMode(0);
	ApplySettings();
	uint8_t values[kSettingsSize];
	memcpy(values, Settings::Instance().Get(), sizeof(values));
	values[kSettingLastSaveSlot] = GameProgress::SaveSlot();
	Settings::Instance().Set(values);
	if (anySlotEnded != 0)
		GameProgress::SetFlag("haswon", 1);
	MusicPlayer::Instance()->Stop();
	if (GameProgress::IsFresh() && Mode() != kModeOriginalHacks && !GameProgress::Flag("ending"))
		ShowPreIntro();
	else
		ShowLoadScreen();
	playTimeMs = GameProgress::PlaySeconds() * 1000;
}

// --- Slots and preloading ---------------------------------------------------------

void TalvexGame::ScanSaveSlots()
{
	anySlotUsed = 0;
	anySlotEnded = 0;
	for (uint8_t slot = 0; slot < kSaveSlotCount; slot++) {
		GameProgress record;
		if (!GameProgress::ReadSlot(record, slot)) {
			slotSummaries[slot] = SaveSlotSummary{};
			continue;
		}
		ProgressSummary completion;
		Missions::Summarize(completion, record);
		slotSummaries[slot] = record.Summary(completion);
		if (slotSummaries[slot].played != 0)
			anySlotUsed = 1;
		if (slotSummaries[slot].ended != 0)
			anySlotEnded = 1;
	}
	if (anySlotEnded != 0) {
		uint8_t values[kSettingsSize];
		memcpy(values, Settings::Instance().Get(), sizeof(values));
		values[kSettingHasWon] = 1;
		Settings::Instance().Set(values);
	}
}

void TalvexGame::PreloadStartMap()
{
	GameProgress::LoadCurrentSlot();
	uint16_t mapId = GameProgress::StartMap();
	if (mapId == 0)
		mapId = MapFileHash(kDefaultPreloadMap);
	PreloadMap(mapId);
}

void TalvexGame::PreloadMap(uint16_t mapId)
{
	MapPreloader *current = MapPreloader::Instance();
	if (current != nullptr && current->GetMapId() == mapId)
		return;
	if (preloader != nullptr)
		retiredPreloaders.push_back(std::move(preloader));
	// The new preloader is the current one, even while an older one lives on
	// in a scene that still shows its map.
	MapPreloader::SetInstance(nullptr);
	preloader = std::make_unique<MapPreloader>(mapId, MapPreloader::kBackdropFlags);
	MapPreloader::SetInstance(preloader.get());
	FreeRetiredPreloaders();
}

void TalvexGame::FreeRetiredPreloaders()
{
	for (size_t i = 0; i < retiredPreloaders.size();) {
		MapPreloader *old = retiredPreloaders[i].get();
		TileMap *tileMap = old->GetTileMap();
		bool listedElsewhere = tileMap != nullptr && tileMap->scene != nullptr && tileMap->scene != old->GetScene();
		if (listedElsewhere) {
			i++;
			continue;
		}
		retiredPreloaders.erase(retiredPreloaders.begin() + (ptrdiff_t)i);
	}
}

void TalvexGame::OpenMakerPage()
{
	if (g_urlOpener(kMakerPageUrl) != 0)
		Log("Couldn't open %s: %s\n", kMakerPageUrl, SDL_GetError());
}

void TalvexGame::SetUrlOpener(UrlOpener opener)
{
	g_urlOpener = opener != nullptr ? opener : &SdlOpenUrl;
}
