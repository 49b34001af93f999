#pragma once

#include "engine/core/MathUtil.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Entity;
class Scene;

// Tests the pairs of colliding entities of one scene once per frame, records
// who touches whom in their colliders' contact lists, pushes movable solids
// out of other solids and tells both entities of each touching pair.
// The in-game scene owns one checker; world objects reach it through Get to
// probe a point ahead of them. Collision against the tile map is not done
// here.
//
// OnCollide handlers run inside Check and may destroy entities. An entity
// destroyed then must stay in memory until the pass is over, because the pass
// still holds it as the current pair or in contact lists. So Check holds
// destruction (Entity::DestroyHold) while it runs: a destroyed entity is only
// taken out of its scene. When the outermost Check finishes, the checker asks
// which entities await deletion and takes them out of the contact lists it
// filled; then the hold ends and deletes them, once each.
//
// Contact lists always name each other in pairs: a check appends both sides
// of a touching pair, and an entity's list is emptied only together with its
// partners' entries for it (ForgetContacts, at the start of a check and when
// the entity is deleted). So an entity deleted between checks, say destroyed
// in its own update, leaves no partner reading a pointer to freed memory.
//
// Pairs are met in scene order, the first entity's pairs first and each
// with the later entities in order, exactly as if every pair were tried; but
// only pairs whose boxes share a cell of a ground grid (CollisionGrid) are
// tried, so a scene spread over a map costs about its entity count rather
// than its square. A handler may move, resize, switch or take out any entity,
// not only the pair it was told of, so after each touching pair every entity
// still to be met is looked at again, and filed again where it changed,
// before the next pair is tried (Pass, in the source).
//
// A check stops after trying kMostPairTests pairs (those that share a cell),
// so that no map, however many entities it piles on one tile, can hold a
// frame for seconds; the maps of the game stay far below it.
class CollisionChecker {
public:
	static constexpr uint32_t kMostPairTests = 1u << 16;

	CollisionChecker();
	virtual ~CollisionChecker();

	// The current checker (the latest constructed that still exists), or null.
	static CollisionChecker *Get();

	// True while any checker is inside Check.
	static bool IsChecking();

	// One full pass over the scene's entities.
	void Check(Scene *scene);
	// The first entity of the last checked scene, in scene order, that is
	// active, has a collider that takes part in checks and contains the point;
	// null when none does or no scene was checked yet.
	Entity *FindHit(Vec3 point);
	// Like FindHit, but only entities added or running whose collider mode
	// is above lowestMode count: a touch-only box that holds the point first
	// (a switch under a crate) does not hide a solid one behind it.
	Entity *FindHitAbove(Vec3 point, int32_t lowestMode);

private:
	// Takes the entities destroyed during the check out of the contact lists
	// it filled.
	static void ForgetDestroyed();

	// The grid of one check and what it last saw of each entity.
	struct Pass;

	Scene *scene = nullptr; // of the latest check; not owned
	// One pass for each check of this checker in progress: a handler may run
	// a check of its own. Kept from frame to frame with their storage.
	std::vector<std::unique_ptr<Pass>> passes;
	size_t passesInUse = 0;
};
