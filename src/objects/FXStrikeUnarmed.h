#pragma once

#include "objects/FXStrikeEntity.h"

// The swing of a bare hand or any item that is not a weapon: it pushes but does no harm.
class FXStrikeUnarmed : public FXStrikeEntity {
public:
	static constexpr FXStrikeValues kValues = {0.7f, 0.5f, 0, 0.8f, "sfx/strike_key.wav", 0, 1.0f};

	FXStrikeUnarmed() : FXStrikeEntity(kValues) {}
};
