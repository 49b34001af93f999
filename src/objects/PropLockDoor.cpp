#include "objects/PropLockDoor.h"

PropLockDoor::PropLockDoor() : PropDoor(kKind)
{
	locked = 1;
}

void PropLockDoor::LoadModel()
{
	SetModel("models/lockdoor.iqm", "models/lockdoor.png", 1.0f);
}
