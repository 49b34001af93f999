#include "map/ShowLettersStep.h"

#include "map/MapGameLink.h"
#include "map/ScriptWorld.h"

void ShowLettersStep::Begin(ScriptWorld &)
{
	startTime = MapGameLink::Get().PlayTimeMs();
	MapGameLink::Get().ShowLetters(true);
}

bool ShowLettersStep::IsFinished(ScriptWorld &)
{
	return MapGameLink::Get().PlayTimeMs() - startTime > kShowMs;
}
