#include "ScenePlay.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "BenchRenderer.h"
#include "engine/core/ActiveSequence.h"
#include "engine/core/FileAccess.h"
#include "engine/render/Renderer.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "game/TalvexGameScene.h"
#include "map/MapFiles.h"
#include "objects/MapEntityFactory.h"
#include "objects/Player.h"

namespace {

constexpr int kFramesPerTurn = 90; // the player turns round every 1.5 s
constexpr int kMaxLoadFrames = 600;
constexpr int kSettleFrames = 240; // walked before measuring, so the crowd has closed in
// The fighting kinds, dealt out in turn: chooks, the boss, the ogre, the
// minion, the fire wizard and the blob (the bomb would blow itself away).
constexpr uint32_t kCreatureKinds[] = {50, 51, 52, 53, 54, 55, 62};
constexpr int kCreatureRing = 6; // tiles around the player they start within

SDL_Event KeyEvent(uint32_t type, SDL_Scancode key)
{
	SDL_Event event{};
	event.type = type;
	event.key.keysym.scancode = key;
	return event;
}

} // namespace

ScenePlay::ScenePlay(const char *mapFile, int creatureCount)
	: mapName(GetFileBaseName(mapFile, false))
{
	folder = std::filesystem::temp_directory_path() / ("talvex-bench-" + std::to_string(getpid()));
	std::filesystem::create_directories(folder);
	Settings::Instance().UseFile((folder / "settings.dat").string().c_str());
	// Played in a window of the game's own logical size: the offscreen
	// driver's "desktop" would otherwise decide how many pixels a frame costs.
	Settings::Instance().SetValue(kSettingWindowed, 1);
	GameProgress::SetSaveFolder(folder.string().c_str());
	GameProgress::ResetGlobal();
	GameProgress::SetPendingValue(MapFileHash(mapFile));
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
	Renderer *renderer = BenchRenderer();
	for (int i = 0; i < kSettleFrames; i++) {
		Update();
		if (renderer != nullptr) {
			Draw();
			Present();
		}
	}
}

ScenePlay::~ScenePlay()
{
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

bool ScenePlay::IsReady() const
{
	return !scene->IsMapLoading() && mapName == scene->GetLoadedAs();
}

uint16_t ScenePlay::EntityCount() const
{
	return scene->GetEntityCount();
}

void ScenePlay::Update()
{
	if (Renderer *renderer = BenchRenderer())
		renderer->BeginFrame();
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

void ScenePlay::Draw()
{
	Renderer *renderer = BenchRenderer();
	renderer->BeginFrame();
	renderer->UpdateCameraMatrices();
	scene->Render();
}

void ScenePlay::Present()
{
	BenchRenderer()->EndFrame();
}

void ScenePlay::Press(SDL_Scancode key)
{
	input.HandleEvent(KeyEvent(SDL_KEYDOWN, key));
}

void ScenePlay::Release(SDL_Scancode key)
{
	input.HandleEvent(KeyEvent(SDL_KEYUP, key));
}
