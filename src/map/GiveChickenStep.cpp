#include "map/GiveChickenStep.h"

#include "map/CustomStepHost.h"

GiveChickenStep::GiveChickenStep(const char *text, Entity *player, uint8_t amount)
	: SayMessageStep(text), player(player), amount(amount)
{
}

void GiveChickenStep::Begin(CustomStepHost &host)
{
	SayMessageStep::Begin(host);
	host.AddChicken(player, amount);
	host.RefillHearts(player);
	host.StorePlayerStats(player);
}
