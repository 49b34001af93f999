#pragma once

#include "objects/Pickup.h"

// The plain sword.
class PickupSword : public Pickup {
public:
	static constexpr uint32_t kKind = 43;

	PickupSword() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
