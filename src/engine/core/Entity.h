#pragma once

#include "engine/core/Transform.h"

#include <cstdint>

class Collider;
class Scene;
class IEntityContainer;

// Life states of an entity; they decide which hooks a tick runs.
enum EntityLifeState : uint32_t {
	kLifeNew = 0,       // constructed, not held by anything
	kLifeAdded = 1,     // held by a scene or container, not started yet
	kLifeRunning = 2,   // updated and drawn
	kLifePaused = 3,    // kept but not updated; scenes do not draw it
	kLifeRemoved = 4,   // taken out of its scene
	kLifeDestroyed = 5, // being deleted
};

// The base of everything that is updated and drawn: world objects, effects,
// the tile map, interface panels, text boxes and sprites. A scene or a
// container lists the entity and drives it through Tick and Render;
// subclasses override the hooks. The entity owns its collider when the
// collider names it as owner, and owns nothing else: it neither owns nor is
// owned by its holders. When an entity is deleted while still listed, it
// takes itself out of its scene and container first, so no holder keeps a
// pointer to freed memory.
class Entity {
public:
	static constexpr uint16_t kDefaultKind = 100;
	// Draw layers from here up are the interface: scenes draw them into the
	// interface buffer, and sprites and interface panels start on it.
	static constexpr int16_t kInterfaceLayer = 100;

	Entity();
	virtual ~Entity();

	Entity(const Entity &) = delete;
	Entity &operator=(const Entity &) = delete;

	// Called right after the entity joined a scene or container (state 1).
	virtual void Init() {}
	// Called by the first Tick.
	virtual void Start() {}
	// Called after Start and whenever a paused entity is resumed.
	virtual void OnResume() {}
	// Per-frame work; dt in seconds.
	virtual void Update(float dt) { (void)dt; }
	virtual void Render() {}
	// Called when a running entity is paused, and by Tick in state 4.
	virtual void OnPause() {}
	// Called by Scene::RemoveEntity when the entity leaves a scene.
	virtual void OnEvent() {}
	// Takes the entity out of the scene that lists it.
	virtual void NotifyRemoved();
	// Marks the entity destroyed, takes it out of its scene and deletes it.
	// While a DestroyHold is on (a collision check, which still holds the
	// entity) the deletion waits until the last hold ends.
	virtual void Destroy();
	// Called by the collision checker for each entity this one touched.
	virtual void OnCollide(Entity *other) { (void)other; }
	virtual bool IsKind(uint16_t testKind) { return kind == testKind; }

	// The life-state driven update that scenes and containers call; dt in
	// seconds. Starts the entity on its first call.
	void Tick(float dt);
	// Pauses (false) or resumes (true) the entity. Resuming one that was
	// paused before its first tick runs its Start first.
	void SetActive(bool on);

	bool IsVisible() const { return visible != 0; }
	void SetVisible(bool on) { visible = on ? 1 : 0; }
	uint8_t GetFaction() const { return faction; }
	// True while the entity is new, added or running.
	bool IsActive() const { return lifeState < kLifePaused; }
	// True while its Start is still to come: added and not ticked yet, or
	// paused before its first tick.
	bool IsStartPending() const { return lifeState == kLifeAdded || (lifeState == kLifePaused && startWaiting != 0); }
	// True for a non-null entity that is neither removed nor destroyed.
	static bool IsAlive(const Entity *entity);

	// Held on the stack by a pass that keeps pointers to entities while it
	// calls their hooks (the collision check): any entity destroyed meanwhile
	// stays in memory, out of its scene, and is deleted once when the
	// outermost hold ends. An entity its owner deletes meanwhile is simply
	// forgotten.
	class DestroyHold {
	public:
		DestroyHold();
		~DestroyHold();
		DestroyHold(const DestroyHold &) = delete;
		DestroyHold &operator=(const DestroyHold &) = delete;
	};
	// True for an entity destroyed under a hold that is not deleted yet.
	static bool IsAwaitingDeletion(const Entity *entity);

	uint16_t kind = kDefaultKind;
	int16_t drawLayer = 0;       // scenes draw ascending; kInterfaceLayer and above is the interface
	uint8_t visible = 1;
	Transform transform;
	Collider *collider = nullptr; // deleted with the entity when it names this one as owner
	Scene *scene = nullptr;       // the scene that lists this entity; set by the scene
	IEntityContainer *container = nullptr; // the container that lists it; set by the container
	uint32_t lifeState = kLifeNew;
	uint8_t faction = 0;          // bit set: 1 player, 2 townsfolk, 4 enemies

private:
	// Points at a flag on the stack of a running Tick, so that Tick can tell
	// when a hook deleted the entity under it.
	bool *tickAliveFlag = nullptr;
	// Set when the entity was paused while its first tick, and so its Start,
	// was still to come.
	uint8_t startWaiting = 0;
};
