#include "map/TMXLoader.h"

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "map/MapFiles.h"
#include "map/MapGameLink.h"
#include "map/MapScriptCompiler.h"
#include "map/TileCode.h"
#include "map/TileMapData.h"
// Upward, for the difficulty that decides which objects a map keeps.

#include <tinyxml2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

namespace {

constexpr uint32_t kAbsentGid = 0xFFFFFFFFu; // a gid with every bit set means no tile
constexpr uint32_t kModelPropKind = 63;      // entity kind of "model" objects
constexpr uint32_t kModelPropType = kModelPropKind - kEntityKindFromTypeOffset;
constexpr int kDegreesPerTurn = 90;
constexpr int kDegreesPerCircle = 360;
constexpr double kNumberLimit = 9007199254740992.0; // 2^53: beyond it a number means nothing to a map

// The parts of a map file that the rest of the read relies on, checked.
struct MapLayout {
	XMLElement *root = nullptr;
	XMLElement *layer = nullptr;
	XMLElement *data = nullptr;
	int width = 0;
	int height = 0;
	uint8_t tileWidth = 0;
};

// A number as the editor writes it ("32", "-16", "45.5"): the fraction is
// dropped and absurd magnitudes are clamped, so nothing downstream overflows.
// Null or unreadable text gives the fallback.
int64_t ReadWholeNumber(const char *text, int64_t fallback)
{
	if (text == nullptr)
		return fallback;
	char *end = nullptr;
	double value = strtod(text, &end);
	if (end == text || std::isnan(value))
		return fallback;
	if (value > kNumberLimit)
		value = kNumberLimit;
	if (value < -kNumberLimit)
		value = -kNumberLimit;
	return static_cast<int64_t>(std::trunc(value));
}

int32_t ReadInt(const XMLElement *element, const char *name, int32_t fallback)
{
	int64_t value = ReadWholeNumber(element->Attribute(name), fallback);
	if (value > INT32_MAX)
		return INT32_MAX;
	if (value < INT32_MIN)
		return INT32_MIN;
	return static_cast<int32_t>(value);
}

// Unsigned attributes keep their low 32 bits, so "-1" reads as all bits set.
uint32_t ReadUnsigned(const XMLElement *element, const char *name, uint32_t fallback)
{
	return static_cast<uint32_t>(ReadWholeNumber(element->Attribute(name), fallback));
}

bool IsEmpty(const char *text)
{
	return text == nullptr || text[0] == '\0';
}

const char *OrEmpty(const char *text)
{
	return text != nullptr ? text : "";
}

// Parses the file and checks everything the read depends on before anything
// is stored. Logs one line and returns false when the file is not a readable
// map.
bool OpenMap(const char *path, XMLDocument &document, MapLayout &layout)
{
	const char *shownPath = OrEmpty(path);
	bool parsed = path != nullptr && LoadXmlFile(path, document);
	if (!parsed && document.Error()) {
		Log("Couldn't load map %s", shownPath);
		return false;
	}
	layout.root = document.FirstChildElement("map");
	if (layout.root == nullptr) {
		Log("Couldn't find valid map on %s", shownPath);
		return false;
	}
	layout.layer = layout.root->FirstChildElement("layer");
	if (layout.layer == nullptr) {
		Log("Couldn't find valid map layer on %s", shownPath);
		return false;
	}
	layout.data = layout.layer->FirstChildElement("data");
	if (layout.data == nullptr) {
		Log("Couldn't find valid map data on %s", shownPath);
		return false;
	}
	layout.width = ReadInt(layout.layer, "width", 0);
	layout.height = ReadInt(layout.layer, "height", 0);
	if (layout.width < 1 || layout.width > TMXLoader::kMaxMapSide || layout.height < 1 ||
		layout.height > TMXLoader::kMaxMapSide) {
		Log("Invalid map dimensions on %s (%dx%d)", shownPath, layout.width, layout.height);
		return false;
	}
	// Only comma-separated text is understood; base64 or compressed data
	// would otherwise be misread as digits.
	const char *encoding = layout.data->Attribute("encoding");
	if (encoding != nullptr && !NameEquals(encoding, "csv")) {
		Log("Unsupported map data encoding %s on %s", encoding, shownPath);
		return false;
	}
	const char *compression = layout.data->Attribute("compression");
	if (!IsEmpty(compression)) {
		Log("Unsupported map data compression %s on %s", compression, shownPath);
		return false;
	}
	// Object positions are divided by the tile width.
	layout.tileWidth = static_cast<uint8_t>(ReadUnsigned(layout.root, "tilewidth", 0));
	if (layout.tileWidth == 0) {
		Log("Invalid tile width on %s", shownPath);
		return false;
	}
	return true;
}

void ReadMapProperties(const XMLElement *root, TileMapData &data)
{
	const XMLElement *properties = root->FirstChildElement("properties");
	if (properties == nullptr)
		return;
	static const char *const kLayerNames[TileMapData::kLayerCount] = {
		"layer1", "layer2", "layer3", "layer4", "layer5", "layer6", "layer7"};

	for (const XMLElement *property = properties->FirstChildElement(); property != nullptr;
		 property = property->NextSiblingElement()) {
		const char *name = property->Attribute("name");
		const char *value = property->Attribute("value");

		bool isLayer = false;
		for (int n = 0; n < TileMapData::kLayerCount; n++) {
			if (NameEquals(name, kLayerNames[n])) {
				data.layerIds[n] = HashName(value);
				isLayer = true;
				break;
			}
		}
		if (isLayer)
			continue;
		if (NameEquals(name, "water")) {
			// The water layer closes the list: properties after it belong to
			// the editor, not the game.
			data.layerIds[TileMapData::kLayerCount - 1] = HashName(value);
			break;
		}
		if (NameEquals(name, "border")) {
			data.border = static_cast<uint8_t>(ReadUnsigned(property, "value", 0));
		} else if (NameEquals(name, "env")) {
			data.environmentId = HashName(value);
		} else if (NameEquals(name, "zoom")) {
			float zoom = value != nullptr ? strtof(value, nullptr) : 1.0f;
			// A camera cannot zoom by nothing, a negative or a non-number.
			data.zoom = std::isfinite(zoom) && zoom > 0.0f ? zoom : 1.0f;
		} else if (NameEquals(name, "music")) {
			if (!IsEmpty(value))
				data.music = MapPath(value);
		} else if (NameEquals(name, "title")) {
			// The editor keeps multi-line texts in the element's body.
			const char *body = property->GetText();
			if (!IsEmpty(value))
				data.title = MapMessage(value);
			else if (!IsEmpty(body))
				data.title = MapMessage(body);
		}
	}
}

// Walks the comma-separated ids of the layer into the tile list. Blanks,
// line ends and anything else that is not a digit or comma is skipped without
// ending a number. Numbers beyond the grid are ignored.
void ReadTileData(const char *text, std::vector<MapTile> &tiles)
{
	if (text == nullptr)
		return;
	size_t next = 0;
	uint32_t id = 0;
	bool inNumber = false;
	for (const char *c = text; *c != '\0' && next < tiles.size(); c++) {
		if (*c >= '0' && *c <= '9') {
			// Kept to 32 bits, where the flip flags live.
			id = id * 10u + static_cast<uint32_t>(*c - '0');
			inNumber = true;
		} else if (*c == ',' && inNumber) {
			DecodeTileId(id, &tiles[next++]);
			id = 0;
			inNumber = false;
		}
	}
	if (inNumber && next < tiles.size())
		DecodeTileId(id, &tiles[next]);
}

uint32_t KindFromType(const char *type)
{
	if (NameEquals(type, "map"))
		return kObjectExit;
	if (NameEquals(type, "trigger"))
		return kObjectTrigger;
	if (NameEquals(type, "message"))
		return kObjectMessage;
	if (NameEquals(type, "load"))
		return kObjectLoad;
	if (NameEquals(type, "spawn"))
		return kObjectSpawn;
	if (NameEquals(type, "model"))
		return kObjectEntity;
	return kObjectArea;
}

void UpdateExits(TileMapData &data, const MapObjectDef &exit)
{
	auto sx = [](const MapObjectDef &o) { return static_cast<int16_t>(o.x); };
	auto sy = [](const MapObjectDef &o) { return static_cast<int16_t>(o.y); };
	MapObjectDef *exits = data.exits;
	if (exits[kExitNorth].id == 0 || sy(exit) < sy(exits[kExitNorth]))
		exits[kExitNorth] = exit;
	if (exits[kExitEast].id == 0 || sx(exit) > sx(exits[kExitEast]))
		exits[kExitEast] = exit;
	if (exits[kExitSouth].id == 0 || sy(exit) > sy(exits[kExitSouth]))
		exits[kExitSouth] = exit;
	if (exits[kExitWest].id == 0 || sx(exit) < sx(exits[kExitWest]))
		exits[kExitWest] = exit;
}

class ObjectReader {
public:
	ObjectReader(const char *path, TileMapData &data, uint16_t flags, uint8_t tileWidth)
		: path(path), data(data), flags(flags), tileWidth(tileWidth)
	{
	}

