#pragma once

#include "objects/PropBlockRaiseLower.h"

// A rock block that stays sunk until its group comes on.
class PropBlockRaise : public PropBlockRaiseLower {
public:
	static constexpr uint32_t kKind = 6;

	PropBlockRaise() : PropBlockRaiseLower(kKind, 1) {}
};
