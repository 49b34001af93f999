#pragma once

#include "objects/Pickup.h"

// The dress: worn, not held; the hero strikes a pose instead of a blow.
class PickupDress : public Pickup {
public:
	static constexpr uint32_t kKind = 48;

	PickupDress() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
