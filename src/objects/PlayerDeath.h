#pragma once

class Player;

// How the hero's hearts run out, or nearly: a fall below the world costs
// hearts (more on lava) and puts it back on the last safe ground, or, with
// too few hearts left, starts its death. Dying plays the death sound, stops
// the music and turns on the screen's overlay; when the death timer runs out
// the death is counted in the save slot and the game shows its death screen.
// Kept apart from the hero's input, areas and fights; it works on the
// player's own state and holds nothing.
class PlayerDeath {
public:
	// Fell below the world: loses hearts and comes back on safe ground, or
	// dies.
	static void Fall(Player &player);
	// Dying: the death timer, the death sound, the music stops.
	static void Begin(Player &player);
	// The death timer ran out: the death counts in the save slot, the death
	// screen follows.
	static void End();

private:
	static void PutBackOnSafeGround(Player &player);
};
