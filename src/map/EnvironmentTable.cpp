#include "map/EnvironmentTable.h"

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"

#include <tinyxml2.h>

#include <cstdio>
#include <cstring>

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

namespace {

constexpr const char *kDefaultWater = "water"; // the water layer an environment gets unless it names one
constexpr size_t kLayerAttributeSize = 24;     // "layer%i" for any int the compiler can imagine

const char *TextOf(const XMLElement *element, const char *name)
{
	return element->Attribute(name);
}

uint8_t LowByte(unsigned value)
{
	return static_cast<uint8_t>(value & 0xFFu);
}

void ReadLayer(const XMLElement *element, EnvironmentLayer &layer)
{
	layer.id = HashName(TextOf(element, "id"));
	layer.surf = MapPath(TextOf(element, "surf"));
	layer.edge = MapPath(TextOf(element, "edge"));
	layer.tree = MapPath(TextOf(element, "tree"));
	layer.tree1 = MapPath(TextOf(element, "tree1"));
	layer.tree2 = MapPath(TextOf(element, "tree2"));
	layer.shader = MapPath(TextOf(element, "shader"));
	layer.slip = element->FloatAttribute("slip", 0.0f);
	layer.damage = LowByte(element->UnsignedAttribute("damage", 0));
}

} // namespace

EnvironmentTable &EnvironmentTable::GetInstance()
{
	static EnvironmentTable instance(kEnvironmentFile);
	return instance;
}

EnvironmentTable::EnvironmentTable(const char *path) : path(path != nullptr ? path : "")
{
}

void EnvironmentTable::Load()
{
	if (loaded)
		return;
	// Set before reading: a broken file is reported once, not at every
	// lookup of every frame.
	loaded = true;
	layers.clear();
	environments.clear();
	Read();
}

const EnvironmentLayer *EnvironmentTable::LayerById(uint16_t id) const
{
	for (const EnvironmentLayer &layer : layers)
		if (layer.id == id)
			return &layer;
	return nullptr;
}

void EnvironmentTable::Read()
{
	XMLDocument document;
	// An empty or unreadable file is not parsed at all and so leaves no
	// error behind; it reads as a file without the root below.
	if (!LoadXmlFile(path.c_str(), document) && document.Error() &&
	    document.ErrorID() != tinyxml2::XML_ERROR_EMPTY_DOCUMENT) {
		Log("Couldn't load environement");
		return;
	}
	const XMLElement *root = document.FirstChildElement("environment");
	if (root == nullptr) {
		Log("Couldn't find valid environment in file.");
		return;
	}
	const XMLElement *layerList = root->FirstChildElement("layers");
	if (layerList == nullptr) {
		Log("Couldn't find valid layers in file.");
		return;
	}
	const XMLElement *environmentList = root->FirstChildElement("envs");
	if (environmentList == nullptr) {
		Log("Couldn't find valid envs in file.");
		return;
	}

	// Every layer is in place before the first environment looks one up.
	for (const XMLElement *element = layerList->FirstChildElement("layer"); element != nullptr;
	     element = element->NextSiblingElement()) {
		layers.emplace_back();
		ReadLayer(element, layers.back());
	}

	for (const XMLElement *element = environmentList->FirstChildElement("env"); element != nullptr;
	     element = element->NextSiblingElement()) {
		Environment &environment = environments.emplace_back();
		environment.id = HashName(TextOf(element, "id"));
		environment.border = LowByte(element->UnsignedAttribute("border", 0));
		const char *music = TextOf(element, "music");
		if (music != nullptr)
			memcpy(environment.music, music, strnlen(music, kEnvironmentMusicLength));

		for (int level = 1; level <= kEnvironmentLevels; level++) {
			char name[kLayerAttributeSize];
			snprintf(name, sizeof(name), "layer%i", level);
			const uint16_t id = HashName(TextOf(element, name));
			if (id != 0)
				environment.layers[level - 1] = LayerById(id);
		}
		// The water level always follows "water", so a table with a layer
		// called "water" fills it for every environment that names none.
		const char *water = TextOf(element, "water");
		if (water == nullptr || water[0] == '\0')
			water = kDefaultWater;
		environment.layers[kEnvironmentWaterLevel - 1] = LayerById(HashName(water));
	}
}

const Environment *EnvironmentTable::FindEnvironment(uint16_t id)
{
	Load();
	for (const Environment &environment : environments)
		if (environment.id == id)
			return &environment;
	return nullptr;
}

const EnvironmentLayer *EnvironmentTable::FindLayer(uint16_t id)
{
	Load();
	return LayerById(id);
}

void LoadEnvironment()
{
	EnvironmentTable::GetInstance().Load();
}

const Environment *FindEnvironment(uint16_t id)
{
	return EnvironmentTable::GetInstance().FindEnvironment(id);
}

const EnvironmentLayer *FindEnvironmentLayer(uint16_t id)
{
	return EnvironmentTable::GetInstance().FindLayer(id);
}

const Environment *FindEnvironmentByName(const char *name)
{
	return FindEnvironment(HashName(name));
}

const EnvironmentLayer *FindEnvironmentLayerByName(const char *name)
{
	return FindEnvironmentLayer(HashName(name));
}
