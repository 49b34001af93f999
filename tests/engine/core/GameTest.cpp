// The frame step without a window: a game whose renderer never started runs
// frames on a test clock, with synthetic SDL events pushed into the queue,
// and records what the step calls on the scenes and on itself.
#include <gtest/gtest.h>
#include <SDL.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/Game.h"
#include "engine/core/Input.h"
#include "engine/core/Scene.h"

namespace {

uint32_t g_now = 0;	// the test clock, in milliseconds
uint32_t g_workMs = 0;	// how far each frame's update moves the clock
std::vector<uint32_t> g_delays;	// sleeps the frame step asked for

uint32_t TestTicks()
{
	return g_now;
}

void TestDelay(uint32_t milliseconds)
{
	g_delays.push_back(milliseconds);
}

// A game that logs its hooks and keeps its full-screen flag to itself, so the
// toggle is seen without a window.
class RecordingGame : public Game {
public:
	RecordingGame() : Game("Frame test") { SetClock(&TestTicks, &TestDelay); }

	void Update(float dt) override
	{
		dts.push_back(dt);
		attackPressed.push_back(Input::Get()->IsActionPressed(kActionAttack));
		attackDown.push_back(Input::Get()->IsActionDown(kActionAttack));
		g_now += g_workMs;
		log.push_back("game update");
	}
	void Render() override { log.push_back("game render"); }
	void Quit() override
	{
		log.push_back("quit");
		Game::Quit();
	}
	void OnSceneStart(Scene *started) override { log.push_back("start " + NameOf(started)); }
	void OnSceneEnd(Scene *ended) override { log.push_back("end " + NameOf(ended)); }
	void SetFullscreen(bool on) override
	{
		++toggles;
		fullscreen = on;
	}
	bool IsFullscreen() override { return fullscreen; }

	static std::string NameOf(Scene *scene);

	std::vector<std::string> log;
	std::vector<float> dts;
	std::vector<bool> attackPressed, attackDown;
	int toggles = 0;
	bool fullscreen = false;
};

class RecordingScene : public Scene {
public:
	RecordingScene(const char *sceneName, std::vector<std::string> &sharedLog) : name(sceneName), log(sharedLog) {}

	void Start() override { log.push_back(name + " Start"); }
	void Update(float dt) override
	{
		Scene::Update(dt);
		if (state == kSceneActive)
			log.push_back(name + " Update");
	}
	void Render() override
	{
		Scene::Render();
		if (state == kSceneActive)
			log.push_back(name + " Render");
	}
	void Leave(Scene *next) override { log.push_back(name + " Leave " + RecordingGame::NameOf(next)); }

	std::string name;
	std::vector<std::string> &log;
};

std::string RecordingGame::NameOf(Scene *scene)
{
	return scene != nullptr ? static_cast<RecordingScene *>(scene)->name : std::string("none");
}

SDL_Event MakeKeyDown(uint16_t scancode)
{
	SDL_Event event{};
	event.type = SDL_KEYDOWN;
	event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
	return event;
}

SDL_Event MakeKeyUp(uint16_t scancode)
{
	SDL_Event event = MakeKeyDown(scancode);
	event.type = SDL_KEYUP;
	return event;
}

SDL_Event WindowEvent(uint8_t code, int32_t data1, int32_t data2)
{
	SDL_Event event{};
	event.type = SDL_WINDOWEVENT;
	event.window.event = code;
	event.window.data1 = data1;
	event.window.data2 = data2;
	return event;
}

void Push(SDL_Event event)
{
	ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

class GameFrame : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
		// Made before the queue is emptied, so its start-up events go too.
		Input::Get()->Reset();
		SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
		g_now = 0;
		g_workMs = 0;
		g_delays.clear();
	}

	void TearDown() override
	{
		SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
		Input::Get()->Reset();
		SDL_QuitSubSystem(SDL_INIT_EVENTS);
	}
};

