#pragma once

#include "objects/FXStrikeEntity.h"

// The swing of the sword and the Sword of Quillowen.
class FXStrikeSword : public FXStrikeEntity {
public:
	static constexpr FXStrikeValues kValues = {1.3f, 1.0f, 1, 1.0f, "sfx/strsw%d.wav", 3, 0.2f};

	FXStrikeSword() : FXStrikeEntity(kValues) {}
};
