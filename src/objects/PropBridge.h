#pragma once

#include "objects/Prop.h"

// A plank over water: it lies at the first level's height, its board and collision box lifted above the water so walkers cross on top.
class PropBridge : public Prop {
public:
	static constexpr uint32_t kKind = 19;

	PropBridge() : Prop(kKind) {}

	void Start() override;
};
