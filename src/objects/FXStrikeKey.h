#pragma once

#include "objects/FXStrikeEntity.h"

// The swing of the key, which also opens locked doors it touches.
class FXStrikeKey : public FXStrikeEntity {
public:
	static constexpr FXStrikeValues kValues = {1.35f, 0.5f, 1, 1.5f, "sfx/strike_key.wav", 0, 1.0f};

	FXStrikeKey() : FXStrikeEntity(kValues) {}
};
