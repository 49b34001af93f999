#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "map/MapCommand.h"
#include "map/TMXLoader.h"
#include "map/TileMapData.h"
#include "objects/MapEntityFactory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

bool LoadQuietly(const char *path, TileMapData &data)
{
	testing::internal::CaptureStdout();
	TMXLoader loader;
	const bool loaded = loader.Load(path, data, 0);
	testing::internal::GetCapturedStdout();
	return loaded;
}

const MapObjectDef *RecordById(const TileMapData &data, uint16_t id)
{
	for (const MapObjectDef &record : data.entityRecords) {
		if (record.id == id)
			return &record;
	}
	return nullptr;
}

const MapCommand *CommandOf(const TileMapData &data, const MapObjectDef &object, uint32_t code)
{
	for (uint16_t i = 0; i < object.commandCount; i++) {
		const MapCommand &command = data.commands[object.firstCommand + i];
		if (command.code == code)
			return &command;
	}
	return nullptr;
}

std::string ReadWhole(const char *path)
{
	std::ifstream file(ResolvePath(path), std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(OrchardMap, HoldsOneOfEachPropPickupDoorAndSwitch)
{
	TileMapData orchard;
	ASSERT_TRUE(LoadQuietly("maps/orchard.tmx", orchard));
	std::set<uint32_t> kinds;
	for (const MapObjectDef &record : orchard.entityRecords) {
		kinds.insert(MapEntityKindFromType(record.type));
		EXPECT_LT(record.id, 256) << "ids stay groups";
	}
	// The garden hands out no weapon: the swords and the dress lie on the road.
	const uint32_t wanted[] = {4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 25, 39, 40, 42, 59, 63};
	for (uint32_t weapon = 43; weapon <= 49; weapon++)
		EXPECT_EQ(kinds.count(weapon), 0u) << "kind " << weapon;
	EXPECT_EQ(kinds.count(37u), 0u) << "the dragon coins lie on the road";
	for (uint32_t kind : wanted)
		EXPECT_EQ(kinds.count(kind), 1u) << "kind " << kind;

	// The blue switch moves both rocks; a red one stands beside it.
	EXPECT_EQ(RecordById(orchard, 51)->flag, 53);
	EXPECT_EQ(RecordById(orchard, 52)->flag, 53);
	EXPECT_EQ(MapEntityKindFromType(RecordById(orchard, 53)->type), 4u);
	EXPECT_EQ(RecordById(orchard, 53)->id % 2, 1);
	EXPECT_EQ(MapEntityKindFromType(RecordById(orchard, 54)->type), 4u);
	EXPECT_EQ(RecordById(orchard, 54)->id % 2, 0);
	// The sign says its text itself, so its own group is the one it waits on.
	const MapCommand *say = CommandOf(orchard, *RecordById(orchard, 18), kCmdSay);
	ASSERT_NE(say, nullptr);
	EXPECT_EQ(say->argument, RecordById(orchard, 18)->Group()); // read once, it stands still
	// A door that answers the blue plate; no door waits on foes the garden lacks.
	EXPECT_EQ(CommandOf(orchard, *RecordById(orchard, 45), kCmdUnlock)->value, 53);
	for (const MapObjectDef &record : orchard.entityRecords) {
		const MapCommand *unlock = CommandOf(orchard, record, kCmdUnlock);
		EXPECT_TRUE(unlock == nullptr || unlock->value != 1) << "record " << record.id;
	}
	// Collectables by their lower-case names within their sets.
	EXPECT_STREQ(RecordById(orchard, 32)->name.Get(), "tri1");
	EXPECT_STREQ(RecordById(orchard, 33)->name.Get(), "puzzle2");
	EXPECT_STREQ(RecordById(orchard, 31)->name.Get(), "cooler5");
	EXPECT_STREQ(RecordById(orchard, 34)->name.Get(), "puzzle3");
	EXPECT_STREQ(RecordById(orchard, 12)->name.Get(), "table");
	EXPECT_STREQ(RecordById(orchard, 17)->name.Get(), "ground news");
}

TEST(OrchardMap, ItsHutAndItsRoadsLeadToMapsThatExist)
{
	TileMapData orchard;
	ASSERT_TRUE(LoadQuietly("maps/orchard.tmx", orchard));
	bool home = false;
	for (const MapObjectDef &object : orchard.objects)
		home = home || (object.kind == kObjectExit && NameHashEquals(object.key, "home"));
	EXPECT_TRUE(home);
	for (const MapObjectDef &record : orchard.entityRecords) {
		if (MapEntityKindFromType(record.type) != 9)
			continue;
		const std::string inside = "maps/" + std::string(record.name.GetOr("")) + ".tmx";
		TileMapData hut;
		ASSERT_TRUE(LoadQuietly(inside.c_str(), hut)) << inside;
		bool back = false;
		for (const MapObjectDef &object : hut.objects)
			back = back || (object.kind == kObjectExit && NameHashEquals(object.key, "orchard"));
		EXPECT_TRUE(back);
	}
	// The older content's copies are the same maps.
	for (const char *name : {"orchard.tmx", "orchardhut.tmx"}) {
		SCOPED_TRACE(name);
		const std::string maps = ReadWhole((std::string("maps/") + name).c_str());
		EXPECT_FALSE(maps.empty());
		EXPECT_EQ(maps, ReadWhole((std::string("mapo/") + name).c_str()));
	}
}

} // namespace
