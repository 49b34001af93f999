#pragma once

#include "engine/core/MathUtil.h"
#include "objects/Actor.h"

#include <cstdint>
#include <limits>

// The numbers that tune how actors move, fight, look and sound: timings in
// seconds, speeds in units or animation frames per second, effect and entity
// kinds. Only the actor's own code reads them; they live here so the actor's
// source stays readable.
namespace ActorTuning {

inline constexpr float kForever = std::numeric_limits<float>::infinity();
inline const Vec3 kUp(0.0f, 1.0f, 0.0f);
inline const Vec3 kSouth(0.0f, 0.0f, 1.0f); // the way a new actor faces

// The animation table: names in index order, and which of them loop.
struct AnimationName {
	const char *name;
	bool loops;
};
inline constexpr AnimationName kAnimationNames[kActorAnimationCount] = {
	{"Idle", true}, {"Run", true}, {"PushWalk", true}, {"StrikeFore", false},
	{"StrikeBack", false}, {"Talk", true}, {"Jump", false}, {"Air", false},
	{"Land", false}, {"Hit1", false}, {"Die", false}, {"BlockVert", false},
	{"Get", false}, {"Roll", false}, {"Pose", false}, {"Wave", true},
};

// Presentation.
inline constexpr float kActionSpeed = 30.0f;        // frames per second of strikes, rolls, blocks, hits
inline constexpr float kIdleBlend = 0.1f;            // seconds
inline constexpr float kIdleSpeed = 15.0f;
inline constexpr float kRunBlend = 0.05f;            // seconds
inline constexpr float kRunSpeedPerUnit = 0.017f;    // run animation rate per unit of walking speed ...
inline constexpr float kRunSpeedScale = 400.0f;      // ... times this on firm ground
inline constexpr float kSlideRunSpeedScale = 1600.0f; // ... or this while sliding (the feet spin)
inline constexpr float kTurnRate = 0.3f;             // share of the turn covered per 60th of a second
inline constexpr float kDieSpeed = 300.0f;
inline const Vec3 kFlashColour(4.0f, 0.8f, 0.8f);    // the red of a fresh hit
inline constexpr float kFlashTime = 0.5f;            // seconds of red after a damaging hit
inline constexpr float kFlashRamp = 5.0f;            // full red for the first 0.3 s, fading over 0.2 s
inline constexpr float kFootstepLevel = 0.18f;
inline constexpr float kRollLevel = 0.19f;

// Actions.
inline constexpr float kStrikeHold = 0.35f;   // seconds
inline constexpr float kStrikeMove = 0.3f;
inline constexpr float kStrikeEffectDelay = 0.1f;
inline constexpr float kStrikeBusy = 0.25f;
inline constexpr float kRollTime = 0.5f;
inline constexpr float kRollHold = 0.3f;
inline constexpr float kRollMove = 1.7f;
inline constexpr float kRollBusy = 0.4f;
inline constexpr float kRollTailHold = 0.05f; // keeps the roll pose between actions
inline constexpr float kRollTailMove = 0.1f;
inline constexpr float kBlockHold = 0.25f;
inline constexpr float kBlockBusy = 0.4f;
inline constexpr float kBlockMinSpeedSquared = 0.3f; // slower than this a roll request blocks
inline constexpr float kJumpSpeed = 10.0f;    // upward units per second per unit of strength
inline constexpr float kJumpLift = 0.1f;
inline constexpr float kBumpHold = 0.5f;      // a roll that runs into something
inline constexpr float kBumpRecoil = 0.5f;
inline constexpr float kBumpShake = 0.5f;
inline constexpr float kBumpLowestTop = 0.3f; // things lower than this below the roller are rolled over
inline constexpr float kStrikeShake = 1.5f;   // camera shake per full-volume hurt voice
inline constexpr float kWalkTargetLimit = 1.0f;

// Senses.
inline constexpr float kTargetSearchRadius = 100.0f;
inline constexpr uint8_t kSeekPlayerSide = kFactionPlayer; // what hostile actors look for
inline constexpr uint8_t kSeekHostileSide = kFactionHostile;

// The held kind whose blow burns at once.
inline constexpr uint32_t kFireSwordKind = 45;

// Entity kinds a roll does not bump into, besides pickups.
inline constexpr uint32_t kSwitchKind = 4;
inline constexpr uint32_t kGrassKind = 21;
inline constexpr uint32_t kFireplaceKind = 22;

// Knock-back recovery by difficulty.
inline constexpr float kRecoveryRelaxed = 1.3f;
inline constexpr float kRecoveryIntended = 0.8f;
inline constexpr float kRecoveryBrutal = 0.5f;

inline constexpr uint8_t kLowHearts = 3;        // an attacker this weak earns a heart in the original rules
inline constexpr uint8_t kDesperateHearts = 2;  // an attacker below this gets an extra heart

} // namespace ActorTuning
