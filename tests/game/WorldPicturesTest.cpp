// A picture of every shipped map from above, with its objects, saved as
// "world/<map>.png" beside the test binary so that a reader can look at the
// whole world; each must show ground across its middle.
#include <gtest/gtest.h>

#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Scene.h"
#include "engine/render/MeshRenderer.h"
#include "engine/render/Renderer.h"
#include "game/GameProgress.h"
#include "map/TileMap.h"
#include "map/WorldMap.h"
#include "objects/MapEntityFactory.h"
#include "support/GameSceneTestWorld.h"
#include "support/SharedRenderer.h"
#include "support/WindowPicture.h"
#include "support/WindowPixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr float kFrameTime = 1.0f / 60.0f;
constexpr int kMostLoadSteps = 200;
constexpr float kFieldOfView = 45.0f;   // degrees
constexpr float kTiltRadians = 1.05f;    // the eye's height angle over the map's south

class WorldPictures : public SharedRendererTest {};

std::vector<std::string> ShippedMapNames()
{
	std::vector<std::string> names;
	DirectoryHandle listing = OpenDirectory("maps");
	if (listing != nullptr)
		while (const char *name = ReadDirectoryName(listing.get()))
			if (FileHasExtension(name, "tmx") && std::string(name) != kWorldMapFile)
				names.push_back(std::string(name).substr(0, std::strlen(name) - 4));
	std::sort(names.begin(), names.end());
	return names;
}

} // namespace

TEST_F(WorldPictures, EveryShippedMapFromAbove)
{
	const std::vector<std::string> names = ShippedMapNames();
	ASSERT_FALSE(names.empty());
	const std::string folder = GetBaseDirectory() + "world/";
	std::filesystem::create_directories(folder);
	MapEntityFactory factory;
	for (const std::string &name : names) {
		SCOPED_TRACE(name);
		Scene scene; // outlives the map, which frees the objects the scene lists
		TileMap map;
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		map.SetEntityFactory(&factory);
		testing::internal::CaptureStdout();
		map.Load(("maps/" + name + ".tmx").c_str(), TileMapLoadState::kNoScripts, nullptr);
		int steps = 0;
		while (map.Step() && ++steps < kMostLoadSteps) {
		}
		const std::string log = testing::internal::GetCapturedStdout();
		ASSERT_EQ(map.GetLoadState().phase, (uint32_t)kPhaseLoaded) << log;
		for (int i = 0; i < 5; i++)
			scene.Update(kFrameTime);

		// The whole map in view, from high over its south edge.
		const TileMapData &data = map.GetMapData();
		const Vec3 first = map.TilePosition(0, 0, 0.0f, 0.0f);
		const Vec3 last = map.TilePosition((int16_t)(data.width - 1), (int16_t)(data.height - 1), 1.0f, 1.0f);
		const Vec3 middle((first.x + last.x) * 0.5f, 0.0f, (first.z + last.z) * 0.5f);
		const float across = last.x - first.x;
		const float deep = last.z - first.z;
		const float aspect = (float)WindowPicture::kWidth / (float)WindowPicture::kHeight;
		const float halfView = std::tan(kFieldOfView * 0.5f * 3.14159265f / 180.0f);
		const float distance = std::max(deep * 1.1f, across / aspect) * 0.5f / halfView + 6.0f;
		Camera camera;
		camera.fieldOfView = kFieldOfView;
		camera.transform.SetPosition(middle + Vec3(0.0f, std::sin(kTiltRadians), std::cos(kTiltRadians)) * distance);
		camera.transform.LookAt(middle);
		Camera::SetCurrent(&camera);

		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		const glm::mat4 matrix = renderer->GetMatrix(0);
		scene.Render();
		renderer->EndFrame();
		WindowPicture picture(3);
		picture.ReadWindow();
		EXPECT_TRUE(picture.Save(folder + name + ".png")) << folder << name << ".png";
		int x = 0;
		int y = 0;
		Rgb colour;
		ASSERT_TRUE(WindowPicture::ToPixel(matrix, map.TilePosition((int16_t)(data.width / 2), (int16_t)(data.height / 2), 0.5f, 0.5f), x, y));
		ASSERT_TRUE(picture.Average(x, y, colour)) << "the map's middle is out of the view";
		EXPECT_GT(colour.Sum(), 30) << "the map's middle shows nothing at pixel " << x << ", " << y;
		Camera::SetCurrent(nullptr);
	}
}

namespace {

// Flames flicker with the clock; held still, two pictures of a fire match.
uint32_t StillClock()
{
	return 1000;
}

// The scene layer of one frame of the in-game scene, drawn with model
// culling on or off.
std::vector<uint8_t> DrawSceneLayer(Renderer &renderer, TalvexGameScene &scene, bool culling)
{
	renderer.SetModelCulling(culling);
	renderer.BeginFrame();
	renderer.BeginFrame();
	renderer.UpdateCameraMatrices();
	scene.Render();
	std::vector<uint8_t> layer = ReadLayerRect(renderer, Renderer::kLayerScene, 0, 0, (int)renderer.GetRenderWidth(),
		(int)renderer.GetRenderHeight());
	renderer.SetModelCulling(true);
	return layer;
}

} // namespace

// Models wholly outside the view are neither drawn nor skinned; every map's
// opening view in the in-game scene must be the same picture, pixel for
// pixel, as with every model drawn.
TEST_F(WorldPictures, EveryOpeningViewIsTheSameCulledAsDrawnWhole)
{
	constexpr int kSettleFrames = 90; // the camera comes to rest behind the hero
	constexpr int kDrawnFrames = 5;
	const std::vector<std::string> names = ShippedMapNames();
	ASSERT_FALSE(names.empty());
	GameSceneTestWorld world;
	std::string whyNot;
	ASSERT_TRUE(world.Prepare(whyNot)) << whyNot;
	world.book.readFiles = true;
	MeshRenderer::SetClock(&StillClock);
	for (const std::string &name : names) {
		SCOPED_TRACE(name);
		GameProgress::ResetGlobal();
		GameProgress::SetPendingValue(HashName(name.c_str())); // the map a new scene starts on
		testing::internal::CaptureStdout();
		world.Begin();
		const bool loaded = world.UntilLoaded(600);
		world.Frames(kSettleFrames);
		// A few frames drawn as the game draws them, so that models out of
		// view have gone without their skins.
		for (int i = 0; i < kDrawnFrames; i++) {
			world.Frame();
			DrawSceneLayer(*renderer, *world.scene, true);
		}
		const std::string log = testing::internal::GetCapturedStdout();
		ASSERT_TRUE(loaded) << log;
		ASSERT_EQ(name, world.scene->GetLoadedAs()) << log;
		const std::vector<uint8_t> culled = DrawSceneLayer(*renderer, *world.scene, true);
		const std::vector<uint8_t> whole = DrawSceneLayer(*renderer, *world.scene, false);
		ASSERT_EQ(culled.size(), whole.size());
		size_t differing = 0;
		for (size_t p = 0; p < whole.size(); p += 4)
			differing += std::memcmp(&culled[p], &whole[p], 4) != 0 ? 1 : 0;
		EXPECT_EQ(0u, differing) << "pixels of the opening view differ";
	}
	MeshRenderer::SetClock(nullptr);
}
