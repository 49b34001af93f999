#pragma once

#include "objects/Prop.h"

// A shelf against a wall.
class PropShelf : public Prop {
public:
	static constexpr uint32_t kKind = 11;

	PropShelf() : Prop(kKind) {}

	void Start() override;
};
