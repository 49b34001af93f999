// How long the CPU skinning of the humanoid takes per frame: every actor on
// screen pays this once a frame, so it bounds how many people a map can hold.
#include <benchmark/benchmark.h>

#include "engine/core/FileAccess.h"
#include "engine/render/IqmReader.h"
#include "engine/render/Mesh.h"

namespace {

constexpr const char *kHumanoid = "models/blacksmith.iqm";
constexpr float kFrameTime = 1.0f / 60.0f;	 // seconds of one game frame
constexpr float kClockPerSecond = 0.5f;		 // the clock at the game's default 15 frames a second
constexpr float kCrossFadeBlend = 0.5f;		 // halfway through a fade: both animations are blended

// Poses the humanoid once per iteration, the clock moving one game frame each
// time, with "Run" alone or cross-fading from "Idle" to "Run".
void SkinHumanoid(benchmark::State &state, bool crossFade)
{
	IqmReader reader;
	if (!reader.Load(ResolvePath(kHumanoid).c_str())) {
		state.SkipWithError("models/blacksmith.iqm is not in the data tree");
		return;
	}
	ModelAnimation *run = reader.FindAnimation("Run");
	ModelAnimation *idle = reader.FindAnimation("Idle");
	if (run == nullptr || idle == nullptr) {
		state.SkipWithError("the humanoid has no Run or Idle animation");
		return;
	}
	run->loop = 1;
	idle->loop = 1;

	Mesh mesh;
	float clock = 0.0f;
	reader.BuildMesh(&mesh, &clock, run, nullptr, 0.0f);
	for (auto _ : state) {
		clock += kFrameTime * kClockPerSecond;
		reader.BuildMesh(&mesh, &clock, run, crossFade ? idle : nullptr, crossFade ? kCrossFadeBlend : 0.0f);
		benchmark::DoNotOptimize(mesh.GetPositions().data());
		benchmark::ClobberMemory();
	}
	state.counters["vertices"] = (double)reader.GetVertexCount();
	state.counters["joints"] = (double)reader.GetJointCount();
}

void BM_SkinHumanoid(benchmark::State &state)
{
	SkinHumanoid(state, false);
}

void BM_SkinHumanoidCrossFade(benchmark::State &state)
{
	SkinHumanoid(state, true);
}

}

BENCHMARK(BM_SkinHumanoid)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinHumanoidCrossFade)->Unit(benchmark::kMicrosecond);
