// The follow camera at the edges of the town: the hero walks to the last row
// or column of the map on each side, or on past it as through an exit, the
// rig settles, and the hero, feet and head, must stand inside the window the
// renderer draws (kept as a picture beside the test binary).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/CameraRig.h"
#include "map/TileMap.h"
#include "support/GridMap.h"
#include "support/SharedRenderer.h"
#include "support/WindowPicture.h"

namespace {

constexpr float kFrameTime = 1.0f / 60.0f; // seconds
constexpr int kMostLoadSteps = 100;
constexpr float kHeroHeight = 1.6f; // world units from the feet to the top of the head
constexpr int kEdgeMargin = 2;      // window pixels the hero keeps from its edge
constexpr float kWalkOut = 7.0f;    // world units walked out through an exit in its second of fade
constexpr float kRunSpeed = 7.0f;   // world units a second, the hero's own

class CameraRigEdge : public SharedRendererTest {};

} // namespace

TEST_F(CameraRigEdge, TheHeroStaysOnScreenAtEveryEdgeOfTown)
{
	NoEntities factory;
	Scene scene;
	TileMap map;
	scene.state = kSceneActive;
	scene.AddEntity(&map);
	map.SetEntityFactory(&factory);
	testing::internal::CaptureStdout();
	map.Load("maps/town.tmx", TileMapLoadState::kNoScripts, nullptr);
	for (int steps = 0; map.Step() && steps < kMostLoadSteps; steps++) {
	}
	const std::string log = testing::internal::GetCapturedStdout();
	ASSERT_EQ(map.GetLoadState().phase, (uint32_t)kPhaseLoaded) << log;
	scene.Update(kFrameTime); // the terrain's meshes are built
	const int16_t w = (int16_t)map.GetMapData().width;
	const int16_t h = (int16_t)map.GetMapData().height;

	// The hero's spot in its tile: as far out as a walker of the hero's
	// size can stand.
	constexpr float kNear = 0.1f, kMiddle = 0.5f, kFar = 0.9f;
	const struct {
		const char *name;
		int16_t x, y;
		float fx, fz;
		Vec3 beyond = Vec3(0.0f); // on past the map's edge
	} edges[] = {
		{"south", (int16_t)(w / 2), (int16_t)(h - 1), kMiddle, kFar},
		{"south-west corner", 0, (int16_t)(h - 1), kNear, kFar},
		{"south-east corner", (int16_t)(w - 1), (int16_t)(h - 1), kFar, kFar},
		{"north", (int16_t)(w / 2), 0, kMiddle, kNear},
		{"west", 0, (int16_t)(h / 2), kNear, kMiddle},
		{"east", (int16_t)(w - 1), (int16_t)(h / 2), kFar, kMiddle},
		{"middle", (int16_t)(w / 2), (int16_t)(h / 2), kMiddle, kMiddle},
		// Out through an exit: the hero walks on during the fade.
		{"out south", (int16_t)(w / 2), (int16_t)(h - 1), kMiddle, kFar, Vec3(0.0f, 0.0f, kWalkOut)},
		{"out north", (int16_t)(w / 2), 0, kMiddle, kNear, Vec3(0.0f, 0.0f, -kWalkOut)},
		{"out west", 0, (int16_t)(h / 2), kNear, kMiddle, Vec3(-kWalkOut, 0.0f, 0.0f)},
		{"out east", (int16_t)(w - 1), (int16_t)(h / 2), kFar, kMiddle, Vec3(kWalkOut, 0.0f, 0.0f)},
	};
	for (const auto &edge : edges) {
		SCOPED_TRACE(edge.name);
		Entity hero;
		hero.transform.position = map.TilePosition((int16_t)(w / 2), (int16_t)(h / 2), 0.5f, 0.5f);
		Camera camera;
		CameraRig rig;
		rig.Attach(&camera, &hero, &map);
		for (int i = 0; i < 120; i++)
			rig.Update(kFrameTime);
		// The walk to the edge at a run, watched every few frames, then time
		// for the camera to settle.
		const Vec3 from = hero.transform.position;
		const Vec3 to = map.TilePosition(edge.x, edge.y, edge.fx, edge.fz) + edge.beyond;
		const int walkFrames = (int)(glm::length(to - from) / (kRunSpeed * kFrameTime)) + 1;
		for (int i = 1; i <= walkFrames + 600; i++) {
			hero.transform.position = from + (to - from) * std::min(1.0f, (float)i / (float)walkFrames);
			rig.Update(kFrameTime);
			if (i % 10 != 0)
				continue;
			renderer->UpdateCameraMatrices();
			int x = 0, y = 0;
			ASSERT_TRUE(WindowPicture::ToPixel(renderer->GetMatrix(0), hero.transform.position, x, y));
			ASSERT_TRUE(x >= 0 && x < WindowPicture::kWidth && y >= 0 && y < WindowPicture::kHeight)
				<< "frame " << i << ": feet at pixel " << x << ", " << y;
		}

		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		const glm::mat4 matrix = renderer->GetMatrix(0);
		scene.Render();
		renderer->EndFrame();
		WindowPicture picture(1);
		picture.ReadWindow();
		std::string file = std::string("camera_edge_") + edge.name + ".png";
		for (char &c : file)
			c = c == ' ' ? '_' : c;
		EXPECT_TRUE(picture.Save(GetBaseDirectory() + file));

		const Vec3 feet = hero.transform.position;
		for (const Vec3 &point : {feet, feet + Vec3(0.0f, kHeroHeight, 0.0f)}) {
			int x = 0, y = 0;
			ASSERT_TRUE(WindowPicture::ToPixel(matrix, point, x, y));
			EXPECT_GE(x, kEdgeMargin);
			EXPECT_LT(x, WindowPicture::kWidth - kEdgeMargin);
			EXPECT_GE(y, kEdgeMargin) << "above the window";
			EXPECT_LT(y, WindowPicture::kHeight - kEdgeMargin) << "below the window";
		}
		Camera::SetCurrent(nullptr);
	}
	scene.RemoveEntity(&map);
}
