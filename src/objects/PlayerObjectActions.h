#pragma once

#include <cstdint>

class Entity;
class MapEntity;
class Player;
struct MapObjectDef;

// What the hero does with the world's objects: takes pickups (a pose with
// the item in hand, then the weapon back), shows the prompt that fits what
// it touches, opens doors, hides in cupboards, reads scrolls, tends the
// fireplace, walks into huts, and the blows of the axe on trees, of anything
// held on grass, of the key, the fire sword and the electric sword. Kept
// apart from the hero's walking, fighting and leaving maps; it works on the
// player's own state and holds nothing.
class PlayerObjectActions {
public:
	static constexpr float kReholdSeconds = 1.1f; // the take pose, before the weapon is back in hand

	// Touching another map entity: pickups, then prompts and huts.
	static void Touch(Player &player, MapEntity &other);
	// The use of an object's entity: cupboard, door, scroll, fireplace.
	// False when the use ends here (a cupboard swinging open).
	static bool UseEntity(Player &player, MapObjectDef &object);
	// Hiding in a cupboard, each frame. True while the hero stays put.
	static bool UpdateHiding(Player &player);
	// Lets go of a talk or read target that is gone, far or behind.
	static void KeepUseTarget(Player &player);
	// The blows that act on objects; true when one of them handled the
	// blow, and then hit says whether it hit.
	static bool AttackObject(Player &player, MapEntity &target, bool &hit);
	// The notice, sound and pose of a tool taken.
	static void AnnounceTool(Player &player, uint32_t kind);

	// The accessors the hero's rules read; false for other entities.
	static bool IsCupboardOpen(const Entity *entity);
	static bool IsDoorLocked(const Entity *entity);
	static bool IsDoorOpened(const Entity *entity);
	static bool IsDoorFrozen(const Entity *entity);
	static bool IsObeliskDrained(const Entity *entity);

private:
	// Out of the cupboard and solid again.
	static void LeaveCupboard(Player &player);
};
