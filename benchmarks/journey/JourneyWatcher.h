#pragma once
// Draws every frame of a headless play through the real renderer, as the
// game's own frame does after its update (begin, camera, scene, game,
// post pass and present), waits for it with glFinish and writes down what
// the frame cost: wall time, the main thread's CPU time, the map, and what
// the game was doing (a load phase, a screen change, a script step, a
// fight, plain play). It also follows every map change from the frame the
// old map is left to the first frame the hero can move on the new one.
// Drawing asks nothing of play and changes none of it. The watcher neither
// owns the game nor the renderer.
#include "JourneyLog.h"
#include "support/PlaythroughFrameWatcher.h"

#include <chrono>
#include <cstdint>
#include <string>

class PlaythroughGame;
class Renderer;
class Scene;

class JourneyWatcher : public PlaythroughFrameWatcher {
public:
	// stopAfter: frames after which the play is stopped (PlaythroughStop), 0
	// for the whole journey.
	JourneyWatcher(PlaythroughGame &game, Renderer &renderer, JourneyLog &log, uint64_t stopAfter);

	void FrameBegins() override;
	void FrameEnds() override;

private:
	// What the frame just played was doing, from the state before and after.
	std::string Doing() const;
	// The hero stands on a loaded map, past its title, free to walk.
	bool HeroCanMove() const;
	void FollowMapChange(double wallMs);
	void Draw();

	PlaythroughGame &game;
	Renderer &renderer;
	JourneyLog &log;
	uint64_t stopAfter = 0;

	// The state at FrameBegins.
	std::chrono::steady_clock::time_point wallStart;
	double cpuStart = 0.0;
	double loadsStart[LoadClock::kKindCount] = {};
	const Scene *sceneBefore = nullptr;
	bool playBefore = false;
	bool loadingBefore = false;
	uint32_t phaseBefore = 0;
	std::string mapBefore;

	// The map change under way: from leaving the old map until the hero can
	// move on the new one.
	bool changing = false;
	MapChange change;
};
