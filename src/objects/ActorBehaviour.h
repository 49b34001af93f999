#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>

class Actor;
class Entity;
class MapEntity;

// Faction bytes of the world's entities.
constexpr uint8_t kFactionPlayer = 1;
constexpr uint8_t kFactionTownsfolk = 2;
constexpr uint8_t kFactionHostile = 4;

// True when exactly one of the two faction bytes is the hostile side: only
// then may one hurt the other.
bool IsHostile(uint8_t a, uint8_t b);

// States of a behaviour.
enum ActorBehaviourState : uint32_t {
	kBehaviourNew = 0,      // not begun yet
	kBehaviourRunning = 1,  // begun; the actor updates it
	kBehaviourFinished = 2, // done; the actor pops it (and 2 and above)
};

// A number that names one behaviour for as long as the program runs; 0 names
// none. A map script that hands a behaviour to an actor keeps its handle,
// not the pointer, because the actor frees the behaviour once it is done.
using BehaviourHandle = uint32_t;
constexpr BehaviourHandle kNoBehaviour = 0;

// True when the behaviour of that handle has finished, has been taken off its
// actor's stack, or no longer exists (freed behaviours count as finished).
// Reads no freed memory: the handle is looked up among the living behaviours.
bool IsBehaviourFinished(BehaviourHandle handle);

// One unit of an actor's conduct: roaming, chasing, fleeing, following,
// walking somewhere for a script, facing the player. An actor keeps a stack
// of them, runs only the top one, and owns every behaviour on its stack: it
// frees them when they finish, when the stack is replaced and when it goes.
// The base gives the shared parts: beginning, the per-frame decide/tick loop
// with an optional timeout, target acquisition through a view cone, the
// hostile-target test and walking toward a target point. A behaviour never
// owns its owner, nor the entities it looks at.
class ActorBehaviour {
public:
	static constexpr float kDefaultRange = 10.0f;     // view range, world units
	static constexpr float kWalkGain = 40.0f;         // wanted speed per unit of distance left
	static constexpr float kDropProbe = 1.0f;         // how far ahead a careful walker looks
	static constexpr float kDropLimit = 0.5f;         // a fall deeper than this is refused

	explicit ActorBehaviour(Actor *owner);
	virtual ~ActorBehaviour();
	ActorBehaviour(const ActorBehaviour &) = delete;
	ActorBehaviour &operator=(const ActorBehaviour &) = delete;

	// Takes the owner's walking speed, decides, and starts running.
	virtual void Begin();
	// The per-frame loop: tick while active, decide when not; dt in seconds.
	virtual void Update(float dt);
	// Whether to become active now; the base never does.
	virtual bool Decide();
	// One frame of the active work; false ends the activity.
	virtual bool Tick(float dt);
	// The phase of a behaviour that runs through numbered steps: the byte it
	// returns becomes active (0 inactive), and a change of it restarts the
	// phase time. The base turns Tick into 0 or 1.
	virtual uint8_t TickPhase(float dt) { return Tick(dt) ? 1 : 0; }
	// The owner's target, refreshed with the nearest foe in view unless a
	// target is held for less than limit seconds. May be null.
	virtual MapEntity *AcquireTarget(float limit);
	// The owner's target when it is on the other side, else null.
	virtual MapEntity *GetHostileTarget();
	// The wanted walking velocity toward the target point (zero when there is
	// none, when reached, or when a careful walker would drop).
	virtual void MoveTowards(Vec3 &out, float dt);
	// The actor stops this behaviour.
	virtual void OnEnd() {}
	// The owner was struck but stands; true when the behaviour reacted.
	virtual bool OnStruck(Actor *attacker);
	// The owner touched another entity.
	virtual void OnTouch(Entity *other) { (void)other; }
	virtual void Finish() { SetDone(); }
	// Scales the owner's walk; 1 for the base.
	virtual float GetSpeedFactor() { return 1.0f; }
	// The entity is about to be freed: drop every pointer to it. The base
	// holds none.
	virtual void ForgetEntity(const Entity *entity) { (void)entity; }

	// One frame of a timed act: the owner keeps facing a hostile target while
	// timer (seconds) runs down by dt; finishes once it is spent.
	void FaceFoeWhileTiming(float &timer, float dt);
	void SetDone() { state = kBehaviourFinished; }
	bool IsFinished() const { return state >= kBehaviourFinished; }
	bool IsRunning() const { return state == kBehaviourRunning; }
	BehaviourHandle GetHandle() const { return handle; }
	// The infinite point means "no target point".
	bool HasTargetPoint() const;
	void ClearTargetPoint();
	// True once the owner has let go of it (popped or replaced); it is then
	// finished for whoever waits on it, even before it is freed.
	bool IsReleased() const { return released != 0; }

	Actor *owner; // not owned
	Vec3 targetPoint;
	float speed;             // units per second; 0: never moves the owner
	float phaseTime = 0.0f;  // seconds since active last changed
	float timeout = 0.0f;    // counts down while positive; its end drops active
	uint8_t active = 0;      // the phase: 0 inactive
	uint32_t state = kBehaviourNew;
	float range = kDefaultRange;
	float minAlignment = 0.0f; // least dot of the owner's forward with a target's direction
	uint8_t avoidDrops = 0;

private:
	friend class BehaviourStack;

	BehaviourHandle handle;
	uint8_t released = 0;
};
