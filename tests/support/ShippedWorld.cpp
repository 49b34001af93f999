#include "support/ShippedWorld.h"

#include "engine/core/FileAccess.h"
#include "engine/core/Scene.h"
#include "map/MapCommand.h"
#include "map/MapGameLink.h"
#include "map/TileMap.h"
#include "map/WorldMap.h"
#include "objects/MapEntityFactory.h"
#include "support/TilePathFinder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kMostLoadSteps = 200;
constexpr uint32_t kHutKind = 9;
constexpr uint32_t kFlagPickupKinds[] = {15, 37, 39, 40};
// Finds whose name is the flag their count needs: coins, coolers, feeds,
// letters and triangles.
constexpr uint32_t kCountedFindKinds[] = {37, 39, 40};
constexpr uint32_t kFireWizardKind = 55; // stands on his island, struck from the shore
constexpr uint32_t kBirdKind = 61;       // flies

PathTile TileOf(const MapObjectDef &object)
{
	return {static_cast<int16_t>(object.x), static_cast<int16_t>(object.y)};
}

// Whether a walk reaches a tile beside the placement's footprint (a hut's
// door is somewhere on its edge).
bool WalkedBeside(const MapObjectDef &record, const std::set<PathTile> &walked)
{
	const PathTile corner = TileOf(record);
	for (int y = corner.y - record.h; y <= corner.y + 1; y++)
		for (int x = corner.x - 1; x <= corner.x + record.w; x++)
			if (walked.count({x, y}) != 0)
				return true;
	return false;
}

bool IsTownsfolkKind(uint32_t kind) { return kind >= 26 && kind <= 31; }

template <size_t N> bool IsOneOf(uint32_t kind, const uint32_t (&kinds)[N])
{
	return std::find(std::begin(kinds), std::end(kinds), kind) != std::end(kinds);
}

// Whether the hero must be able to walk onto the placement's own tile:
// people and walking foes stand on ground, finds are taken by walking over
// them, tools by the same.
bool StandsOnWalkableGround(uint32_t kind)
{
	if (IsTownsfolkKind(kind) || IsOneOf(kind, kCountedFindKinds) || (kind >= 42 && kind <= 49))
		return true;
	return ShippedWorld::IsCreatureKind(kind) && kind != kFireWizardKind && kind != kBirdKind;
}

const char *StringOf(const TileMapData &data, uint16_t index)
{
	return index < data.strings.size() ? data.strings[index].GetOr("") : "";
}

void ReadScript(const TileMapData &data, const MapObjectDef &object, ShippedMap &into)
{
	for (uint16_t i = 0; i < object.commandCount; i++) {
		const size_t at = static_cast<size_t>(object.firstCommand) + i;
		if (at >= data.commands.size())
			break;
		const MapCommand &command = data.commands[at];
		switch (command.code) {
		case kCmdSave:
			into.saves.insert(StringOf(data, command.value));
			break;
		case kCmdMap:
			into.scriptMaps.push_back(StringOf(data, command.value));
			break;
		case kCmdRankMeat:
			into.ranksMeat = true;
			break;
		case kCmdSay:
		case kCmdPrompt:
			if (command.value < data.messages.size())
				into.texts.push_back(data.messages[command.value].GetOr(""));
			break;
		default:
			break;
		}
	}
}

} // namespace

std::vector<std::string> ShippedMap::Targets() const
{
	std::vector<std::string> all = links;
	all.insert(all.end(), huts.begin(), huts.end());
	all.insert(all.end(), scriptMaps.begin(), scriptMaps.end());
	return all;
}

bool ShippedWorld::IsEndingTarget(const std::string &name) { return name == "end_north" || name == "end_hole"; }

bool ShippedWorld::IsCreatureKind(uint32_t kind) { return (kind >= 50 && kind <= 57) || kind == 61 || kind == 62; }

