#pragma once

#include "objects/FXParticles.h"
#include "engine/collision/Collider.h"

// The burst of hearts around the hero as an attack starts. It carries a hit
// box of its own: whatever touches it is attacked in the hero's name.
class FXLove : public FXParticles {
public:
	static constexpr uint8_t kCount = 6;
	static constexpr Vec3 kLaunchDrift = Vec3(0.0f, 0.0f, 0.0f);
	static constexpr const char *kSound = "sfx/explosion.wav";
	static constexpr float kVolume = 1.0f;
	static constexpr float kShake = 3.0f;
	static constexpr Vec3 kBoxSize = Vec3(3.0f, 3.0f, 3.0f);
	static constexpr Vec3 kBoxOffset = Vec3(0.0f, 1.0f, 0.0f);
	static constexpr uint8_t kDamage = 4; // half hearts

	FXLove() : FXParticles(kCount, "mats/love.png", nullptr)
	{
		lifetime = 0.5f;
		startScale = 0.4f;
		growth = 1.0f;
		speed = 3.0f;
		spinRange = 0.0f;
		MakeCollider(kBoxSize, kBoxOffset, Collider::kModeTrigger, 1.0f);
		damage = kDamage;
	}

	void OnResume() override
	{
		FXParticles::OnResume();
		Burst(kLaunchDrift, kShake, kSound, kVolume);
	}
};
