#pragma once

#include "objects/FXEntity.h"

#include <cstdint>

class TileMap;

// A bolt shot by a magic sword: it flies straight along its shooter's
// facing at 15 units a second, spinning about its line of flight, attacks
// what it touches in the shooter's name and bursts (an explosion or an
// electric blast) where it touches something or where the ground ahead
// rises above it. Grass does not stop it: it cuts the grass and flies on.
// Without a live shooter it has no map to read and flies through walls
// until it touches something or its ten seconds are up.
class FXProjectile : public FXEntity {
public:
	FXProjectile(const char *modelName, const char *textureName, const char *soundName, uint32_t burstKind);

	// The hit box and the model, made once; size, damage and lifetime.
	void Start() override;
	// The launch sound, half a unit up, and the shooter's map.
	void OnResume() override;
	void Update(float dt) override;
	void OnCollide(Entity *other) override;

	const char *modelName;
	const char *textureName;
	const char *soundName;
	uint32_t burstKind;
	TileMap *map = nullptr; // the shooter's, not owned; null when it was not a live actor

private:
	// Switches the bolt off and spawns its burst at the point.
	void Burst(const Vec3 &point);
};
