#include "map/TMXLoader.h"

#include "engine/core/NameHash.h"
#include "engine/core/FileAccess.h"
#include "map/TileMapData.h"
#include "support/RecordingMapLink.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The pieces of a small TMX file, as the editor would write it.
struct TmxText {
	std::string rootAttrs = "tilewidth=\"16\" tileheight=\"16\"";
	std::string properties; // children of the map's <properties>; none when empty
	std::string layerAttrs = "width=\"3\" height=\"2\"";
	std::string dataAttrs = "encoding=\"csv\"";
	std::string data = "2,2,2,\n2,2,2";
	std::string objects; // children of the <objectgroup>; none when empty

	std::string Build() const
	{
		std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map version=\"1.10\" " + rootAttrs + ">\n";
		if (!properties.empty())
			text += " <properties>\n" + properties + "\n </properties>\n";
		text += " <tileset firstgid=\"1\" source=\"terrain.tsx\"/>\n";
		text += " <layer id=\"1\" name=\"ground\" " + layerAttrs + ">\n  <data " + dataAttrs + ">\n" + data +
			"\n</data>\n </layer>\n";
		if (!objects.empty())
			text += " <objectgroup id=\"2\" name=\"objects\">\n" + objects + "\n </objectgroup>\n";
		return text + "</map>\n";
	}
};

std::string Property(const std::string &name, const std::string &value)
{
	return "<property name=\"" + name + "\" value=\"" + value + "\"/>";
}

// An object with the given attributes and script lines (children of its
// <properties>).
std::string Object(const std::string &attrs, const std::string &properties = "")
{
	if (properties.empty())
		return "<object " + attrs + "/>";
	return "<object " + attrs + "><properties>" + properties + "</properties></object>";
}

const MapObjectDef *FindById(const std::vector<MapObjectDef> &list, uint16_t id)
{
	for (const MapObjectDef &object : list)
		if (object.id == id)
			return &object;
	return nullptr;
}

void ExpectCommand(const MapCommand &command, uint32_t code, uint8_t argument, uint16_t value)
{
	EXPECT_EQ(command.code, code);
	EXPECT_EQ(command.argument, argument);
	EXPECT_EQ(command.value, value);
}

class TmxReader : public testing::Test {
protected:
	// The game's difficulty decides which objects a map places.
	RecordingMapLink game;

	std::string Write(const std::string &text, const std::string &name = "fixture.tmx")
	{
		std::string path = folder.Path(name);
		TempFolder::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
		return path;
	}

	// Loads the file; log receives what the reader printed.
	bool Load(const std::string &path, TileMapData &data, uint16_t flags, std::string *log = nullptr)
	{
		testing::internal::CaptureStdout();
		TMXLoader loader;
		bool loaded = loader.Load(path.c_str(), data, flags);
		std::string printed = testing::internal::GetCapturedStdout();
		if (log != nullptr)
			*log = printed;
		return loaded;
	}

	bool LoadText(const TmxText &tmx, TileMapData &data, uint16_t flags = 0, std::string *log = nullptr)
	{
		return Load(Write(tmx.Build()), data, flags, log);
	}

	TempFolder folder;
};

} // namespace

