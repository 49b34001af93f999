#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/NameHash.h"
#include "map/WorldMap.h"
#include "support/TempFolder.h"

namespace {

std::string WriteFile(TempFolder &folder, const char *name, const char *text)
{
	std::string path = folder.Path(name);
	TempFolder::WriteBytes(path, std::vector<uint8_t>(text, text + strlen(text)));
	return path;
}

const char *const kSmallWorld = R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.10" orientation="orthogonal" width="4" height="4" tilewidth="16" tileheight="16">
 <objectgroup id="2" name="places">
  <object id="7" name="town" x="32" y="48" env="grassland" shortcut="true"/>
  <object id="9" name="orchard" prev="town" x="64" y="48" px="-1" py="1" env="Forest" dragon="dragon1" cooler="cooler2" collect="letter3"/>
  <point id="11" name="abcdefghijklmnopqrst" x="80" y="16" env="tower"/>
  <object id="12" x="96" y="16"/>
 </objectgroup>
</map>)";

}

TEST(WorldMap, ReadsEveryPlaceInOrder)
{
	TempFolder folder;
	WorldMap list(WriteFile(folder, "world.tmx", kSmallWorld).c_str());
	ASSERT_TRUE(list.Load(false));
	ASSERT_EQ(4, list.GetCount());

	const WorldMapLocation *town = list.GetLocation(0);
	EXPECT_EQ(HashName("town"), town->nameKey);
	EXPECT_EQ(0, town->previousKey);
	EXPECT_EQ(1, town->number);
	EXPECT_EQ(7, town->id);
	EXPECT_EQ(1, town->shortcut);
	EXPECT_EQ(32, town->x);
	EXPECT_EQ(48, town->y);

	const WorldMapLocation *orchard = list.GetLocation(1);
	EXPECT_EQ(HashName("town"), orchard->previousKey);
	EXPECT_EQ(-1, orchard->px) << "steps keep their sign";
	EXPECT_EQ(1, orchard->py);
	EXPECT_EQ(HashName("dragon1"), orchard->dragonKey);
	EXPECT_EQ(HashName("cooler2"), orchard->coolerKey);
	EXPECT_STREQ("letter3", orchard->collect);
	EXPECT_EQ(WorldMap::kIconForest, WorldMap::EnvIcon(orchard->envKey));

	const WorldMapLocation *longName = list.GetLocation(2);
	EXPECT_EQ(3, longName->number) << "any element after the first object counts";
	EXPECT_STREQ("abcdefghijklmnop", longName->name) << "sixteen characters kept, terminated";
	EXPECT_EQ(HashName("abcdefghijklmnopqrst"), longName->nameKey) << "the key is of the whole name";

	const WorldMapLocation *nameless = list.GetLocation(3);
	EXPECT_STREQ("", nameless->name);
	EXPECT_EQ(0, nameless->nameKey);

	EXPECT_EQ(nullptr, list.GetLocation(4));
	EXPECT_EQ(orchard, list.FindLocationAt(64, 48));
	EXPECT_EQ(nullptr, list.FindLocationAt(64, 49));
	EXPECT_EQ(2, list.FindRegionNumber(HashName("orchard")));
	EXPECT_EQ(0, list.FindRegionNumber(HashName("nowhere")));
}

TEST(WorldMap, LoadsOnceUnlessForced)
{
	TempFolder folder;
	std::string path = WriteFile(folder, "world.tmx", kSmallWorld);
	WorldMap list(path.c_str());
	ASSERT_TRUE(list.Load(false));
	WriteFile(folder, "world.tmx", "<map><objectgroup><object name=\"only\"/></objectgroup></map>");
	ASSERT_TRUE(list.Load(false));
	EXPECT_EQ(4, list.GetCount()) << "loaded already: nothing is read";
	ASSERT_TRUE(list.Load(true));
	ASSERT_EQ(1, list.GetCount());
	EXPECT_EQ(1, list.GetLocation(0)->number) << "a forced read numbers from 1 again";
}

TEST(WorldMap, BrokenFilesLeaveItUnloadedAndRetry)
{
	TempFolder folder;
	const struct {
		const char *name;
		const char *text;
	} rows[] = {
		{"not xml", "<map><objectgroup>"},
		{"empty", ""},
		{"no map root", "<world><objectgroup/></world>"},
		{"no object group", "<map><layer/></map>"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		std::string path = WriteFile(folder, "broken.tmx", row.text);
		WorldMap list(path.c_str());
		EXPECT_FALSE(list.Load(false));
		EXPECT_FALSE(list.IsLoaded());
		EXPECT_EQ(0, list.GetCount());
		EXPECT_EQ(nullptr, list.GetLocation(0));
		WriteFile(folder, "broken.tmx", kSmallWorld);
		EXPECT_TRUE(list.Load(false)) << "the next load tries again";
		EXPECT_EQ(4, list.GetCount());
	}
	WorldMap missing(folder.Path("none.tmx").c_str());
	EXPECT_FALSE(missing.Load(false));
}

TEST(WorldMap, RegionIconsInAnyCase)
{
	const struct {
		const char *region;
		uint8_t icon;
	} rows[] = {
		{"grassland", 16}, {"Forest", 17}, {"SNOW", 18}, {"hot", 19},
		{"cold", 20},      {"black", 21},  {"tower", 22}, {"desert", 0},
	};
	for (const auto &row : rows)
		EXPECT_EQ(row.icon, WorldMapEnvIcon(HashName(row.region))) << row.region;
	EXPECT_EQ(0, WorldMapEnvIcon(0));
}

TEST(WorldMap, ShippedMapListsTheJourney)
{
	WorldMap shipped;
	ASSERT_TRUE(shipped.Load(false));
	ASSERT_GT(shipped.GetCount(), 30);
	EXPECT_EQ(HashName("home"), shipped.GetLocation(0)->nameKey);
	const char *const journey[] = {"home", "town", "north1", "town2", "far2", "mountain2", "hot1", "cold3", "black2", "tower1", "towerf5"};
	uint16_t last = 0;
	for (const char *place : journey) {
		uint16_t number = shipped.FindRegionNumber(HashName(place));
		EXPECT_GT(number, last) << place << " comes later on the journey";
		last = number;
	}
	for (uint16_t i = 0; i < shipped.GetCount(); ++i) {
		const WorldMapLocation *location = shipped.GetLocation(i);
		SCOPED_TRACE(location->name);
		EXPECT_NE(0, WorldMap::EnvIcon(location->envKey)) << "every place is in one of the seven regions";
		EXPECT_EQ(0, location->x % 16);
		EXPECT_EQ(0, location->y % 16);
		EXPECT_LE(std::abs(location->px), 1);
		EXPECT_LE(std::abs(location->py), 1);
		if (i > 0) {
			EXPECT_NE(0, shipped.FindRegionNumber(location->previousKey)) << "the place before is on the map";
		}
	}
}
