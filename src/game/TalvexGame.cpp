#include "game/TalvexGame.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/Scene.h"
#include "engine/render/Textbox.h"
#include "map/MapFiles.h"
#include "map/MapPreloader.h"
#include "map/Missions.h"
#include "map/TileMap.h"
#include "objects/MapEntityFactory.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/GameService.h"
#include "game/Settings.h"
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
#include "game/TalvexGameScene.h"
#include "game/UITitleMenu.h"

constexpr int kModeChooksDoor = 2;
constexpr int kModeOriginalHacks = 1;
constexpr int kModeNormal = 0;
constexpr const char *kDefaultFontName = "fonts/body2"; // the game's text face
constexpr uint8_t kDefaultFontSize = 18;                 // pixels of the logical screen
constexpr uint16_t kTitleOverlayMode = 1;
constexpr float kThemeSongVolume = 0.5f;
constexpr float kMillisecondsPerSecond = 1000.0f;
constexpr const char *kDefaultPreloadMap = "maps/town.tmx"; // a slot without a start map shows the town
constexpr size_t kKeptNumberRoom = 3; // " 99", the number that tells kept games of one name apart

namespace {

int SdlOpenUrl(const char *url)
{
	return SDL_OpenURL(url);
}

TalvexGame::UrlOpener g_urlOpener = &SdlOpenUrl;

const SaveSlotSummary kEmptySummary{};

// The name a slot's game is kept under when another save file is played in
// it: "slot 1 before my old run" for "my_old-run.sav", short enough that the
// other saves page shows it whole, with its number.
std::string KeptSlotName(uint8_t slot, const char *loadedPath)
{
	const std::string loadedFile = std::filesystem::path(loadedPath).filename().string();
	std::string loaded = UITitleMenu::OtherSaveLabel(loadedFile.c_str());
	if (loaded.empty())
		loaded = "another save";
	std::string name = "slot " + std::to_string(slot + 1) + " before " + loaded;
	name.resize(std::min(name.size(), UITitleMenu::kOtherSaveLabelLength - kKeptNumberRoom));
	while (!name.empty() && name.back() == ' ')
		name.pop_back();
	return name;
}

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
	// A preloaded map shown by a scene (the title's backdrop) gives its
	// entities back while that scene still lists them: once the scene is
	// gone nobody could free them.
	for (MapPreloader *loader : AllPreloaders()) {
		TileMap *tileMap = loader->GetTileMap();
		if (tileMap != nullptr && tileMap->scene != nullptr)
			tileMap->Clear();
	}
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
	RemoveStaleTempFiles();
	ApplySettings();
	return (int32_t)GetGameService().Init();
}

void TalvexGame::RemoveStaleTempFiles()
{
	// A write killed between its temporary file and the rename leaves the
	// temporary file; the real one is whole, so the leftover only goes.
	for (uint8_t slot = 0; slot < kSlotCount; slot++)
		RemoveStaleTempFile(GameProgress::SaveFileName(slot).c_str());
	RemoveStaleTempFile(Settings::Instance().GetFileName().c_str());
	RemoveStaleTempFile(Achievements::StatePath().c_str());
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
	SetScene(new ScreenStartup());
}

void TalvexGame::ShowTitle()
{
	LogDebug("------\nTITLE\n------\n");
	if (inGame != 0) {
		MusicPlayer::Instance()->Stop();
		inGame = 0;
	}
	SetScene(new ScreenTitle());
	renderer.SetOverlayMode(kTitleOverlayMode);
}

void TalvexGame::ShowPreIntro()
{
	SetScene(new ScreenPreIntro());
}

void TalvexGame::ShowIntro()
{
	SetScene(new ScreenIntro());
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
	SetScene(new ScreenDied());
}

void TalvexGame::ShowQuestComplete()
{
	LogDebug("------\nWON\n------\n");
	SetScene(new ScreenCountUp());
}

bool TalvexGame::IsOriginalContent()
{
	return GameProgress::Flag(kOriginalContentFlag) || GameProgress::Flag(kOriginalMapsFlag);
}

void TalvexGame::ShowWinAlt(const char *text, int ending)
{
	LogDebug("------\nWON ALT\n------\n");
	SetScene(new ScreenWinAlt(text, (uint8_t)ending));
}

void TalvexGame::ShowWon()
{
	LogDebug("------\nWON CONTINUE\n------\n");
	SetScene(new ScreenWon());
}

void TalvexGame::ShowEndChoice()
{
	ProgressSummary summary;
	Missions::Summarize(summary, GameProgress::Current().Facts());
	if (summary.percent >= kCompletePercent) {
		ShowTitle();
		return;
	}
	SetScene(new ScreenEndChoice());
}

void TalvexGame::ShowCredits(bool withTheme)
{
	if (withTheme) {
		MusicPlayer::Instance()->Stop();
		Sound::Instance()->Play("sfx/themesong.ogg", kThemeSongVolume, 0.0f, 0);
	}
	SetScene(new ScreenCredits());
}

void TalvexGame::ShowCreditsFR()
{
	MusicPlayer::Instance()->Stop();
	SetScene(new ScreenCreditsFR());
}

void TalvexGame::ShowLoadScreen()
{
	SetScene(new ScreenLoadGame());
}

void TalvexGame::SetPlayScene()
{
	SetScene(new TalvexGameScene());
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
	// The slot is written as soon as the first map loads; what it held
	// until now must not go with that.
	GameProgress::KeepSlotBeforeNextSave(KeptSlotName(GameProgress::SaveSlot(), path));
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
		slotUsed[slot] = 0;
		if (!GameProgress::ReadSlot(record, slot)) {
			slotSummaries[slot] = SaveSlotSummary{};
			continue;
		}
		ProgressSummary completion;
		Missions::Summarize(completion, record.Facts());
		slotSummaries[slot] = record.Summary(completion);
		// The summary keeps 16 bits of the play time; a game of exactly
		// 65536 seconds has been played all the same.
		slotUsed[slot] = slotSummaries[slot].played != 0 || record.playSeconds != 0 ? 1 : 0;
		if (slotUsed[slot] != 0)
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
	preloader = std::make_unique<MapPreloader>(mapId, MapPreloader::kBackdropFlags, std::make_unique<MapEntityFactory>());
	MapPreloader::SetInstance(preloader.get());
	FreeRetiredPreloaders();
}

std::vector<MapPreloader *> TalvexGame::AllPreloaders() const
{
	std::vector<MapPreloader *> all;
	if (preloader != nullptr)
		all.push_back(preloader.get());
	for (const auto &old : retiredPreloaders)
		all.push_back(old.get());
	return all;
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
