#pragma once

#include "objects/Pickup.h"

// The ice sword: the fire sword's blade, frozen.
class PickupSwordIce : public Pickup {
public:
	static constexpr uint32_t kKind = 47;

	PickupSwordIce() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
