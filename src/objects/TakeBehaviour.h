#pragma once

#include "objects/InteractBehaviour.h"

// A script's taking: the actor goes to the player and takes what the player
// holds into its own hands (the hero's record is kept at once), then pauses
// for half a second. Empty hands give nothing. A player gone from the
// actor's scene ends it untouched. The player is not owned; the pointer is
// dropped when that entity is freed.
class TakeBehaviour : public InteractBehaviour {
public:
	static constexpr float kPauseSeconds = 0.5f;

	TakeBehaviour(Actor *owner, MapEntity *player);

	uint8_t TickPhase(float dt) override;
	uint8_t OnReach() override;
	uint8_t Follow(float dt) override;
};
