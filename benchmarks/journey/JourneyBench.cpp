// The whole main quest, frame by frame: the playthrough driver plays the
// route the tests play (every registered segment in road order, from a new
// game on "Intended" to the won screen, by key presses alone) while every
// frame is drawn through the real renderer at 600x360 on SDL's offscreen
// driver and waited for with glFinish. It prints the frame figures, the ten
// worst frames with what the game was doing, every map change, the peak
// resident memory and the run's wall time, and reports the main figures as
// counters. TALVEX_JOURNEY_FRAMES=N stops after N frames, for a quick look
// while working; reported figures come from a whole run. Before it, the
// start-up: from starting the program to the title screen's first frame,
// and what it spent loading of each kind (StartupProbe).
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

#include "JourneyLog.h"
#include "JourneyWatcher.h"
#include "Routes.h"
#include "StartupProbe.h"
#include "engine/core/Log.h"
#include "game/Achievements.h"
#include "support/PlaythroughDriver.h"

namespace {

constexpr const char *kFrameLimitVariable = "TALVEX_JOURNEY_FRAMES";

int NoBox(const SDL_MessageBoxData *)
{
	return -1;
}

uint64_t FrameLimit()
{
	const char *text = getenv(kFrameLimitVariable);
	return text != nullptr ? std::strtoull(text, nullptr, 10) : 0;
}

double PeakResidentMb()
{
	rusage usage{};
	getrusage(RUSAGE_SELF, &usage);
	return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// The main quest as MainQuest.Intended plays it. False, with the reason, when
// the play did not reach the won screen.
bool PlayJourney(PlaythroughDriver &play, std::string &whyNot)
{
	const std::vector<RouteSegment> segments = RouteSegments();
	const bool played = play.Play([&] {
		play.NewGame(kIntended);
		for (const RouteSegment &segment : segments) {
			std::cout << "[ route    ] " << segment.name << " from " << play.MapName() << std::endl;
			segment.run(play);
		}
		play.WaitForScreen("questcomplete", 60.0f);
		play.WaitForScreen("won", 60.0f);
	});
	if (!played || !play.Game().HasShown("won")) {
		whyNot = "the journey stopped before the won screen on " + play.MapName();
		return false;
	}
	return true;
}

void BM_Journey(benchmark::State &state)
{
	setenv("SDL_VIDEODRIVER", "offscreen", 0);
	setenv("SDL_AUDIODRIVER", "dummy", 0);
	SetMessageBoxHook(&NoBox);
	const std::filesystem::path folder =
		std::filesystem::temp_directory_path() / ("talvex-journey-" + std::to_string(getpid()));
	std::filesystem::create_directories(folder);
	Achievements::SetStateFolder(folder.string().c_str());

	for (auto _ : state) {
		const auto start = std::chrono::steady_clock::now();
		JourneyLog log;
		std::string whyNot;
		bool whole = false;
		{
			PlaythroughDriver play;
			if (!play.Prepare(whyNot)) {
				state.SkipWithError(("no GL 3.3 core context: " + whyNot).c_str());
				break;
			}
			JourneyWatcher watcher(play.Game(), *GetRenderer(), log, FrameLimit());
			play.Game().watcher = &watcher;
			whole = PlayJourney(play, whyNot);
			play.Game().watcher = nullptr;
			std::cout << "[ tally    ] " << play.TallyText() << "\n";
		}
		const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
		log.Print(std::cout);
		std::cout << "[ journey  ] peak resident memory: " << PeakResidentMb() << " MB\n";
		std::cout << "[ journey  ] the whole run: " << seconds << " s" << std::endl;
		if (!whole)
			std::cout << "[ journey  ] not the whole journey: " << whyNot << std::endl;

		const FrameFigures wall = log.Wall();
		state.counters["frames"] = static_cast<double>(log.Frames().size());
		state.counters["median_ms"] = wall.medianMs;
		state.counters["p99_ms"] = wall.p99Ms;
		state.counters["worst_ms"] = wall.worstMs;
		state.counters["worst_load_frames"] = log.WorstLoadFrames();
		state.counters["peak_rss_mb"] = PeakResidentMb();
		state.counters["whole"] = whole ? 1.0 : 0.0;
	}
	std::error_code ignored;
	std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_Journey)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

std::string g_self; // this program's path, for the start-up probe

void PrintLoads(const char *what, const double (&loads)[LoadClock::kKindCount])
{
	std::cout << "[ startup  ]   loads " << what << ":";
	for (int kind = 0; kind < LoadClock::kKindCount; kind++)
		std::cout << " " << LoadClock::Name(static_cast<LoadClock::Kind>(kind)) << " " << loads[kind] << " ms"
				  << (kind + 1 < LoadClock::kKindCount ? "," : "\n");
}

void BM_Startup(benchmark::State &state)
{
	for (auto _ : state) {
		StartupFigures figures;
		std::string whyNot;
		if (!StartupProbe::Measure(g_self.c_str(), figures, whyNot)) {
			state.SkipWithError(whyNot.c_str());
			break;
		}
		std::cout << "[ startup  ] to main " << figures.processMs << " ms, the game's Init done " << figures.initMs
				  << " ms, first frame drawn " << figures.firstFrameMs << " ms, the title's first frame "
				  << figures.titleMs << " ms (" << figures.frames << " frames of start-up screens)\n";
		PrintLoads("until the first frame", figures.firstFrameLoads);
		PrintLoads("until the title", figures.titleLoads);
		state.counters["startup_ms"] = figures.titleMs;
		state.counters["first_frame_ms"] = figures.firstFrameMs;
		for (int kind = 0; kind < LoadClock::kKindCount; kind++) {
			std::string name = LoadClock::Name(static_cast<LoadClock::Kind>(kind));
			for (char &c : name)
				c = c == ' ' ? '_' : c;
			state.counters["startup_" + name + "_ms"] = figures.titleLoads[kind];
		}
	}
}
BENCHMARK(BM_Startup)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
	if (StartupProbe::IsProbe())
		return StartupProbe::RunProbe();
	std::error_code failed;
	g_self = std::filesystem::read_symlink("/proc/self/exe", failed).string();
	if (failed)
		g_self = argv[0];
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv))
		return 1;
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