TEST_F(TmxReader, SampleMapReadsWholeWithItsScripts)
{
	const char *paths[] = {"maps/home.tmx", "mapo/home.tmx"};
	for (const char *path : paths) {
		SCOPED_TRACE(path);
		TileMapData data;
		std::string log;
		ASSERT_TRUE(Load(path, data, 0, &log));
		EXPECT_EQ(log, ""); // no missing values, nothing refused
		EXPECT_EQ(data.width, 24);
		EXPECT_EQ(data.height, 26);
		EXPECT_EQ(data.tileWidth, 16);
		EXPECT_STREQ(data.GetMapName(), "home");
		EXPECT_EQ(data.border, 2);
		EXPECT_EQ(data.environmentId, HashName("grassland"));
		EXPECT_EQ(data.layerIds[6], HashName("water"));
		EXPECT_STREQ(data.music.Get(), "start");
		EXPECT_STREQ(data.title.Get(), "Home\nWhere every road begins");
		EXPECT_EQ(data.highestObjectId, 306); // the old sword's record, which shares the homesword group's low byte

		// Every tile kind but the hole is on the map, and a few cells as drawn.
		ASSERT_EQ(data.tiles.size(), 24u * 26u);
		std::set<uint32_t> kinds;
		for (const MapTile &tile : data.tiles)
			kinds.insert(tile.kind);
		EXPECT_EQ(kinds, (std::set<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
		struct Cell {
			int x, y;
			uint32_t kind;
			uint8_t level, secondLevel;
		};
		const Cell cells[] = {
			{0, 0, 1, 3, 3},   {1, 1, 3, 2, 1},  {8, 1, 4, 2, 1},  {8, 7, 5, 2, 1},  {1, 7, 2, 2, 1},
			{4, 8, 6, 2, 1},   {3, 4, 7, 4, 3},  {22, 10, 8, 2, 1}, {8, 4, 9, 2, 1}, {4, 4, 1, 5, 5},
			{3, 13, 1, 1, 1},  {4, 13, 1, 1, 1}, {14, 13, 1, 7, 0}, {19, 14, 2, 3, 7}, {23, 17, 1, 4, 4},
			{10, 0, 1, 1, 1},  {0, 8, 1, 1, 1},  {23, 7, 1, 1, 1},  {11, 25, 1, 1, 1}, {13, 19, 1, 2, 2},
		};
		for (const Cell &cell : cells) {
			SCOPED_TRACE("cell " + std::to_string(cell.x) + "," + std::to_string(cell.y));
			const MapTile &tile = data.tiles[cell.y * data.width + cell.x];
			EXPECT_EQ(tile.kind, cell.kind);
			EXPECT_EQ(tile.level, cell.level);
			EXPECT_EQ(tile.secondLevel, cell.secondLevel);
		}

		// Objects: the four "mode" chooks stay out below Brutal.
		EXPECT_EQ(data.objects.size(), 33u);
		EXPECT_EQ(data.entityRecords.size(), 25u);
		for (uint16_t id : {59, 60, 61, 63})
			EXPECT_EQ(FindById(data.entityRecords, id), nullptr) << id;
		// One link to an edge: town, the woods, the beach, the orchard.
		EXPECT_EQ(data.exits[kExitNorth].id, 1);
		EXPECT_EQ(data.exits[kExitEast].id, 2);
		EXPECT_EQ(data.exits[kExitSouth].id, 3);
		EXPECT_EQ(data.exits[kExitWest].id, 5);

		const MapObjectDef *maren = FindById(data.entityRecords, 30);
		ASSERT_NE(maren, nullptr);
		EXPECT_EQ(maren->type, 24);
		EXPECT_EQ(maren->x, 16);
		EXPECT_EQ(maren->y, 9);
		EXPECT_EQ(maren->key, HashName("maren"));
		EXPECT_EQ(maren->facing, 1);
		ASSERT_EQ(maren->commandCount, 4);
		const MapCommand *script = &data.commands[maren->firstCommand];
		ExpectCommand(script[0], 3, 50, 52); // her warning until the sword is held
		ExpectCommand(script[1], 1, 17, 18);
		ExpectCommand(script[2], 18, 17, script[2].value);
		EXPECT_STREQ(data.messages[script[2].value].Get(), "My hen Bess has run off again. Will you find her?");
		EXPECT_EQ(script[3].code, 17u);

		const MapObjectDef *well = FindById(data.entityRecords, 40);
		ASSERT_NE(well, nullptr);
		EXPECT_EQ(well->type, 61);
		ASSERT_EQ(well->commandCount, 2);
		EXPECT_STREQ(data.messages[data.commands[well->firstCommand].value].Get(), "models/well.iqm");
		EXPECT_STREQ(data.messages[data.commands[well->firstCommand + 1].value].Get(), "mats/well.png");

		const MapObjectDef *trigger = FindById(data.objects, 13);
		ASSERT_NE(trigger, nullptr);
		EXPECT_EQ(trigger->flag, 1);
		EXPECT_EQ(trigger->commandCount, 2);
	}
}

TEST_F(TmxReader, SampleMapAtBrutalAndWithoutScripts)
{
	game.difficulty = 2;
	TileMapData brutal;
	ASSERT_TRUE(Load("maps/home.tmx", brutal, 0));
	EXPECT_EQ(brutal.entityRecords.size(), 29u);
	const MapObjectDef *flipped = FindById(brutal.entityRecords, 63);
	ASSERT_NE(flipped, nullptr);
	EXPECT_EQ(flipped->flipX, 1);
	EXPECT_EQ(flipped->commandCount, 0); // "mode" compiles to nothing

	// Without scripts only the model prop keeps its lines.
	game.difficulty = 1;
	TileMapData preview;
	ASSERT_TRUE(Load("maps/home.tmx", preview, TMXLoader::kLoadNoScripts));
	EXPECT_EQ(preview.commands.size(), 4u); // the well's and the cart's model and texture
	EXPECT_EQ(preview.messages.size(), 4u);
	EXPECT_EQ(FindById(preview.entityRecords, 40)->commandCount, 2);
}

TEST_F(TmxReader, RefusedFilesLogOneLineAndReturnFalse)
{
	TmxText plain;
	struct Row {
		const char *name;
		std::string text; // written as the file; none for a missing file
		bool write;
		std::string message; // "%s" stands for the path
	};
	auto with = [&](auto change) {
		TmxText t = plain;
		change(t);
		return t.Build();
	};
	const Row rows[] = {
		{"not well-formed", "<map><layer>", true, "Couldn't load map %s"},
		{"missing file", "", false, "Couldn't find valid map on %s"},
		{"empty file", "", true, "Couldn't find valid map on %s"},
		{"other root", "<tileset/>", true, "Couldn't find valid map on %s"},
		{"no layer", "<map tilewidth=\"16\"><objectgroup/></map>", true, "Couldn't find valid map layer on %s"},
		{"no data", "<map tilewidth=\"16\"><layer width=\"2\" height=\"2\"/></map>", true,
			"Couldn't find valid map data on %s"},
		{"zero high", with([](TmxText &t) { t.layerAttrs = "width=\"20\" height=\"0\""; }), true,
			"Invalid map dimensions on %s (20x0)"},
		{"too wide", with([](TmxText &t) { t.layerAttrs = "width=\"256\" height=\"3\""; }), true,
			"Invalid map dimensions on %s (256x3)"},
		{"negative", with([](TmxText &t) { t.layerAttrs = "width=\"-5\" height=\"3\""; }), true,
			"Invalid map dimensions on %s (-5x3)"},
		{"absurd", with([](TmxText &t) { t.layerAttrs = "width=\"99999999999\" height=\"abc\""; }), true,
			"Invalid map dimensions on %s (2147483647x0)"},
		{"base64", with([](TmxText &t) { t.dataAttrs = "encoding=\"base64\""; t.data = "AQAAAAEAAAA="; }), true,
			"Unsupported map data encoding base64 on %s"},
		{"compressed", with([](TmxText &t) { t.dataAttrs = "encoding=\"csv\" compression=\"zlib\""; }), true,
			"Unsupported map data compression zlib on %s"},
		{"no tile width", with([](TmxText &t) { t.rootAttrs = "tileheight=\"16\""; }), true,
			"Invalid tile width on %s"},
		{"zero tile width", with([](TmxText &t) { t.rootAttrs = "tilewidth=\"0\""; }), true,
			"Invalid tile width on %s"},
		{"tile width past a byte", with([](TmxText &t) { t.rootAttrs = "tilewidth=\"256\""; }), true,
			"Invalid tile width on %s"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		std::string path = row.write ? Write(row.text) : folder.Path("missing.tmx");
		std::string expected = std::string(row.message) + "\n";
		expected.replace(expected.find("%s"), 2, path);

		TileMapData data;
		std::string log;
		EXPECT_FALSE(Load(path, data, 0, &log));
		// The file reader adds its own line for a missing file; the map's
		// line ends the output.
		ASSERT_GE(log.size(), expected.size());
		EXPECT_EQ(log.substr(log.size() - expected.size()), expected);
		EXPECT_TRUE(data.tiles.empty());

		testing::internal::CaptureStdout();
		TMXLoader loader;
		EXPECT_FALSE(loader.CanLoad(path.c_str()));
		std::string canLoadLog = testing::internal::GetCapturedStdout();
		ASSERT_GE(canLoadLog.size(), expected.size());
		EXPECT_EQ(canLoadLog.substr(canLoadLog.size() - expected.size()), expected);
	}
}

TEST_F(TmxReader, TheLargestMapKeepsItsLowerRows)
{
	// 255 x 255 ids with flip flags run far past 64 KiB of text.
	TmxText tmx;
	tmx.layerAttrs = "width=\"255\" height=\"255\"";
	std::string data;
	for (int y = 0; y < 255; y++) {
		for (int x = 0; x < 255; x++) {
			bool corner = x == 254;
			data += corner ? "2684354569" : "3221225474"; // a turned diagonal at the end of each row
			data += (y == 254 && x == 254) ? "" : ",";
		}
		data += "\n";
	}
	tmx.data = data;
	ASSERT_GT(data.size(), 65535u * 10u);
	TileMapData map;
	TMXLoader loader;
	ASSERT_TRUE(loader.CanLoad(Write(tmx.Build()).c_str()));
	ASSERT_TRUE(LoadText(tmx, map));
	ASSERT_EQ(map.tiles.size(), 255u * 255u);
	for (int y : {0, 100, 200, 254}) {
		SCOPED_TRACE("row " + std::to_string(y));
		EXPECT_EQ(map.tiles[y * 255 + 0].kind, 1u);
		EXPECT_EQ(map.tiles[y * 255 + 0].level, 1);
		EXPECT_EQ(map.tiles[y * 255 + 254].kind, 4u);
	}
}

TEST_F(TmxReader, TileDataWalk)
{
	struct Row {
		const char *name;
		std::string dataAttrs;
		std::string data;
		uint8_t levels[3]; // first level of the three cells
	};
	const Row rows[] = {
		{"plain", "encoding=\"csv\"", "2,3,\n4", {1, 2, 3}},
		{"empty tokens", "encoding=\"csv\"", ",,5", {4, 0, 0}},
		{"a line feed joins digits", "encoding=\"csv\"", "2\n3,4", {2, 3, 0}}, // 23 is tile 22: 2 over water
		{"signs and blanks are skipped", "encoding=\"csv\"", " -2 , +3 ,x4", {1, 2, 3}},
		{"numbers past the grid", "encoding=\"csv\"", "2,3,4,5,6,2,3,4,5,6,2,3", {1, 2, 3}},
		{"trailing comma", "encoding=\"CSV\"", "4,4,4,", {3, 3, 3}},
		{"no text", "encoding=\"csv\"", "", {0, 0, 0}},
		{"no encoding, tile elements", "", "<tile gid=\"2\"/><tile gid=\"3\"/><tile gid=\"4\"/>", {0, 0, 0}},
		{"huge numbers", "encoding=\"csv\"", "99999999999999999999999999999999,2,3", {0, 1, 2}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		TmxText tmx;
		tmx.layerAttrs = "width=\"3\" height=\"1\"";
		tmx.dataAttrs = row.dataAttrs;
		tmx.data = row.data;
		TileMapData data;
		ASSERT_TRUE(LoadText(tmx, data));
		ASSERT_EQ(data.tiles.size(), 3u);
		for (int i = 0; i < 3; i++)
			EXPECT_EQ(data.tiles[i].level, row.levels[i]) << "cell " << i;
	}
}

TEST_F(TmxReader, MapPropertiesInDocumentOrder)
{
	struct Row {
		const char *name;
		std::string properties;
		float zoom;
		uint8_t border;
		uint16_t env;
		uint16_t layer1, layer3, water;
		const char *music;
		const char *title;
	};
	const uint16_t stone = HashName("stone");
	const uint16_t lake = HashName("lake");
	const Row rows[] = {
		{"water ends the list", Property("layer1", "stone") + Property("water", "lake") + Property("zoom", "3"),
			1.0f, 255, 0, stone, 0, lake, nullptr, nullptr},
		{"after water nothing is read", Property("water", "lake") + Property("env", "forest") + Property("border", "4"),
			1.0f, 255, 0, 0, 0, lake, nullptr, nullptr},
		{"zoom and border", Property("zoom", "2.5") + Property("border", "3"), 2.5f, 3, 0, 0, 0, 0, nullptr, nullptr},
		{"names compare by hash", Property("Layer 3", "stone") + Property("ENV", "Forest"), 1.0f, 255,
			HashName("forest"), 0, stone, 0, nullptr, nullptr},
		{"no zoom", Property("zoom", "0"), 1.0f, 255, 0, 0, 0, 0, nullptr, nullptr},
		{"zoom not a number", Property("zoom", "nan"), 1.0f, 255, 0, 0, 0, 0, nullptr, nullptr},
		{"border without value", "<property name=\"border\"/>", 1.0f, 0, 0, 0, 0, 0, nullptr, nullptr},
		{"border past a byte", Property("border", "300"), 1.0f, 44, 0, 0, 0, 0, nullptr, nullptr},
		{"layer without value", "<property name=\"layer3\"/>", 1.0f, 255, 0, 0, 0, 0, nullptr, nullptr},
		{"music and title", Property("music", "town") + Property("title", "Home"), 1.0f, 255, 0, 0, 0, 0, "town",
			"Home"},
		{"empty music and a title body", Property("music", "") + "<property name=\"title\" value=\"\">Line\nTwo</property>",
			1.0f, 255, 0, 0, 0, 0, nullptr, "Line\nTwo"},
		{"nameless and unknown properties", "<property value=\"x\"/>" + Property("colour", "red") + Property("env", "snow"),
			1.0f, 255, HashName("snow"), 0, 0, 0, nullptr, nullptr},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		TmxText tmx;
		tmx.properties = row.properties;
		TileMapData data;
		ASSERT_TRUE(LoadText(tmx, data));
		EXPECT_FLOAT_EQ(data.zoom, row.zoom);
		EXPECT_EQ(data.border, row.border);
		EXPECT_EQ(data.environmentId, row.env);
		EXPECT_EQ(data.layerIds[0], row.layer1);
		EXPECT_EQ(data.layerIds[2], row.layer3);
		EXPECT_EQ(data.layerIds[6], row.water);
		EXPECT_STREQ(data.music.Get(), row.music);
		EXPECT_STREQ(data.title.Get(), row.title);
	}
}

TEST_F(TmxReader, ObjectKindsAndPlacements)
{
	struct Row {
		const char *name;
		std::string attrs;
		bool entity; // filed with the entity records
		uint32_t kind;
		uint8_t type;
		int16_t x, y;
		uint16_t w, h;
		uint8_t size, rotation, flipX, flipY, flipDiagonal;
	};
	const Row rows[] = {
		{"trigger", "id=\"1\" type=\"Trigger\" x=\"32\" y=\"48\" width=\"48\" height=\"32\"", false, 2, 0, 2, 3, 3, 2, 2, 0, 0, 0, 0},
		{"exit", "id=\"1\" type=\"map\"", false, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
		{"message", "id=\"1\" type=\"message\" x=\"16\"", false, 4, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0},
		{"load by class", "id=\"1\" class=\"load\"", false, 5, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
		{"an empty type hides the class", "id=\"1\" type=\"\" class=\"load\"", false, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
		{"spawn", "id=\"1\" type=\"spawn\" width=\"16\" height=\"16\"", false, 7, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0},
		{"unknown type", "id=\"1\" type=\"door\"", false, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
		{"model prop", "id=\"1\" type=\"model\" x=\"32\" y=\"32\"", true, 6, 61, 2, 1, 0, 0, 1, 0, 0, 0, 0},
		{"area at the same place", "id=\"1\" x=\"32\" y=\"32\"", false, 0, 0, 2, 2, 0, 0, 1, 0, 0, 0, 0},
		{"tile object", "id=\"1\" gid=\"65\" x=\"32\" y=\"32\" width=\"16\" height=\"16\"", true, 6, 0, 2, 1, 1, 1, 1, 0, 0, 0, 0},
		{"flipped", "id=\"1\" gid=\"2147483713\"", true, 6, 0, 0, -1, 0, 0, 1, 0, 1, 0, 0},
		{"every flip", "id=\"1\" gid=\"3758096450\"", true, 6, 1, 0, -1, 0, 0, 1, 0, 1, 1, 1},
		{"gid with every bit set is no tile", "id=\"1\" gid=\"4294967295\"", false, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
		{"type wins over gid", "id=\"1\" type=\"map\" gid=\"66\"", false, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
		{"quarter turn", "id=\"1\" gid=\"70\" rotation=\"90\"", true, 6, 5, 0, -1, 0, 0, 1, 1, 0, 0, 0},
		{"turned back", "id=\"1\" gid=\"70\" rotation=\"-90\"", true, 6, 5, 0, -1, 0, 0, 1, 3, 0, 0, 0},
		{"many turns", "id=\"1\" gid=\"70\" rotation=\"-450\"", true, 6, 5, 0, -1, 0, 0, 1, 3, 0, 0, 0},
		{"fractions dropped", "id=\"1\" x=\"40.9\" y=\"-16\" width=\"8\"", false, 0, 0, 2, -1, 0, 0, 1, 0, 0, 0, 0},
		{"size from the smaller side", "id=\"1\" gid=\"65\" width=\"64\" height=\"48\"", true, 6, 0, 0, -1, 4, 3, 3, 0, 0, 0, 0},
		{"no attributes", "", false, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
		{"absurd numbers", "id=\"1\" gid=\"65\" x=\"1e300\" y=\"-99999999999999\" rotation=\"1e30\" width=\"inf\"", true,
			6, 0, -1, -1, 65535, 0, 1, 0, 0, 0, 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		TmxText tmx;
		tmx.objects = Object(row.attrs);
		TileMapData data;
		ASSERT_TRUE(LoadText(tmx, data));
		const std::vector<MapObjectDef> &list = row.entity ? data.entityRecords : data.objects;
		ASSERT_EQ(list.size(), 1u);
		EXPECT_EQ((row.entity ? data.objects : data.entityRecords).size(), 0u);
		const MapObjectDef &object = list[0];
		EXPECT_EQ(object.kind, row.kind);
		EXPECT_EQ(object.type, row.type);
		EXPECT_EQ(static_cast<int16_t>(object.x), row.x);
		EXPECT_EQ(static_cast<int16_t>(object.y), row.y);
		EXPECT_EQ(object.w, row.w);
		EXPECT_EQ(object.h, row.h);
		EXPECT_EQ(object.size, row.size);
		EXPECT_LE(object.rotation, 3);
		if (std::string(row.name) != "absurd numbers") {
			EXPECT_EQ(object.rotation, row.rotation);
		}
		EXPECT_EQ(object.flipX, row.flipX);
		EXPECT_EQ(object.flipY, row.flipY);
		EXPECT_EQ(object.flipDiagonal, row.flipDiagonal);
	}
}

TEST_F(TmxReader, NamesIdsAndExits)
{
	TmxText tmx;
	tmx.objects = Object("id=\"3\" name=\"#a comment\"") + Object("id=\"700\" name=\"Maren\"") +
		Object("id=\"5\" name=\"&#10;late\"") + Object("id=\"6\" name=\"abcdefghijklmnopqrst\"") +
		// Exits: two share the smallest y; the west one lies off the map's edge.
		Object("id=\"7\" type=\"map\" x=\"80\" y=\"0\"") + Object("id=\"8\" type=\"map\" x=\"96\" y=\"0\"") +
		Object("id=\"9\" type=\"map\" x=\"160\" y=\"48\"") + Object("id=\"10\" type=\"map\" x=\"16\" y=\"128\"") +
		Object("id=\"11\" type=\"map\" x=\"-16\" y=\"64\"");
	TileMapData data;
	ASSERT_TRUE(LoadText(tmx, data));
	EXPECT_EQ(data.highestObjectId, 700);
	ASSERT_EQ(data.objects.size(), 9u);
	EXPECT_EQ(data.objects[0].key, 0);
	EXPECT_EQ(data.objects[0].name.Get(), nullptr);
	EXPECT_EQ(data.objects[1].key, HashName("maren"));
	EXPECT_STREQ(data.objects[1].name.Get(), "Maren");
	EXPECT_EQ(data.objects[2].key, 0);
	EXPECT_EQ(data.objects[3].key, HashName("abcdefghijklmnopqrst")); // the whole name
	EXPECT_STREQ(data.objects[3].name.Get(), "abcdefghijklmno");
	ASSERT_EQ(data.strings.size(), 2u); // comments are not kept
	EXPECT_STREQ(data.strings[0].Get(), "Maren");

	EXPECT_EQ(data.exits[kExitNorth].id, 7);
	EXPECT_EQ(data.exits[kExitEast].id, 9);
	EXPECT_EQ(data.exits[kExitSouth].id, 10);
	EXPECT_EQ(data.exits[kExitWest].id, 11);
	EXPECT_EQ(static_cast<int16_t>(data.exits[kExitWest].x), -1);
}

TEST_F(TmxReader, ScriptLinesBecomeCommands)
{
	TmxText tmx;
	tmx.objects =
		Object("id=\"1\" name=\"Ode\" type=\"load\"",
			Property("01 if 5", "12") + Property("flag", "3") + "<property name=\"facing\" type=\"bool\" value=\"true\"/>" +
				Property("02 say", "Hello there.") + Property("03 map", "town") + Property("dir", "south") +
				Property("flee", "w") + Property("give", "70000") + "<property name=\"rankmeat\"/>" +
				"<property name=\"give\"/>" + Property("sing", "la") + "<property value=\"5\"/>") +
		Object("id=\"2\" name=\"Bess\"",
			"<property name=\"save\"/>" + Property("then", "1") + "<property name=\"say\">body text</property>");
	TileMapData data;
	std::string log;
	ASSERT_TRUE(LoadText(tmx, data, 0, &log));
	EXPECT_EQ(log, "No value on Bess.save\nNo value on Bess.say\n");

	const MapObjectDef &ode = data.objects[0];
	EXPECT_EQ(ode.flag, 3);
	EXPECT_EQ(ode.facing, 1);
	EXPECT_EQ(ode.firstCommand, 0);
	ASSERT_EQ(ode.commandCount, 8);
	const MapCommand expected[] = {{1, 5, 12}, {17, 0, 0}, {4, 0, 1}, {24, 0, 3}, {32, 0, 4}, {7, 0, 70000 & 0xFFFF},
		{30, 0, 0}, {7, 0, 0}};
	for (int i = 0; i < 8; i++) {
		SCOPED_TRACE("command " + std::to_string(i));
		ExpectCommand(data.commands[i], expected[i].code, expected[i].argument, expected[i].value);
	}
	EXPECT_STREQ(data.messages[0].Get(), "Hello there.");
	EXPECT_STREQ(data.strings[1].Get(), "town"); // after the object's own name

	const MapObjectDef &bess = data.objects[1];
	EXPECT_EQ(bess.firstCommand, 8);
	ASSERT_EQ(bess.commandCount, 1);
	EXPECT_EQ(data.commands[8].code, 34u);
}

TEST_F(TmxReader, ModeObjectsByDifficulty)
{
	struct Row {
		int difficulty;
		const char *mode;
		bool kept;
	};
	const Row rows[] = {
		{0, "brutal", false}, {1, "hard", false}, {1, "Brutal", false}, {2, "hard", true},
		{2, "brutal", true}, {0, "easy", true}, {1, "", true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::string("difficulty ") + std::to_string(row.difficulty) + " mode " + row.mode);
		game.difficulty = row.difficulty;
		TmxText tmx;
		tmx.objects = Object("id=\"1\" gid=\"115\"", Property("01 say", "Before") + Property("mode", row.mode) +
				Property("02 say", "After")) +
			Object("id=\"2\" type=\"load\"", Property("say", "Other"));
		TileMapData data;
		ASSERT_TRUE(LoadText(tmx, data));
		EXPECT_EQ(data.entityRecords.size(), row.kept ? 1u : 0u);
		ASSERT_EQ(data.objects.size(), 1u);
		// The dropped object's first line stays in the tables, unreferenced;
		// the next object's script is its own.
		const MapObjectDef &other = data.objects[0];
		ASSERT_EQ(other.commandCount, 1);
		EXPECT_STREQ(data.messages[data.commands[other.firstCommand].value].Get(), "Other");
		if (row.kept) {
			EXPECT_EQ(data.entityRecords[0].commandCount, 2); // "mode" compiles to nothing
		} else {
			EXPECT_EQ(data.messages.size(), 2u); // nothing after "mode" was read
		}
	}
}

TEST_F(TmxReader, WithoutScriptsOnlyModelPropsCompile)
{
	TmxText tmx;
	tmx.objects = Object("id=\"1\" type=\"trigger\"", Property("say", "Hi") + "<property name=\"save\"/>") +
		Object("id=\"2\" type=\"model\"", Property("model", "models/well.iqm")) +
		Object("id=\"3\" gid=\"126\"", Property("texture", "mats/well.png")) + // type 61 from its tile
		Object("id=\"4\" type=\"load\"", Property("flag", "9"));
	TileMapData data;
	std::string log;
	ASSERT_TRUE(LoadText(tmx, data, TMXLoader::kLoadNoScripts, &log));
	EXPECT_EQ(log, "");
	EXPECT_EQ(data.objects[0].commandCount, 0);
	EXPECT_EQ(data.objects[1].flag, 0);
	ASSERT_EQ(data.entityRecords.size(), 2u);
	EXPECT_EQ(data.entityRecords[0].commandCount, 1);
	EXPECT_EQ(data.entityRecords[1].commandCount, 1);
	ASSERT_EQ(data.messages.size(), 2u);
	EXPECT_STREQ(data.messages[1].Get(), "mats/well.png");
}

TEST_F(TmxReader, ScriptsBeyondAByteKeepTheirOwnStart)
{
	// Two objects whose scripts start past entry 255: each still points at
	// its own first line.
	std::string many;
	for (int i = 0; i < 300; i++)
		many += Property("say", "line " + std::to_string(i));
	TmxText tmx;
	tmx.objects = Object("id=\"1\" type=\"load\"", many) +
		Object("id=\"2\" type=\"load\"", Property("say", "second")) +
		Object("id=\"3\" type=\"load\"", many);
	TileMapData data;
	ASSERT_TRUE(LoadText(tmx, data));
	ASSERT_EQ(data.objects.size(), 3u);
	EXPECT_EQ(data.objects[0].commandCount, 300);
	EXPECT_EQ(data.objects[1].firstCommand, 300);
	EXPECT_STREQ(data.messages[data.commands[data.objects[1].firstCommand].value].Get(), "second");
	EXPECT_EQ(data.objects[2].firstCommand, 301);
	EXPECT_EQ(data.objects[2].commandCount, 300);

	// A map with more lines than a 16-bit index can reach is refused.
	std::string flood;
	for (int i = 0; i < 2200; i++)
		flood += Property("if", "1");
	TmxText huge;
	for (int i = 0; i < 30; i++)
		huge.objects += Object("id=\"" + std::to_string(i + 1) + "\" type=\"load\"", flood);
	TileMapData refused;
	std::string log;
	EXPECT_FALSE(LoadText(huge, refused, 0, &log));
	EXPECT_NE(log.find("Too many map commands on "), std::string::npos);
}

TEST_F(TmxReader, HostileFilesNeverCrash)
{
	std::string sample = ReadWholeFile("maps/home.tmx");
	ASSERT_GT(sample.size(), 1000u);
	TMXLoader loader;
	// Cut anywhere, the sample is refused.
	for (size_t cut = 1; cut + 20 < sample.size(); cut += 331) {
		SCOPED_TRACE("cut at " + std::to_string(cut));
		std::string path = Write(sample.substr(0, cut));
		TileMapData data;
		EXPECT_FALSE(Load(path, data, 0));
	}

	struct Row {
		const char *name;
		std::string bytes;
	};
	std::string deep;
	for (int i = 0; i < 5000; i++)
		deep += "<map>";
	std::string utf16 = "\xFF\xFE";
	for (char c : std::string("<map tilewidth=\"16\"><layer width=\"2\" height=\"2\"><data>1,1,1,1</data></layer></map>")) {
		utf16 += c;
		utf16 += '\0';
	}
	std::string binary;
	for (int i = 0; i < 4096; i++)
		binary += static_cast<char>((i * 7919) % 251 + 1);
	static const char kZeroInside[] = "<map tilewidth=\"16\">\0<layer/></map>";
	const Row rows[] = {
		{"deep nesting", deep},
		{"UTF-16", utf16},
		{"binary", binary},
		{"zero bytes inside", std::string(kZeroInside, sizeof(kZeroInside) - 1)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		std::string path = Write(row.bytes);
		TileMapData data;
		EXPECT_FALSE(Load(path, data, 0));
		testing::internal::CaptureStdout();
		EXPECT_FALSE(loader.CanLoad(path.c_str()));
		testing::internal::GetCapturedStdout();
	}
}
