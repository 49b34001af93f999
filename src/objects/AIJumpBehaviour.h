#pragma once

#include "objects/ActorBehaviour.h"

// A hop on the spot toward the target before an attack: the owner jumps,
// plays "Hit1" and squawks, facing the target, for the duration.
class AIJumpBehaviour : public ActorBehaviour {
public:
	static constexpr float kJumpStrength = 0.6f;
	static constexpr float kAnimationSpeed = 30.0f; // frames per second

	// Seconds.
	AIJumpBehaviour(Actor *owner, float duration);

	void Begin() override;
	void Update(float dt) override;

	float duration;
	float timer = 0.0f;
};
