#pragma once

#include "engine/core/Random.h"
#include "objects/ActorBehaviour.h"

// Idle wandering: from tile to neighbouring tile of the same level, pausing
// a while at each, and straight home when the owner has strayed. Pauses are
// drawn around a mean with a spread.
class RoamBehaviour : public ActorBehaviour {
public:
	static constexpr float kHomeRadius = 6.0f; // world units roamed around home

	// Seconds.
	RoamBehaviour(Actor *owner, float meanPause, float pauseSpread);

	void Begin() override;
	bool Tick(float dt) override;
	void OnTouch(Entity *other) override;
	// A neighbour of the owner's tile on the same level, or home when far.
	void PickPoint();

	float meanPause;
	float pauseSpread;
	float pauseTimer = 0.0f;
	Vec3 lastPosition = Vec3(0.0f);
	Random generator;
};
