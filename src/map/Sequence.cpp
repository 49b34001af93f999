#include "map/Sequence.h"

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
