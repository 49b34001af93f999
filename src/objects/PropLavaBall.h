#pragma once

#include "objects/Prop.h"

#include <cstdint>

// A glob of lava thrown from below its place in a high arc at the nearest
// one of the hero's side within reach, or straight up when nobody is near.
// It burns an actor it touches and is gone for a while; late in its flight
// it lands on whatever it meets (on top of a crate, say), lies flattened,
// sinks away and is thrown again. Balls side by side wait different times.
// It holds still while the HUD shows a message.
class PropLavaBall : public Prop {
public:
	static constexpr uint32_t kKind = 58;
	static constexpr float kFlightSeconds = 3.0f;
	static constexpr float kPeakHeight = 15.0f;   // world units at the middle of the arc
	static constexpr float kReach = 15.0f;        // world units it looks for a target
	static constexpr float kLandAfter = 0.75f;    // share of the flight before it lands on things
	static constexpr float kLieFor = 1.6f;        // flights' worth of time until it sinks
	static constexpr float kSinkWait = 1.5f;      // seconds gone after lying
	static constexpr float kHitWait = 2.0f;       // seconds gone after burning an actor
	static constexpr float kHiddenHeight = -2.0f; // world units; where it waits

	// The collider's states: none, flying (a cube of the diameter), lying (a
	// cube of the radius).
	static constexpr uint8_t kColliderNone = 0;
	static constexpr uint8_t kColliderFlying = 1;
	static constexpr uint8_t kColliderLying = 2;

	PropLavaBall();

	void Start() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void OnResume() override;
	void Update(float dt) override;
	void OnCollide(Entity *other) override;

	// Picks the landing point, and throws.
	void Launch();
	// Comes down at the height and lies there.
	void Land(float height);
	void SetColliderState(uint8_t state);

	float GetFlightTime() const { return flightTime; }
	float GetWaitTimer() const { return waitTimer; }
	bool HasLanded() const { return landed != 0; }
	const Vec3 &GetLandingPoint() const { return landingPoint; }

private:
	void Fly(float dt);
	void Lie();
	// Gone for the seconds, below the ground.
	void Vanish(float seconds);

	float flightTime = 0.0f;
	float flightDuration = kFlightSeconds;
	float waitTimer = 0.0f;
	Vec3 landingPoint = Vec3(0.0f);
	Vec3 spinAxis = Vec3(1.0f, 0.0f, 0.0f);
	uint8_t landed = 0;
};
