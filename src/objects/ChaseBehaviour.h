#pragma once

#include "objects/ActorBehaviour.h"

// Idle watching: walks toward a hostile target while it is in view within the
// chase range, and back home otherwise. It never finishes by itself.
class ChaseBehaviour : public ActorBehaviour {
public:
	static constexpr float kTargetHold = 3.0f; // seconds a target is kept before looking again

	ChaseBehaviour(Actor *owner, float chaseRange);

	void Begin() override;
	void Update(float dt) override;

	float chaseRange;
	float viewAlignment = 0.0f;
};
