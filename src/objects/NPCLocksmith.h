#pragma once

#include "objects/NPCActor.h"

// The locksmith, a lean townsman in the party's colours who can join the
// hero and fight beside him.
class NPCLocksmith : public NPCActor {
public:
	static constexpr uint32_t kKind = 30;
	static constexpr float kScale = 0.33f;

	NPCLocksmith();

	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
};
