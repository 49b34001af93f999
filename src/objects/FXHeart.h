#pragma once

#include "objects/FXPickup.h"

// A whole heart of healing. It is taken at full health too, but then gives
// nothing and makes no sound; it never lifts the hearts above the maximum.
class FXHeart : public FXPickup {
public:
	static constexpr const char *kModel = "models/heart.iqm";
	static constexpr const char *kTexture = "models/heart.png";
	static constexpr float kHeartDelay = 1.0f; // seconds before it can be taken
	static constexpr uint8_t kGain = 2;        // half hearts

	void Start() override;
	void LoadModel() override;
	void OnCollected() override;
};
