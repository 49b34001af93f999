#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>
#include <vector>

class Entity;
class Game;

// Scene states.
enum SceneState : uint32_t {
	kScenePending = 0, // built, not yet current
	kSceneActive = 1,  // current: updated and drawn
	kSceneLeaving = 2, // being replaced or destroyed
};

// One screen of the program: the start-up and title screens, the menus and
// the in-game scene. The game updates and draws its current scene once per
// frame; the scene ticks the entities it lists and draws them in ascending
// draw layer, switching the renderer to the interface buffer before the first
// layer at or above Entity::kInterfaceLayer. The scene lists entities without
// owning them, except that its update deletes an entity it finds destroyed. Removed entries turn
// into a placeholder so that lists are never shortened while they are walked;
// the next update erases them. A scene that goes first clears the scene link
// of everything it still lists.
class Scene {
public:
	// Entries are counted and indexed with 16-bit numbers.
	static constexpr size_t kMaxEntities = 65535;

	Scene();
	virtual ~Scene();

	Scene(const Scene &) = delete;
	Scene &operator=(const Scene &) = delete;

	// Lists the entity (taking it out of any scene that listed it before) and
	// gives it state 1. Null is ignored; so is an entity that an active scene
	// already lists, and any entity once the list is full.
	virtual void AddEntity(Entity *entity);
	// Gives the entity state 4, clears its scene link and turns its entries
	// into the placeholder.
	virtual void RemoveEntity(Entity *entity);
	// Called when the scene becomes current.
	virtual void Start() {}
	// Ticks the listed entities (dt in seconds), then erases removed entries
	// and deletes destroyed entities. Only while active.
	virtual void Update(float dt);
	// Draws the visible running entities, one pass per draw layer.
	virtual void Render();
	// Called when the scene is being replaced by next.
	virtual void Leave(Scene *next) { (void)next; }
	// Installs ui as the panel shown over the scene (a menu that a script
	// opens), taking the previous one out; null only removes it. Scenes
	// without such a panel (all but the in-game scene) ignore it.
	virtual void SetOverlayUI(Entity *ui) { (void)ui; }

	bool HasEntity(const Entity *entity) const;
	// Number of entries, placeholders of removed entities included.
	uint16_t GetEntityCount() const { return static_cast<uint16_t>(entities.size()); }
	// Null past the end, for a null entry and for an entity in state 4 or
	// more; an entry removed since the last update yields the placeholder.
	Entity *GetEntityAt(uint16_t index) const;
	// The running entity nearest the point within radius, not standing
	// exactly on it, whose faction shares a bit with mask (mask 0: any).
	// Ties go to the later entry. Null when the scene is not active.
	Entity *FindNearestEntity(Vec3 point, uint8_t factionMask, float radius) const;

	uint32_t state = kScenePending;
	Game *game = nullptr; // set by the game when the scene is handed to it

protected:
	std::vector<Entity *> entities; // in order of addition

private:
	// The one process-wide entity that marks removed scene entries; it stays
	// in state 0, so it is never updated or drawn.
	static Entity *Placeholder();
};
