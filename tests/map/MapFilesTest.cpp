#include "map/MapFiles.h"

#include "engine/core/Entity.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "support/RecordingMapLink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Answers the kind test of world objects.
class FakeMapEntity : public Entity {
public:
	bool IsKind(uint16_t testKind) override { return testKind == kMapEntityClassId || Entity::IsKind(testKind); }
};

// A game of the test's own, on the newer content unless a test says so.
class MapFiles : public testing::Test {
protected:
	RecordingMapLink game;
};

} // namespace

TEST_F(MapFiles, PathsFollowTheGamesContent)
{
	struct Row {
		const char *name;
		bool older; // the game runs its older content
		const char *path;
	};
	const Row rows[] = {
		{"home", false, "maps/home.tmx"},
		{"maps/home.tmx", false, "maps/home.tmx"},
		{"C:\\games\\maps\\cellar.TMX", false, "maps/cellar.tmx"},
		{"maps/home.tmx", true, "mapo/home.tmx"},
		{"mapo/town.tmx", true, "mapo/town.tmx"},
		{"mapo/town.tmx", false, "maps/town.tmx"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::string(row.name) + (row.older ? " on the older content" : ""));
		game.originalContent = row.older;
		EXPECT_EQ(BuildMapPath(row.name), row.path);
	}
	EXPECT_EQ(MapFileHash("maps/Home.tmx"), HashName("home"));
	EXPECT_EQ(MapFileHash("C:\\x\\HOME.TMX"), HashName("home"));
	EXPECT_NE(MapFileHash("maps/home.tmx"), MapFileHash("maps/town.tmx"));
}

TEST_F(MapFiles, FindsMapFilesByTheHashOfTheirName)
{
	// The data tree beside the test binary carries the sample map.
	EXPECT_EQ(FindMapFileByHash(HashName("HOME")), "maps/home.tmx");
	EXPECT_EQ(FindMapFileByHash(HashName("no such map anywhere")), "");
	game.originalContent = true;
	EXPECT_EQ(FindMapFileByHash(HashName("home")), "mapo/home.tmx");
}

TEST_F(MapFiles, ClampToRectangle)
{
	struct Row {
		MapRect rect;
		int16_t x, y;
		int16_t clampedX, clampedY;
	};
	const Row rows[] = {
		{{10, 10, 5, 5}, 20, 3, 14, 10},
		{{10, 10, 5, 5}, 12, 13, 12, 13},
		{{10, 10, 5, 5}, -4, 99, 10, 14},
		{{-5, -5, 1, 1}, 0, -9, -5, -5},
		{{32760, 0, 100, 1}, 32767, 0, 32767, 0}, // the far edge lies past the 16-bit range
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
		int16_t x = row.x;
		int16_t y = row.y;
		ClampToMapRect(row.rect, x, y);
		EXPECT_EQ(x, row.clampedX);
		EXPECT_EQ(y, row.clampedY);
	}
}

TEST_F(MapFiles, MapEntityTests)
{
	Scene scene;
	FakeMapEntity inScene;
	FakeMapEntity loose;
	Entity plain;
	scene.AddEntity(&inScene);
	scene.AddEntity(&plain);

	EXPECT_FALSE(IsMapEntity(nullptr));
	EXPECT_FALSE(IsMapEntity(&loose)); // not in a scene
	EXPECT_FALSE(IsMapEntity(&plain)); // not a world object
	EXPECT_TRUE(IsMapEntity(&inScene));
	EXPECT_TRUE(IsActiveMapEntity(&inScene));

	struct Row {
		uint32_t lifeState;
		bool mapEntity, active;
	};
	const Row rows[] = {{kLifeRunning, true, true}, {kLifePaused, true, false}, {kLifeRemoved, true, false},
		{kLifeDestroyed, false, false}};
	for (const Row &row : rows) {
		SCOPED_TRACE("life state " + std::to_string(row.lifeState));
		inScene.lifeState = row.lifeState;
		EXPECT_EQ(IsMapEntity(&inScene), row.mapEntity);
		EXPECT_EQ(IsActiveMapEntity(&inScene), row.active);
	}
	inScene.lifeState = kLifeAdded;
	scene.RemoveEntity(&inScene);
	scene.RemoveEntity(&plain);

	EXPECT_EQ(EntityKindToIndex(2), 0);
	EXPECT_EQ(EntityKindToIndex(63), 61);
	EXPECT_EQ(EntityKindToIndex(1), 65535);
}
