#pragma once

#include "objects/FXParticles.h"

// The puff in which a beaten creature vanishes, or a townsperson turns.
class FXEvaporate : public FXParticles {
public:
	static constexpr uint8_t kCount = 5;
	static constexpr Vec3 kLaunchDrift = Vec3(0.0f, 0.0f, 0.0f);
	static constexpr const char *kSound = "sfx/evaporate.wav";
	static constexpr float kVolume = 1.0f;
	static constexpr float kShake = 1.0f;

	FXEvaporate() : FXParticles(kCount, "mats/evaporate.png", nullptr)
	{
		lifetime = 0.5f;
		startScale = 0.5f;
		growth = 1.3f;
		speed = 2.0f;
		spinRange = 6.0f;
	}

	void OnResume() override
	{
		FXParticles::OnResume();
		Burst(kLaunchDrift, kShake, kSound, kVolume);
	}
};
