#pragma once

#include "objects/PropBlockRaiseLower.h"

// A rock block that sinks while its group is on.
class PropBlockLower : public PropBlockRaiseLower {
public:
	static constexpr uint32_t kKind = 5;

	PropBlockLower() : PropBlockRaiseLower(kKind, 0) {}
};
