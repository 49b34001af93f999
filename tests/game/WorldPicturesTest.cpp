// A picture of every shipped map from above, with its objects, saved as
// "world/<map>.png" beside the test binary so that a reader can look at the
// whole world; each must show ground across its middle.
#include <gtest/gtest.h>

#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/TileMap.h"
#include "map/WorldMap.h"
#include "objects/MapEntityFactory.h"
#include "support/SharedRenderer.h"
#include "support/WindowPicture.h"

#include <algorithm>
#include <cmath>
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
