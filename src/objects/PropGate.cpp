#include "objects/PropGate.h"

void PropGate::LoadModel()
{
	SetModel("models/gate.iqm", "mats/woodboard.png", 1.0f);
}

void PropGate::Start()
{
	PropDoor::Start();
	pinnedPosition = transform.position;
}

void PropGate::Update(float dt)
{
	PropDoor::Update(dt);
	transform.position = pinnedPosition;
}
