// Maps, the world map, map scripts and the map layer's XML tables.
#include "fuzz/FuzzTargets.h"

#include <string>

#include "engine/collision/CollisionChecker.h"
#include "engine/core/Scene.h"
#include "map/EnvironmentTable.h"
#include "map/MapCommand.h"
#include "map/MapScriptCompiler.h"
#include "map/Missions.h"
#include "map/TileMap.h"
#include "map/WorldMap.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"

namespace {

constexpr int kMostLoadSteps = 200;   // a map loads in a handful; more is a hang
constexpr int kFramesAfterLoad = 3;   // entities start and take a step or two
constexpr float kFrame = 1.0f / 60.0f;

// A map file through every load phase with the game's own object factory,
// its entities started, then cleared.
int FuzzTmx(const uint8_t *data, size_t size)
{
	const std::string path = WriteFuzzFile("fuzz.tmx", data, size);
	GameLink link;
	GameLink::Install(&link);
	MapEntityFactory factory;
	Scene scene;
	TileMap map;
	scene.state = kSceneActive;
	scene.AddEntity(&map);
	map.SetEntityFactory(&factory);
	map.Load(path.c_str(), 0, nullptr);
	for (int steps = 0; map.Step() && steps < kMostLoadSteps; steps++) {
	}
	CollisionChecker checker;
	for (int i = 0; i < kFramesAfterLoad; i++) {
		scene.Update(kFrame);
		checker.Check(&scene);
	}
	map.Clear();
	scene.RemoveEntity(&map);
	GameLink::Install(nullptr);
	return 0;
}

int FuzzWorldMap(const uint8_t *data, size_t size)
{
	WorldMap places(WriteFuzzFile("worldmap.tmx", data, size).c_str());
	if (places.Load(true)) {
		for (uint16_t i = 0; i < places.GetCount(); i++) {
			const WorldMapLocation *place = places.GetLocation(i);
			if (place != nullptr)
				places.FindLocationAt(place->x, place->y);
		}
	}
	return 0;
}

// Each line is one property name, as the map reader hands them over.
int FuzzMapScript(const uint8_t *data, size_t size)
{
	std::string text(reinterpret_cast<const char *>(data), size);
	size_t start = 0;
	while (start <= text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		const std::string line = text.substr(start, end - start);
		MapCommand record{};
		CompileScriptCommand(line.c_str(), &record);
		ReadScriptDirection(line.c_str());
		start = end + 1;
	}
	return 0;
}

int FuzzEnvironment(const uint8_t *data, size_t size)
{
	EnvironmentTable table(WriteFuzzFile("environment.xml", data, size).c_str());
	table.Load();
	for (uint16_t id = 0; id < 8; id++) {
		table.FindEnvironment(id);
		table.FindLayer(id);
	}
	return 0;
}

int FuzzMissions(const uint8_t *data, size_t size)
{
	Missions table(WriteFuzzFile("missions.xml", data, size).c_str());
	if (table.Load())
		for (size_t i = 0; i <= table.GetCount(); i++)
			table.GetMission(i);
	return 0;
}

}

void AddMapFuzzTargets(std::vector<FuzzTarget> &targets)
{
	targets.push_back({"tmx", FuzzTmx, "maps", ".tmx", 256 << 10, false, "tmx.dict"});
	targets.push_back({"worldmap", FuzzWorldMap, "maps", "worldmap.tmx", 64 << 10, false, "worldmap.dict"});
	targets.push_back({"mapscript", FuzzMapScript, "maps", ".tmx", 16 << 10, false, "tmx.dict"});
	targets.push_back({"environment", FuzzEnvironment, "data", "environment.xml", 64 << 10, false, "xml.dict"});
	targets.push_back({"missions", FuzzMissions, "data", "missions.xml", 64 << 10, false, "xml.dict"});
}
