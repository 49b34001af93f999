#pragma once

#include "map/CustomSequenceStep.h"

class Entity;

// Fills the hero's hearts up to the maximum; over at once.
class RefillHeartStep : public CustomSequenceStep {
public:
	// player is owned by the scene and outlives the sequence.
	explicit RefillHeartStep(Entity *player) : player(player) {}

	void Begin(ScriptWorld &world) override;

private:
	Entity *player;
};
