#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/Game.h"
#include "game/SaveSlotSummary.h"
#include "game/ScreenOverlay.h"
#include "game/TalvexGameLink.h"

class MapPreloader;
class Scene;

// The game proper on top of the engine's Game: it opens the window titled
// "The Sword of Quillowen", runs at 60 frames per second, turns the player's
// settings into the renderer's look, the window mode and the audio switches,
// counts play time, keeps the summaries of the three save slots, and offers
// one operation per change of screen (start-up, title, intro, play, death,
// quest complete, the endings, credits). Each creates the next scene and
// hands it to the engine's switch; the game owns every scene handed to it: a
// scene is deleted when the next one replaces it, and a pending scene that a
// newer one supersedes before the switch is deleted at once. It keeps the
// achievement overlay as a member, updated and drawn over every scene, and
// installs the world objects' link up into the game while it exists.
//
// There is one game, reached through Instance; tests make their own.
class TalvexGame : public Game {
public:
	static constexpr uint8_t kFrameRate = 60; // frames per second of play
	// The maker's page that the title menu opens.
	static constexpr const char *kMakerPageUrl = "https://talvex.games/";

	// Opens a web address; returns 0 on success. SDL's by default.
	using UrlOpener = int (*)(const char *url);

	// The single game, built on first use and destroyed at exit.
	static TalvexGame &Instance();
	// The game that runs now (Game::Get) when it is this game; null when none
	// runs or another Game does.
	static TalvexGame *Running();
	// The game being run when it is this game's kind, else Instance.
	static TalvexGame &Current();
	~TalvexGame() override;

	// Window, renderer and input, the frame rate, the settings, then the game
	// service. Nonzero when the engine could not start (it has shown its box)
	// or the service asked to stop.
	int32_t Init() override;
	// Play time (unless paused), then the overlay.
	void Update(float dt) override;
	void Render() override;
	// Leaves play, stops the frame loop and shuts the game service.
	void Quit() override;
	void SetScene(Scene *next) override;
	// Deletes the current and the pending scene. main calls it once the frame
	// loop is over, so the scenes go while everything they use still exists;
	// the game's destructor calls it too.
	void DropScenes();
	// Clears the fade and the overlay mode and deletes the scene that ended.
	void OnSceneEnd(Scene *ended) override;
	// Also keeps the choice in the settings, so it survives a restart.
	void SetFullscreen(bool on) override;

	// The renderer's post mode, the cue list, the text defaults, Timed Mode,
	// the sound and music switches and the window mode, from the settings.
	void ApplySettings();
	// Clears what killed writes of the saves, settings and achievements left.
	void RemoveStaleTempFiles();
	// Moves the stored graphics mode on to the next of modeCount post modes,
	// in a circle, keeps it in the settings and, while the game runs, applies
	// them. Nothing without modes.
	static void StepGraphicsMode(uint16_t modeCount);
	// Makes the music player read the 8-bit cue list when eightBit is set.
	void LoadMusicCues(uint8_t eightBit);

	// --- Queries ---
	// The game mode: 2 while the game flag "chooksdoor" is set, else 1 while
	// "oghacks" is set, else 0.
	static int Mode();
	static bool IsMode(int mode);
	// The original content is on ("oghacks" or "ogmaps").
	static bool IsOriginalContent();
	bool IsInGame() const { return inGame != 0; }
	// Timed Mode is on.
	uint8_t OptionFlag() const { return timedMode; }
	bool IsTimerPaused() const { return timerPaused != 0; }
	void SetTimerPaused(uint8_t paused) { timerPaused = paused != 0 ? 1 : 0; }
	uint32_t PlayTimeMs() const { return playTimeMs; }
	bool HasEndedSlot() const { return anySlotEnded != 0; }
	bool HasUsedSlot() const { return anySlotUsed != 0; }
	// The slot's save holds play time (by its full play seconds).
	bool IsSlotUsed(uint8_t slot) const { return slot < kSlotCount && slotUsed[slot] != 0; }
	// Slots 0 to 2; any other slot gets one shared empty summary.
	const SaveSlotSummary &SlotSummary(uint8_t slot) const;
	ScreenOverlay &GetOverlay() { return overlay; }

	// --- Screen changes (tests record them) ---
	virtual void ShowStartup();
	virtual void ShowTitle();
	virtual void ShowPreIntro();
	virtual void ShowIntro();
	virtual void ShowGameScene();
	// Keeps the play time in the record and stops the music first.
	virtual void ShowDied();
	virtual void ShowQuestComplete();
	// An ending's screen with its caption and number.
	virtual void ShowWinAlt(const char *text, int ending);
	virtual void ShowWon();
	// The title instead when the current game is complete.
	virtual void ShowEndChoice();
	virtual void ShowCredits(bool withTheme);
	virtual void ShowCreditsFR();

	// --- Starting play ---
	// A fresh game at the difficulty; og plays the original content.
	void NewGame(uint32_t difficulty, uint8_t og);
	// Loads the current save slot and plays it.
	void ContinueGame();
	// Plays the current slot starting on the given map.
	void ContinueWith(uint16_t mapId);
	// Plays the save file at path. A file that cannot be read starts nothing
	// and changes neither the live game nor the slot; false then.
	bool LoadGameFrom(const char *path);
	// The common end of every way into play.
	void StartPlay();

	// Reads the three save slots into their summaries.
	void ScanSaveSlots();
	// Starts loading the current slot's start map behind the title.
	void PreloadStartMap();
	// The preloader made last; null when none.
	MapPreloader *GetPreloader() const { return preloader.get(); }
	size_t RetiredPreloaderCount() const { return retiredPreloaders.size(); }
	// A preloader for mapId, unless the current one already holds it. The
	// old one is freed once no scene lists its map any more.
	void PreloadMap(uint16_t mapId);
	void OpenMakerPage();
	// Null restores SDL's.
	static void SetUrlOpener(UrlOpener opener);

	// The post mode shown for a stored graphics mode. In play at "Brutal"
	// (difficulty 2 or more) only orthographic modes are allowed, so the first
	// one at or after the stored mode in cyclic order is taken (the last one
	// tried when there is none); otherwise the stored mode is used, taken
	// modulo the count in play.
	static uint8_t ChoosePostMode(uint8_t storedMode, uint16_t modeCount, bool inGame, int difficulty,
		const std::function<bool(uint8_t)> &isOrtho);

protected:
	TalvexGame();

	// The load screen before play; it leads into play.
	virtual void ShowLoadScreen();
	// Switches to a scene of play; the load screen and the intro end here.
	virtual void SetPlayScene();
	// Frees the replaced preloaders whose map no other scene lists.
	void FreeRetiredPreloaders();
	// The current preloader, then the replaced ones still alive.
	std::vector<MapPreloader *> AllPreloaders() const;

	uint8_t anySlotUsed = 0;
	uint8_t anySlotEnded = 0;
	static constexpr uint8_t kSlotCount = 3;
	SaveSlotSummary slotSummaries[kSlotCount];
	uint8_t slotUsed[kSlotCount] = {};
	ScreenOverlay overlay;
	uint8_t inGame = 0;    // play has started and not yet gone back to the title
	uint8_t timedMode = 0; // settings byte 4 was 1 at the last ApplySettings
	uint32_t playTimeMs = 0;
	uint8_t timerPaused = 0;

	// The preloader made by PreloadMap, and those it replaced that a scene
	// may still show.
	std::unique_ptr<MapPreloader> preloader;
	std::vector<std::unique_ptr<MapPreloader>> retiredPreloaders;

private:
	TalvexGameLink link{*this};
};
