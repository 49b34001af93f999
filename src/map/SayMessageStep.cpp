#include "map/SayMessageStep.h"

#include "map/CustomStepHost.h"

#include <cstring>

namespace {
constexpr uint8_t kPlainMessage = 0;
} // namespace

SayMessageStep::SayMessageStep(const char *value)
{
	if (value != nullptr)
		strncpy(text, value, kTextChars); // the last byte stays the terminator
}

void SayMessageStep::Begin(CustomStepHost &host)
{
	if (text[0] != '\0')
		host.ShowMessage(text, kSeconds, kPlainMessage);
}

bool SayMessageStep::IsFinished(CustomStepHost &host)
{
	if (text[0] == '\0')
		return true;
	return !host.IsBusy() && !host.IsMessageVisible();
}
