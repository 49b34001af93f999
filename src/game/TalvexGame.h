#pragma once

#include <cstdint>
#include <functional>

#include "engine/core/Game.h"

// The game proper on top of the engine's Game: it opens the window titled
// "The Sword of Quillowen", runs at 60 frames per second, turns the player's
// settings into the renderer's look, the window mode and the audio switches,
// and owns every scene handed to it: a scene is deleted when the next one
// replaces it, and a pending scene that a newer one supersedes before the
// switch is deleted at once. There is one game, reached through Instance.
class TalvexGame : public Game {
public:
	static constexpr uint8_t kFrameRate = 60; // frames per second of play

	// The single game, built on first use and destroyed at exit.
	static TalvexGame &Instance();
	// The game that runs now (Game::Get) when it is this game; null when none
	// runs or another Game does.
	static TalvexGame *Running();
	~TalvexGame() override = default;

	// Window, renderer and input, then the frame rate and the settings.
	// Nonzero when the engine could not start (it has shown its box).
	int32_t Init() override;
	void SetScene(Scene *next) override;
	// Clears the fade and the overlay mode and deletes the scene that ended.
	void OnSceneEnd(Scene *ended) override;
	// Also keeps the choice in the settings, so it survives a restart.
	void SetFullscreen(bool on) override;

	// The renderer's post mode, the cue list, the text defaults, Timed Mode,
	// the sound and music switches and the window mode, from the settings.
	void ApplySettings();
	// Moves the stored graphics mode on to the next of modeCount post modes,
	// in a circle, keeps it in the settings and, while the game runs, applies
	// them. Nothing without modes.
	static void StepGraphicsMode(uint16_t modeCount);
	// Makes the music player read the 8-bit cue list when eightBit is set.
	void LoadMusicCues(uint8_t eightBit);

	// The game mode: 2 while the game flag "chooksdoor" is set, else 1 while
	// "oghacks" is set, else 0. True when it equals mode.
	static bool IsMode(int mode);
	// True while the older content is on (game flag "oghacks" or "ogmaps"):
	// maps are then read from "mapo" instead of "maps".
	static bool IsOriginalContent();
	// The alternative win screen with its text and ending number.
	void ShowWinAlt(const char *text, int ending);

	bool IsInGame() const { return inGame != 0; }
	// Timed Mode is on.
	uint8_t OptionFlag() const { return timedMode; }

	// The post mode shown for a stored graphics mode. In play at "Brutal"
	// (difficulty 2 or more) only orthographic modes are allowed, so the first
	// one at or after the stored mode in cyclic order is taken (the last one
	// tried when there is none); otherwise the stored mode is used, taken
	// modulo the count in play.
	static uint8_t ChoosePostMode(uint8_t storedMode, uint16_t modeCount, bool inGame, int difficulty,
		const std::function<bool(uint8_t)> &isOrtho);

protected:
	TalvexGame();

	uint8_t inGame = 0;    // play has started and not yet gone back to the title
	uint8_t timedMode = 0; // settings byte 4 was 1 at the last ApplySettings
};
