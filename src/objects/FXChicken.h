#pragma once

#include "objects/FXPickup.h"

// A piece of chicken: a tenth of a kilogram more for the hero to carry. It
// turns slowly while it lies, and is refused while the collector carries
// all it can.
class FXChicken : public FXPickup {
public:
	static constexpr const char *kModel = "models/chicken.iqm";
	static constexpr const char *kTexture = "models/chook.png";
	static constexpr float kTurnRate = 1.0f; // radians per second about the vertical

	void Start() override;
	void Update(float dt) override;
	void LoadModel() override;
	bool CanCollect(Actor *candidate) override;
	void OnCollected() override;
};
