// One whole frame of play in the town: the in-game scene's update (the
// player walking under injected input, 30 townsfolk-sized walkers roaming,
// camera, collisions, fight music, map change), its drawing and the post
// pass, waited for until the GPU has finished; the same with 50 creatures of
// mixed kinds hunting the player; and one update of the player alone. Drawing needs a GL context: the benchmark starts a renderer on SDL's
// offscreen driver. Saves and settings go to a temporary folder.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <glad/gl.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/core/ActiveSequence.h"
#include "engine/core/Input.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/render/Renderer.h"
#include "BenchRenderer.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "game/TalvexGameScene.h"
#include "map/MapFiles.h"
#include "objects/Actor.h"
#include "objects/MapEntityFactory.h"

namespace {

constexpr float kFrameTime = 1.0f / 60.0f; // seconds
constexpr int kWalkerCount = 30;
constexpr uint32_t kWalkerKind = 27;       // a townsfolk kind: walks, does not fight
constexpr float kSmithScale = 0.35f;
constexpr int kFramesPerTurn = 90;         // the player turns round every 1.5 s
constexpr int kMaxLoadFrames = 600;
constexpr int kCreatureCount = 50;
// The fighting kinds, dealt out in turn: chooks, the boss, the ogre, the
// minion, the fire wizard and the blob (the bomb would blow itself away).
constexpr uint32_t kCreatureKinds[] = {50, 51, 52, 53, 54, 55, 62};
constexpr int kCreatureRing = 6; // tiles around the player they start within


// An animated smith that roams between random tiles of the map.
class Walker : public Actor {
public:
	explicit Walker(uint32_t seed) : Actor(kWalkerKind), random(seed) {}

	void LoadModel() override
	{
		if (!model.IsLoaded()) {
			model.Load("models/blacksmith2.iqm", "models/blacksmith.iqm", kSmithScale);
			model.SetMaterial("models/blacksmith.png", "shaders/actor.dsh");
		}
		Actor::LoadModel();
	}
	void Update(float dt) override
	{
		if (map != nullptr && !HasWalkTarget()) {
			const TileMapData &data = map->GetMapData();
			std::uniform_int_distribution<int> column(1, data.width - 2);
			std::uniform_int_distribution<int> row(1, data.height - 2);
			walkTarget = map->TilePosition((int16_t)column(random), (int16_t)row(random), 0.5f, 0.5f);
		}
		if (HasWalkTarget() && glm::distance(walkTarget, transform.position) < 1.0f)
			ClearWalkTarget();
		Actor::Update(dt);
	}

private:
	std::mt19937 random;
};

// The game scene on the town with the player and the walkers in it.
class TownPlay {
public:
	explicit TownPlay(int walkerCount, int creatureCount = 0)
	{
		folder = std::filesystem::temp_directory_path() / ("talvex-bench-" + std::to_string(getpid()));
		std::filesystem::create_directories(folder);
		Settings::Instance().UseFile((folder / "settings.dat").string().c_str());
		// Played in a window of the game's own logical size: the offscreen
		// driver's "desktop" would otherwise decide how many pixels a frame
		// costs.
		Settings::Instance().SetValue(kSettingWindowed, 1);
		GameProgress::SetSaveFolder(folder.string().c_str());
		GameProgress::ResetGlobal();
		GameProgress::SetPendingValue(MapFileHash("maps/town.tmx"));
		scene = std::make_unique<TalvexGameScene>();
		scene->SetInput(&input);
		scene->state = kSceneActive;
		scene->Start();
		for (int i = 0; i < kMaxLoadFrames && scene->IsMapLoading(); i++)
			scene->Update(kFrameTime);
		// Free play: no title banner, no greeting waiting for an answer.
		EndActiveSequence();
		scene->GetHud().ShowBanner(nullptr);
		scene->GetHud().CloseMessage();
		TileMap &map = scene->GetMap();
		const TileMapData &data = map.GetMapData();
		for (int i = 0; i < walkerCount; i++) {
			auto walker = std::make_unique<Walker>((uint32_t)(i + 1));
			walker->LinkToMap(&map, nullptr);
			walker->SetPosition(map.TilePosition((int16_t)(2 + (i * 7) % (data.width - 4)),
				(int16_t)(2 + (i * 5) % (data.height - 4)), 0.5f, 0.5f));
			scene->AddEntity(walker.get());
			walkers.push_back(std::move(walker));
		}
		int16_t px = 0, py = 0;
		map.WorldToTile(scene->GetPlayer().transform.position, px, py);
		for (int i = 0; i < creatureCount; i++) {
			std::unique_ptr<MapEntity> creature(MapEntityFactory::CreateByKind(kCreatureKinds[i % std::size(kCreatureKinds)]));
			if (creature == nullptr)
				continue;
			int16_t x = (int16_t)(px - kCreatureRing + (i * 7) % (2 * kCreatureRing + 1));
			int16_t y = (int16_t)(py - kCreatureRing + (i * 3) % (2 * kCreatureRing + 1));
			map.ClampTile(x, y);
			creature->LinkToMap(&map, nullptr);
			creature->SetPosition(map.TilePosition(x, y, 0.5f, 0.5f));
			scene->AddEntity(creature.get());
			creatures.push_back(std::move(creature));
		}
		Press(SDL_SCANCODE_RIGHT);
		for (int i = 0; i < 60; i++)
			Step();
	}
	~TownPlay()
	{
		for (auto &walker : walkers)
			scene->RemoveEntity(walker.get());
		walkers.clear();
		for (auto &creature : creatures)
			scene->RemoveEntity(creature.get());
		creatures.clear();
		scene.reset();
		EndActiveSequence();
		GameProgress::SetSaveFolder("");
		Settings::Instance().UseFile("settings.dat");
		std::error_code ignored;
		std::filesystem::remove_all(folder, ignored);
	}

