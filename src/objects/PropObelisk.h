#pragma once

#include "objects/PropSwitch.h"

// A stone obelisk: a switch that only the electric sword turns on, and then
// for good (the sword's power drains into it). While on it slowly turns.
// Touching it does nothing.
class PropObelisk : public PropSwitch {
public:
	static constexpr uint32_t kKind = 20;
	static constexpr float kTurnRate = 30.0f; // radians per second while on

	PropObelisk() : PropSwitch(kKind) {}

	void Update(float dt) override;
	void OnCollide(Entity *other) override { (void)other; }
	void LoadAppearance() override;

protected:
	Appearance Look() const override;
};
