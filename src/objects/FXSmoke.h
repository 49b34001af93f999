#pragma once

#include "objects/FXParticles.h"

// Smoke rising from the embers of a fireplace.
class FXSmoke : public FXParticles {
public:
	static constexpr uint8_t kCount = 8;
	static constexpr Vec3 kLaunchDrift = Vec3(0.0f, 4.0f, 0.0f);

	FXSmoke() : FXParticles(kCount, "mats/smoke.png", nullptr)
	{
		lifetime = 1.0f;
		startScale = 0.9f;
		growth = -0.5f;
		speed = 0.7f;
		spinRange = 5.0f;
	}

	void OnResume() override
	{
		FXParticles::OnResume();
		Burst(kLaunchDrift, 0.0f, nullptr, 0.0f);
	}
};
