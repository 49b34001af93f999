#pragma once

#include "objects/Actor.h"

// The bird of the enemy tree: it perches above its tree, swoops down at the
// target its tree gives it when the fight's attack token allows, climbs away past the player,
// and flies back to its perch. It hangs in the air while alive (no gravity)
// and freezes while the HUD shows a message. The tree owns it.
class ActorBird : public Actor {
public:
	enum BirdState : uint32_t {
		kPerched = 0,
		kDiving = 1,
		kRetreating = 2,
		kReturning = 3,
	};

	static constexpr float kDiveAim = 0.3f;         // world units above the target's feet
	static constexpr float kReaimOffset = 0.5f;     // on each axis, while still far
	static constexpr float kMaxDiveTime = 5.0f;     // seconds
	static constexpr float kDiveAlignment = 0.25f;  // least dot of facing and dive direction
	static constexpr float kRetreatDistance = 8.0f; // world units past the target
	static constexpr float kRetreatHeight = 1.0f;   // above home
	static constexpr float kRetreatTime = 1.0f;     // seconds
	static constexpr float kRetreatReach = 0.5f;    // horizontal world units
	static constexpr float kHomeReach = 1.0f;
	static constexpr float kFlySpeed = 10.0f;       // units per second
	static constexpr float kFarDistance = 8.0f;     // far away the bird never sinks

	explicit ActorBird(uint32_t kind);

	void Update(float dt) override;
	void GetDesiredMove(Vec3 &out, float dt) override;
	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void Defeat() override;

	uint32_t birdState = kPerched;
	float stateTime = 0.0f;
	Vec3 aimPoint = Vec3(0.0f);
	Vec3 diveDirection = Vec3(0.0f, 1.0f, 0.0f);
	float diveDistance = 0.0f;

private:
	void Step();
	void Retreat();
};
