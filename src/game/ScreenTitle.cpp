#include "game/ScreenTitle.h"

#include <cmath>

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "engine/render/Renderer.h"
#include "map/MapPreloader.h"
#include "map/Missions.h"
#include "map/TileMap.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

constexpr float kCircleRate = 0.2f; // radians a second
constexpr float kCameraBehind = 16.0f;
constexpr int32_t kTitleFieldOfView = 30;

ScreenTitle::ScreenTitle() = default;

ScreenTitle::~ScreenTitle()
{
	// A backdrop map that play will not take over (its preloader was
	// replaced meanwhile) gives its entities back while this scene still
	// lists them; once the scene is gone nobody could free them.
	MapPreloader *current = MapPreloader::Instance();
	bool kept = current != nullptr && current->GetTileMap() == tileMap;
	if (tileMap != nullptr && tileMap->scene == this && !kept)
		tileMap->Clear();
}

void ScreenTitle::Start()
{
	TalvexGame &game = TalvexGame::Current();
	game.ScanSaveSlots();
	if (MapPreloader::Instance() == nullptr)
		game.PreloadStartMap();
	MapPreloader *preloader = MapPreloader::Instance();
	tileMap = preloader != nullptr ? preloader->GetTileMap() : nullptr;
	if (tileMap != nullptr) {
		tileMap->drawLayer = -100;
		AddEntity(tileMap);
	}
	GameProgress::LoadCurrentSlot();
	Missions::Instance().Load();
	logo.SetTexture("mats/logo.png");
	logo.SetSize(204.0f, 223.0f);
	logo.transform.SetPosition(Vec3(50.0f, 50.0f, 0.0f));
	camera.transform.SetDirection(Vec3(0.0f, -10.0f, -13.0f), Vec3(0.0f, 1.0f, 0.0f));
	camera.fieldOfView = kTitleFieldOfView;
	UseCamera(camera);
	AddEntity(&logo);
	AddEntity(&stack);
	stack.AddEntity(&menu);
	PlaceText(version, glm::vec2(0.0f, 1.0f), 9, Renderer::ScreenPoint(0.05f, 0.95f), kVersionText);
	version.SetColor(glm::vec3(0.5f));
	AddEntity(&version);
	if (Renderer *renderer = GetRenderer())
		renderer->SetOverlayMode(1);
	if (!MusicPlayer::Instance()->IsPlaying())
		MusicPlayer::Instance()->PlayCueByName("start");
}

Vec3 ScreenTitle::CameraPosition(Vec3 ground, int w, int h, float t)
{
	Vec3 p = ground;
	p.y = kCameraHeight;
	p.x += std::sin(kCircleRate * t) * (float)(w - 7) * 0.5f * 0.5f;
	p.z += std::cos(kCircleRate * t) * (float)(h - 5) * 0.5f + kCameraBehind;
	return p;
}

void ScreenTitle::Update(float dt)
{
	if (tileMap != nullptr) {
		const uint32_t phase = tileMap->GetLoadState().phase;
		if (phase > kPhaseNone && phase < kPhaseLoaded)
			tileMap->Step();
	}
	Screen::Update(dt);
	if (HasAskedNext() || state != kSceneActive)
		return;
	time += dt;
	if (tileMap != nullptr) {
		const int w = tileMap->GetMapData().width;
		const int h = tileMap->GetMapData().height;
		const Vec3 ground = tileMap->TilePosition((int16_t)(w / 2), (int16_t)((h / 4) * 3), 0.5f, 0.5f);
		camera.transform.SetPosition(CameraPosition(ground, w, h, time));
	}
}
