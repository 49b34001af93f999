#pragma once

#include "objects/Prop.h"

// A bench.
class PropBench : public Prop {
public:
	static constexpr uint32_t kKind = 13;

	PropBench() : Prop(kKind) {}

	void Start() override;
};
