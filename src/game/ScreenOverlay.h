#pragma once

#include "game/Screen.h"

// The screen that the game keeps over every other one, for achievement
// pop-ups. It is a member of the game, never switched: the game updates and
// draws it after the current scene. It shows nothing yet; play starting
// (the game's StartPlay) enters it, which makes it the one Instance returns.
class ScreenOverlay : public Screen {
public:
	ScreenOverlay() = default;
	~ScreenOverlay() override;

	// The overlay whose Start ran last; null before any.
	static ScreenOverlay *Instance();

	void Start() override;
	// True while an achievement pop-up is on screen; never yet.
	bool IsPopupShowing() const { return false; }
};
