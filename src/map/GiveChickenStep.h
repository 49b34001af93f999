#pragma once

#include "map/SayMessageStep.h"

#include <cstdint>

class Entity;

// A message, and the hero's cooler takes the chicken (never beyond its
// capacity); the hearts fill up and the record is kept.
class GiveChickenStep : public SayMessageStep {
public:
	// amount in tenths of a kilogram; player is owned by the scene.
	GiveChickenStep(const char *text, Entity *player, uint8_t amount);

	void Begin(ScriptWorld &world) override;

private:
	Entity *player;
	uint8_t amount;
};
