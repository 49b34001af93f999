#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>
#include <vector>

class Entity;

// A world-space axis-aligned box: centre and half extents.
struct ColliderBox {
	Vec3 centre = Vec3(0.0f, 0.0f, 0.0f);
	Vec3 half = Vec3(1.0f, 1.0f, 1.0f);
};

// True when the boxes overlap on every axis; touching faces count.
bool BoxOverlaps(const ColliderBox &a, const ColliderBox &b);
// True when the point lies inside a or on its faces.
bool BoxContains(const ColliderBox &a, const Vec3 &point);
// Moves a out of b along one axis: onto b's top when a's centre is above it,
// otherwise sideways along the shallower of X and Z, back to the side a came
// from. Never pushes downward.
void BoxPushOut(ColliderBox &a, const ColliderBox &b);
// Takes the entity out of the contact list of every partner that its
// collider's list names, then empties its own list, keeping its storage.
// Nothing without a collider. Entities call it when they are deleted, the collision check
// before it fills the lists again.
void ForgetContacts(Entity *entity);

// The box an entity may own. It follows its owner: every test brings the box
// up to date with the owner's transform, rebuilding it only when the
// position, scale, rotation, size or offset changed since it was last built,
// and a push-out writes the corrected position straight back into that
// transform. Boxes never rotate; an owner
// turned about a quarter turn about Y only swaps the box's X and Z extents.
// World objects set the mode, size, offset and weight; only the
// CollisionChecker fills and empties the contact list. The owning entity
// deletes the collider.
class Collider {
public:
	// Collision modes as the checker treats them; other values below 3 act
	// like kModeTouch.
	static constexpr int32_t kModeTouch = 0;   // meets solids only, never moved
	static constexpr int32_t kModeIgnored = 1; // left out of every check
	static constexpr int32_t kModeTrigger = 2; // meets solids only, never moved
	static constexpr int32_t kModeStatic = 3;  // solid that others are pushed out of
	static constexpr int32_t kModeSolid = 4;   // solid that is itself pushed out (and above)

	// owner must not be null; size is the full edge lengths in the owner's
	// unscaled, unturned frame; offset runs from the owner's position to the
	// box centre in world axes.
	Collider(Entity *owner, const Vec3 &size, const Vec3 &offset);
	// Virtual so that an entity deleting its collider through this type also
	// runs a derived collider's destructor.
	virtual ~Collider() = default;

	// Brings the box up to date with the owner's transform and returns it.
	// A box kept is bit for bit the one a rebuild would give.
	const ColliderBox &UpdateBounds();

	// False for a null other; brings both boxes up to date.
	virtual bool Intersects(Collider *other);
	virtual bool ContainsPoint(Vec3 point);
	// Pushes this collider's owner out of other unless this one is heavier.
	// Uses this box as last built and brings only the other's up to date.
	virtual void Resolve(Collider *other);

	Entity *owner;
	int32_t mode = kModeTouch;
	float weight = 1.0f; // of two solids only one not heavier than the other moves
	ColliderBox box; // as last built or pushed out; only Resolve writes it
	Vec3 size;
	Vec3 offset;
	std::vector<Entity *> contacts; // partners of the latest check

private:
	// What the box was last built from, compared bit for bit.
	struct BoxSource {
		Vec3 position;
		Vec3 scale;
		glm::quat rotation;
		Vec3 size;
		Vec3 offset;
	};
	BoxSource builtFrom{};
	const Entity *builtFor = nullptr; // null until built, and after a push-out
};
