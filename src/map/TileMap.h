#pragma once

#include "engine/core/Entity.h"
#include "engine/core/MathUtil.h"
#include "engine/render/Material.h"
#include "engine/render/Mesh.h"
#include "engine/render/MeshRenderer.h"
#include "map/MapObjectFinder.h"
#include "map/TMXLoader.h"
#include "map/TileGround.h"
#include "map/TileMapData.h"
#include "map/TileMesher.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class EntityFactory;
class ScriptWorld;
class Sequence;
class TileMapLoadListener;
struct EnvironmentLayer;
struct MapCommand;

// Phases of a map load; TileMap::Step runs one per call.
enum TileMapLoadPhase : uint32_t {
	kPhaseNone = 0,          // never loaded
	kPhaseUnload = 1,        // the file is read: tell the listener, clear the old map
	kPhaseUnloadAgain = 2,   // the same as 1
	kPhaseBuild = 3,         // environment, tiles, border
	kPhaseTilesFailed = 4,
	kPhaseBorderFailed = 5,
	kPhaseEntities = 6,      // entities through the factory, maybe over several steps
	kPhaseSequences = 7,     // the listener hears of the map; "load" scripts start
	kPhaseLoaded = 8,
	kPhaseAborted = 9,
};

// Where a load stands. A load starts from a fresh one; the caller of
// TileMap::Load may read the phase and set entitiesPerStep in the state it
// gets back.
struct TileMapLoadState {
	static constexpr size_t kNameChars = 64; // the requested path keeps 63 characters

	// Load flags.
	static constexpr uint16_t kNoScripts = TMXLoader::kLoadNoScripts; // start no sequences
	static constexpr uint16_t kNoActors = 2;  // give actor placements no entity

	uint32_t phase = kPhaseNone;
	uint16_t flags = 0;
	uint16_t cursor = 0;          // next tile or entity record
	uint16_t total = 0;           // tiles to build
	uint16_t entitiesPerStep = 0; // 0: every entity in one step
	TileMapLoadListener *listener = nullptr; // not owned
	TileMapData mapData;          // the map being read
	char name[kNameChars] = {};   // always terminated
};

// The entity that holds the loaded map: the grid of tiles with their heights,
// the objects placed in the editor and their compiled scripts, the enabled
// object groups, the 14 meshes that draw the ground (tops of levels 1 to 7,
// then the walls of each), and the entity records of what the map placed.
//
// A map is loaded in phases so that frames keep coming while it builds: Load
// reads the whole file and clears the old map, then the owner calls Step once
// per frame until it returns false. The tile map owns its map data, meshes,
// renderers and material uses. It does not own the entities it creates (the
// scene lists them), nor the entity factory, the script world or the load
// listener; when it clears it destroys the entities it made that its scene
// still holds.
//
// Queries work in map coordinates (tile (x, y) centred on world
// (x * tile size, y * tile size)) and ignore the entity's transform; only
// drawing applies it.
class TileMap : public Entity {
public:
	static constexpr int kLevelCount = TileMesher::kLevelCount;    // levels with geometry: 1 to 6, and 7 water
	static constexpr int kLayerSlotCount = TileMesher::kSlotCount; // tops of levels 1 to 7, then their walls
	static constexpr int kGroupSlotCount = 64;
	// The most entity records that get entities; beyond this a record has
	// none, so the record cursor can never wrap.
	static constexpr size_t kMaxEntityRecords = 32767;
	// Layer kinds of SetLayerMaterial.
	static constexpr uint8_t kLayerTop = 0;
	static constexpr uint8_t kLayerEdge = 1;

	TileMap();
	// Clears the map (destroying its entities still in its scene), then gives
	// back the material uses.
	~TileMap() override;

