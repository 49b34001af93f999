#pragma once

#include <cstdint>
#include <string>

class Entity;

// Where map files live and how they are found, plus a few small tests on map
// rectangles and map entities. Maps are named by the 16-bit hash of their
// file's base name: that id is what saves store and what scripts and the
// world map refer to. The playable maps live in "maps"; while the game runs
// its older content (the "oghacks" or "ogmaps" flag), the same file names are
// read from "mapo" instead.

// The game flags that turn on the older content: its rules and its maps.
constexpr const char *kOriginalContentFlag = "oghacks";
constexpr const char *kOriginalMapsFlag = "ogmaps";

constexpr int kMaxMapPathLength = 126; // characters kept of a built map path
constexpr uint16_t kMapEntityClassId = 1000; // the kind test every world object accepts
constexpr uint16_t kActorClassId = 2000;     // the kind test every actor accepts
constexpr uint32_t kEntityKindCount = 64;    // entity kinds 0 to 63
// The entity kind of a map placement's type byte: the kinds of world objects
// start two above the tile indices that place them.
constexpr uint32_t kEntityKindFromTypeOffset = 2;

// The name hash of a file's base name, without folders and extension.
uint16_t MapFileHash(const char *name);

// "maps/<base>.tmx", or "mapo/<base>.tmx" while older content is on; the base
// name is taken from name without its folders and extension.
std::string BuildMapPath(const char *name);

// The map path of the first file in "maps" (in listing order) whose base name
// hashes to id, or the empty text when none does.
std::string FindMapFileByHash(uint16_t id);

// A rectangle of tiles.
struct MapRect {
	int16_t x0 = 0;
	int16_t y0 = 0;
	uint16_t width = 0;
	uint16_t height = 0;
};

// Moves (x, y) to the nearest tile inside rect.
void ClampToMapRect(const MapRect &rect, int16_t &x, int16_t &y);

// A live world object: in a scene, not destroyed, and of the map-entity class.
bool IsMapEntity(Entity *entity);
// A live world object that is not paused either.
bool IsActiveMapEntity(Entity *entity);

// The entity kind of a map object type (type + 2).
uint32_t MapEntityKindFromType(uint16_t type);
// The map object type of an entity kind (kind - 2, in 16 bits).
uint16_t EntityKindToIndex(uint32_t kind);

// What an entity kind places. Townsfolk: kinds 26 to 31.
bool IsNPCKind(uint32_t kind);
// Creatures that fight the player: kinds 50 to 57, 61 and 62.
bool IsEnemyKind(uint32_t kind);
// Things the player picks up: kinds 34 to 49 (42 to 49 are the held tools).
bool IsPickupKind(uint32_t kind);
// True for the kinds that are actors: the player (1), townsfolk and enemies.
bool IsActorKind(uint32_t kind);
