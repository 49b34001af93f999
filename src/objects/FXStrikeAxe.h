#pragma once

#include "objects/FXStrikeEntity.h"

// The swing of the axe: a wider, heavier blow.
class FXStrikeAxe : public FXStrikeEntity {
public:
	static constexpr FXStrikeValues kValues = {1.8f, 0.8f, 2, 1.2f, "sfx/straxe%d.wav", 3, 0.3f};

	FXStrikeAxe() : FXStrikeEntity(kValues) {}
};
