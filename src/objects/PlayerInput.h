#pragma once

#include "engine/core/MathUtil.h"

class Player;

// The hero's input step: what the controls do in a frame besides the strike
// and roll held down. While a message, a typed text or a script holds the
// hero, the presses answer it (hurry the typing, yes or no, continue, OK);
// a press on an offered use target uses it; and the stick becomes the walk,
// unless the hero is walking itself in or out of a map. Kept apart from the
// hero's areas, fights and items; it reads the controls through the player
// and works on the player's own state, holding nothing.
class PlayerInput {
public:
	// Steps 7 to 9 of the update: true when a message or a script holds the
	// player this frame.
	static bool AnswerMessages(Player &player);
	// Step 13, with a use target offered: true when a use press was taken
	// this frame.
	static bool TakeUsePress(Player &player);
	// The move the hero wants this frame: toward its walk target, out through
	// the map's edge, or along the stick; zero while it cannot move.
	static void DesiredMove(Player &player, Vec3 &out);
};
