#pragma once

#include "objects/ActorBehaviour.h"

#include <cstdint>

// Running away: waits until someone of the player's side comes within 7
// units, then runs off in one compass direction for good, passing through
// everything (the owner's collider is left out of collisions).
class FleeBehaviour : public ActorBehaviour {
public:
	static constexpr float kFleeSpeed = 10.0f;   // units per second
	static constexpr float kNoticeRange = 7.0f;  // world units
	static constexpr float kSearchRadius = 100.0f;
	static constexpr float kLeadDistance = 10.0f; // how far ahead the running point is kept

	// direction: a compass code (1 north, 2 east, 3 south, 4 west).
	FleeBehaviour(Actor *owner, uint32_t direction);

	void Begin() override;
	void Update(float dt) override;

	uint32_t directionCode;
	Vec3 direction;
	uint8_t fleeing = 0;
};
