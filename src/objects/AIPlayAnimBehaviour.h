#pragma once

#include "objects/ActorBehaviour.h"

#include <cstdint>

// A short show before an attack: an animation of the owner's table and one of
// its voices, facing the target, for the duration.
class AIPlayAnimBehaviour : public ActorBehaviour {
public:
	static constexpr float kAnimationSpeed = 30.0f; // frames per second

	// animation: an index of the actor's table; soundSet: one of its four
	// voices; duration in seconds; walkSpeed in units per second.
	AIPlayAnimBehaviour(Actor *owner, uint32_t animation, uint32_t soundSet, float duration, float walkSpeed);

	void Begin() override;
	void Update(float dt) override;

	uint32_t animation;
	uint32_t soundSet;
	float duration;
	float timer = 0.0f;
	float walkSpeed;
};
