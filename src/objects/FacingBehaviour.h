#pragma once

#include "objects/ActorBehaviour.h"

// The behaviour of a townsperson placed with the "facing" line: it looks out
// for the player, turns to face the player while within reach and waves once
// each time the player comes near, then goes back to idling. It never walks.
// The player it watches is someone else's; the pointer is dropped when that
// entity is freed.
class FacingBehaviour : public ActorBehaviour {
public:
	static constexpr float kSearchInterval = 1.0f; // seconds between looks for the player
	static constexpr float kSearchRadius = 60.0f;  // world units
	static constexpr float kWaveRange = 8.0f;      // the player is "near" within this
	static constexpr float kWaveTime = 1.0f;       // seconds of waving
	static constexpr uint8_t kPlayerMask = 1;      // faction bits of what it looks for

	explicit FacingBehaviour(Actor *owner);

	// Forgets the watched entity; stays in its state, so the actor begins it
	// again on its next update and it keeps looking.
	void Begin() override;
	void Update(float dt) override;
	void ForgetEntity(const Entity *entity) override;

	Entity *targetEntity = nullptr; // not owned
	float searchTimer = 0.0f;
	float waveTimer = 0.0f;
	uint8_t inRange = 0;
};
