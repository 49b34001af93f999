#include "map/EnvironmentTable.h"

#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "engine/render/Material.h"
#include "engine/render/Texture.h"
#include "support/GLTestContext.h"
#include "support/TempFolder.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

std::string TableText(const std::string &layers, const std::string &envs)
{
	return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<environment>\n <layers>\n" + layers +
		"\n </layers>\n <envs>\n" + envs + "\n </envs>\n</environment>\n";
}

void WriteText(const std::string &path, const std::string &text)
{
	std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string Text(const MapStr &str)
{
	return str.GetOr("");
}

// The ids of the "layer" elements of an environment file, as the file lists them.
std::vector<std::string> LayerIdsInFile(const char *path)
{
	std::vector<std::string> ids;
	tinyxml2::XMLDocument document;
	if (!LoadXmlFile(path, document))
		return ids;
	const tinyxml2::XMLElement *root = document.FirstChildElement("environment");
	const tinyxml2::XMLElement *list = root != nullptr ? root->FirstChildElement("layers") : nullptr;
	for (const tinyxml2::XMLElement *e = list != nullptr ? list->FirstChildElement("layer") : nullptr; e != nullptr;
	     e = e->NextSiblingElement("layer"))
		ids.push_back(e->Attribute("id") != nullptr ? e->Attribute("id") : "");
	return ids;
}

const char *const kWorldEnvironments[] = {"grassland", "forest", "snow", "hot", "cold", "black", "tower"};

} // namespace

// Every field of a layer, with the defaults of absent attributes, paths cut to
// their capacity, damage kept to a byte, and sibling elements of any name read
// once the first "layer" has been found; and the water level of a table
// without a "water" layer.
TEST(EnvironmentTable, ReadsLayerFields)
{
	TempFolder folder;
	const std::string longPath = "mats/" + std::string(70, 'x') + ".png";
	const std::string layers =
		"<other id=\"before\" surf=\"mats/before.png\"/>\n"
		"<layer id=\"full\" surf=\"mats/full.png\" edge=\"mats/full_edge.png\" tree=\"mats/tree_a.png\""
		" tree1=\"models/a.iqm\" tree2=\"models/b.iqm\" shader=\"shaders/ground.dsh\" slip=\"0.85\" damage=\"3\"/>\n"
		"<layer id=\"bare\"/>\n"
		"<!-- a note between layers -->\n"
		"<layer id=\"wide\" surf=\"" + longPath + "\" damage=\"300\" slip=\"-0.5\"/>\n"
		"<surface id=\"renamed\" edge=\"mats/renamed_edge.png\" damage=\"7\"/>";
	WriteText(folder.Path("env.xml"), TableText(layers, "<env id=\"dry\"/><env water=\"full\"/>"));
	EnvironmentTable table(folder.Path("env.xml").c_str());

	struct Row {
		const char *id;
		std::string surf, edge, tree, tree1, tree2, shader;
		float slip;
		uint8_t damage;
	};
	const Row rows[] = {
		{"full", "mats/full.png", "mats/full_edge.png", "mats/tree_a.png", "models/a.iqm", "models/b.iqm",
			"shaders/ground.dsh", 0.85f, 3},
		{"bare", "", "", "", "", "", "", 0.0f, 0},
		{"wide", longPath.substr(0, MapPath::kCapacity - 1), "", "", "", "", "", -0.5f, 44},
		{"renamed", "", "mats/renamed_edge.png", "", "", "", "", 0.0f, 7},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.id);
		const EnvironmentLayer *layer = table.FindLayer(HashName(row.id));
		ASSERT_NE(layer, nullptr);
		EXPECT_EQ(layer->id, HashName(row.id));
		EXPECT_EQ(Text(layer->surf), row.surf);
		EXPECT_EQ(Text(layer->edge), row.edge);
		EXPECT_EQ(Text(layer->tree), row.tree);
		EXPECT_EQ(Text(layer->tree1), row.tree1);
		EXPECT_EQ(Text(layer->tree2), row.tree2);
		EXPECT_EQ(Text(layer->shader), row.shader);
		EXPECT_FLOAT_EQ(layer->slip, row.slip);
		EXPECT_EQ(layer->damage, row.damage);
	}
	// Elements before the first "layer" are not layers.
	EXPECT_EQ(table.FindLayer(HashName("before")), nullptr);
	// With no layer called "water", an environment that names no water has
	// none; one without an id is what id 0 finds.
	ASSERT_NE(table.FindEnvironment(HashName("dry")), nullptr);
	EXPECT_EQ(table.FindEnvironment(HashName("dry"))->layers[kEnvironmentWaterLevel - 1], nullptr);
	ASSERT_NE(table.FindEnvironment(0), nullptr);
	EXPECT_EQ(table.FindEnvironment(0)->layers[kEnvironmentWaterLevel - 1], table.FindLayer(HashName("full")));
}

