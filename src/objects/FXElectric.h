#pragma once

#include "objects/FXProjectile.h"
#include "objects/FXSpawner.h"

// The electric sword's bolt, which ends in an electric blast.
class FXElectric : public FXProjectile {
public:
	FXElectric() : FXProjectile("models/electric.iqm", "mats/electric.png", "sfx/strike_electric.wav", kFXKindElectroBlast) {}
};
