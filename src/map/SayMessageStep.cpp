#include "map/SayMessageStep.h"

#include "map/MapGameLink.h"
#include "map/ScriptWorld.h"

#include <cstring>

namespace {
constexpr uint8_t kPlainMessage = 0;
} // namespace

SayMessageStep::SayMessageStep(const char *value)
{
	if (value != nullptr)
		strncpy(text, value, kTextChars); // the last byte stays the terminator
}

void SayMessageStep::Begin(ScriptWorld &)
{
	if (text[0] != '\0')
		MapGameLink::Get().ShowMessage(text, kSeconds, kPlainMessage);
}

bool SayMessageStep::IsFinished(ScriptWorld &)
{
	if (text[0] == '\0')
		return true;
	return !MapGameLink::Get().IsBusy() && !MapGameLink::Get().IsMessageVisible();
}