TEST(GameObject, ConstructionSetsTheProcessWideGame)
{
	auto first = std::make_unique<Game>("Talvex");
	EXPECT_EQ(Game::Get(), first.get());
	EXPECT_STREQ(first->GetTitle(), "Talvex");
	EXPECT_TRUE(first->IsRunning());
	EXPECT_EQ(first->GetFrameRate(), 30);
	EXPECT_EQ(first->GetCurrentScene(), nullptr);
	EXPECT_EQ(first->GetPendingScene(), nullptr);

	auto second = std::make_unique<Game>("second");
	EXPECT_EQ(Game::Get(), second.get());
	// A game that is no longer the process-wide one leaves the pointer alone.
	first.reset();
	EXPECT_EQ(Game::Get(), second.get());
	second.reset();
	EXPECT_EQ(Game::Get(), nullptr);
}

TEST(GameObject, TitleIsCutToTheField)
{
	const std::pair<std::string, size_t> cases[] = {{"", 0}, {std::string(254, 'a'), 254}, {std::string(255, 'b'), 254},
												  {std::string(300, 'c'), 254}};
	for (const auto &[title, length] : cases) {
		SCOPED_TRACE(title.size());
		Game game(title.c_str());
		EXPECT_EQ(std::string(game.GetTitle()), title.substr(0, length));
	}
	Game untitled(nullptr);
	EXPECT_STREQ(untitled.GetTitle(), "");
}

TEST_F(GameFrame, FrameTimeIsClampedToThePeriod)
{
	struct Case {
		const char *name;
		uint8_t frameRate;
		uint32_t previousTick;	// clock at the frame before; 0 = no frame before
		uint32_t previousWorkMs;	// time the frame before took
		uint32_t tick;
		uint32_t workMs;	// time the frame's update takes
		float dt;
		std::vector<uint32_t> delays;
	};
	const Case cases[] = {
		{"60 fps, slow frame", 60, 1000, 0, 1100, 0, 0.025f, {16}},
		{"60 fps, fast frame", 60, 1000, 0, 1001, 0, 0.0133333f, {16}},
		{"60 fps, on time", 60, 1000, 0, 1016, 0, 0.016f, {16}},
		{"30 fps period is 33 ms", 30, 1000, 0, 1033, 0, 0.033f, {33}},
		{"rate 0 runs at one per second", 0, 1000, 0, 2000, 0, 1.0f, {1000}},
		{"rate 1 runs at one per second", 1, 1000, 0, 6000, 0, 1.5f, {1000}},
		{"rate 0, fast frame", 0, 1000, 0, 1100, 0, 0.8f, {1000}},
		{"first frame measures from tick 0", 60, 0, 0, 500, 0, 0.025f, {16}},
		{"the tick counter wraps", 30, 0xFFFFFFF0u, 0, 0x10u, 0, 0.032f, {33}},
		{"update time shortens the sleep", 60, 1000, 0, 1016, 5, 0.016f, {11}},
		{"an overlong frame does not sleep", 60, 1000, 0, 1016, 20, 0.016f, {}},
		{"the next frame measures from the frame start", 60, 1000, 10, 1016, 0, 0.016f, {16}},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		RecordingGame game;
		game.SetFrameRate(c.frameRate);
		if (c.previousTick != 0) {
			g_now = c.previousTick;
			g_workMs = c.previousWorkMs;
			ASSERT_TRUE(game.RunFrame());
		}
		game.dts.clear();
		g_delays.clear();
		g_now = c.tick;
		g_workMs = c.workMs;
		ASSERT_TRUE(game.RunFrame());
		g_workMs = 0;
		ASSERT_EQ(game.dts.size(), 1u);
		EXPECT_NEAR(game.dts[0], c.dt, 1e-5f);
		EXPECT_EQ(g_delays, c.delays);
	}
}

