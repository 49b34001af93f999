#pragma once

#include "objects/Prop.h"

// A low wooden table; a scroll may lie on it.
class PropTable : public Prop {
public:
	static constexpr uint32_t kKind = 10;

	PropTable() : Prop(kKind) {}

	void Start() override;
};
