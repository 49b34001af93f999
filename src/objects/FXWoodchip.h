#pragma once

#include "objects/FXParticles.h"

// Chips of a struck tree: thrown up, then falling back.
class FXWoodchip : public FXParticles {
public:
	static constexpr uint8_t kCount = 10;
	static constexpr Vec3 kLaunchDrift = Vec3(0.0f, 10.0f, 0.0f);
	static constexpr float kDriftFall = 50.0f; // the drift's upward speed lost per second

	FXWoodchip() : FXParticles(kCount, "mats/woodchip.png", nullptr)
	{
		lifetime = 0.5f;
		startScale = 0.8f;
		growth = 0.0f;
		speed = 5.0f;
		spinRange = 1.0f;
	}

	void OnResume() override
	{
		FXParticles::OnResume();
		Burst(kLaunchDrift, 0.0f, nullptr, 0.0f);
	}

	void Update(float dt) override
	{
		FXParticles::Update(dt);
		drift.y -= dt * kDriftFall;
	}
};