TEST_F(GameFrame, SceneSwitchWaitsForTheNextFrame)
{
	RecordingGame game;
	std::vector<std::string> &log = game.log;
	RecordingScene a("A", log), b("B", log), c("C", log);

	// Without a scene only the game's own hooks run.
	ASSERT_TRUE(game.RunFrame());
	EXPECT_EQ(log, (std::vector<std::string>{"game update", "game render"}));
	log.clear();

	game.SetScene(&a);
	EXPECT_EQ(a.state, kScenePending);
	EXPECT_EQ(a.game, &game);
	EXPECT_EQ(game.GetCurrentScene(), nullptr);
	EXPECT_EQ(game.GetPendingScene(), &a);
	EXPECT_TRUE(log.empty());

	ASSERT_TRUE(game.RunFrame());
	EXPECT_EQ(game.GetCurrentScene(), &a);
	EXPECT_EQ(game.GetPendingScene(), nullptr);
	EXPECT_EQ(a.state, kSceneActive);
	EXPECT_EQ(log, (std::vector<std::string>{"start A", "A Start", "A Update", "game update", "A Render",
											 "game render"}));

	// Setting the current scene again changes nothing.
	log.clear();
	game.SetScene(&a);
	EXPECT_EQ(a.state, kSceneActive);
	EXPECT_EQ(game.GetPendingScene(), nullptr);
	EXPECT_TRUE(log.empty());

	// The old scene hears Leave at once and stops updating; the game hears
	// of the end only when the next frame switches.
	game.SetScene(&b);
	EXPECT_EQ(a.state, kSceneLeaving);
	EXPECT_EQ(b.state, kScenePending);
	EXPECT_EQ(game.GetCurrentScene(), &a);
	EXPECT_EQ(log, (std::vector<std::string>{"A Leave B"}));

	// A second scene before the switch replaces the pending one; the first
	// is never started.
	game.SetScene(&c);
	EXPECT_EQ(game.GetPendingScene(), &c);
	EXPECT_EQ(log, (std::vector<std::string>{"A Leave B", "A Leave C"}));
	log.clear();
	ASSERT_TRUE(game.RunFrame());
	EXPECT_EQ(game.GetCurrentScene(), &c);
	EXPECT_EQ(log, (std::vector<std::string>{"end A", "start C", "C Start", "C Update", "game update", "C Render",
											 "game render"}));
	EXPECT_EQ(b.state, kScenePending);
	EXPECT_EQ(std::count(log.begin(), log.end(), "B Start"), 0);
}

TEST_F(GameFrame, QuitEventEndsTheFrameAtOnce)
{
	RecordingGame game;
	game.SetFrameRate(60);
	std::vector<std::string> &log = game.log;
	RecordingScene scene("S", log);
	game.SetScene(&scene);
	g_now = 1000;
	ASSERT_TRUE(game.RunFrame());
	log.clear();
	game.dts.clear();
	g_delays.clear();

	SDL_Event quit{};
	quit.type = SDL_QUIT;
	Push(quit);
	Push(MakeKeyDown(SDL_SCANCODE_SPACE));
	g_now = 1100;
	EXPECT_FALSE(game.RunFrame());
	EXPECT_FALSE(game.IsRunning());
	EXPECT_EQ(log, (std::vector<std::string>{"quit"}));
	EXPECT_TRUE(g_delays.empty());
	// Events after the quit stay unread.
	EXPECT_FALSE(Input::Get()->IsKeyDown(SDL_SCANCODE_SPACE));

	// The quit frame left the last tick alone: the next frame measures from
	// 1000, a slow frame, not from 1100.
	g_now = 1110;
	EXPECT_FALSE(game.RunFrame());
	ASSERT_EQ(game.dts.size(), 1u);
	EXPECT_NEAR(game.dts[0], 0.025f, 1e-5f);
}