	bool IsReady() { return !scene->IsMapLoading() && std::string(scene->GetLoadedAs()) == "town"; }

	// The player walks right and left in turn.
	void Step()
	{
		if (++frame % kFramesPerTurn == 0) {
			bool right = (frame / kFramesPerTurn) % 2 == 0;
			Release(right ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT);
			Press(right ? SDL_SCANCODE_RIGHT : SDL_SCANCODE_LEFT);
		}
		// The hunted player never falls, so the hunt goes on.
		PlayerStats &stats = scene->GetPlayer().GetStats();
		stats.hearts = stats.maxHearts;
		scene->Update(kFrameTime);
		TalvexGame::Current().Update(kFrameTime);
		input.EndFrame();
	}
	void Press(SDL_Scancode key) { input.HandleEvent(KeyEvent(SDL_KEYDOWN, key)); }
	void Release(SDL_Scancode key) { input.HandleEvent(KeyEvent(SDL_KEYUP, key)); }
	static SDL_Event KeyEvent(uint32_t type, SDL_Scancode key)
	{
		SDL_Event event{};
		event.type = type;
		event.key.keysym.scancode = key;
		return event;
	}

	std::filesystem::path folder;
	Input input;
	std::unique_ptr<TalvexGameScene> scene;
	std::vector<std::unique_ptr<Walker>> walkers;
	std::vector<std::unique_ptr<MapEntity>> creatures;
	int frame = 0;
};

void BM_GameSceneFrameInTown(benchmark::State &state)
{
	Renderer *renderer = BenchRenderer();
	if (renderer == nullptr) {
		state.SkipWithError("no GL 3.3 core context");
		return;
	}
	TownPlay play((int)state.range(0), (int)state.range(1));
	if (!play.IsReady()) {
		state.SkipWithError("maps/town.tmx did not load");
		return;
	}
	// The frame step's order: a frame begins, the scene updates, the frame
	// begins again for drawing, the scene draws, the post pass ends it.
	for (auto _ : state) {
		renderer->BeginFrame();
		play.Step();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		play.scene->Render();
		renderer->EndFrame();
		glFinish();
	}
	state.counters["entities"] = (double)play.scene->GetEntityCount();
}
BENCHMARK(BM_GameSceneFrameInTown)
	->Args({kWalkerCount, 0})
	->Args({0, 0})
	->Args({0, kCreatureCount})
	->Unit(benchmark::kMicrosecond);

void BM_PlayerUpdate(benchmark::State &state)
{
	if (BenchRenderer() == nullptr) {
		state.SkipWithError("no GL 3.3 core context");
		return;
	}
	TownPlay play(kWalkerCount);
	if (!play.IsReady()) {
		state.SkipWithError("maps/town.tmx did not load");
		return;
	}
	Player &player = play.scene->GetPlayer();
	for (auto _ : state) {
		player.Update(kFrameTime);
		benchmark::DoNotOptimize(player.transform.position);
	}
}
BENCHMARK(BM_PlayerUpdate)->Unit(benchmark::kMicrosecond);

}
