#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "map/MapCommand.h"
#include "map/Missions.h"
#include "map/TileMap.h"
#include "map/TileMapData.h"
#include "map/WorldMap.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/PropHut.h"

namespace {

constexpr int kMostLoadSteps = 200;
constexpr float kFrame = 1.0f / 60.0f;

std::vector<std::string> ShippedMaps(const char *folder)
{
	std::vector<std::string> names;
	DirectoryHandle listing = OpenDirectory(folder);
	if (listing == nullptr)
		return names;
	while (const char *entry = ReadDirectoryName(listing.get())) {
		std::string name = entry;
		if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmx") == 0 && name != kWorldMapFile)
			names.push_back(name.substr(0, name.size() - 4));
	}
	return names;
}

struct LoadedArea {
	std::set<uint16_t> exits;
	std::set<uint16_t> saves;
	bool news = false;
};

// Loads one map through every phase with the game's own object factory and
// notes where its exits lead and which flags its scripts save.
bool LoadArea(const std::string &path, LoadedArea &area, std::string &log)
{
	GameLink link;
	GameLink::Install(&link);
	MapEntityFactory factory;
	Scene scene;
	TileMap map;
	scene.state = kSceneActive;
	scene.AddEntity(&map);
	map.SetEntityFactory(&factory);
	testing::internal::CaptureStdout();
	map.Load(path.c_str(), 0, nullptr); // scripts compiled, none started
	int steps = 0;
	while (map.Step() && ++steps < kMostLoadSteps) {
	}
	for (int i = 0; i < 3; i++)
		scene.Update(kFrame);
	log = testing::internal::GetCapturedStdout();
	bool loaded = map.GetLoadState().phase == kPhaseLoaded;
	const TileMapData &data = map.GetMapData();
	for (const MapObjectDef &object : data.objects)
		if (object.kind == kObjectExit)
			area.exits.insert(object.key);
	for (const MapObjectDef &record : data.entityRecords) {
		if (record.name.IsSet() && NameEquals(record.name.Get(), "ground news"))
			area.news = true;
		// A hut's door is the way into the map of its name.
		if (record.name.IsSet() && dynamic_cast<PropHut *>(record.entity) != nullptr)
			area.exits.insert(HashName(record.name.Get()));
	}
	for (const MapCommand &command : data.commands)
		if (command.code == kCmdSave && command.value < data.strings.size())
			area.saves.insert(HashName(data.strings[command.value].Get()));
	map.Clear();
	GameLink::Install(nullptr);
	return loaded;
}

}

TEST(WorldMapAreas, EveryShippedMapLoadsAndLeadsToItsNeighbours)
{
	WorldMap world;
	ASSERT_TRUE(world.Load(false));
	Missions missions;
	ASSERT_TRUE(missions.Load());
	const char *const newsAreas[] = {"black3", "blacktotown", "cold4", "far6", "far41",
	                                 "mountain2", "north2", "nortow3", "south0", "south4"};

	std::set<uint16_t> saved;
	std::vector<std::string> names = ShippedMaps("maps");
	ASSERT_GE(names.size(), static_cast<size_t>(world.GetCount()));
	for (const std::string &name : names) {
		SCOPED_TRACE(name);
		for (const char *folder : {"maps/", "mapo/"}) {
			LoadedArea area;
			std::string log;
			ASSERT_TRUE(LoadArea(folder + name + ".tmx", area, log)) << folder << log;
			if (std::string(folder) == "mapo/")
				continue;
			saved.insert(area.saves.begin(), area.saves.end());
			// Each area reaches the place before it on the journey and every
			// place that follows it.
			uint16_t key = HashName(name.c_str());
			for (uint16_t i = 0; i < world.GetCount(); ++i) {
				const WorldMapLocation *place = world.GetLocation(i);
				if (place->nameKey == key && place->previousKey != 0) {
					EXPECT_EQ(1u, area.exits.count(place->previousKey)) << "no way back";
				}
				if (place->previousKey == key) {
					EXPECT_EQ(1u, area.exits.count(place->nameKey)) << "no way on to " << place->name;
				}
			}
			for (const char *news : newsAreas) {
				if (name == news) {
					EXPECT_TRUE(area.news) << "a news area holds its scroll";
				}
			}
		}
	}
	for (size_t i = 0; i < kSummaryMissionCount; ++i)
		EXPECT_EQ(1u, saved.count(missions.GetMission(i)->save)) << missions.GetMission(i)->stub << " is saved somewhere";
}
