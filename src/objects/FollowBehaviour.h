#pragma once

#include "engine/core/Random.h"
#include "objects/ActorBehaviour.h"

#include <cstdint>

// What every party member runs: it walks two units behind its leader (the
// hero, or the member ahead of it in the line), climbs any rise while it has
// fallen behind, and, when it defends, picks fights with foes that come near
// and strikes them with its axe, breaking off once the leader is out of
// sight. The leader and the target belong to the scene; a freed leader is
// forgotten, so the member then simply stands.
class FollowBehaviour : public ActorBehaviour {
public:
	static constexpr float kBehind = 2.0f;            // units behind the leader
	static constexpr float kNearRange = 4.0f;         // within this the member keeps its own step
	static constexpr float kNearDrop = 0.2f;          // ...unless this far below the leader
	static constexpr float kCatchUpStep = 100.0f;     // step height while catching up
	static constexpr float kRestStep = 0.5f;          // step height once it no longer follows
	static constexpr float kScanInterval = 1.0f;      // seconds before the first look for foes
	static constexpr float kRescanLow = 0.2f;         // seconds until the next look, after a find
	static constexpr float kRescanHigh = 0.8f;
	static constexpr float kFirstCooldown = 0.5f;     // seconds before the first blow
	static constexpr float kCooldownLow = 0.5f;       // seconds between blows
	static constexpr float kCooldownHigh = 1.0f;
	static constexpr float kReach = 2.0f;             // a blow lands within this
	static constexpr float kLeaderSight = 16.0f;      // a fight breaks off past this
	static constexpr float kNoStepSaved = -1.0f;
	static constexpr int kModeOriginalRules = 1;      // the game mode in which members never fight

	FollowBehaviour(Actor *member, Entity *leader, float speed, bool defend);

	void Begin() override;
	void Update(float dt) override;
	void Finish() override;
	void ForgetEntity(const Entity *entity) override;

	Entity *leader;                  // not owned
	uint8_t defend;
	float scanTimer = kScanInterval;
	float attackCooldown = kFirstCooldown;
	float savedStepHeight = kNoStepSaved;
	Random random;

private:
	void FollowLeader(float dt);
	void Fight(float dt);

	float memberSpeed; // the walking speed given at construction
};
