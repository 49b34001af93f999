#pragma once

#include "engine/core/NamePool.h"
#include "objects/Prop.h"

#include <cstdint>

// A prop the hero pushes along the tile grid: a push held for a moment
// starts a slide that runs a number of tiles (one for a crate, no end for a
// boulder) and then settles on the centre of its tile. Sliding props fall,
// thud, float on water at their own floor, knock actors they run into and
// stop at solid things; one killed by a fall drops back in from high above
// its home a second later. A "dir" line on its map object makes the prop
// push itself that way whenever it rests on the ground, until the object's
// flag group is set, which instead leaves it on the tile of the record the
// flag names. Crates and boulders only set the numbers.
//
// Its slide is the map entity's moving flag: StartSlide sets it, the tile
// count clears it, and the physics clears it when a rise blocks the way.
class PushableProp : public Prop {
public:
	// Stop modes: what a sliding prop stops against.
	static constexpr uint32_t kStopAlways = 0;
	static constexpr uint32_t kStopAtActors = 1; // actors and solid kinds
	static constexpr uint32_t kStopAtSolids = 2; // solid kinds only
	// From here up nothing stops it but another crate.

	static constexpr float kPushDelay = 0.1f;    // seconds of pushing before a slide starts
	static constexpr float kStopSeconds = 0.5f;  // pushes ignored after a stop
	static constexpr float kRespawnSeconds = 1.0f;
	static constexpr float kRespawnDrop = 15.0f; // world units above home a respawn starts
	static constexpr float kProbeReach = 2.0f;   // world units ahead a push looks
	static constexpr float kProbeLift = 0.5f;
	static constexpr float kHighestStep = 0.5f;  // a rise above this ahead refuses a push

	// tilesPerPush: tiles one push slides; -1 for no end.
	PushableProp(uint32_t entityKind, int16_t tilesPerPush);

	void Start() override;
	void Update(float dt) override;
	void Render() override;
	void OnCollide(Entity *other) override;
	void ResetState() override;
	void GetDesiredMove(Vec3 &out, float dt) override;
	void Kill() override;

	// Called each time a sliding prop enters another tile.
	virtual void OnEnterTile() {}
	// Ends a slide at once; pushes are ignored for a moment.
	virtual void Stop();

	// Asks for a slide along a unit axis direction. The hero pushes with
	// immediate false (the push must last kPushDelay); the prop's own "dir"
	// with immediate true. Refused by something solid or a high rise ahead.
	void TryPush(const Vec3 &direction, bool immediate);
	// Begins a slide along the push velocity; nothing while sliding.
	void StartSlide();
	bool IsSliding() const { return moving != 0; }

	Vec3 pushVelocity = Vec3(0.0f);   // unit direction of the current slide
	Vec3 fixedDirection = Vec3(0.0f); // from the map's "dir" line
	Point16 lastTile;
	uint16_t tilesLeft = 0;
	uint16_t tilesPerPush;
	uint8_t align = 1;
	uint8_t beingPushed = 0;
	float pushTimer = 0.0f;    // seconds
	float pushDelay = kPushDelay;
	float speed = 8.0f;        // units per second
	float respawnTimer = 0.0f; // seconds; while positive the prop is gone
	float stopTimer = 0.0f;    // seconds
	float slideTime = 0.0f;    // seconds since the slide began
	uint8_t strikePower = 1;
	uint8_t stepCheck = 1;
	uint32_t stopMode = kStopAlways;

protected:
	// The box the prop stands in, mode 4, with the default weight.
	void MakeSolid(const Vec3 &size, const Vec3 &offset);

private:
	// True when the other entity's kind stops a slide in the current mode.
	bool StopsAt(const MapEntity &other) const;
	// Pulls the prop toward the centre of its tile.
	void Align(float dt);

	NamePool slideSounds;
};
