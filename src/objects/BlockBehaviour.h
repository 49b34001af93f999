#pragma once

#include "objects/ActorBehaviour.h"

// A script's guard: the actor stands its ground as a solid others are pushed
// out of, turns toward whoever of the player's side or the townsfolk comes
// near, and strikes at most once a second at one within reach. Pushing never
// moves it. It never ends by itself; the script does not wait for it.
class BlockBehaviour : public ActorBehaviour {
public:
	static constexpr float kSearchRadius = 15.0f;  // world units
	static constexpr float kStrikeReach = 2.0f;    // world units
	static constexpr float kStrikeInterval = 1.0f; // seconds between strikes
	static constexpr uint8_t kWatchedFactions = kFactionPlayer | kFactionTownsfolk;

	explicit BlockBehaviour(Actor *owner);

	// Makes the actor solid (when it has a collider) and keeps its spot.
	void Begin() override;
	void Update(float dt) override;
	// Standing still: no walking velocity at all.
	void MoveTowards(Vec3 &out, float dt) override;

	float strikeTimer = kStrikeInterval;
	Vec3 heldPosition;
};