	// --- Loading ---
	// Starts a load of a ".tmx" path and runs its first step, so the listener
	// has heard OnMapUnload and the old map is gone when this returns (unless
	// the file could not be read: then the old map stays, and the phase is 9).
	// The state stays valid until the next Load.
	TileMapLoadState &Load(const char *path, uint16_t flags, TileMapLoadListener *listener);
	// Runs one phase; true while the load is under way.
	bool Step();
	// Makes the sequence that runs an object's script on this map, which the
	// tile map then hands to the active-sequence runner. Whoever sets the map
	// up installs it (MapSequence::Create runs the map's scripts), so that the
	// map need not know the script interpreter. Without one the map runs no
	// scripts and logs each it passes over.
	using SequenceMaker = std::function<std::unique_ptr<Sequence>(TileMap &map, MapObjectDef &object)>;
	void SetSequenceMaker(SequenceMaker maker) { sequenceMaker = std::move(maker); }
	// Used by the entity phase; null loads maps without entities. Not owned.
	void SetEntityFactory(EntityFactory *factory) { entityFactory = factory; }
	// The world objects that this map's scripts act on; null goes back to
	// the quiet world (ScriptWorld::Quiet). Not owned: whoever installs it
	// keeps it alive while the map runs scripts.
	void SetScriptWorld(ScriptWorld *world) { scriptWorld = world; }
	ScriptWorld &GetScriptWorld() const;
	// Empties the meshes, destroys the map's entities that its scene still
	// holds, resets the map data and disables every group.
	void Clear();
	const TileMapLoadState &GetLoadState() const { return loadState; }
	// Reads maps through another loader (not owned); null goes back to the
	// TMX reader the tile map keeps.
	void SetMapLoader(MapLoader *value) { mapLoader = value != nullptr ? value : &tmxLoader; }

	// --- Data ---
	TileMapData &GetMapData() { return mapData; }
	const TileMapData &GetMapData() const { return mapData; }

	// --- Geometry ---
	// The material of one level's tops (kind 0) or walls (kind 1); layer 0 to
	// 6 is level 1 to 7. A null or empty shader means "shaders/map.dsh".
	void SetLayerMaterial(uint8_t layer, uint8_t kind, const char *textureName, const char *shaderName);
	// The mesh of a level's tops or walls; null for a level outside 1 to 7.
	Mesh *LayerMesh(uint8_t level, bool edge)
	{
		const int slot = TileMesher::SlotOf(level, edge);
		return slot < 0 ? nullptr : &meshes[slot];
	}
	const Mesh *LayerMesh(uint8_t level, bool edge) const
	{
		const int slot = TileMesher::SlotOf(level, edge);
		return slot < 0 ? nullptr : &meshes[slot];
	}
	// A slot's mesh and material, 0 to 13.
	const Mesh &GetSlotMesh(int slot) const { return meshes[SlotIndex(slot)]; }
	const Material::Handle &GetSlotMaterial(int slot) const { return layerMaterials[SlotIndex(slot)]; }

	// --- Groups and triggers ---
	bool IsGroupEnabled(uint8_t group) const;
	// Group 0 is never enabled. When all slots are in use a new group is
	// refused with a log line.
	void SetGroupFlag(uint8_t group, bool enabled);
	void ClearFlags();
	// Re-reads the game flags of the "load" objects into their groups.
	void UpdateMapFlags();
	// Called when a hostile actor falls: when none is left standing, enables
	// group 1 and runs the first armed trigger.
	void CheckTriggers();
	bool IsCleared() const { return cleared != 0; }

	// --- Grid and height (the ground, TileGround) ---
	// -1.0 for a hole, 0.3 for water, else (level - 1) height steps.
	float LevelHeight(uint8_t level) const { return mapData.LevelHeight(level); }
	bool IsInMap(int16_t x, int16_t y, int16_t margin) const { return ground.IsInMap(x, y, margin); }
	// The tile at the nearest position inside the map; the shared empty tile
	// when the map has no tiles.
	const MapTile &TileAt(int16_t x, int16_t y) const { return mapData.NearestTile(x, y); }
	// Moves a tile position onto the nearest tile of the map.
	void ClampTile(int16_t &x, int16_t &y) const { mapData.ClampTile(x, y); }
	// The tile under a world position (not clamped); true when it lies in the
	// map. Positions beyond the 16-bit range give the nearest 16-bit value.
	bool WorldToTile(const Vec3 &position, int16_t &x, int16_t &y) const { return ground.WorldToTile(position, x, y); }
	float HeightAtTile(int16_t x, int16_t y, float fx, float fz) const { return ground.HeightAtTile(x, y, fx, fz); }
	float HeightAt(const Vec3 &position) const { return ground.HeightAt(position); }
	Vec3 TilePosition(int16_t x, int16_t y, float fx, float fz) const { return ground.TilePosition(x, y, fx, fz); }
	Vec3 ClampToMap(Vec3 &position, float margin) const { return ground.ClampToMap(position, margin); }
	Vec3 TraceMove(const Vec3 &from, Vec3 &to, float radius, float step) const
	{
		return ground.TraceMove(from, to, radius, step);
	}
	const EnvironmentLayer *SurfaceOfLevel(uint8_t level) const { return ground.SurfaceOfLevel(level); }
	const EnvironmentLayer *SurfaceAt(int16_t x, int16_t y) const { return ground.SurfaceAt(x, y); }

