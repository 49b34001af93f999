#pragma once

#include "objects/Actor.h"

// The fire wizard: keeps his distance on high ground, follows the player with
// his eyes far and wide, and throws ice. Only the fire sword hurts him, and
// each of its blows takes exactly one heart, until he is weak enough for the
// sword to burn him down at once. A blow without a striking actor (a hurting
// wall) does nothing to him.
class ActorFireWizard : public Actor {
public:
	static constexpr uint32_t kKind = 55;
	static constexpr uint32_t kHeldKind = 47;    // the ice sword
	static constexpr uint32_t kWeaknessKind = 45; // the fire sword
	static constexpr float kViewAlignment = -0.4f;

	ActorFireWizard();
	void LoadModel() override;
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override;
	bool AcceptsBlowFrom(Actor *attacker) override;
};
