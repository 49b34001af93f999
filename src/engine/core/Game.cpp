#include "engine/core/Game.h"

#include <SDL.h>

#include "engine/core/Input.h"
#include "engine/core/Scene.h"

namespace {

Game *g_game = nullptr;

constexpr float kMinFrameTimeFactor = 0.8f;	// shortest frame time, in frame periods
constexpr float kMaxFrameTimeFactor = 1.5f;	// longest frame time, in frame periods
constexpr float kMillisecondsPerSecond = 1000.0f;

// Scancodes of the full-screen toggle, Alt+Return.
constexpr uint16_t kScanReturn = 40;
constexpr uint16_t kScanLeftAlt = 226;
constexpr uint16_t kScanRightAlt = 230;

uint32_t SdlTicks()
{
	return SDL_GetTicks();
}

void SdlDelay(uint32_t milliseconds)
{
	SDL_Delay(milliseconds);
}

}

Game::Game(const char *windowTitle)
{
	SDL_strlcpy(title, windowTitle != nullptr ? windowTitle : "", sizeof(title));
	SetClock(nullptr, nullptr);
	g_game = this;
}

Game::~Game()
{
	if (g_game == this)
		g_game = nullptr;
}

Game *Game::Get()
{
	return g_game;
}

int32_t Game::Init()
{
	const int32_t result = renderer.Startup(title);
	if (result != 0)
		return result;
	Input *input = Input::Get();
	input->Reset();
	input->SetDefaultBindings();
	return 0;
}

void Game::Update(float dt)
{
	(void)dt;
}

void Game::Render()
{
}

void Game::Quit()
{
	running = 0;
}

void Game::SetScene(Scene *next)
{
	if (next == currentScene)
		return;
	if (currentScene != nullptr) {
		currentScene->state = kSceneLeaving;
		currentScene->Leave(next);
	}
	next->game = this;
	pendingScene = next;
	next->state = kScenePending;
}

void Game::OnSceneStart(Scene *started)
{
	(void)started;
}

void Game::OnSceneEnd(Scene *ended)
{
	(void)ended;
}

void Game::SetFullscreen(bool on)
{
	renderer.SetFullscreen(on);
}

bool Game::IsFullscreen()
{
	return renderer.IsFullscreen();
}

void Game::SetFrameRate(uint8_t framesPerSecond)
{
	frameRate = framesPerSecond;
}

void Game::SetClock(TickFunction ticks, DelayFunction delay)
{
	tickFunction = ticks != nullptr ? ticks : &SdlTicks;
	delayFunction = delay != nullptr ? delay : &SdlDelay;
}

bool Game::RunFrame()
{
	// The switch waits for the frame start so that a scene never ends in the
	// middle of its own update or drawing.
	if (pendingScene != nullptr) {
		if (currentScene != nullptr)
			OnSceneEnd(currentScene);
		currentScene = pendingScene;
		pendingScene = nullptr;
		currentScene->state = kSceneActive;
		OnSceneStart(currentScene);
		currentScene->Start();
	}

	const uint32_t now = tickFunction();
	const uint32_t delta = now - lastTicks;

	renderer.BeginFrame();

	// Rates 0 and 1 both run at one frame per second.
	const float rate = frameRate > 1 ? static_cast<float>(frameRate) : 1.0f;
	const float period = 1.0f / rate;
	const int32_t periodMs = static_cast<int32_t>(period * kMillisecondsPerSecond);

	// The scene and the game always see a frame time close to the period,
	// whatever a stall or a fast frame measured.
	float dt = static_cast<float>(delta) / kMillisecondsPerSecond;
	if (period * kMinFrameTimeFactor > dt)
		dt = period * kMinFrameTimeFactor;
	else if (dt > period * kMaxFrameTimeFactor)
		dt = period * kMaxFrameTimeFactor;

	Input *input = Input::Get();
	SDL_Event event;
	while (SDL_PollEvent(&event)) {
		if (event.type == SDL_QUIT) {
			Quit();
			return false;
		}
		if (event.type == SDL_WINDOWEVENT) {
			if (event.window.event == SDL_WINDOWEVENT_RESIZED)
				renderer.Resize(static_cast<uint32_t>(event.window.data1), static_cast<uint32_t>(event.window.data2));
			continue;
		}
		input->HandleEvent(event);
		// Tested on every key-down, so a key repeat of Return while Alt is
		// held toggles again.
		if (event.type == SDL_KEYDOWN && (input->IsKeyDown(kScanLeftAlt) || input->IsKeyDown(kScanRightAlt)) &&
			input->IsKeyDown(kScanReturn))
			SetFullscreen(!IsFullscreen());
	}
	input->UpdateControllers();

	if (currentScene != nullptr)
		currentScene->Update(dt);
	Update(dt);

	renderer.BeginFrame();
	renderer.UpdateCameraMatrices();
	if (currentScene != nullptr)
		currentScene->Render();
	Render();
	renderer.EndFrame();

	const uint32_t elapsed = tickFunction() - now;
	const int32_t wait = periodMs - static_cast<int32_t>(elapsed);
	if (wait > 0)
		delayFunction(static_cast<uint32_t>(wait));

	input->EndFrame();
	// The next delta starts here, so it includes this frame's sleep.
	lastTicks = now;
	return running != 0;
}
