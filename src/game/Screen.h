#pragma once

#include <cstdint>

#include "engine/core/Scene.h"

// What a screen runs when it is told it is done: nothing in the game installs
// one, so a screen asking for it only logs.
class ScreenDoneAction {
public:
	virtual ~ScreenDoneAction() = default;
	virtual void Run(intptr_t first, intptr_t second, intptr_t third) = 0;
};

// A full-screen stage outside play: the start-up logos, the title, the load
// screen, the death and victory screens, the intro, the credits and the
// achievement overlay. Screens never switch themselves: each asks one of the
// game's screen operations for the next stage, and the game deletes the old
// screen at the start of the next frame. Members of a screen are constructed
// and destroyed with it; the entities among them are listed at Start and never
// deleted by the scene.
class Screen : public Scene {
public:
	Screen() = default;
	~Screen() override = default;

	// The scene's update; screens call it first or last in their own.
	void Update(float dt) override;
	// Passes the three values to the done action; without one it logs.
	virtual void SetScreen(intptr_t first, intptr_t second, intptr_t third);

	// Not owned; null by default.
	ScreenDoneAction *doneAction = nullptr;
};
