#include "map/RefillHeartStep.h"

#include "map/ScriptWorld.h"

void RefillHeartStep::Begin(ScriptWorld &world)
{
	world.RefillHearts(player);
}
