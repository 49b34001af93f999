#include "objects/PropBlackGate.h"

PropBlackGate::PropBlackGate() : PropDoor(kKind)
{
}

void PropBlackGate::LoadModel()
{
	SetModel("models/gatebk.iqm", "mats/blackrock.png", 1.0f);
}
