// Every map the game ships, read from the data tree: the maps its named huts
// lead into and the files its model props name must be there, spelled
// exactly as the files are.
#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "map/MapCommand.h"
#include "map/MapFiles.h"
#include "map/TMXLoader.h"
#include "map/TileMapData.h"
#include "map/WorldMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

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

TEST(ShippedMaps, LinksHutsAndModelPropsNameFilesThatExist)
{
	int maps = 0;
	int huts = 0;
	int files = 0;
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
		}
	}
	// Home and the orchard in both folders, each with its hut, well and cart.
	EXPECT_GE(maps, 8);
	EXPECT_GE(huts, 4);
	EXPECT_GE(files, 12);
}

} // namespace
