#pragma once

#include "objects/ActorBehaviour.h"

// Side-stepping: runs to a point beside the target (its left or right, two
// units out, whichever side is nearer), and gives up once it is beside the
// target or stuck. Creatures use it to dodge after being hit.
class FlankBehaviour : public ActorBehaviour {
public:
	static constexpr float kSideDistance = 2.0f;  // world units beside the target
	static constexpr float kStuckTime = 0.3f;     // seconds without moving before it gives up
	static constexpr float kBesideAlignment = 0.1f;

	FlankBehaviour(Actor *owner, float flankSpeed);
	~FlankBehaviour() override = default;

	void Begin() override;
	bool Tick(float dt) override;
	void OnTouch(Entity *other) override;
	// The flank point of side 0 (left) or 1 (right).
	Vec3 FlankPoint(uint8_t which);

	float flankSpeed;
	float stuckTimer = 0.0f;
	Vec3 lastPosition = Vec3(0.0f);
	uint8_t side = 0;

private:
	void ChooseSide();
};
