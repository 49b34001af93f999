#pragma once

#include "objects/PushableProp.h"

// A round rock: once pushed it rolls on, turning as it goes, until it runs
// into something solid or cannot move; a diagonal slope turns it downhill,
// and creatures in its way are knocked aside (harder on harder settings).
// It sits on water rather than in it.
class PropBoulder : public PushableProp {
public:
	static constexpr uint32_t kKind = 8;
	static constexpr float kStuckSeconds = 0.1f; // without moving before a roll ends

	PropBoulder();

	void Start() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void OnCollide(Entity *other) override;
	void UpdateAnimation(float dt) override;
	void OnEnterTile() override;

	// The blow a rolling boulder deals at a difficulty (0 to 2).
	static uint8_t StrikePowerFor(int difficulty);

	Vec3 previousPosition = Vec3(0.0f);
	float stuckTimer = 0.0f; // seconds

private:
	// Turns the model by a roll of the distance along the way it moves.
	void Roll(float distance);
};
