#pragma once

#include "objects/Prop.h"

// A hut the hero walks into: its map object's name is the small map inside. The one named "hutstore" is the shop.
class PropHut : public Prop {
public:
	static constexpr uint32_t kKind = 9;

	PropHut() : Prop(kKind) {}

	void Start() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;

private:
	// The hut named "hutstore" wears the shop's model.
	bool IsStore() const;
};
