#pragma once

#include "objects/FXParticles.h"

// The crackling burst where an electric bolt ends.
class FXElectroBlast : public FXParticles {
public:
	static constexpr uint8_t kCount = 3;
	static constexpr Vec3 kLaunchDrift = Vec3(0.0f, 0.0f, 0.0f);
	static constexpr const char *kSound = "sfx/explosion.wav";
	static constexpr float kVolume = 0.5f;
	static constexpr float kShake = 3.0f;

	FXElectroBlast() : FXParticles(kCount, "mats/electroblast.png", nullptr)
	{
		lifetime = 0.5f;
		startScale = 2.0f;
		growth = 2.5f;
		speed = 3.0f;
		spinRange = 3.0f;
	}

	void OnResume() override
	{
		FXParticles::OnResume();
		Burst(kLaunchDrift, kShake, kSound, kVolume);
	}
};
