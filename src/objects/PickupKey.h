#pragma once

#include "objects/Pickup.h"

// The key: struck against a door, it opens it, locked or not.
class PickupKey : public Pickup {
public:
	static constexpr uint32_t kKind = 42;

	PickupKey() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
