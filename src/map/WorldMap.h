#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr const char *kWorldMapFile = "worldmap.tmx";

// One place on the world map: the map it stands for, where its marker sits on
// the overview picture, the place before it on the journey, and what can be
// found there: the flags of its dragon coin and cooler, and the name of its
// collectable, whose flag the world objects' table gives. A fresh record is
// all zero.
struct WorldMapLocation {
	static constexpr size_t kNameChars = 16;
	static constexpr size_t kCollectChars = 16;

	uint16_t nameKey = 0;     // HashName of the whole "name"
	uint16_t previousKey = 0; // HashName of "prev"; 0 without one
	char name[kNameChars + 1] = {}; // the first 16 characters, always terminated
	uint16_t x = 0;           // pixels of the overview picture, on a 16-pixel grid
	uint16_t y = 0;
	int16_t px = 0;           // the step (-1, 0 or 1) from the entry place, signed
	int16_t py = 0;
	uint16_t id = 0;
	uint16_t number = 0;      // 1 for the first object, in file order
	uint16_t dragonKey = 0;   // game flag of the place's dragon coin; 0 none
	uint16_t coolerKey = 0;   // game flag of the place's cooler; 0 none
	char collect[kCollectChars + 1] = {}; // the collectable ("letter3"); empty for none
	uint16_t envKey = 0;      // HashName of the region ("env")
	uint8_t shortcut = 0;
};

// The places of the world map, read from the object group of
// "maps/worldmap.tmx" (or its older-content twin): one object per map of the
// game in journey order, its values as attributes of the object element. The
// world-map screen and the "way" script command read the game's one list,
// which a failed read leaves empty and unloaded so that the next load tries
// again. Tests read lists of their own from fixture files.
class WorldMap {
public:
	// Marker icons of the seven regions.
	static constexpr uint8_t kIconGrassland = 16;
	static constexpr uint8_t kIconForest = 17;
	static constexpr uint8_t kIconSnow = 18;
	static constexpr uint8_t kIconHot = 19;
	static constexpr uint8_t kIconCold = 20;
	static constexpr uint8_t kIconBlack = 21;
	static constexpr uint8_t kIconTower = 22;

	// An empty path reads the game's world map from the map folder in use.
	explicit WorldMap(const char *path = "");

	static WorldMap &Instance();

	// Reads the file unless it is loaded and force is false; false (logged)
	// when the read failed.
	bool Load(bool force);
	bool IsLoaded() const { return loaded; }
	uint16_t GetCount() const { return static_cast<uint16_t>(locations.size()); }
	// Null past the end.
	const WorldMapLocation *GetLocation(uint16_t index) const;
	// The first place with the marker at (x, y); null when none.
	const WorldMapLocation *FindLocationAt(uint16_t x, uint16_t y) const;
	// The number of the first place whose name key is key; 0 when none, which
	// comes before every place on the journey.
	uint16_t FindRegionNumber(uint16_t key) const;

	// The number of the game list's place of the map key; 0 when none.
	static uint16_t FindRegion(uint16_t key);
	// The marker icon of a region key; 0 for any other key.
	static uint8_t EnvIcon(uint16_t key);

private:
	std::string path;
	std::vector<WorldMapLocation> locations;
	bool loaded = false;
};

// The game's list, as the world-map screen reads it.
void LoadWorldMap(bool force);
const WorldMapLocation *GetWorldMapLocation(uint16_t index);
uint16_t GetWorldMapLocationCount();
const WorldMapLocation *FindWorldMapLocationAt(uint16_t x, uint16_t y);
uint8_t WorldMapEnvIcon(uint16_t key);
