#pragma once
// The game's start-up as a player sees it, from starting the executable to
// the first drawn frame of the title screen. The benchmark program starts a
// copy of itself that runs the game as main does (the game's Init, the
// start-up screens on the real clock, every frame drawn), with its settings
// and saves in a folder of its own, and tells back when each step ended and
// how long the loads of each kind took (LoadClock) up to the first drawn
// frame and up to the title's first frame.
#include "engine/core/LoadClock.h"

#include <string>

struct StartupFigures {
	double processMs = 0.0;    // from the start to main
	double initMs = 0.0;       // to the game's Init done: window, shaders, settings, the store service
	double firstFrameMs = 0.0; // to the first frame drawn
	double titleMs = 0.0;      // to the title screen's first frame drawn
	int frames = 0;            // frames drawn until then
	double firstFrameLoads[LoadClock::kKindCount] = {}; // ms of each kind until the first frame
	double titleLoads[LoadClock::kKindCount] = {};      // and until the title
};

class StartupProbe {
public:
	// In the copy: true when this process was started to be the probe.
	static bool IsProbe();
	// In the copy: runs the start-up and writes the report. The exit status.
	static int RunProbe();
	// Starts the copy of the program at self and reads its report. False,
	// with the reason, when it gave none.
	static bool Measure(const char *self, StartupFigures &figures, std::string &whyNot);
};
