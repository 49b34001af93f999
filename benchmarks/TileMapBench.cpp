// How long the town map takes to load through all its phases, and to draw
// one frame of it through the camera rig and the post pass. Drawing needs a
// GL context: the benchmark starts a renderer on SDL's offscreen driver.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <glad/gl.h>

#include <cstdlib>
#include <memory>

#include "engine/core/Camera.h"
#include "engine/core/Entity.h"
#include "engine/core/Log.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "BenchRenderer.h"
#include "map/CameraRig.h"
#include "map/TileMap.h"
#include "objects/MapEntityFactory.h"

namespace {

constexpr const char *kTownMap = "maps/town.tmx";
constexpr uint16_t kLoadFlags = TileMapLoadState::kNoScripts; // no sequences started
constexpr float kFrameTime = 1.0f / 60.0f; // seconds
constexpr int kSettleFrames = 180;		   // rig updates until the view is at rest


// Runs a load to its end; false when it did not reach the loaded phase.
bool LoadFully(TileMap &map)
{
	map.Load(kTownMap, kLoadFlags, nullptr);
	while (map.Step()) {
	}
	return map.GetLoadState().phase == kPhaseLoaded;
}

// The renderer up and the town loaded through every phase with the factory;
// false, with the benchmark marked skipped, when either fails.
bool StartTown(benchmark::State &state, TileMap &map, MapEntityFactory &factory)
{
	if (BenchRenderer() == nullptr) {
		state.SkipWithError("no GL 3.3 core context");
		return false;
	}
	map.SetEntityFactory(&factory);
	if (!LoadFully(map)) {
		state.SkipWithError("maps/town.tmx did not load");
		return false;
	}
	return true;
}

void BM_LoadTownMap(benchmark::State &state)
{
	MapEntityFactory factory;
	TileMap map;
	// The first load also reads the textures and builds the shaders, which
	// stay cached for the rest of the run, as they do in the game.
	if (!StartTown(state, map, factory))
		return;
	for (auto _ : state) {
		bool loaded = LoadFully(map);
		benchmark::DoNotOptimize(loaded);
	}
	state.counters["vertices"] = (double)map.GetSlotMesh(0).GetVertexCount();
}
BENCHMARK(BM_LoadTownMap)->Unit(benchmark::kMicrosecond);

// A frame step's drawing of the loaded map: two frame begins, the camera,
// the map's fourteen meshes, the post pass and the swap, waited for until
// the GPU has finished it.
void BM_DrawTownMapFrame(benchmark::State &state)
{
	MapEntityFactory factory;
	TileMap map;
	if (!StartTown(state, map, factory))
		return;
	Renderer *renderer = BenchRenderer();
	Scene scene;
	scene.state = kSceneActive;
	scene.AddEntity(&map);
	scene.Update(kFrameTime);

	// The rig follows a player standing in the middle of the town.
	Entity player;
	const TileMapData &data = map.GetMapData();
	player.transform.SetPosition(map.TilePosition(data.width / 2, data.height / 2, 0.5f, 0.5f));
	Camera camera;
	CameraRig rig;
	rig.Attach(&camera, &player, &map);
	for (int i = 0; i < kSettleFrames; i++)
		rig.Update(kFrameTime);

	for (auto _ : state) {
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		scene.Render();
		renderer->EndFrame();
		glFinish();
	}
	scene.RemoveEntity(&map);
	Camera::SetCurrent(nullptr);
}
BENCHMARK(BM_DrawTownMapFrame)->Unit(benchmark::kMicrosecond);

}
