#include "map/GiveHeartStep.h"

#include "map/CustomStepHost.h"

GiveHeartStep::GiveHeartStep(const char *text, Entity *player) : SayMessageStep(text), player(player)
{
}

void GiveHeartStep::Begin(CustomStepHost &host)
{
	SayMessageStep::Begin(host);
	host.AddMaxHearts(player, kHalves);
	host.RefillHearts(player);
	host.StorePlayerStats(player);
}
