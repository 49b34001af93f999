#include "map/ShowLettersStep.h"

#include "map/CustomStepHost.h"

void ShowLettersStep::Begin(CustomStepHost &host)
{
	startTime = host.PlayTimeMs();
	host.ShowLetters(true);
}

bool ShowLettersStep::IsFinished(CustomStepHost &host)
{
	return host.PlayTimeMs() - startTime > kShowMs;
}
