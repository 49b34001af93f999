// Every map the game ships, read from the data tree: the maps its named huts
// lead into and the files its model props name must be there, spelled
// exactly as the files are, and every foe a script puts down stays down.
#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "map/MapCommand.h"
#include "map/MapFiles.h"
#include "map/TMXLoader.h"
#include "map/TileMapData.h"
#include "map/WorldMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kHutKind = 9;

// The names in a folder of the data tree, as the file system spells them.
std::set<std::string> FolderNames(const char *folder)
{
	std::set<std::string> names;
	DirectoryHandle listing = OpenDirectory(folder);
	if (listing == nullptr)
		return names;
	while (const char *name = ReadDirectoryName(listing.get()))
		names.insert(name);
	return names;
}

// Whether the data tree holds the path, its last part spelled exactly.
bool HasFile(const std::string &path)
{
	const size_t slash = path.find_last_of('/');
	const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
	const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
	return FolderNames(folder.c_str()).count(name) != 0;
}

// Reads every shipped map of both folders and hands each to check with its
// folder; a map that does not load fails the test.
void ForEachShippedMap(const std::function<void(const std::string &folder, const TileMapData &data)> &check)
{
	for (const char *folder : {"maps", "mapo"}) {
		for (const std::string &file : FolderNames(folder)) {
			// The world map's places are no area to load.
			if (!FileHasExtension(file.c_str(), "tmx") || file == kWorldMapFile)
				continue;
			const std::string path = std::string(folder) + "/" + file;
			SCOPED_TRACE(path);
			TileMapData data;
			TMXLoader loader;
			testing::internal::CaptureStdout();
			const bool loaded = loader.Load(path.c_str(), data, 0);
			testing::internal::GetCapturedStdout();
			ASSERT_TRUE(loaded);
			check(folder, data);
		}
	}
}

const MapObjectDef *EntityRecordById(const TileMapData &data, uint16_t id)
{
	for (const MapObjectDef &record : data.entityRecords)
		if (record.id == id)
			return &record;
	return nullptr;
}

TEST(ShippedMaps, LinksHutsAndModelPropsNameFilesThatExist)
{
	int maps = 0;
	int huts = 0;
	int files = 0;
	ForEachShippedMap([&](const std::string &folder, const TileMapData &data) {
		maps++;
		for (const MapObjectDef &link : data.objects) {
			// The two roads out of the world end the game instead of loading a map.
			const bool ending = NameHashEquals(link.key, "end_north") || NameHashEquals(link.key, "end_hole");
			if (link.kind == kObjectExit && !ending) {
				const std::string next = std::string(folder) + "/" + link.name.GetOr("") + ".tmx";
				EXPECT_TRUE(HasFile(next)) << "link " << link.id << " leads to " << next;
			}
		}
		for (const MapObjectDef &record : data.entityRecords) {
			// An unnamed hut is only a house: it leads nowhere.
			if (MapEntityKindFromType(record.type) == kHutKind && record.name.IsSet()) {
				const std::string inside = std::string(folder) + "/" + record.name.GetOr("") + ".tmx";
				EXPECT_TRUE(HasFile(inside)) << "hut " << record.id << " leads to " << inside;
				huts++;
			}
			for (uint16_t i = 0; i < record.commandCount; i++) {
				const MapCommand &command = data.commands.at(static_cast<size_t>(record.firstCommand) + i);
				if (command.code != kCmdModel && command.code != kCmdTexture)
					continue;
				const std::string named = data.messages.at(command.value).GetOr("");
				EXPECT_TRUE(HasFile(named)) << "object " << record.id << " names " << named;
				files++;
			}
		}
	});
	// Home and the orchard in both folders, each with its hut, well and cart.
	EXPECT_GE(maps, 8);
	EXPECT_GE(huts, 4);
	EXPECT_GE(files, 12);
}

// A foe put down by a "dead" line must stay down when the map loads again.
// The line opens the group of the record it puts down (the speaker's), and a
// placement starts defeated only when its own group is open and its own
// script holds a "dead" line. So whichever record a "dead" line puts down,
// as the sequence resolves the speaker, must hold such a line itself and
// have a group. A placement's own script speaks for it; any other script
// names its actor with an "actor" line first, so that whom the line puts
// down does not hang on the road that led there.
TEST(ShippedMaps, EveryDeadLineReachesARecordThatRemembersTheFall)
{
	int deadLines = 0;
	ForEachShippedMap([&](const std::string &, const TileMapData &data) {
		auto commandsOf = [&](const MapObjectDef &object) {
			return std::vector<MapCommand>(data.commands.begin() + object.firstCommand,
				data.commands.begin() + object.firstCommand + object.commandCount);
		};
		auto check = [&](const MapObjectDef &object) {
			const MapObjectDef *speaker = object.kind == kObjectEntity ? &object : nullptr;
			for (const MapCommand &command : commandsOf(object)) {
				const MapObjectDef *named = command.code == kCmdActor ? EntityRecordById(data, command.value) : nullptr;
				if (named != nullptr && IsActorKind(MapEntityKindFromType(named->type)))
					speaker = named;
				if (command.code != kCmdDead)
					continue;
				deadLines++;
				SCOPED_TRACE("\"dead\" line of object " + std::to_string(object.id) + " (" + object.name.GetOr("") + ")");
				ASSERT_NE(nullptr, speaker) << "names no actor to put down";
				SCOPED_TRACE("puts down record " + std::to_string(speaker->id) + " (" + speaker->name.GetOr("") + ")");
				EXPECT_TRUE(IsActorKind(MapEntityKindFromType(speaker->type)));
				const std::vector<MapCommand> own = commandsOf(*speaker);
				EXPECT_TRUE(std::any_of(own.begin(), own.end(), [](const MapCommand &line) { return line.code == kCmdDead; }))
					<< "whose own script has no \"dead\" line: it stands up again when the map loads";
				EXPECT_NE(0, speaker->Group()) << "whose id gives it no group to remember the fall by";
			}
		};
		for (const MapObjectDef &object : data.objects)
			check(object);
		for (const MapObjectDef &record : data.entityRecords)
			check(record);
	});
	// The foes of the hot and cold lands and of the far fields, and Grunt.
	EXPECT_GE(deadLines, 40);
}

} // namespace
