#include "map/GiveChickenStep.h"

#include "map/ScriptWorld.h"

GiveChickenStep::GiveChickenStep(const char *text, Entity *player, uint8_t amount)
	: SayMessageStep(text), player(player), amount(amount)
{
}

void GiveChickenStep::Begin(ScriptWorld &world)
{
	SayMessageStep::Begin(world);
	world.AddChicken(player, amount);
	world.RefillHearts(player);
	world.StorePlayerStats(player);
}
