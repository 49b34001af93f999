#pragma once

#include "engine/render/Material.h"
#include "objects/ActorChook.h"

// The chook bomb: a sooty hen whose fuse is lit when it attacks. The fuse
// burns four seconds, blinking faster near the end, and then it explodes;
// any blow or a touch of the player explodes it at once. It explodes once:
// a spent fuse is never lit again.
class ActorChookBomb : public ActorChook {
public:
	static constexpr uint32_t kKind = 57;
	static constexpr float kFuseTime = 4.0f;       // seconds from lighting to the bang
	static constexpr float kSlowBlink = 0.25f;     // half-period of the blink, seconds
	static constexpr float kFastBlink = 0.1f;      // ... in the last second
	static constexpr float kSpentFuse = -1.0f;
	static constexpr float kBlastDeathDelay = 0.01f;
	static constexpr const char *kBlinkTexture = "models/chook2.png";

	ActorChookBomb();

	void SetupBehaviours() override;
	void Update(float dt) override;
	// Any blow explodes it; the blow counts as landed.
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override;
	void OnCollide(Entity *other) override;
	void Explode();

	float fuse = 0.0f; // seconds left; 0 unlit, negative spent
	uint8_t showingBlink = 0;
};