// How an environment's attributes become its border, music and seven level
// references, the water level above all.
TEST(EnvironmentTable, ResolvesEnvironmentLevels)
{
	TempFolder folder;
	const std::string layers =
		"<layer id=\"sand\"/><layer id=\"grass\"/><layer id=\"rock\"/><layer id=\"water\"/>"
		"<layer id=\"lava\"/><layer id=\"grass\" surf=\"mats/second_grass.png\"/>";
	const std::string envs =
		"<env id=\"plain\" border=\"3\" layer1=\"sand\" layer2=\"grass\" layer3=\"rock\" layer4=\"rock\""
		" layer5=\"grass\" layer6=\"sand\" music=\"calm\"/>\n"
		"<env id=\"seventh\" layer7=\"lava\"/>\n"
		"<env id=\"molten\" layer1=\"rock\" water=\"lava\"/>\n"
		"<env id=\"blankwater\" water=\"\"/>\n"
		"<env id=\"missing\" layer1=\"nosuch\" layer3=\"\" water=\"nosuch\" border=\"300\""
		" music=\"abcdefghijklmnopqrst\"/>\n"
		"<surroundings id=\"SHOUTY LAND\" layer2=\"Rock\" music=\"0123456789abcdef\"/>\n"
		"<env id=\"plain\" border=\"9\"/>";
	WriteText(folder.Path("env.xml"), TableText(layers, envs));
	EnvironmentTable table(folder.Path("env.xml").c_str());

	struct Row {
		const char *lookup;
		uint8_t border;
		const char *music;
		const char *levels[kEnvironmentLevels]; // layer ids, null for an empty reference
	};
	const Row rows[] = {
		// The first of two environments with one id wins.
		{"plain", 3, "calm", {"sand", "grass", "rock", "rock", "grass", "sand", "water"}},
		// "layer7" is overridden by the water rule.
		{"seventh", 0, "", {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "water"}},
		{"molten", 0, "", {"rock", nullptr, nullptr, nullptr, nullptr, nullptr, "lava"}},
		{"blankwater", 0, "", {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "water"}},
		// Unknown ids give empty references; border kept to a byte; music to 16 characters.
		{"missing", 44, "abcdefghijklmnop", {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
		// Ids compare by name hash: case and blanks do not matter.
		{"shouty land", 0, "0123456789abcdef", {nullptr, "rock", nullptr, nullptr, nullptr, nullptr, "water"}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.lookup);
		const Environment *environment = table.FindEnvironment(HashName(row.lookup));
		ASSERT_NE(environment, nullptr);
		EXPECT_EQ(environment->id, HashName(row.lookup));
		EXPECT_EQ(environment->border, row.border);
		EXPECT_EQ(std::string(environment->music), row.music);
		EXPECT_EQ(environment->music[kEnvironmentMusicLength], '\0');
		for (int level = 1; level <= kEnvironmentLevels; level++) {
			SCOPED_TRACE(level);
			const char *expected = row.levels[level - 1];
			const EnvironmentLayer *layer = environment->layers[level - 1];
			if (expected == nullptr) {
				EXPECT_EQ(layer, nullptr);
				continue;
			}
			// References lead to the first layer of the id, the very record
			// a layer lookup returns.
			EXPECT_EQ(layer, table.FindLayer(HashName(expected)));
			ASSERT_NE(layer, nullptr);
			EXPECT_EQ(layer->id, HashName(expected));
			EXPECT_EQ(layer->surf.Get(), nullptr);
		}
	}
	EXPECT_EQ(table.FindEnvironment(HashName("elsewhere")), nullptr);
	// Every environment has an id, so nothing answers to id 0.
	EXPECT_EQ(table.FindEnvironment(0), nullptr);
}

// The file is read at the first lookup and never again, even when it changes
// afterwards. Each way a file can be unusable gives its one log line, without
// a line end, at that first lookup; later lookups log nothing.
TEST(EnvironmentTable, FileIsReadOnceAndFailuresLoggedOnce)
{
	struct Row {
		const char *name;
		const char *text; // null: no file at all
		const char *message;
	};
	const std::string good = TableText("<layer id=\"a\"/>", "<env id=\"a\" border=\"1\" layer1=\"a\"/>");
	const Row rows[] = {
		{"good", good.c_str(), ""},
		{"not well-formed", "<environment><layers><layer id=\"a\"></environment>", "Couldn't load environement"},
		{"missing file", nullptr, "Couldn't find valid environment in file."},
		{"empty file", "", "Couldn't find valid environment in file."},
		{"blank file", "  \n\t\n", "Couldn't find valid environment in file."},
		{"other root", "<world><layers/><envs/></world>", "Couldn't find valid environment in file."},
		{"no layers", "<environment><envs><env id=\"a\"/></envs></environment>", "Couldn't find valid layers in file."},
		{"no envs", "<environment><layers><layer id=\"a\"/></layers></environment>", "Couldn't find valid envs in file."},
	};
	const std::string changed = TableText("<layer id=\"a\"/><layer id=\"b\"/>", "<env id=\"a\" border=\"2\"/>");
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		TempFolder folder;
		const std::string path = folder.Path("env.xml");
		if (row.text != nullptr)
			WriteText(path, row.text);
		EnvironmentTable table(path.c_str());
		EXPECT_FALSE(table.IsLoaded());

		testing::internal::CaptureStdout();
		const Environment *first = table.FindEnvironment(HashName("a"));
		const std::string log = testing::internal::GetCapturedStdout();
		EXPECT_TRUE(table.IsLoaded());
		EXPECT_EQ(first != nullptr, row.text == good.c_str());
		// A missing file is also reported by the file reader, on a line before.
		const std::string line = row.message[0] != '\0' ? std::string(row.message) + "\n" : "";
		if (row.text == nullptr)
			EXPECT_EQ(log.find(line), log.size() - line.size()) << log;
		else
			EXPECT_EQ(log, line);

		WriteText(path, changed);
		testing::internal::CaptureStdout();
		const Environment *again = table.FindEnvironment(HashName("a"));
		const EnvironmentLayer *added = table.FindLayer(HashName("b"));
		table.Load();
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
		EXPECT_EQ(again, first);
		EXPECT_EQ(added, nullptr);
		if (first != nullptr) {
			EXPECT_EQ(first->border, 1);
			EXPECT_EQ(first->layers[0], table.FindLayer(HashName("a")));
		}
	}
}

// Environments hold pointers into the layer list, so records must stay where
// they are while the lists grow to hundreds of entries, and no reference may be
// taken before the layer list is complete; a table copy would point into the
// original's layers and is refused at compile time.
TEST(EnvironmentTable, ReferencesStayValidWhileTableGrows)
{
	static_assert(!std::is_copy_constructible_v<EnvironmentTable>);
	static_assert(!std::is_copy_assignable_v<EnvironmentTable>);

	constexpr int kCount = 400;
	// Names with hashes of their own, so that each id names one record:
	// the first half for layers, the second for environments.
	std::vector<std::string> names;
	std::set<uint16_t> hashes;
	for (int candidate = 0; (int)names.size() < 2 * kCount; candidate++) {
		std::string name = "stratum " + std::to_string(candidate);
		if (hashes.insert(HashName(name.c_str())).second)
			names.push_back(name);
	}
	auto layerName = [&names](int i) { return names[i]; };
	auto envName = [&names](int i) { return names[kCount + i]; };
	std::string layers, envs;
	for (int i = 0; i < kCount; i++) {
		layers += "<layer id=\"" + layerName(i) + "\" surf=\"mats/l" + std::to_string(i) + ".png\"/>\n";
		envs += "<env id=\"" + envName(i) + "\" layer1=\"" + layerName(0) + "\" layer2=\"" +
			layerName(i) + "\" layer3=\"" + layerName(kCount - 1) + "\" water=\"" + layerName(i / 2) + "\"/>\n";
	}

	// The environments come first in the file: references are still made
	// only once the whole layer list has been read.
	TempFolder folder;
	WriteText(folder.Path("env.xml"),
		"<environment>\n <envs>\n" + envs + " </envs>\n <layers>\n" + layers + " </layers>\n</environment>\n");
	EnvironmentTable table(folder.Path("env.xml").c_str());
	const Environment *first = table.FindEnvironment(HashName(envName(0).c_str()));
	ASSERT_NE(first, nullptr);

	for (int i = 0; i < kCount; i++) {
		SCOPED_TRACE(i);
		const Environment *environment = table.FindEnvironment(HashName(envName(i).c_str()));
		ASSERT_NE(environment, nullptr);
		const int expected[][2] = {{0, 0}, {1, i}, {2, kCount - 1}, {kEnvironmentWaterLevel - 1, i / 2}};
		for (const auto &[slot, index] : expected) {
			const EnvironmentLayer *layer = environment->layers[slot];
			ASSERT_NE(layer, nullptr);
			EXPECT_EQ(layer, table.FindLayer(HashName(layerName(index).c_str())));
			EXPECT_EQ(Text(layer->surf), "mats/l" + std::to_string(index) + ".png");
		}
	}
	EXPECT_EQ(table.FindEnvironment(HashName(envName(0).c_str())), first);
}

// The game's own table in the data tree: every environment the world uses,
// each level dressed, with water and lava, slippery and harmful ground, and
// texture names that do not share a material key.
TEST(EnvironmentData, WorldEnvironmentsAreComplete)
{
	testing::internal::CaptureStdout();
	LoadEnvironment();
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

	bool slippery = false, harmful = false;
	for (const char *name : kWorldEnvironments) {
		SCOPED_TRACE(name);
		const Environment *environment = FindEnvironmentByName(name);
		ASSERT_NE(environment, nullptr);
		EXPECT_EQ(environment, FindEnvironment(HashName(name)));
		for (int level = 1; level <= kEnvironmentLevels; level++) {
			SCOPED_TRACE(level);
			const EnvironmentLayer *layer = environment->layers[level - 1];
			ASSERT_NE(layer, nullptr);
			EXPECT_TRUE(layer->surf.IsSet());
			EXPECT_TRUE(layer->edge.IsSet());
			slippery = slippery || layer->slip > 0.0f;
			harmful = harmful || layer->damage > 0;
		}
	}
	EXPECT_TRUE(slippery);
	EXPECT_TRUE(harmful);
	// Splashes and falls tell lava from water by the layer's name.
	EXPECT_EQ(FindEnvironmentByName("hot")->layers[kEnvironmentWaterLevel - 1]->id, HashName("lava"));
	EXPECT_EQ(FindEnvironmentByName("grassland")->layers[kEnvironmentWaterLevel - 1], FindEnvironmentLayerByName("water"));

	// Every layer of the file is reachable by its id (no two ids share a
	// hash), and no two texture names share a hash: materials are keyed by
	// texture hash plus shader hash, so a shared hash would draw the wrong
	// picture.
	const std::vector<std::string> ids = LayerIdsInFile(kEnvironmentFile);
	ASSERT_FALSE(ids.empty());
	std::map<uint16_t, std::string> textures;
	for (const std::string &id : ids) {
		SCOPED_TRACE(id);
		const EnvironmentLayer *layer = FindEnvironmentLayerByName(id.c_str());
		ASSERT_NE(layer, nullptr);
		for (const MapPath *path : {&layer->surf, &layer->edge}) {
			if (!path->IsSet())
				continue;
			auto [entry, added] = textures.emplace(HashName(path->Get()), path->Get());
			EXPECT_TRUE(added || entry->second == path->Get()) << path->Get() << " and " << entry->second;
		}
	}
}

// Drawing side of the real table: the material of each surface and wall that
// the world's environments use finds its texture in the data tree.
class EnvironmentTextures : public GLTestContext {};

TEST_F(EnvironmentTextures, EverySurfaceLoadsItsTexture)
{
	std::set<std::string> done;
	for (const char *name : kWorldEnvironments) {
		const Environment *environment = FindEnvironmentByName(name);
		ASSERT_NE(environment, nullptr) << name;
		for (const EnvironmentLayer *layer : environment->layers) {
			ASSERT_NE(layer, nullptr) << name;
			// The tile map's own ground shader stands in for an empty one.
			const char *shader = layer->shader.GetOr("shaders/standard.dsh");
			for (const MapPath *texture : {&layer->surf, &layer->edge}) {
				if (!done.insert(texture->GetOr("")).second)
					continue;
				SCOPED_TRACE(texture->GetOr(""));
				testing::internal::CaptureStdout();
				Material::Handle handle = Material::Get(texture->Get(), shader);
				EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
				ASSERT_TRUE(handle.IsValid());
				EXPECT_EQ(handle.Get()->GetTextureHash(), HashName(texture->Get()));
				EXPECT_NE(handle.Get()->GetTextureId(), 0u);
				ASSERT_NE(handle.Get()->GetTexture(), nullptr);
				EXPECT_GT(handle.Get()->GetTexture()->GetWidth() * handle.Get()->GetTexture()->GetHeight(), 0);
				Material::Release(handle);
			}
		}
	}
}

// The tile sets of the sample maps open in the map editor: each image has the
// size its tile set declares, and exactly the tiles that the set names are
// painted (a misaligned colour list would paint the wrong cells).
TEST(MapTilesetImages, SheetsMatchTheirTileSets)
{
	const char *const tilesets[] = {"maps/terrain.tsx", "maps/entities.tsx"};
	for (const char *tileset : tilesets) {
		SCOPED_TRACE(tileset);
		tinyxml2::XMLDocument document;
		ASSERT_TRUE(LoadXmlFile(tileset, document));
		const tinyxml2::XMLElement *root = document.FirstChildElement("tileset");
		ASSERT_NE(root, nullptr);
		const tinyxml2::XMLElement *image = root->FirstChildElement("image");
		ASSERT_NE(image, nullptr);
		const int tileSize = root->IntAttribute("tilewidth");
		const int columns = root->IntAttribute("columns");
		const int count = root->IntAttribute("tilecount");
		std::set<int> named;
		for (const tinyxml2::XMLElement *tile = root->FirstChildElement("tile"); tile != nullptr;
		     tile = tile->NextSiblingElement("tile"))
			named.insert(tile->IntAttribute("id"));

		const std::string file = "maps/" + std::string(image->Attribute("source"));
		SDL_Surface *loaded = IMG_Load(ResolvePath(file.c_str()).c_str());
		ASSERT_NE(loaded, nullptr) << IMG_GetError();
		SDL_Surface *sheet = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
		SDL_FreeSurface(loaded);
		ASSERT_NE(sheet, nullptr);
		EXPECT_EQ(sheet->w, image->IntAttribute("width"));
		EXPECT_EQ(sheet->h, image->IntAttribute("height"));
		for (int id = 0; id < count && (id / columns + 1) * tileSize <= sheet->h; id++) {
			SCOPED_TRACE(id);
			// The alpha of the cell's lower-right inner pixel, clear of its number.
			const int x = (id % columns) * tileSize + tileSize - 2;
			const int y = (id / columns) * tileSize + tileSize - 2;
			const uint8_t alpha = static_cast<const uint8_t *>(sheet->pixels)[y * sheet->pitch + x * 4 + 3];
			EXPECT_EQ(alpha, named.count(id) != 0 ? 255 : 0);
		}
		SDL_FreeSurface(sheet);
	}
}
