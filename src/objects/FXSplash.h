#pragma once

#include "objects/FXEntity.h"

// The ring of a fall into water: a flat wave that widens and flattens for
// 0.2 s. It hits nothing. Its sound belongs to the first start of each
// instance in a scene, so only the first three splashes of a scene are
// heard; the pool's later splashes are silent.
class FXSplash : public FXEntity {
public:
	static constexpr const char *kModel = "models/splashwave.iqm";
	static constexpr const char *kShader = "shaders/particle.dsh";
	static constexpr const char *kSound = "sfx/splash.wav";
	static constexpr float kVolume = 0.1f;

	FXSplash() : FXSplash("mats/wave.png") {}

	// The sound, then the ring model (made once), standing upright.
	void Start() override;
	// Widens and flattens the ring with its age.
	void Update(float dt) override;

	const char *GetTexture() const { return texture; }

protected:
	explicit FXSplash(const char *texture) : texture(texture) {}

private:
	const char *texture;
};
