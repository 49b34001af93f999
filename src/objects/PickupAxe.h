#pragma once

#include "objects/Pickup.h"

// The axe, which fells trees.
class PickupAxe : public Pickup {
public:
	static constexpr uint32_t kKind = 44;

	PickupAxe() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
