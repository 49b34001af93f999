#pragma once

#include "objects/Pickup.h"

// The electric sword, which wakes obelisks.
class PickupSwordElectric : public Pickup {
public:
	static constexpr uint32_t kKind = 46;

	PickupSwordElectric() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