void ShippedWorld::Load(const char *folder, bool brutal)
{
	// The hardest difficulty's link, for the load only.
	struct BrutalLink : MapGameLink {
		int Difficulty() override { return kDifficultyBrutal; }
	} brutalLink;
	MapGameLink *before = &MapGameLink::Get();
	const bool installed = MapGameLink::IsInstalled(before);
	if (brutal)
		MapGameLink::Install(&brutalLink);
	maps.clear();
	std::vector<std::string> files;
	DirectoryHandle listing = OpenDirectory(folder);
	if (listing != nullptr)
		while (const char *name = ReadDirectoryName(listing.get()))
			if (FileHasExtension(name, "tmx") && std::string(name) != kWorldMapFile)
				files.push_back(name);
	std::sort(files.begin(), files.end());
	MapEntityFactory factory;
	for (const std::string &file : files) {
		ShippedMap shipped;
		shipped.name = file.substr(0, file.size() - 4);
		Scene scene; // outlives the map, which frees the objects the scene lists
		TileMap map;
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		map.SetEntityFactory(&factory);
		const std::string path = std::string(folder) + "/" + file;
		testing::internal::CaptureStdout();
		map.Load(path.c_str(), 0, nullptr);
		int steps = 0;
		while (map.Step() && ++steps < kMostLoadSteps) {
		}
		shipped.log = testing::internal::GetCapturedStdout();
		shipped.loaded = map.GetLoadState().phase == kPhaseLoaded;
		const TileMapData &data = map.GetMapData();
		shipped.width = data.width;
		shipped.height = data.height;
		shipped.tiles = data.tiles;
		shipped.title = data.title.GetOr("");
		// Everywhere a walk from an arrival reaches, through every door and
		// gate (they open in the end) but never over a hole, water or lava.
		const TilePathFinder finder(map);
		std::set<PathTile> walked;
		for (const MapObjectDef &object : data.objects)
			if (object.kind == kObjectSpawn) {
				const std::set<PathTile> from = finder.Reachable(TileOf(object));
				walked.insert(from.begin(), from.end());
			}
		for (const MapObjectDef &object : data.objects) {
			const std::string name = object.name.GetOr("");
			shipped.objectNames.insert(name);
			if (object.kind == kObjectExit)
				shipped.links.push_back(name);
			else if (object.kind == kObjectSpawn)
				shipped.spawns.insert(name);
			else if (object.kind == kObjectLoad)
				shipped.tests.insert(name);
			ReadScript(data, object, shipped);
		}
		for (const MapObjectDef &record : data.entityRecords) {
			const uint32_t kind = MapEntityKindFromType(record.type);
			shipped.kinds[kind]++;
			if (IsCreatureKind(kind))
				shipped.foes++;
			const std::string name = record.name.GetOr("");
			const std::string where = (name.empty() ? "kind " + std::to_string(kind) : name + " (kind " +
				std::to_string(kind) + ")") + " at (" + std::to_string(record.x) + ", " + std::to_string(record.y) + ")";
			if ((StandsOnWalkableGround(kind) && walked.count(TileOf(record)) == 0) ||
				(kind == kHutKind && !WalkedBeside(record, walked)))
				shipped.stranded.push_back(where);
			if (IsOneOf(kind, kCountedFindKinds) && name.empty())
				shipped.unnamed.push_back(where);
			if (IsTownsfolkKind(kind) && !name.empty())
				shipped.people[name] = kind;
			if (!name.empty()) {
				shipped.entityNames.insert(name);
				if (kind == kHutKind)
					shipped.huts.push_back(name);
				if (IsOneOf(kind, kFlagPickupKinds))
					shipped.pickups.insert(name);
			}
			ReadScript(data, record, shipped);
		}
		maps[shipped.name] = std::move(shipped);
	}
	if (brutal)
		MapGameLink::Install(installed ? before : nullptr);
}

const ShippedMap *ShippedWorld::Find(const std::string &name) const
{
	auto found = maps.find(name);
	return found == maps.end() ? nullptr : &found->second;
}

std::set<std::string> ShippedWorld::Reachable(const std::string &start,
	const std::function<bool(const std::string &, const std::string &)> &open) const
{
	std::set<std::string> seen;
	if (Find(start) == nullptr)
		return seen;
	std::vector<std::string> todo{start};
	seen.insert(start);
	while (!todo.empty()) {
		const std::string at = todo.back();
		todo.pop_back();
		for (const std::string &next : Find(at)->Targets()) {
			if (seen.count(next) != 0 || Find(next) == nullptr || (open && !open(at, next)))
				continue;
			seen.insert(next);
			todo.push_back(next);
		}
	}
	return seen;
}
