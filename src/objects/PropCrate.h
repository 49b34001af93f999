#pragma once

#include "objects/PushableProp.h"

// A wooden crate: one tile a push, quick to slide, floating half sunk in
// water, stopped by anything it runs into.
class PropCrate : public PushableProp {
public:
	static constexpr uint32_t kKind = 2;
	static constexpr float kWaterFloor = -0.5f; // world units; where it floats

	PropCrate();

	void Start() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
};
