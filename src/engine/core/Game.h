#pragma once
#include <cstdint>

#include "engine/render/Renderer.h"

class Scene;

// The application object of the engine. It owns the renderer, knows the
// current scene and the one waiting to take over, and runs the program's only
// main loop, one frame per RunFrame: scene switch, clock, events, update,
// drawing, sleep. It never deletes a scene; the concrete game, which owns the
// scenes it hands over, deletes them in its OnSceneEnd (and deletes a pending
// scene that a newer SetScene replaces). There is one game at a time, reached
// through Game::Get.
class Game {
public:
	// Millisecond clock and sleep of the frame step; SDL's by default. Tests
	// replace them to drive frames with chosen times and no real sleep.
	using TickFunction = uint32_t (*)();
	using DelayFunction = void (*)(uint32_t milliseconds);

	// The title is copied and cut to kTitleSize - 1 characters.
	explicit Game(const char *windowTitle);
	virtual ~Game();
	Game(const Game &) = delete;
	Game &operator=(const Game &) = delete;

	// The game being run; null while none exists.
	static Game *Get();

	// Starts the renderer and the input. 0 on success; otherwise the
	// renderer's failure code.
	virtual int32_t Init();
	// Runs after the current scene's update, with the frame time in seconds.
	virtual void Update(float dt);
	// Draws after the current scene.
	virtual void Render();
	virtual void Quit();
	// Marks the current scene as leaving at once; the new scene becomes
	// current at the start of the next RunFrame.
	virtual void SetScene(Scene *next);
	virtual void OnSceneStart(Scene *started);
	virtual void OnSceneEnd(Scene *ended);
	virtual void SetFullscreen(bool on);
	virtual bool IsFullscreen();

	void SetFrameRate(uint8_t framesPerSecond);
	// One frame. False when the game must stop (quit event or Quit).
	bool RunFrame();

	// Null restores SDL's clock or sleep.
	void SetClock(TickFunction ticks, DelayFunction delay);
	// Milliseconds of the frame step's clock; screens time themselves by it.
	uint32_t Ticks() const { return tickFunction(); }

	const char *GetTitle() const { return title; }
	bool IsRunning() const { return running != 0; }
	uint8_t GetFrameRate() const { return frameRate; }
	Scene *GetCurrentScene() const { return currentScene; }
	Scene *GetPendingScene() const { return pendingScene; }
	Renderer *GetGameRenderer() { return &renderer; }

	static constexpr uint32_t kTitleSize = 255;	// bytes, terminator included
	static constexpr uint8_t kDefaultFrameRate = 30;	// frames per second until the game sets its own

protected:
	char title[kTitleSize] = {};
	uint8_t running = 1;
	Renderer renderer;
	Scene *currentScene = nullptr;
	Scene *pendingScene = nullptr;
	uint32_t lastTicks = 0;
	uint8_t frameRate = kDefaultFrameRate;

private:
	TickFunction tickFunction = nullptr;
	DelayFunction delayFunction = nullptr;
};
