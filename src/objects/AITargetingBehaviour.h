#pragma once

#include "engine/core/Random.h"
#include "objects/ActorBehaviour.h"

#include <array>
#include <memory>

// The combat brain of a creature: idles (roaming or chasing) until a foe is
// in view and the fight's one attack token is free, then winds up and attacks
// through its sub-behaviours, chills or reacts to being hit, and walks home
// when it strays past its leash. It owns up to six sub-behaviours, one per
// state; it alone begins and updates them, the actor never sees them. Hostile
// creatures take turns through the actor registry: holding the token is
// being listed there.
class AITargetingBehaviour : public ActorBehaviour {
public:
	// The states, which are also the phase bytes and the slot indexes.
	static constexpr uint8_t kStateIdle = 0;
	static constexpr uint8_t kStatePreAttack = 1;
	static constexpr uint8_t kStateAttack = 2;
	static constexpr uint8_t kStateChill = 3;
	static constexpr uint8_t kStateReturn = 4;
	static constexpr uint8_t kStateHitReact = 5;
	static constexpr uint8_t kStateCount = 6;

	static constexpr float kThinkSpread = 0.3f;        // seconds either side of the think time
	static constexpr float kFirstAttackDelay = 0.5f;   // seconds before a new creature may attack
	static constexpr float kMaxAttackTime = 4.0f;      // seconds of attacking before the leash counts
	static constexpr float kDefaultHitReactStep = 0.5f;
	static constexpr float kIdleRetarget = 0.1f;       // seconds a target is kept before looking again
	static constexpr float kHomeReach = 2.0f;          // world units: home is reached
	static constexpr float kReturnSpeedFactor = 1.0f;  // of the owner's move speed

	// idle and attack are required in play; either may be null (the state
	// then does nothing). Ranges in world units, think time in seconds.
	AITargetingBehaviour(Actor *owner, std::unique_ptr<ActorBehaviour> idle, std::unique_ptr<ActorBehaviour> attack,
		float attackRange, float thinkTime, float leash);
	~AITargetingBehaviour() override;

	void Begin() override;
	uint8_t TickPhase(float dt) override;
	// The sub-behaviour of the current state walks; in the return state the
	// way home; otherwise no movement.
	void MoveTowards(Vec3 &out, float dt) override;
	// The attack was stopped: hit reaction every so often, else a chill.
	void OnEnd() override;
	bool OnStruck(Actor *attacker) override;
	void ForgetEntity(const Entity *entity) override;

	// Puts a behaviour in a slot and frees the one it held. The behaviour it
	// already holds stays; an index past the last slot is refused (false) and
	// the behaviour freed.
	bool SetSubBehaviour(size_t index, std::unique_ptr<ActorBehaviour> behaviour);
	ActorBehaviour *GetSubBehaviour(size_t index) const;
	uint8_t GetState() const { return active; }

	float chillTimer = 0.0f;
	float thinkTimer = 0.0f;
	float thinkSpread = kThinkSpread;
	float firstAttackDelay = kFirstAttackDelay;
	float hitReactAccumulator = 0.0f;
	float attackRange;
	float thinkTime;
	float leash;
	float maxAttackTime = kMaxAttackTime;
	float hitReactStep = kDefaultHitReactStep;
	float viewAlignment = 0.0f; // the cone of the attack test
	Random generator;

private:
	uint8_t EnterIdle();
	// Pre-attack or attack: takes the token and begins that slot.
	uint8_t EnterAttack(uint8_t attackState);
	uint8_t EnterHitReact(MapEntity *foe);
	// Walks home: the return state.
	uint8_t EnterReturn();
	uint8_t TickIdle(float dt);
	uint8_t TickAttack(float dt);
	uint8_t TickHitReact(float dt);
	bool IsBeyondLeash() const;
	// Updates a sub-behaviour; true when there is one and it has finished.
	bool UpdateSub(uint8_t slot, float dt);
	// Changes state from outside the per-frame step.
	void SetState(uint8_t next);

	std::array<std::unique_ptr<ActorBehaviour>, kStateCount> subs;
};
