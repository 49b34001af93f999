#pragma once

#include "objects/Prop.h"

#include <glm/gtc/quaternion.hpp>

// A wooden door that swings on a hinge at one edge of its tile. It follows
// the map's object groups: it opens by itself when its own group, or its
// lock's group, is enabled, and stays shut and locked while its lock's group
// is not. The hero opens an unlocked one by use and any one with the key;
// the map then remembers it open through the door's own group. A door the
// hero opened, or whose lock gave way, stays open while the map is loaded,
// even when the map had no room (or no group) to remember it. The base of
// the lock door, the black gate and the gate.
class PropDoor : public Prop {
public:
	static constexpr uint32_t kKind = 16;
	static constexpr uint8_t kFrozenLockGroup = 1; // the "enemies beaten" group
	static constexpr const char *kDoorSound = "sfx/door.wav";

	explicit PropDoor(uint32_t entityKind = kKind);

	void Start() override;
	void Update(float dt) override;

	// Swings open or shut; only when the state changes, or when forced.
	void SetOpen(bool value, bool force);
	// True without a lock, else while the lock's group is enabled.
	bool CanUnlock() const;
	// Whether the map's groups (or the hero) have the door open now.
	bool CanOpen() const;
	// Opened by the hero's hand or key: the map remembers it.
	void OpenByPlayer();

	bool IsLocked() const { return locked != 0; }
	bool IsOpen() const { return open != 0; }
	// Locked until the map's enemies are beaten.
	bool IsFrozen() const { return locked != 0 && lockGroup == kFrozenLockGroup; }
	uint8_t GetLockGroup() const { return lockGroup; }
	const glm::quat &GetClosedRotation() const { return closedRotation; }
	const glm::quat &GetTargetRotation() const { return targetRotation; }
	void AddLooks(std::vector<EntityLook> &looks) const override;

protected:
	// Loads the class's model and texture.
	virtual void LoadModel();

	glm::quat closedRotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
	glm::quat targetRotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
	uint8_t locked = 0;
	uint8_t open = 0;
	uint8_t lockGroup = 0;
	uint8_t frozenLock = 0;
	uint8_t keptOpen = 0; // opened by the hero or by its lock giving way
};

// Kinds 7, 16, 17 and 25.
bool IsDoorKind(uint32_t kind);
// -1 below 0, 1 above 0, else 0.
float SignOf(float x);
