#pragma once

#include "objects/FXProjectile.h"
#include "objects/FXSpawner.h"

// The ice sword's bolt: the fireball's shape in dark ice, and harder.
class FXIceball : public FXProjectile {
public:
	static constexpr uint8_t kDamage = 10; // half hearts

	FXIceball() : FXProjectile("models/fireball.iqm", "mats/ice_dk.png", "sfx/strike_fire.wav", kFXKindExplosion) {}

	void Start() override
	{
		FXProjectile::Start();
		damage = kDamage;
	}
};
