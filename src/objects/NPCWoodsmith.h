#pragma once

#include "objects/NPCActor.h"

// The woodsmith, a burly townsman in the party's colours who can join the
// hero and fight beside him.
class NPCWoodsmith : public NPCActor {
public:
	static constexpr uint32_t kKind = 29;
	static constexpr float kScale = 0.35f;

	NPCWoodsmith();

	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
};
