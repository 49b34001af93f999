#pragma once

#include "objects/FXParticles.h"

// Clippings of cut grass: thrown up, then falling back.
class FXGrass : public FXParticles {
public:
	static constexpr uint8_t kCount = 6;
	static constexpr Vec3 kLaunchDrift = Vec3(0.0f, 10.0f, 0.0f);
	static constexpr float kDriftFall = 50.0f; // the drift's upward speed lost per second

	FXGrass() : FXParticles(kCount, "mats/clipping.png", nullptr)
	{
		lifetime = 1.0f;
		startScale = 0.5f;
		growth = 0.0f;
		speed = 5.0f;
		spinRange = 1.0f;
		renderMode = 0; // drawn with the depth test
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
