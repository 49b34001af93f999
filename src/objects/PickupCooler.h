#pragma once

#include "objects/Pickup.h"

// A bigger cooler: the hero carries more chicken. Found once per game, like the coins.
class PickupCooler : public Pickup {
public:
	static constexpr uint32_t kKind = 39;

	PickupCooler() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
