#pragma once

#include <cstdint>

#include "engine/core/Scene.h"

#include <glm/vec2.hpp>

class Camera;
class Textbox;

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

	// True once the screen has asked the game for its next stage.
	bool HasAskedNext() const { return askedNext != 0; }

protected:
	// True the first time only: a screen asks for its next stage once, even
	// when two of its ends hold in one frame.
	bool AskNext();
	// Milliseconds of the running game's frame clock (SDL's without a game).
	static uint32_t Ticks();
	// A text box placed on the interface: its alignment offset, size, text
	// and position.
	static void PlaceText(Textbox &box, glm::vec2 offset, uint8_t size, glm::vec2 at, const char *text);
	// Makes the camera current with a black clear colour.
	static void UseCamera(Camera &camera);
	// The thunder clap that opens and closes the victory screens.
	static void PlayThunder();
	static void StopMusic();

private:
	uint8_t askedNext = 0;
};
