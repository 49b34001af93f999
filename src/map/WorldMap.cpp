#include "map/WorldMap.h"

#include <cstring>

#include <tinyxml2.h>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "map/MapFiles.h"

namespace {

using tinyxml2::XMLElement;

uint16_t KeyOf(const XMLElement *element, const char *attribute)
{
	return HashName(element->Attribute(attribute));
}

uint16_t UnsignedOf(const XMLElement *element, const char *attribute)
{
	return static_cast<uint16_t>(element->UnsignedAttribute(attribute, 0));
}

int16_t SignedOf(const XMLElement *element, const char *attribute)
{
	return static_cast<int16_t>(element->IntAttribute(attribute, 0));
}

} // namespace

WorldMap::WorldMap(const char *file) : path(file != nullptr ? file : "")
{
}

WorldMap &WorldMap::Instance()
{
	static WorldMap list;
	return list;
}

bool WorldMap::Load(bool force)
{
	if (loaded && !force)
		return true;
	locations.clear();
	loaded = false;
	std::string file = path.empty() ? BuildMapPath(kWorldMapFile) : path;
	tinyxml2::XMLDocument document;
	if (!LoadXmlFile(file.c_str(), document) && document.Error() &&
	    document.ErrorID() != tinyxml2::XML_ERROR_EMPTY_DOCUMENT &&
	    document.ErrorID() != tinyxml2::XML_ERROR_FILE_NOT_FOUND &&
	    document.ErrorID() != tinyxml2::XML_ERROR_FILE_COULD_NOT_BE_OPENED &&
	    document.ErrorID() != tinyxml2::XML_ERROR_FILE_READ_ERROR) {
		Log("Couldn't load world map");
		return false;
	}
	const XMLElement *root = document.FirstChildElement("map");
	if (root == nullptr) {
		Log("Couldn't find valid map in file.");
		return false;
	}
	const XMLElement *group = root->FirstChildElement("objectgroup");
	if (group == nullptr) {
		Log("Couldn't find valid objectgroup in file.");
		return false;
	}
	uint16_t number = 0;
	for (const XMLElement *element = group->FirstChildElement("object"); element != nullptr;
	     element = element->NextSiblingElement()) {
		WorldMapLocation location;
		location.x = UnsignedOf(element, "x");
		location.y = UnsignedOf(element, "y");
		location.id = UnsignedOf(element, "id");
		location.number = ++number;
		location.envKey = KeyOf(element, "env");
		location.shortcut = element->BoolAttribute("shortcut", false) ? 1 : 0;
		location.dragonKey = KeyOf(element, "dragon");
		location.coolerKey = KeyOf(element, "cooler");
		if (const char *collect = element->Attribute("collect"))
			strncpy(location.collect, collect, WorldMapLocation::kCollectChars);
		const char *name = element->Attribute("name");
		if (name != nullptr) {
			strncpy(location.name, name, WorldMapLocation::kNameChars);
			location.nameKey = HashName(name);
		}
		location.previousKey = KeyOf(element, "prev");
		location.px = SignedOf(element, "px");
		location.py = SignedOf(element, "py");
		locations.push_back(location);
	}
	loaded = true;
	return true;
}

const WorldMapLocation *WorldMap::GetLocation(uint16_t index) const
{
	return index < locations.size() ? &locations[index] : nullptr;
}

const WorldMapLocation *WorldMap::FindLocationAt(uint16_t x, uint16_t y) const
{
	for (const WorldMapLocation &location : locations)
		if (location.x == x && location.y == y)
			return &location;
	return nullptr;
}

uint16_t WorldMap::FindRegionNumber(uint16_t key) const
{
	for (const WorldMapLocation &location : locations)
		if (location.nameKey == key)
			return location.number;
	return 0;
}

uint16_t WorldMap::FindRegion(uint16_t key)
{
	return Instance().FindRegionNumber(key);
}

uint8_t WorldMap::EnvIcon(uint16_t key)
{
	struct Region {
		uint16_t key;
		uint8_t icon;
	};
	static const Region regions[] = {
		{HashName("grassland"), kIconGrassland}, {HashName("forest"), kIconForest},
		{HashName("snow"), kIconSnow},           {HashName("hot"), kIconHot},
		{HashName("cold"), kIconCold},           {HashName("black"), kIconBlack},
		{HashName("tower"), kIconTower},
	};
	if (key == 0)
		return 0;
	for (const Region &region : regions)
		if (region.key == key)
			return region.icon;
	return 0;
}

void LoadWorldMap(bool force)
{
	WorldMap::Instance().Load(force);
}

const WorldMapLocation *GetWorldMapLocation(uint16_t index)
{
	return WorldMap::Instance().GetLocation(index);
}

uint16_t GetWorldMapLocationCount()
{
	return WorldMap::Instance().GetCount();
}

const WorldMapLocation *FindWorldMapLocationAt(uint16_t x, uint16_t y)
{
	return WorldMap::Instance().FindLocationAt(x, y);
}

uint8_t WorldMapEnvIcon(uint16_t key)
{
	return WorldMap::Instance().EnvIcon(key);
}
