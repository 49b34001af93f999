// Whole frames of play, each waited for until the GPU has finished: the town
// with a growing crowd of creatures hunting the player (wall time, the main
// thread's CPU time, the part of it spent inside GL draw calls, and heap
// allocations per frame), the same frame split
// into its update, its drawing and its post pass, the frame at three window
// sizes, the busiest map of the shipped world with its own entities, and one
// update of the player alone. Drawing needs a GL context: the renderer runs
// on SDL's offscreen driver (Mesa's software rasteriser here).
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <glad/gl.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "BenchRenderer.h"
#include "DrawCallClock.h"
#include "HeapCounter.h"
#include "ScenePlay.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"
#include "game/TalvexGameScene.h"
#include "objects/Player.h"

namespace {

constexpr const char *kTown = "maps/town.tmx";
constexpr int kPhaseCrowd = 50; // creatures of the frame split by phase and of the window sizes
// Every run measures the same frames of the same hunt, so runs compare.
constexpr int kMeasuredFrames = 240;

// The renderer and the loaded scene, or a skip with the reason.
bool Ready(benchmark::State &state, ScenePlay &play)
{
	if (!play.IsReady()) {
		state.SkipWithError("the map did not load");
		return false;
	}
	return true;
}

// Runs whole frames and reports heap allocations, the main thread's CPU time
// inside the GL draw calls (gl_draw_cpu_us) and their number, and the
// entities, beside the times Google Benchmark measures itself.
void MeasureFrames(benchmark::State &state, ScenePlay &play)
{
	using benchmark::Counter;
	WatchDrawCalls();
	const uint64_t allocationsBefore = HeapAllocations();
	const double drawSecondsBefore = DrawCallSeconds();
	const uint64_t drawCallsBefore = DrawCallCount();
	for (auto _ : state) {
		play.Update();
		play.Draw();
		play.Present();
		glFinish();
	}
	state.counters["allocs/frame"] = Counter((double)(HeapAllocations() - allocationsBefore), Counter::kAvgIterations);
	state.counters["gl_draw_cpu_us"] = Counter((DrawCallSeconds() - drawSecondsBefore) * 1e6, Counter::kAvgIterations);
	state.counters["draws/frame"] = Counter((double)(DrawCallCount() - drawCallsBefore), Counter::kAvgIterations);
	state.counters["entities"] = (double)play.EntityCount();
}

void BM_TownFrame(benchmark::State &state)
{
	if (BenchRenderer() == nullptr) {
		state.SkipWithError("no GL 3.3 core context");
		return;
	}
	ScenePlay play(kTown, (int)state.range(0));
	if (Ready(state, play))
		MeasureFrames(state, play);
}
BENCHMARK(BM_TownFrame)->ArgName("creatures")->Arg(0)->Arg(10)->Arg(25)->Arg(50)->Arg(100)
	->Iterations(kMeasuredFrames)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Wall and main-thread CPU time of one phase, summed over the run.
struct PhaseClock {
	double wall = 0.0;
	double cpu = 0.0;

	template <typename Work> void Time(Work work)
	{
		const double cpuStart = ThreadCpuSeconds();
		auto wallStart = std::chrono::steady_clock::now();
		work();
		// Each phase waits for the GPU, so its drawing is counted to it.
		glFinish();
		wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
		cpu += ThreadCpuSeconds() - cpuStart;
	}
	void Report(benchmark::State &state, const char *name) const
	{
		using benchmark::Counter;
		state.counters[std::string(name) + "_us"] = Counter(wall * 1e6, Counter::kAvgIterations);
		state.counters[std::string(name) + "_cpu_us"] = Counter(cpu * 1e6, Counter::kAvgIterations);
	}
};

void BM_TownFrameByPhase(benchmark::State &state)
{
	if (BenchRenderer() == nullptr) {
		state.SkipWithError("no GL 3.3 core context");
		return;
	}
	ScenePlay play(kTown, (int)state.range(0));
	if (!Ready(state, play))
		return;
	PhaseClock update, draw, post;
	for (auto _ : state) {
		update.Time([&] { play.Update(); });
		draw.Time([&] { play.Draw(); });
		post.Time([&] { play.Present(); });
	}
	update.Report(state, "update");
	draw.Report(state, "draw");
	post.Report(state, "post");
}
BENCHMARK(BM_TownFrameByPhase)->ArgName("creatures")->Arg(0)->Arg(kPhaseCrowd)
	->Iterations(kMeasuredFrames)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_TownFrameInWindow(benchmark::State &state)
{
	Renderer *renderer = BenchRenderer();
	if (renderer == nullptr) {
		state.SkipWithError("no GL 3.3 core context");
		return;
	}
	const int width = (int)state.range(0);
	const int height = (int)state.range(1);
	SDL_SetWindowSize(renderer->GetWindow(), width, height);
	renderer->Resize((uint32_t)width, (uint32_t)height);
	{
		ScenePlay play(kTown, kPhaseCrowd);
		if (Ready(state, play))
			MeasureFrames(state, play);
		state.counters["pixels"] = (double)renderer->GetRenderWidth() * renderer->GetRenderHeight();
	}
	SDL_SetWindowSize(renderer->GetWindow(), (int)Renderer::kLogicalWidth, (int)Renderer::kLogicalHeight);
	renderer->Resize(Renderer::kLogicalWidth, Renderer::kLogicalHeight);
}
BENCHMARK(BM_TownFrameInWindow)->ArgNames({"w", "h"})
	->Args({600, 360})->Args({1280, 720})->Args({1920, 1080})
	->Iterations(kMeasuredFrames)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The shipped map that places the most objects (the world map, which is a
// picture rather than a place, aside).
std::string BusiestMap()
{
	std::string busiest;
	size_t most = 0;
	std::error_code error;
	for (const auto &entry : std::filesystem::directory_iterator(ResolvePath("maps"), error)) {
		const std::string name = "maps/" + entry.path().filename().string();
		if (entry.path().extension() != ".tmx" || name == "maps/worldmap.tmx")
			continue;
		const std::string text = ReadWholeFile(name.c_str());
		size_t objects = 0;
		for (size_t at = text.find("<object "); at != std::string::npos; at = text.find("<object ", at + 1))
			objects++;
		if (objects > most || (objects == most && name < busiest)) {
			most = objects;
			busiest = name;
		}
	}
	return busiest;
}

void BM_BusiestMapFrame(benchmark::State &state)
{
	if (BenchRenderer() == nullptr) {
		state.SkipWithError("no GL 3.3 core context");
		return;
	}
	const std::string map = BusiestMap();
	if (map.empty()) {
		state.SkipWithError("no maps in the data tree");
		return;
	}
	state.SetLabel(map);
	ScenePlay play(map.c_str(), 0);
	if (Ready(state, play))
		MeasureFrames(state, play);
}
BENCHMARK(BM_BusiestMapFrame)->Iterations(kMeasuredFrames)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PlayerUpdate(benchmark::State &state)
{
	if (BenchRenderer() == nullptr) {
		state.SkipWithError("no GL 3.3 core context");
		return;
	}
	ScenePlay play(kTown, 0);
	if (!Ready(state, play))
		return;
	Player &player = play.Scene().GetPlayer();
	for (auto _ : state) {
		player.Update(ScenePlay::kFrameTime);
		benchmark::DoNotOptimize(player.transform.position);
	}
}
BENCHMARK(BM_PlayerUpdate)->Unit(benchmark::kMicrosecond);

} // namespace
