#pragma once

#include "objects/FXProjectile.h"
#include "objects/FXSpawner.h"

// The fire sword's bolt: a burning ball that explodes where it ends.
class FXFireball : public FXProjectile {
public:
	static constexpr uint8_t kDamage = 6; // half hearts

	FXFireball() : FXProjectile("models/fireball.iqm", "mats/fire.png", "sfx/strike_fire.wav", kFXKindExplosion) {}

	void Start() override
	{
		FXProjectile::Start();
		damage = kDamage;
	}
};
