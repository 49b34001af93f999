#include "map/RefillHeartStep.h"

#include "map/CustomStepHost.h"

void RefillHeartStep::Begin(CustomStepHost &host)
{
	host.RefillHearts(player);
}
