// The orchard as the player sees it: loaded through every phase with its
// props, pickups, doors, switches and a lit fire, drawn through the post pass
// into the window, read back, saved as "orchard_objects.png" beside the test
// binary, and checked for the colours its objects must show.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/TileMap.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/PropSaveSwitch.h"
#include "support/SharedRenderer.h"
#include "support/WindowPicture.h"

namespace {

constexpr int kSample = 3;                 // pixels across the square averaged at each point
constexpr float kFrameTime = 1.0f / 60.0f; // seconds
constexpr int kMostLoadSteps = 100;

// A game in progress whose save starts on the orchard, so its fire burns.
class OrchardGame : public GameLink {
public:
	bool IsInGame() override { return true; }
	uint16_t CurrentMapId() override { return HashName("orchard"); }
	uint16_t StartMap() override { return HashName("orchard"); }
};

class OrchardRender : public SharedRendererTest {
protected:
	void TearDown() override
	{
		GameLink::Install(nullptr);
		SharedRendererTest::TearDown();
	}

	// Loads the orchard through every phase and starts its objects.
	void Load(Scene &scene, TileMap &map, MapEntityFactory &factory)
	{
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		map.SetEntityFactory(&factory);
		testing::internal::CaptureStdout();
		map.Load("maps/orchard.tmx", TileMapLoadState::kNoScripts, nullptr);
		int steps = 0;
		while (map.Step() && ++steps < kMostLoadSteps) {
		}
		std::string log = testing::internal::GetCapturedStdout();
		ASSERT_EQ(map.GetLoadState().phase, (uint32_t)kPhaseLoaded) << log;
		for (int i = 0; i < 10; i++)
			scene.Update(kFrameTime); // starts the objects; the flames get going
	}
	glm::mat4 Draw(Scene &scene, const char *name)
	{
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		const glm::mat4 matrix = renderer->GetMatrix(0);
		scene.Render();
		renderer->EndFrame();
		picture.ReadWindow();
		const std::string path = GetBaseDirectory() + name;
		EXPECT_TRUE(picture.Save(path)) << "could not write " << path;
		return matrix;
	}

	WindowPicture picture{kSample};
};

} // namespace

TEST_F(OrchardRender, LitFlamesAndBlueAndRedSwitchesShow)
{
	OrchardGame game;
	GameLink::Install(&game);
	MapEntityFactory factory;
	Scene scene; // outlives the map, which frees the objects the scene lists
	TileMap map;
	Load(scene, map, factory);
	if (HasFatalFailure())
		return;

	auto *fire = dynamic_cast<PropSaveSwitch *>(map.FindEntityRecordById(55)->entity);
	ASSERT_NE(fire, nullptr);
	ASSERT_TRUE(fire->IsLit());

	Camera camera;
	Camera::SetCurrent(&camera);
	camera.fieldOfView = 45;
	camera.transform.SetPosition(Vec3(32.0f, 30.0f, 34.0f));
	camera.transform.LookAt(Vec3(32.0f, 0.0f, 14.0f));

	const glm::mat4 matrix = Draw(scene, "orchard_objects.png");

	struct Check {
		const char *name;
		Vec3 point;
		bool (*ok)(const Rgb &);
	};
	const Vec3 flame = fire->transform.position + Vec3(0.0f, 0.2f, 0.0f);
	const Check checks[] = {
		{"lit flames", flame, [](const Rgb &c) { return c.r > 150 && c.r > c.b + 60; }},
		{"blue switch", map.TilePosition(12, 4, 0.5f, 0.5f) + Vec3(0.0f, 0.25f, 0.0f),
			[](const Rgb &c) { return c.b > c.r + 20 && c.b > c.g; }},
		{"red switch", map.TilePosition(16, 2, 0.5f, 0.5f) + Vec3(0.0f, 0.25f, 0.0f),
			[](const Rgb &c) { return c.r > c.b + 20 && c.r > c.g; }},
	};
	for (const Check &check : checks) {
		SCOPED_TRACE(check.name);
		int x = 0, y = 0;
		Rgb colour;
		ASSERT_TRUE(WindowPicture::ToPixel(matrix, check.point, x, y) && picture.Average(x, y, colour)) << "out of the view";
		EXPECT_TRUE(check.ok(colour)) << "at pixel " << x << ", " << y << ": rgb " << colour.r << " " << colour.g
									  << " " << colour.b;
	}
}

// The hut up close: its walls show the boards of its planks texture, light
// wood parted by dark gaps, not one flat colour. Along a line across the
// front wall the brightness dips into a gap and climbs out again at least
// twice.
TEST_F(OrchardRender, TheHutShowsItsPlanks)
{
	OrchardGame game;
	GameLink::Install(&game);
	MapEntityFactory factory;
	Scene scene;
	TileMap map;
	Load(scene, map, factory);
	if (HasFatalFailure())
		return;
	Entity *hut = map.FindEntityRecordById(10)->entity;
	ASSERT_NE(hut, nullptr);

	Camera camera;
	Camera::SetCurrent(&camera);
	camera.fieldOfView = 30;
	const Vec3 middle = hut->transform.position + Vec3(0.0f, 0.5f, 0.0f);
	camera.transform.SetPosition(middle + Vec3(0.0f, 3.0f, 7.0f));
	camera.transform.LookAt(middle);
	const glm::mat4 matrix = Draw(scene, "orchard_hut.png");

	// Across the front wall, a little above the ground, clear of the door.
	int x0 = 0, x1 = 0, y = 0, ignored = 0;
	ASSERT_TRUE(WindowPicture::ToPixel(matrix, hut->transform.position + Vec3(-0.95f, 0.4f, 0.62f), x0, y));
	ASSERT_TRUE(WindowPicture::ToPixel(matrix, hut->transform.position + Vec3(-0.35f, 0.4f, 0.62f), x1, ignored));
	ASSERT_LT(x0 + 10, x1);
	std::vector<int> shades;
	for (int x = x0; x <= x1; x++) {
		Rgb c;
		ASSERT_TRUE(picture.Average(x, y, c));
		shades.push_back(c.Sum());
	}
	const int lightest = *std::max_element(shades.begin(), shades.end());
	const int darkest = *std::min_element(shades.begin(), shades.end());
	EXPECT_GT(lightest - darkest, 60) << "a flat wall from " << darkest << " to " << lightest;
	int gaps = 0;
	bool inGap = false;
	const int threshold = (lightest + darkest) / 2;
	for (int shade : shades) {
		if (!inGap && shade < threshold && shade < lightest - 30) {
			inGap = true;
			gaps++;
		} else if (inGap && shade > threshold)
			inGap = false;
	}
	EXPECT_GE(gaps, 2) << "between pixels " << x0 << " and " << x1 << " on row " << y;
}