TEST_F(GameFrame, WindowEventsGoToTheRendererOnly)
{
	struct Case {
		const char *name;
		uint8_t code;
		int32_t width, height;
		uint32_t expectedWidth, expectedHeight;
	};
	const Case cases[] = {
		{"resized", SDL_WINDOWEVENT_RESIZED, 800, 450, 800, 450},
		{"other window events are ignored", SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768, 600, 360},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		RecordingGame game;
		Push(WindowEvent(c.code, c.width, c.height));
		ASSERT_TRUE(game.RunFrame());
		EXPECT_EQ(game.GetGameRenderer()->GetWindowWidth(), c.expectedWidth);
		EXPECT_EQ(game.GetGameRenderer()->GetWindowHeight(), c.expectedHeight);
	}
}

TEST_F(GameFrame, AltReturnTogglesFullscreen)
{
	enum Kind { Down, Up, Frame };
	struct Event {
		Kind kind;
		uint16_t scancode;
	};
	struct Case {
		const char *name;
		std::vector<Event> events;
		int toggles;
	};
	const Case cases[] = {
		{"left Alt and Return", {{Down, SDL_SCANCODE_LALT}, {Down, SDL_SCANCODE_RETURN}}, 1},
		{"right Alt and Return", {{Down, SDL_SCANCODE_RALT}, {Down, SDL_SCANCODE_RETURN}}, 1},
		{"Return alone", {{Down, SDL_SCANCODE_RETURN}}, 0},
		{"Alt with another key", {{Down, SDL_SCANCODE_LALT}, {Down, SDL_SCANCODE_SPACE}}, 0},
		{"Return first, then Alt", {{Down, SDL_SCANCODE_RETURN}, {Down, SDL_SCANCODE_LALT}}, 1},
		{"held over frames, Return repeats",
		 {{Down, SDL_SCANCODE_LALT}, {Down, SDL_SCANCODE_RETURN}, {Frame, 0}, {Down, SDL_SCANCODE_RETURN}},
		 2},
		{"another key while both are held", {{Down, SDL_SCANCODE_LALT}, {Down, SDL_SCANCODE_RETURN}, {Down, SDL_SCANCODE_SPACE}}, 2},
		{"key releases never toggle",
		 {{Down, SDL_SCANCODE_LALT}, {Down, SDL_SCANCODE_RETURN}, {Up, SDL_SCANCODE_SPACE}, {Up, SDL_SCANCODE_RETURN}},
		 1},
		{"Return released before Alt is pressed",
		 {{Down, SDL_SCANCODE_RETURN}, {Up, SDL_SCANCODE_RETURN}, {Down, SDL_SCANCODE_LALT}},
		 0},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		Input::Get()->Reset();
		RecordingGame game;
		for (const Event &event : c.events) {
			if (event.kind == Frame)
				ASSERT_TRUE(game.RunFrame());
			else
				Push(event.kind == Down ? MakeKeyDown(event.scancode) : MakeKeyUp(event.scancode));
		}
		ASSERT_TRUE(game.RunFrame());
		EXPECT_EQ(game.toggles, c.toggles);
		EXPECT_EQ(game.fullscreen, c.toggles % 2 == 1);
	}
}

TEST_F(GameFrame, UpdateSeesAPressForExactlyOneFrame)
{
	RecordingGame game;
	Push(MakeKeyDown(SDL_SCANCODE_SPACE));
	ASSERT_TRUE(game.RunFrame());
	ASSERT_TRUE(game.RunFrame());
	Push(MakeKeyUp(SDL_SCANCODE_SPACE));
	ASSERT_TRUE(game.RunFrame());
	ASSERT_TRUE(game.RunFrame());
	EXPECT_EQ(game.attackPressed, (std::vector<bool>{true, false, false, false}));
	EXPECT_EQ(game.attackDown, (std::vector<bool>{true, true, false, false}));
	EXPECT_EQ(Input::Get()->GetKeyState(SDL_SCANCODE_SPACE), kKeyUp);
}

}
