#pragma once

#include <cstdint>
#include <memory>

class EntityFactory;
class Scene;
class TileMap;
struct TileMapLoadState;

// Loads the map behind the title screen while the start-up screens are still
// up: the map where the player's save stands, read into a tile map and a
// scene of its own, a phase per frame. The title screen then takes the
// finished tile map into its own scene as its backdrop. The preloader owns the
// tile map, its scene and the entity factory it is given for the tile map
// (without one the map loads with no entities); it gives the tile map no load
// listener. One preloader at a time is the current one,
// reachable through Instance.
class MapPreloader {
public:
	// Load flags for a backdrop: no scripts, no actors.
	static constexpr uint16_t kBackdropFlags = 3;
	// Entity placements handled per Step, so the entity phase spreads over
	// frames.
	static constexpr uint16_t kEntitiesPerStep = 5;

	// Finds the map whose file base name hashes to mapId in "maps" and starts
	// loading it; becomes the current preloader when there is none. A map id
	// that names no file leaves the load aborted at once.
	MapPreloader(uint16_t mapId, uint16_t loadFlags, std::unique_ptr<EntityFactory> factory = nullptr);
	// Clears the tile map (destroying its entities that its scene still
	// holds), ends the scene and frees both; stops being the current one.
	virtual ~MapPreloader();

	MapPreloader(const MapPreloader &) = delete;
	MapPreloader &operator=(const MapPreloader &) = delete;

	// The current preloader, or null.
	static MapPreloader *Instance();
	static void SetInstance(MapPreloader *preloader);

	// True while the load is under way (not yet loaded, aborted or discarded).
	bool IsLoading() const;
	// One load phase while loading; otherwise nothing.
	void Step();
	// Steps until the load has ended.
	void Finish();
	// Empties the tile map and forgets the load; no preloader is current
	// afterwards.
	void Discard();

	uint16_t GetMapId() const { return mapId; }
	// Owned by the preloader, also while another scene lists it.
	TileMap *GetTileMap() const { return tileMap.get(); }
	Scene *GetScene() const { return scene.get(); }

private:
	std::unique_ptr<TileMap> tileMap;
	// Lives in the tile map; null when no load is under way.
	TileMapLoadState *loadState = nullptr;
	uint16_t mapId = 0;
	std::unique_ptr<Scene> scene;
	std::unique_ptr<EntityFactory> entityFactory;
};
