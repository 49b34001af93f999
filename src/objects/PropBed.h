#pragma once

#include "objects/Prop.h"

// A bed.
class PropBed : public Prop {
public:
	static constexpr uint32_t kKind = 14;

	PropBed() : Prop(kKind) {}

	void Start() override;
};
