#pragma once

#include "objects/Pickup.h"

// The fire sword, which burns wooden furniture.
class PickupSwordFire : public Pickup {
public:
	static constexpr uint32_t kKind = 45;

	PickupSwordFire() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
