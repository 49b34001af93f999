#pragma once

#include "objects/Prop.h"

class ModelAnimation;

// A cupboard the hero hides in: it swings open and shut (with its creak and
// its bang) as the hero opens it, climbs in and comes out again. Its
// animations belong to its model.
class PropCupboard : public Prop {
public:
	static constexpr uint32_t kKind = 12;
	static constexpr const char *kOpenSound = "sfx/cupboard.wav";
	static constexpr const char *kShutSound = "sfx/cupboardshut.wav";

	PropCupboard() : Prop(kKind) {}

	void Start() override;
	// The map entity's step, then the door animation.
	void Update(float dt) override;

	// Plays the sound and the animation only when the state changes.
	void SetOpen(bool value);
	bool IsOpen() const { return open != 0; }

private:
	ModelAnimation *openAnimation = nullptr; // owned by the model's reader
	ModelAnimation *shutAnimation = nullptr;
	uint8_t open = 0;
};
