#pragma once

class MapEntity;
class Player;

// The hero leaning into a crate or a boulder it walks against: when it
// faces the prop square on (along the axis toward it) and stands about level
// with it, the prop is pushed along that axis, and the hero slows to a
// shove with the push pose. Works on the hero's own state; holds nothing.
class PlayerPushing {
public:
	static constexpr float kFacingDot = 0.9f;     // heading against the axis toward the prop
	static constexpr float kLevelBelow = 0.7f;    // world units of height between them
	static constexpr float kPoseBlend = 0.08f;    // seconds
	static constexpr float kPushHold = 0.3f;      // seconds the push pose holds
	static constexpr float kPushMoveFactor = 0.2f; // share of the walk left while shoving

	// A touch of another map entity; true when the hero pushed it.
	static bool Touch(Player &player, MapEntity &other);
};