	// --- Objects and entity records ---
	// Whether the object's tile rectangle holds the tile; its far edges are
	// included, so an object w wide covers w + 1 columns.
	static bool ContainsTile(const MapObjectDef &object, int16_t x, int16_t y);
	MapObjectDef *FindObjectAt(const Vec3 &position);
	// Inside the object's area shrunk by 0.1 on every side; an extent of 0
	// counts as 1.
	bool IsInsideObject(const MapObjectDef &object, const Vec3 &position) const;
	MapObjectDef *FindObjectById(uint16_t id) { return finder.ObjectById(id); }
	// Null for key 0.
	MapObjectDef *FindObjectByKey(uint16_t key) { return finder.ObjectByKey(key); }
	MapObjectDef *FindEntityRecordById(uint16_t id) { return finder.EntityRecordById(id); }
	// The entity record with the id, else the object with it.
	MapObjectDef *FindById(uint16_t id) { return finder.ById(id); }
	MapObjectDef *FindEntityRecordByKey(uint16_t key) { return finder.EntityRecordByKey(key); }
	MapObjectDef *FindEntityRecordByKeyName(const char *name) { return finder.EntityRecordByKeyName(name); }
	// The first record whose entity kind (type + 2) is kind.
	MapObjectDef *FindEntityRecordByType(uint32_t kind) { return finder.EntityRecordByType(kind); }
	// The record lying furthest toward a side of the map (direction 1 to 4).
	MapObjectDef *FindEntityRecordToward(uint8_t direction);
	// The first of the object's script lines with the code; null for no
	// object, code 0 or no script.
	const MapCommand *FindLinkedOfKind(const MapObjectDef *object, uint32_t code) const
	{
		return finder.LinkedOfKind(object, code);
	}
	// The object that gives a world object its text: follows the object's
	// "if" and "ifnot" lines whose group test holds and its "then" lines, at
	// most kMaxSayHops jumps, to the first object whose script says
	// something; null when none.
	static constexpr int kMaxSayHops = 4;
	MapObjectDef *FindSayObject(MapObjectDef *object);
	// The tile on the object's rectangle at the side the vector points to.
	void ObjectEdgeTile(const MapObjectDef &object, const Vec3 &direction, int16_t &x, int16_t &y) const;

	// --- Entity operations ---
	// Brings the map's entities into the scene the tile map joined.
	void Init() override;
	// Draws the 14 layer meshes with the tile map's transform.
	void Render() override;
	// Draws one layer slot's mesh with the given model matrix (Render draws
	// every slot with the map's own); nothing for a slot out of range.
	void RenderLayer(int slot, const glm::mat4 &model);

private:
	static int SlotIndex(int slot) { return slot >= 0 && slot < kLayerSlotCount ? slot : 0; }

	// Load steps.
	bool LoadData(const char *path);
	uint32_t RunPhase();
	void Unload();
	bool LoadEnvironment();
	bool BuildTiles();
	bool BuildBorder();
	bool LoadEntities();
	bool LoadSequences();
	void PlaceEntity(MapObjectDef &record, Entity *entity);
	// Hands a new sequence for the object to the active-sequence runner.
	void StartSequence(MapObjectDef &object);

	// Gives each mesh the material its slot holds.
	void ApplyLayerMaterials();

	TileMapData mapData;
	MapObjectFinder finder{mapData}; // lookups over mapData
	TileGround ground{mapData};      // heights and moves over mapData
	uint8_t groupSlots[kGroupSlotCount] = {}; // 0 empty, else an enabled group
	uint8_t cleared = 0;
	TileMapLoadState loadState;
	// Counts loads, so a phase can tell that a listener or a script started
	// another load while it ran.
	uint32_t loadSerial = 0;
	EntityFactory *entityFactory = nullptr;
	ScriptWorld *scriptWorld = nullptr;
	SequenceMaker sequenceMaker;
	TMXLoader tmxLoader;
	MapLoader *mapLoader = &tmxLoader;
	Mesh meshes[kLayerSlotCount];
	Material::Handle layerMaterials[kLayerSlotCount];
	MeshRenderer renderers[kLayerSlotCount];
	TileMesher mesher{mapData, meshes}; // fills the meshes from the map data
};
