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
	// The model and texture its lines name, when both are there.
	void AddLooks(std::vector<EntityLook> &looks) const override;

private:
	// The model and texture its lines name; null for a missing one.
	void FindNames(const char *&modelName, const char *&textureName) const;
};
