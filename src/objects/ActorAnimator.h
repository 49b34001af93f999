#pragma once

#include <cstdint>

class Actor;

// Plays an actor's animations: it sets up a freshly loaded model (clock, base
// turn, the table of named animations and the weapon bone), starts, blends or
// holds an animation for an action, and runs the actor's presentation every
// frame: the death timer, idle or run (and the strike held down), the roll
// and the block, turning toward the way it walks, the model clock, the strike
// effect, the busy time and the footsteps. The actor's calls come here; the
// model, the animation table and the timers stay the actor's own. It never
// picks what the actor does next (its behaviours and controls do), and holds
// nothing.
class ActorAnimator {
public:
	// Clears the table and the weapon bone, then, with a loaded model, fills
	// them from it.
	static void SetUpModel(Actor &actor);
	// Each does nothing without hearts. hold: seconds the action holds.
	static void Play(Actor &actor, uint8_t index, float hold, float speed);
	static void PlayBlended(Actor &actor, uint8_t index, float blend, float hold, float speed);
	static void PlayAt(Actor &actor, uint8_t index, float startTime, float hold);
	static void Update(Actor &actor, float dt);
};
