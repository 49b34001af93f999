#pragma once

#include "objects/InteractBehaviour.h"

// A running attack: close in at the approach speed, crouch for the wind-up,
// then dash straight along the line to the target at the charge speed for the
// charge duration; whatever the dash runs into takes the contact damage.
class AIAttackChargeBehaviour : public InteractBehaviour {
public:
	// Speeds in units per second, reach in world units, duration in seconds.
	AIAttackChargeBehaviour(Actor *owner, float approachSpeed, float reach, float chargeSpeed, float chargeDuration);

	void Begin() override;
	uint8_t Act() override;
	uint8_t Follow(float dt) override;

	Vec3 chargeDirection = Vec3(0.0f, 0.0f, -1.0f);
	float approachSpeed;
	float chargeSpeed;
	float chargeDuration;
};
