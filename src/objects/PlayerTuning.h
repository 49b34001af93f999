#pragma once

#include <cstdint>

#include "map/MapGameLink.h"

// The numbers that tune the hero: speeds in units per second, timings in
// seconds, damage in half hearts. Only the player's own code reads them; they
// live here so the player's source stays readable.
namespace PlayerTuning {

// Movement and body.
inline constexpr float kMoveSpeed = 7.0f;          // units per second
inline constexpr float kStepHeight = 0.72f;        // climbs a little more than other walkers
inline constexpr float kDeathDelay = 2.7f;         // seconds from the last heart to the death screen
inline constexpr float kKnockBackRecovery = 0.4f;
inline constexpr float kStepDistance = 1.5f;       // world units per footstep
inline constexpr float kFootstepVolume = 1.0f;
inline constexpr float kHitStun = 0.2f;            // seconds
inline constexpr float kAutoWalkGain = 50.0f;      // walk-in and walk-out push, clamped to the speed
inline constexpr float kWalkTargetStopSq = 0.5f;   // squared distance at which a walk-in ends
inline constexpr float kWalkTargetReached = 1.0f;
inline constexpr float kStickDeadZoneSq = 0.1f;
inline constexpr float kWallProbe = 1.0f;          // the player's walls are traced

// Timings.
inline constexpr float kBusySeconds = 0.5f;        // cannot be struck while the HUD holds it
inline constexpr float kPressGap = 0.1f;           // seconds between two presses that hurry typing
inline constexpr float kStrikeCooldown = 0.3f;     // no roll this soon after a strike
inline constexpr float kRollCooldown = 0.6f;       // no roll this soon after a roll
inline constexpr float kChainCooldown = 0.2f;      // hits closer together count once
inline constexpr float kScriptPressGuard = 0.5f;   // a talk press this soon after a script is ignored
inline constexpr float kRollGroundLimit = 0.3f;    // a roll on ground this low loses its boost
inline constexpr float kRollBoostEnd = 1.0f;

// Areas and exits.
inline constexpr float kLinkEntryDistance = 1.5f;  // walk this far into a link before leaving
inline constexpr float kUseMoveDistance = 0.1f;    // a script runs again only from another spot

// Falls and blows.
inline constexpr uint8_t kFallDamage = 2;          // half hearts
inline constexpr uint8_t kLavaFallDamage = 4;
inline constexpr uint8_t kWaterLevel = 7;
inline constexpr uint32_t kFallBlankMs = 100;
inline constexpr float kSplashShake = 0.25f;

// Notices.
inline constexpr float kNoticeSeconds = 3.0f;
inline constexpr uint8_t kItemNotice = 1;

// Model.
inline constexpr float kChookScale = 0.4f;
inline constexpr float kSmithScale = 0.35f;
inline constexpr float kPoseSpeed = 30.0f;
inline constexpr float kDressPoseSeconds = 1.0f;
inline constexpr float kGetHold = 1.0f;
inline constexpr float kGetSpeed = 15.0f;

inline constexpr uint8_t kActionStrike = 1;
inline constexpr uint8_t kActionRoll = 2;
inline constexpr uint32_t kMessageQuestion = MapGameLink::kMessageQuestion;
inline constexpr uint32_t kMessageYes = MapGameLink::kMessageAnsweredYes;
inline constexpr uint32_t kMessageNo = MapGameLink::kMessageAnsweredNo;

} // namespace PlayerTuning
