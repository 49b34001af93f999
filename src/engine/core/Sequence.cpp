#include "engine/core/Sequence.h"

int Sequence::progressDepth = 0;

Sequence::~Sequence() = default;

void Sequence::End()
{
}

void Sequence::Resume()
{
}

bool Sequence::IsReadyToResume()
{
	return false;
}

Entity *Sequence::GetSourceEntity()
{
	return nullptr;
}

bool Sequence::IsAnyInProgress()
{
	return progressDepth > 0;
}

Sequence::ProgressScope::ProgressScope()
{
	progressDepth++;
}

Sequence::ProgressScope::~ProgressScope()
{
	progressDepth--;
}
