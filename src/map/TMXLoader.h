#pragma once

#include <cstdint>

class TileMapData;

// What the tile map reads maps through. It asks CanLoad first and then Load
// with the same path; neither keeps anything between calls.
class MapLoader {
public:
	virtual ~MapLoader() = default;
	// True when the file looks like a map this loader can read; logs why not.
	virtual bool CanLoad(const char *path) = 0;
	// Reads the file into data, which the caller has reset. False, with one
	// log line, when the map cannot be read; data may then be partly filled.
	virtual bool Load(const char *path, TileMapData &data, uint16_t flags) = 0;
};

// Reads maps saved by the Tiled editor (TMX, XML with CSV layer data): the
// first tile layer becomes the grid, the map's properties set its
// environment, layers, border, zoom, music and title, and the first object
// group becomes the map's objects, whose custom properties are compiled as
// script lines. Everything else in the file (further layers and groups, the
// tile sets) is the editor's business and is skipped. The file is trusted in
// nothing: sizes, encodings and numbers are checked before use, and a file
// that cannot be read is refused with one log line.
class TMXLoader : public MapLoader {
public:
	// Load flag: compile scripts only for model props (previews and
	// preloads that never run sequences).
	static constexpr uint16_t kLoadNoScripts = 1;
	static constexpr int kMaxMapSide = 255;        // tiles along either side
	static constexpr uint32_t kMaxTableEntries = 65535; // commands, strings or messages a map may hold

	bool CanLoad(const char *path) override;
	bool Load(const char *path, TileMapData &data, uint16_t flags) override;
};
