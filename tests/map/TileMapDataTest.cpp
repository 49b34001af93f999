#include "map/TileMapData.h"

#include <gtest/gtest.h>

#include <string>

TEST(TileMapData, LevelHeightsFollowTheHeightStep)
{
	struct Row {
		uint8_t level;
		float step;
		float height;
	};
	const Row rows[] = {
		{0, 0.75f, -1.0f}, {1, 0.75f, 0.0f}, {2, 0.75f, 0.75f}, {5, 0.75f, 3.0f},
		{6, 0.75f, 3.75f}, {7, 0.75f, 0.3f}, {3, 1.0f, 2.0f}, {0, 1.0f, -1.0f}, {7, 1.0f, 0.3f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("level " + std::to_string(row.level) + " step " + std::to_string(row.step));
		TileMapData data;
		data.heightStep = row.step;
		EXPECT_FLOAT_EQ(data.LevelHeight(row.level), row.height);
	}
}

TEST(TileMapData, ResetRestoresDefaultsButKeepsTheTitle)
{
	TileMapData data;
	data.width = 10;
	data.height = 12;
	data.tileWidth = 32;
	data.border = 0;
	data.highestObjectId = 40;
	data.zoom = 2.0f;
	data.environmentId = 77;
	data.layerIds[6] = 5;
	data.SetMapName("meadow");
	data.tiles.resize(120);
	data.objects.emplace_back();
	data.entityRecords.emplace_back();
	data.strings.emplace_back("x");
	data.messages.emplace_back("y");
	data.commands.emplace_back();
	data.exits[kExitWest].id = 9;
	data.music = MapPath("town");
	data.title = MapMessage("Meadow");

	data.Reset();
	EXPECT_EQ(data.width, 0);
	EXPECT_EQ(data.height, 0);
	EXPECT_EQ(data.tileWidth, 16);
	EXPECT_EQ(data.border, 255);
	EXPECT_EQ(data.highestObjectId, 0);
	EXPECT_FLOAT_EQ(data.tileSize, 2.0f);
	EXPECT_FLOAT_EQ(data.heightStep, 0.75f);
	EXPECT_FLOAT_EQ(data.zoom, 1.0f);
	EXPECT_EQ(data.environmentId, 0);
	EXPECT_EQ(data.layerIds[6], 0);
	EXPECT_STREQ(data.GetMapName(), "");
	EXPECT_TRUE(data.tiles.empty());
	EXPECT_TRUE(data.objects.empty());
	EXPECT_TRUE(data.entityRecords.empty());
	EXPECT_TRUE(data.strings.empty());
	EXPECT_TRUE(data.messages.empty());
	EXPECT_TRUE(data.commands.empty());
	EXPECT_EQ(data.exits[kExitWest].id, 0);
	EXPECT_EQ(data.music.Get(), nullptr);
	EXPECT_STREQ(data.title.Get(), "Meadow");
}

TEST(TileMapData, MapNamesKeepSixteenCharacters)
{
	struct Row {
		const char *name;
		const char *kept;
	};
	const Row rows[] = {
		{"home", "home"},
		{"abcdefghijklmnop", "abcdefghijklmnop"}, // 16: whole, and terminated
		{"abcdefghijklmnopqrst", "abcdefghijklmnop"},
		{nullptr, ""},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name ? row.name : "(null)");
		TileMapData data;
		data.SetMapName("zzzzzzzzzzzzzzzzzzzz");
		data.SetMapName(row.name);
		EXPECT_STREQ(data.GetMapName(), row.kept);
	}
}

TEST(TileMapData, ObjectDefaultsAndGroups)
{
	MapObjectDef object;
	EXPECT_EQ(object.kind, 0u);
	EXPECT_EQ(object.w, 1);
	EXPECT_EQ(object.h, 1);
	EXPECT_EQ(object.size, 1);
	EXPECT_EQ(object.key, 0);
	EXPECT_EQ(object.commandCount, 0);
	EXPECT_EQ(object.entity, nullptr);

	struct Row {
		uint16_t id;
		uint8_t group;
	};
	const Row rows[] = {{5, 5}, {261, 5}, {256, 0}, {512, 0}, {255, 255}};
	for (const Row &row : rows) {
		SCOPED_TRACE("id " + std::to_string(row.id));
		object.id = row.id;
		EXPECT_EQ(object.Group(), row.group);
	}
}
