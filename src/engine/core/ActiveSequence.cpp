#include "engine/core/ActiveSequence.h"

#include "engine/core/Sequence.h"

namespace {

Sequence *g_activeSequence = nullptr;

// The sequence that the runner is calling into (Start or Resume) right now,
// and whether it was ended during that call. A sequence that replaces or
// ends itself from inside the call must not be deleted under its own feet.
Sequence *g_sequenceInCall = nullptr;
bool g_sequenceInCallEnded = false;

void CallSequence(Sequence *sequence, void (Sequence::*operation)())
{
	Sequence *outerSequence = g_sequenceInCall;
	bool outerEnded = g_sequenceInCallEnded;
	g_sequenceInCall = sequence;
	g_sequenceInCallEnded = false;

	(sequence->*operation)();

	bool ended = g_sequenceInCallEnded;
	g_sequenceInCall = outerSequence;
	g_sequenceInCallEnded = outerEnded;
	if (!ended)
		return;
	if (outerSequence == sequence)
		g_sequenceInCallEnded = true; // an outer call into the same sequence deletes it
	else
		delete sequence;
}

}

void SetActiveSequence(Sequence *sequence)
{
	EndActiveSequence();
	if (sequence == nullptr)
		return;
	g_activeSequence = sequence;
	CallSequence(sequence, &Sequence::Start);
}

Sequence *GetActiveSequence()
{
	return g_activeSequence;
}

void EndActiveSequence()
{
	Sequence *sequence = g_activeSequence;
	if (sequence == nullptr)
		return;
	// Empty the slot first: End may start or end sequences itself.
	g_activeSequence = nullptr;
	sequence->End();
	if (sequence == g_sequenceInCall) {
		g_sequenceInCallEnded = true; // deleted when its call returns
		return;
	}
	delete sequence;
}

void UpdateActiveSequence()
{
	if (g_activeSequence != nullptr && g_activeSequence->IsReadyToResume())
		CallSequence(g_activeSequence, &Sequence::Resume);
}

void StepActiveSequence()
{
	if (g_activeSequence != nullptr && g_activeSequence->state == Sequence::kStateWaiting)
		CallSequence(g_activeSequence, &Sequence::Resume);
}

bool IsSequenceRunning()
{
	return g_activeSequence != nullptr
		&& (g_activeSequence->state == Sequence::kStateRunning || g_activeSequence->state == Sequence::kStateWaiting);
}

bool IsSequenceState2()
{
	return g_activeSequence != nullptr && g_activeSequence->state == Sequence::kStateWaiting;
}

Entity *GetActiveSequenceSource()
{
	return g_activeSequence != nullptr ? g_activeSequence->GetSourceEntity() : nullptr;
}
