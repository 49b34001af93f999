// Every creature as the player sees it: a flat field with the creatures in a
// row, followed by the in-game camera rig and drawn through the post pass,
// read back and saved as "creatures.png" beside the test binary. Each
// creature's spot must differ from the same field drawn without them.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/CameraRig.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/MapEntityFactory.h"
#include "support/GridMap.h"
#include "support/SharedRenderer.h"
#include "support/WindowPicture.h"

namespace {

constexpr float kFrameTime = 1.0f / 60.0f; // seconds
constexpr int kMostLoadSteps = 100;
constexpr int kFieldWidth = 24;
constexpr int kFieldHeight = 16;
constexpr int kRow = 8;            // the tile row the creatures stand on
constexpr int kPerRow = 10;        // figures in a row; the townsfolk stand in a second one in front
constexpr int kMinDifference = 40; // summed over red, green and blue

struct Figure {
	const char *name;
	uint32_t kind;
	float lift;   // world units above the ground (the bird hangs in the air)
	float middle; // world units from the feet to the point checked
};

// Creatures and townsfolk, left to right.
const Figure kFigures[] = {
	{"chook", 50, 0.0f, 0.4f},
	{"big chook", 51, 0.0f, 0.5f},
	{"chook boss", 52, 0.0f, 0.8f},
	{"ogre with its axe", 53, 0.0f, 0.9f},
	{"minion", 54, 0.0f, 0.5f},
	{"fire wizard", 55, 0.0f, 0.8f},
	{"dark lord", 56, 0.0f, 1.0f},
	{"chook bomb", 57, 0.0f, 0.5f},
	{"bird", 61, 2.0f, 0.2f},
	{"blob", 62, 0.0f, 0.4f},
	{"townee", 26, 0.0f, 0.8f},
	{"oracle", 27, 0.0f, 0.8f},
	{"tinsmith", 28, 0.0f, 0.9f},
	{"woodsmith", 29, 0.0f, 0.8f},
	{"locksmith", 30, 0.0f, 0.8f},
	{"temptress", 31, 0.0f, 0.8f},
};

class CreaturesRender : public SharedRendererTest {
protected:
	glm::mat4 Draw(Scene &scene, WindowPicture &picture)
	{
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		const glm::mat4 matrix = renderer->GetMatrix(0);
		scene.Render();
		renderer->EndFrame();
		picture.ReadWindow();
		return matrix;
	}
};

} // namespace

TEST_F(CreaturesRender, EveryCreatureShowsOnTheField)
{
	GridLoader loader;
	loader.width = kFieldWidth;
	loader.height = kFieldHeight;
	loader.tiles.assign((size_t)kFieldWidth * kFieldHeight, Flat(2));
	loader.extra = [](TileMapData &data) { data.environmentId = HashName("grassland"); };
	NoEntities factory;
	Scene scene; // outlives the map and the figures
	TileMap map;
	scene.state = kSceneActive;
	scene.AddEntity(&map);
	map.SetMapLoader(&loader);
	map.SetEntityFactory(&factory);
	map.Load("field.tmx", TileMapLoadState::kNoScripts, nullptr);
	for (int steps = 0; map.Step() && steps < kMostLoadSteps; steps++) {
	}

	// The rig follows a marker in the middle of the row.
	Entity marker;
	marker.transform.position = map.TilePosition(kFieldWidth / 2, kRow, 0.5f, 0.5f);
	Camera camera;
	CameraRig rig;
	rig.Attach(&camera, &marker, &map);
	for (int i = 0; i < 120; i++)
		rig.Update(kFrameTime);

	std::vector<std::unique_ptr<Actor>> figures;
	const int count = (int)std::size(kFigures);
	for (int i = 0; i < count; i++) {
		SCOPED_TRACE(kFigures[i].name);
		MapEntity *made = MapEntityFactory::CreateByKind(kFigures[i].kind);
		ASSERT_NE(nullptr, made);
		std::unique_ptr<Actor> figure(static_cast<Actor *>(made));
		figure->LinkToMap(&map, nullptr);
		const int column = kFieldWidth / 2 - kPerRow / 2 + i % kPerRow;
		const int row = kRow + 2 * (i / kPerRow);
		figure->SetPosition(map.TilePosition((int16_t)column, (int16_t)row, 0.5f, 0.5f) + Vec3(0.0f, kFigures[i].lift, 0.0f));
		figure->SetVisible(false);
		scene.AddEntity(figure.get());
		figures.push_back(std::move(figure));
	}
	scene.Update(kFrameTime); // started: models loaded
	for (auto &figure : figures) {
		figure->AddBehaviour(nullptr, true); // they stand still for the picture
		figure->transform.rotation = glm::angleAxis(0.4f, Vec3(0.0f, 1.0f, 0.0f));
	}
	for (int i = 0; i < 5; i++)
		scene.Update(kFrameTime);

	WindowPicture without{5};
	Draw(scene, without);
	for (auto &figure : figures)
		figure->SetVisible(true);
	WindowPicture with{5};
	const glm::mat4 matrix = Draw(scene, with);
	const std::string path = GetBaseDirectory() + "creatures.png";
	EXPECT_TRUE(with.Save(path)) << "could not write " << path;

	for (int i = 0; i < count; i++) {
		SCOPED_TRACE(kFigures[i].name);
		EXPECT_TRUE(figures[i]->model.IsLoaded()) << "its model";
		int x = 0, y = 0;
		Rgb a, b;
		const Vec3 point = figures[i]->transform.position + Vec3(0.0f, kFigures[i].middle, 0.0f);
		ASSERT_TRUE(WindowPicture::ToPixel(matrix, point, x, y) && without.Average(x, y, a) && with.Average(x, y, b))
			<< "out of the view";
		const int difference = std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
		EXPECT_GE(difference, kMinDifference) << "at pixel " << x << ", " << y;
	}
	for (auto &figure : figures)
		scene.RemoveEntity(figure.get());
	scene.RemoveEntity(&map);
}
