#pragma once

#include "map/SayMessageStep.h"

#include <cstdint>

class Entity;

// A message, and the hero gains a whole heart: the maximum grows by two
// halves, the hearts fill up to it, and the record is kept.
class GiveHeartStep : public SayMessageStep {
public:
	static constexpr uint8_t kHalves = 2;

	// player is owned by the scene and outlives the sequence.
	GiveHeartStep(const char *text, Entity *player);

	void Begin(ScriptWorld &world) override;

private:
	Entity *player;
};
