#pragma once

#include "objects/FXParticles.h"

// A single puff of dust under a footstep.
class FXStep : public FXParticles {
public:
	static constexpr uint8_t kCount = 1;
	static constexpr Vec3 kLaunchDrift = Vec3(0.0f, 0.3f, 0.0f);

	FXStep() : FXParticles(kCount, "mats/cloud.png", nullptr)
	{
		lifetime = 0.5f;
		startScale = 0.5f;
		growth = -1.0f;
		speed = 3.0f;
		spinRange = 5.0f;
	}

	void OnResume() override
	{
		FXParticles::OnResume();
		Burst(kLaunchDrift, 0.0f, nullptr, 0.0f);
	}
};
