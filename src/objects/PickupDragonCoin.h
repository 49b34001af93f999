#pragma once

#include "objects/Pickup.h"

// A dragon coin: found once per game (its flag is its object's name) and counted on the progress screen.
class PickupDragonCoin : public Pickup {
public:
	static constexpr uint32_t kKind = 37;

	PickupDragonCoin() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
