#include "map/ScriptWorld.h"

#include "engine/core/Entity.h"

ScriptWorld &ScriptWorld::Quiet()
{
	static ScriptWorld quiet;
	return quiet;
}
