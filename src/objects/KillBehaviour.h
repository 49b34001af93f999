#pragma once

#include "objects/InteractBehaviour.h"

// A script's killing: the actor goes to its target, strikes, and a moment
// later the target falls on the spot and its map group opens. A target that
// is gone from the actor's scene ends it untouched. The target belongs to
// the scene; the pointer is dropped when that entity is freed.
class KillBehaviour : public InteractBehaviour {
public:
	static constexpr float kBlowDelay = 0.1f; // seconds from the swing to the fall

	KillBehaviour(Actor *owner, MapEntity *target);

	void Begin() override;
	uint8_t TickPhase(float dt) override;
	uint8_t OnReach() override;
	uint8_t Follow(float dt) override;
};
