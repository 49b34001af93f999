#pragma once

#include "objects/ActorBehaviour.h"

class Entity;

// A speaking actor while its words are on screen: it plays its talk
// animation and faces the listener (the player) while the HUD is busy, and
// both turn to each other while they stand close. It ends two seconds after
// the HUD goes idle, once the two are more than two units apart, or once the
// listener is gone from the actor's scene. A missing HUD counts as idle. The
// listener is not owned; its pointer is dropped when that entity is freed.
class TalkBehaviour : public ActorBehaviour {
public:
	static constexpr float kLingerSeconds = 2.0f; // after the HUD goes idle
	static constexpr float kTalkReach = 2.0f;     // world units
	static constexpr uint8_t kTalkAnimation = 5;
	static constexpr float kTalkHold = 0.5f;      // seconds the animation holds
	static constexpr float kTalkSpeed = 30.0f;    // frames per second

	TalkBehaviour(Actor *owner, Entity *listener);

	void Begin() override;
	void Update(float dt) override;
	void ForgetEntity(const Entity *entity) override;

	Entity *listener; // not owned
	float timer = 0.0f;
};
