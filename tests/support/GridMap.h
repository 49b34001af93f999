#pragma once
// Tile maps made in memory for tests of the map and of what walks on it: a
// loader that hands the tile map a grid instead of reading a file, and a map
// loaded through every phase from such a grid. Tile (x, y) is centred on
// world (x, y) times the tile size (2 unless the extra step changes it).
#include "map/TileCode.h"
#include "map/TileMap.h"
#include "map/EntityFactory.h"

#include <functional>
#include <utility>
#include <vector>

inline MapTile Tile(uint32_t kind, uint8_t level, uint8_t second)
{
	MapTile tile;
	tile.kind = kind;
	tile.level = level;
	tile.secondLevel = second;
	return tile;
}
inline MapTile Flat(uint8_t level) { return Tile(kTileFlat, level, level); }
inline MapTile Hole() { return Tile(kTileNothing, 0, 0); }
// Water as the tile catalogue gives it: level 7 over a second level of 0.
inline MapTile Water() { return Tile(kTileFlat, kLevelWater, 0); }

// Hands the tile map a grid made in memory instead of reading a file.
class GridLoader : public MapLoader {
public:
	bool CanLoad(const char *) override { return true; }
	bool Load(const char *, TileMapData &data, uint16_t) override
	{
		data.width = width;
		data.height = height;
		data.border = border;
		data.tiles = tiles;
		if (extra)
			extra(data);
		return true;
	}

	uint8_t width = 0;
	uint8_t height = 0;
	uint8_t border = 0;
	std::vector<MapTile> tiles;
	std::function<void(TileMapData &)> extra;
};

// Places nothing, so the maps load without entities and without saying so.
class NoEntities : public EntityFactory {
public:
	bool CanCreate(uint16_t) override { return false; }
	Entity *Create(uint16_t) override { return nullptr; }
};

// A tile map loaded through every phase from a grid.
struct GridMap {
	GridMap(uint8_t w, uint8_t h, std::vector<MapTile> tiles, uint8_t border = 0,
		std::function<void(TileMapData &)> extra = nullptr)
	{
		loader.width = w;
		loader.height = h;
		loader.border = border;
		loader.tiles = std::move(tiles);
		loader.extra = std::move(extra);
		map.SetMapLoader(&loader);
		map.SetEntityFactory(&factory);
		map.Load("grid.tmx", TileMapLoadState::kNoScripts, nullptr);
		while (map.Step()) {
		}
	}
	// A map of one ground level with a single different tile in the middle.
	static std::vector<MapTile> Ring(int w, int h, MapTile around, MapTile middle)
	{
		std::vector<MapTile> tiles(static_cast<size_t>(w * h), around);
		tiles[static_cast<size_t>((h / 2) * w + w / 2)] = middle;
		return tiles;
	}

	GridLoader loader;
	NoEntities factory;
	TileMap map;
};
