#pragma once

#include "objects/Pickup.h"

// The legendary sword, which looks like the plain one.
class PickupSwordQuillowen : public Pickup {
public:
	static constexpr uint32_t kKind = 49;

	PickupSwordQuillowen() : Pickup(kKind) {}

	void Start() override { StartWithModel(); }
};
