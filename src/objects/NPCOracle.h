#pragma once

#include "objects/NPCActor.h"

// The oracle: a robed elder of the town with a voice of his own, who can
// join the hero's party like the other townsfolk.
class NPCOracle : public NPCActor {
public:
	static constexpr uint32_t kKind = 27;
	static constexpr float kScale = 0.35f;

	NPCOracle();

	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
};
