#include "map/CustomSequence.h"

#include "map/CustomSequenceStep.h"
#include "map/ScriptWorld.h"

CustomSequence::CustomSequence(ScriptWorld *world) : world(world != nullptr ? world : &ScriptWorld::Quiet())
{
}

CustomSequence::~CustomSequence()
{
	steps.clear();
	current = 0;
}

void CustomSequence::AddStep(std::unique_ptr<CustomSequenceStep> step)
{
	if (step != nullptr)
		steps.push_back(std::move(step));
}

void CustomSequence::Start()
{
	state = kStateRunning;
	BeginCurrent();
}

void CustomSequence::Resume()
{
	if (state == kStateDone)
		return; // the runner keeps asking once the last step is over
	state = kStateRunning;
	current++;
	BeginCurrent();
}

bool CustomSequence::IsReadyToResume()
{
	if (current >= steps.size())
		return true;
	return steps[current]->IsFinished(*world);
}

void CustomSequence::BeginCurrent()
{
	if (current < steps.size()) {
		steps[current]->Begin(*world);
		state = kStateWaiting;
	} else {
		state = kStateDone;
	}
}