	// False when the map's tables would outgrow their 16-bit indexes.
	bool Read(const XMLElement *element);

private:
	bool ReadProperties(const XMLElement *element, MapObjectDef &object, bool &excluded);
	bool AppendString(const char *text, uint16_t &index);
	bool AppendMessage(const char *text, uint16_t &index);

	const char *path;
	TileMapData &data;
	uint16_t flags;
	uint8_t tileWidth;
};

bool ObjectReader::AppendString(const char *text, uint16_t &index)
{
	if (data.strings.size() >= TMXLoader::kMaxTableEntries) {
		Log("Too many map strings on %s", path);
		return false;
	}
	index = static_cast<uint16_t>(data.strings.size());
	data.strings.emplace_back(text);
	return true;
}

bool ObjectReader::AppendMessage(const char *text, uint16_t &index)
{
	if (data.messages.size() >= TMXLoader::kMaxTableEntries) {
		Log("Too many map messages on %s", path);
		return false;
	}
	index = static_cast<uint16_t>(data.messages.size());
	data.messages.emplace_back(text);
	return true;
}

bool ObjectReader::Read(const XMLElement *element)
{
	MapObjectDef object;
	object.id = static_cast<uint16_t>(ReadInt(element, "id", 0));
	if (object.id > data.highestObjectId)
		data.highestObjectId = object.id;

	const char *type = element->Attribute("type");
	if (type == nullptr)
		type = element->Attribute("class");
	if (!IsEmpty(type)) {
		object.kind = KindFromType(type);
		if (object.kind == kObjectEntity)
			object.type = kModelPropType;
	}
	uint32_t gid = ReadUnsigned(element, "gid", kAbsentGid);
	if (object.kind == kObjectArea && gid != kAbsentGid) {
		object.kind = kObjectEntity;
		SplitTileId(gid, &object.type, &object.flipX, &object.flipY, &object.flipDiagonal);
	}

	// Any angle, negative or many turns, comes down to 0 to 3 quarter turns.
	int64_t degrees = ReadWholeNumber(element->Attribute("rotation"), 0);
	degrees = ((degrees % kDegreesPerCircle) + kDegreesPerCircle) % kDegreesPerCircle;
	object.rotation = static_cast<uint8_t>(degrees / kDegreesPerTurn);
	object.x = static_cast<uint16_t>(ReadInt(element, "x", 0) / tileWidth);
	object.y = static_cast<uint16_t>(ReadInt(element, "y", 0) / tileWidth);
	object.w = static_cast<uint16_t>(ReadInt(element, "width", 0) / tileWidth);
	object.h = static_cast<uint16_t>(ReadInt(element, "height", 0) / tileWidth);
	object.size = static_cast<uint8_t>(object.w < object.h ? object.w : object.h);
	if (object.size == 0)
		object.size = 1;

	// Names that start with '#' are the designer's comments.
	const char *name = element->Attribute("name");
	if (name != nullptr && name[0] != '#' && name[0] != '\n') {
		object.key = HashName(name);
		uint16_t index = 0;
		if (!AppendString(name, index))
			return false;
		object.name = data.strings[index];
	}

	bool excluded = false;
	if (!ReadProperties(element, object, excluded))
		return false;
	if (excluded)
		return true;

	if (object.kind == kObjectEntity) {
		// The editor anchors tile objects at their bottom-left corner.
		object.y = static_cast<uint16_t>(object.y - 1);
		data.entityRecords.push_back(object);
		return true;
	}
	data.objects.push_back(object);
	if (object.kind == kObjectExit)
		UpdateExits(data, object);
	return true;
}

bool ObjectReader::ReadProperties(const XMLElement *element, MapObjectDef &object, bool &excluded)
{
	const XMLElement *properties = element->FirstChildElement("properties");
	if (properties == nullptr)
		return true;
	int difficulty = MapGameLink::Get().Difficulty();
	// Previews keep only what model props need to look right.
	bool compile = (flags & TMXLoader::kLoadNoScripts) == 0 || MapEntityKindFromType(object.type) == kModelPropKind;

	for (const XMLElement *property = properties->FirstChildElement(); property != nullptr;
		 property = property->NextSiblingElement()) {
		const char *name = property->Attribute("name");
		const char *value = property->Attribute("value");
		if (NameEquals(name, "mode") && difficulty < kDifficultyBrutal &&
			(NameEquals(value, "brutal") || NameEquals(value, "hard"))) {
			excluded = true;
			return true;
		}

		MapCommand command;
		if (compile)
			CompileScriptCommand(OrEmpty(name), &command);
		switch (MapCommand::ValueKindOf(command.code)) {
		case kValueNumber:
			command.value = static_cast<uint16_t>(ReadUnsigned(property, "value", 0));
			break;
		case kValueDirection:
			command.value = ReadScriptDirection(value);
			break;
		case kValueString:
		case kValueMessage:
			if (value == nullptr) {
				Log("No value on %s.%s", object.name.GetOr(""), OrEmpty(name));
				command.code = kCmdNone;
			} else if (MapCommand::ValueKindOf(command.code) == kValueString) {
				if (!AppendString(value, command.value))
					return false;
			} else if (!AppendMessage(value, command.value)) {
				return false;
			}
			break;
		case kValueNone:
			break;
		}

		if (command.code == kCmdNone)
			continue;
		if (command.code == kCmdFlag) {
			object.flag = command.value;
			continue;
		}
		if (command.code == kCmdFacing) {
			object.facing = 1;
			continue;
		}
		if (data.commands.size() >= TMXLoader::kMaxTableEntries) {
			Log("Too many map commands on %s", path);
			return false;
		}
		if (object.commandCount == 0)
			object.firstCommand = static_cast<uint16_t>(data.commands.size());
		data.commands.push_back(command);
		object.commandCount++;
	}
	return true;
}

} // namespace

bool TMXLoader::CanLoad(const char *path)
{
	XMLDocument document;
	MapLayout layout;
	return OpenMap(path, document, layout);
}

bool TMXLoader::Load(const char *path, TileMapData &data, uint16_t flags)
{
	XMLDocument document;
	MapLayout layout;
	if (!OpenMap(path, document, layout))
		return false;

	data.width = static_cast<uint8_t>(layout.width);
	data.height = static_cast<uint8_t>(layout.height);
	data.zoom = 1.0f;
	data.SetMapName(GetFileBaseName(path, false).c_str());
	data.tileWidth = layout.tileWidth;
	for (uint16_t &layer : data.layerIds)
		layer = 0;

	ReadMapProperties(layout.root, data);

	data.tiles.assign(static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height), MapTile());
	ReadTileData(layout.data->GetText(), data.tiles);

	const XMLElement *group = layout.root->FirstChildElement("objectgroup");
	if (group != nullptr) {
		ObjectReader reader(path, data, flags, layout.tileWidth);
		for (const XMLElement *element = group->FirstChildElement(); element != nullptr;
			 element = element->NextSiblingElement()) {
			if (!reader.Read(element))
				return false;
		}
	}
	return true;
}
