#pragma once

#include "map/MapCommand.h"
#include "map/MapStr.h"

#include <cstdint>
#include <vector>

class Entity;

// One cell of the tile grid (index y * width + x). The kind is the shape
// (TileKind); the level is the height of the main part (0 a hole, 1 to 6
// terraces, 7 water) and the second level that of the other part: the low
// half of a diagonal, the low end of a ramp, the level itself when flat.
struct MapTile {
	uint32_t kind = 0;
	uint8_t level = 0;
	uint8_t secondLevel = 0;
};

// Kinds of map object, read from the object's type in the editor.
enum MapObjectKind : uint32_t {
	kObjectArea = 0,
	kObjectExit = 1,     // "map"
	kObjectTrigger = 2,  // "trigger"
	kObjectMessage = 4,  // "message"
	kObjectLoad = 5,     // "load": scripted, evaluated when the map loads
	kObjectEntity = 6,   // a tile object, or type "model": an entity placement
	kObjectSpawn = 7,    // "spawn"
};

// One object placed in the editor: an area, exit, trigger, message area,
// load script, spawn point, or the placement of an entity. Positions and
// extents are in tiles; an entity placement's position is the tile of its
// bottom-left corner. The record never owns its entity.
struct MapObjectDef {
	uint32_t kind = kObjectArea;
	uint16_t id = 0;       // the editor's object id; its low byte is the object's group
	uint8_t type = 0;      // entity type of a placement; the entity kind is type + 2
	uint16_t x = 0;        // compared as signed
	uint16_t y = 0;
	uint16_t w = 1;
	uint16_t h = 1;
	uint8_t size = 1;      // the smaller of w and h, at least 1
	uint8_t rotation = 0;  // quarter turns, 0 to 3
	uint8_t flipX = 0;
	uint8_t flipY = 0;
	uint8_t flipDiagonal = 0;
	uint16_t flag = 0;     // the "flag" line's value; a trigger's low byte is its arming group
	MapName name;
	uint16_t key = 0;      // hash of the name; 0 without a name or for a '#' comment
	Entity *entity = nullptr;
	// The object's script: its first record in the map's command table and
	// how many it has. Wide enough to reach every record of a map, so an
	// object can never run the tail of another object's script.
	uint16_t firstCommand = 0;
	uint16_t commandCount = 0;
	uint8_t facing = 0;    // set by the "facing" line

	MapObjectDef() = default;
	MapObjectDef(const MapObjectDef &) = default;
	MapObjectDef &operator=(const MapObjectDef &) = default;
	~MapObjectDef() { entity = nullptr; }

	uint8_t Group() const { return static_cast<uint8_t>(id & 0xFF); }
	// Whether this is an entity placement whose entity is a live actor: not
	// destroyed, of an actor kind, and accepting the actor class test.
	bool HasActor() const;
};

// Exit slots, by the edge of the map each exit lies nearest.
enum MapExitSlot : int {
	kExitNorth = 0,
	kExitEast = 1,
	kExitSouth = 2,
	kExitWest = 3,
	kExitCount = 4,
};

// One map as read from its file: grid size, tiles, properties, objects and
// the compiled scripts with the string and message tables they index. The map
// reader fills a freshly reset record; the tile map keeps the current map in
// one and the map being loaded in another. Copying copies every list. The
// environment is kept as its name key; the environment table resolves it.
class TileMapData {
public:
	static constexpr int kLayerCount = 7;     // additional layers; the water layer is the last
	static constexpr int kMapNameChars = 16;  // characters of the file's base name kept
	static constexpr uint8_t kDefaultTileWidth = 16; // editor pixels per tile
	static constexpr uint8_t kBorderFromEnvironment = 255;
	static constexpr float kDefaultTileSize = 2.0f;    // world units per tile
	static constexpr float kDefaultHeightStep = 0.75f; // world units per terrace level
	static constexpr float kHoleHeight = -1.0f;        // ground height of level 0
	static constexpr float kWaterHeight = 0.3f;        // surface height of level 7

	TileMapData();

	// Back to the empty map; the title stays.
	void Reset();

	// Ground height of a level: -1.0 for a hole, 0.3 for water, else
	// (level - 1) height steps.
	float LevelHeight(uint8_t level) const;
	// The tile at the nearest grid position inside the map; a shared empty
	// tile when the map has no tiles.
	const MapTile &NearestTile(int x, int y) const;
	// Moves a tile position onto the nearest tile of the map (tile 0 of an
	// empty map).
	void ClampTile(int &x, int &y) const;
	void ClampTile(int16_t &x, int16_t &y) const
	{
		int wideX = x;
		int wideY = y;
		ClampTile(wideX, wideY);
		x = static_cast<int16_t>(wideX);
		y = static_cast<int16_t>(wideY);
	}

	// Stores the map's name, keeping its first 16 characters.
	void SetMapName(const char *text);
	const char *GetMapName() const { return mapName; }

	uint8_t width = 0;
	uint8_t height = 0;
	uint8_t tileWidth = kDefaultTileWidth;
	uint8_t border = kBorderFromEnvironment; // half the border ring in tiles; 0 none
	uint16_t highestObjectId = 0;
	float tileSize = kDefaultTileSize;
	float heightStep = kDefaultHeightStep;
	float zoom = 1.0f;
	uint16_t environmentId = 0;        // hash of the "env" property; 0 none
	uint16_t layerIds[kLayerCount] = {}; // hashes of "layer1".."layer7"; "water" sets the last
	std::vector<MapTile> tiles;
	std::vector<MapObjectDef> objects;       // every kind but entity placements
	std::vector<MapObjectDef> entityRecords; // entity placements
	std::vector<MapName> strings;            // object names and string operands
	std::vector<MapMessage> messages;        // say, prompt, model and texture texts
	std::vector<MapCommand> commands;
	MapObjectDef exits[kExitCount];          // the exits nearest each edge; id 0 when none
	MapPath music;
	MapMessage title;

private:
	char mapName[kMapNameChars + 1] = {}; // always terminated, so 16 characters stay whole
};
