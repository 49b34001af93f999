#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "map/MapStr.h"

constexpr int kEnvironmentLevels = 7;        // tile levels 1 to 7 that an environment dresses
constexpr int kEnvironmentWaterLevel = 7;    // the last of them is the water level
constexpr size_t kEnvironmentMusicLength = 16; // characters of an environment's music name
constexpr const char *kEnvironmentFile = "data/environment.xml";

// One surface of the environment table: what a terrace level looks like (its
// top and wall textures and their shader) and how it feels underfoot (slippery,
// harmful). Paths keep at most 63 characters; an absent attribute leaves its
// path empty, and an empty shader means the tile map's own ground shader.
struct EnvironmentLayer {
	uint16_t id = 0;   // name hash of the layer's "id"
	MapPath surf;      // texture of the top surface
	MapPath edge;      // texture of the walls below it
	MapPath tree;      // tree texture and the two tree models of this ground
	MapPath tree1;
	MapPath tree2;
	MapPath shader;
	float slip = 0.0f;   // above 0: walkers slide on it
	uint8_t damage = 0;  // hurt taken by walking into its walls
};

// One environment: the surface layers of the seven tile levels, the border
// width a map gets when it sets none, and its music name. The layer pointers
// lead into the table that holds the environment and may be null (a level the
// environment leaves undressed, or a layer id the table does not have).
struct Environment {
	uint16_t id = 0; // name hash of the environment's "id"
	uint8_t border = 0;
	const EnvironmentLayer *layers[kEnvironmentLevels] = {}; // index level - 1; the last is water
	// The first 16 characters of "music", zero-padded; one more byte than
	// that so that a full-length name still ends in a zero.
	char music[kEnvironmentMusicLength + 1] = {};
};

// The table of surface layers and environments that dresses every map's
// ground, read once from an XML file and kept for the life of the program.
// Lookups read the file on first use; a file that cannot be read is reported
// once and leaves the table empty, and it is never read again. The table owns
// its records: layers are complete before any environment refers to them and
// records never move once stored, so pointers handed out stay valid for the
// table's lifetime. It is not copyable, since a copy's environments would
// point into the original's layers.
class EnvironmentTable {
public:
	// The program-wide table, read from kEnvironmentFile in the data tree.
	static EnvironmentTable &GetInstance();

	// path: relative to the executable's directory, or absolute.
	explicit EnvironmentTable(const char *path);
	EnvironmentTable(const EnvironmentTable &) = delete;
	EnvironmentTable &operator=(const EnvironmentTable &) = delete;

	// Reads the file unless it has been read (or tried) before.
	void Load();
	bool IsLoaded() const { return loaded; }

	// Both load the table when needed; the first record with the id in file
	// order, or null.
	const Environment *FindEnvironment(uint16_t id);
	const EnvironmentLayer *FindLayer(uint16_t id);

private:
	void Read();
	const EnvironmentLayer *LayerById(uint16_t id) const;

	std::string path;
	bool loaded = false;
	// Deques: appending never moves the records already stored.
	std::deque<EnvironmentLayer> layers;
	std::deque<Environment> environments;
};

// The program-wide table's operations, by id or by name (its name hash).
void LoadEnvironment();
const Environment *FindEnvironment(uint16_t id);
const EnvironmentLayer *FindEnvironmentLayer(uint16_t id);
const Environment *FindEnvironmentByName(const char *name);
const EnvironmentLayer *FindEnvironmentLayerByName(const char *name);
