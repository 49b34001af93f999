#pragma once

#include "objects/FXEntity.h"

#include <cstdint>

class Actor;

// A small reward thrown out by a beaten creature, struck grass or a tree, or
// the hero's finished chain: it jumps out in a random direction, falls and
// keeps hopping on the ground under the entity that dropped it, and once its
// pickup delay is over it is taken by the hero touching it or, for pickups
// that attract, by the nearest actor of the hero's side within 12 units. A
// taken pickup flies a quarter-second arc to one unit above its collector
// and gives its reward on arrival. Untaken, it goes after ten seconds. The
// collector is the scene's: a collector that goes is forgotten.
class FXPickup : public FXEntity {
public:
	static constexpr float kDefaultPickupDelay = 0.5f; // seconds
	static constexpr float kAttractRadius = 12.0f;
	static constexpr uint8_t kCollectorSide = 1;       // the hero's faction

	FXPickup();

	// Hit box and model (made once), lifetime, and the throw's random values.
	void Start() override;
	// Forgets the last flight; reads the ground under the dropping entity.
	void OnResume() override;
	void Update(float dt) override;
	// The hero's touch, or an early touch remembered.
	void OnCollide(Entity *other) override;
	void ForgetEntity(const Entity *entity) override;

	// Makes the model.
	virtual void LoadModel() = 0;
	virtual bool CanCollect(Actor *candidate) { (void)candidate; return true; }
	// The reward, given to the collector on arrival.
	virtual void OnCollected() = 0;

	// Starts the flight to the collector, unless CanCollect refuses.
	void Collect(Actor *candidate);

	float fallSpeed = 0.0f;       // units per second, positive downwards
	Vec3 velocity = Vec3(0.0f);   // horizontal, damped every frame
	uint8_t collected = 0;
	float groundHeight = 0.0f;
	Actor *collector = nullptr;   // not owned
	float flightTime = 0.0f;      // seconds since collection
	Vec3 flightStart = Vec3(0.0f);
	uint8_t attracts = 0;
	uint8_t landed = 0;
	uint8_t touchedEarly = 0;
	float pickupDelay = kDefaultPickupDelay;

private:
	void Fly(float dt);
	void Fall(float dt);
};
