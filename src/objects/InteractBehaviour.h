#pragma once

#include "objects/ActorBehaviour.h"

// A behaviour that walks its owner up to a target, winds up and then does
// something there: the creatures' charges and strikes, and what map scripts
// have actors do. It runs through numbered phases (1 approach, 2 wind-up,
// 3 follow-through, 4 done) and every step is a virtual of its own, so a
// subclass changes only the part it needs. The target belongs to the scene;
// the pointer is dropped when that entity is freed.
class InteractBehaviour : public ActorBehaviour {
public:
	static constexpr float kDefaultReach = 1.4f;  // world units
	static constexpr float kDefaultWindUp = 0.1f; // seconds

	enum Phase : uint8_t {
		kPhaseApproach = 1,
		kPhaseWindUp = 2,
		kPhaseFollow = 3,
		kPhaseDone = 4,
	};

	// target may be null: the owner's target when the behaviour begins.
	InteractBehaviour(Actor *owner, MapEntity *target);

	// Takes the target (given, else the owner's) and begins; without one it
	// finishes at once.
	void Begin() override;
	// A behaviour that has begun enters its first phase.
	bool Decide() override { return true; }
	uint8_t TickPhase(float dt) override;
	void ForgetEntity(const Entity *entity) override;

	// Phase 1: walks toward the target; on reaching it, the OnReach phase.
	virtual uint8_t Approach(float dt);
	// The target is within reach; returns the next phase.
	virtual uint8_t OnReach();
	// Phase 2: stands still for the wind-up, then the Act phase.
	virtual uint8_t WindUp(float dt);
	// The deed itself; returns the next phase. Nothing here: done.
	virtual uint8_t Act() { return kPhaseDone; }
	// Phase 3: after the deed. Nothing here: done.
	virtual uint8_t Follow(float dt)
	{
		(void)dt;
		return kPhaseDone;
	}

	float reach = kDefaultReach;
	float windUp = kDefaultWindUp;
	MapEntity *targetEntity; // not owned
};
