#pragma once

#include "objects/Prop.h"

// A flat roof at the fifth level's height, to walk on.
class PropRoof : public Prop {
public:
	static constexpr uint32_t kKind = 59;

	PropRoof() : Prop(kKind) {}

	void Start() override;
};
