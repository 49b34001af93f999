#pragma once

#include "objects/InteractBehaviour.h"

// A melee attack: walk up to the target, raise the weapon for the wind-up
// ("StrikeFore" held at its first frame), swing, and stand for half a second.
class AIAttackStrikeBehaviour : public InteractBehaviour {
public:
	static constexpr float kRecoverTime = 0.5f; // seconds standing after the swing

	// reach in world units, windUp in seconds.
	AIAttackStrikeBehaviour(Actor *owner, float reach, float windUp);

	uint8_t OnReach() override;
	uint8_t Act() override;
	uint8_t Follow(float dt) override;
};
