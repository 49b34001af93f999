#pragma once

#include "objects/Prop.h"

// Scenery whose model and texture the map names ("model" and "texture"
// lines, whose values index the map's message table): a well, a cart, a
// statue. Nothing touches, pushes or hurts it. Without both names it logs
// which is missing, draws nothing and stays a solid box.
class ModelProp : public Prop {
public:
	static constexpr uint32_t kKind = 63;

	ModelProp() : Prop(kKind) {}

	void Start() override;
};
