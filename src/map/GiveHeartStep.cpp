#include "map/GiveHeartStep.h"

#include "map/ScriptWorld.h"

GiveHeartStep::GiveHeartStep(const char *text, Entity *player) : SayMessageStep(text), player(player)
{
}

void GiveHeartStep::Begin(ScriptWorld &world)
{
	SayMessageStep::Begin(world);
	world.AddMaxHearts(player, kHalves);
	world.RefillHearts(player);
	world.StorePlayerStats(player);
}
