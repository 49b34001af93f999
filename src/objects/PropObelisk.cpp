#include "objects/PropObelisk.h"

#include "engine/collision/Collider.h"

PropSwitch::Appearance PropObelisk::Look() const
{
	return {"models/obelisk.iqm", "models/obelisk_on.png", "models/obelisk_off.png", "shaders/standard.dsh", nullptr};
}

void PropObelisk::LoadAppearance()
{
	squash = 0;
	CreateCollider(Collider::kModeStatic, Vec3(2.0f, 2.0f, 2.0f), Vec3(0.0f, 0.6f, 0.0f));
	PropSwitch::LoadAppearance();
}

void PropObelisk::Update(float dt)
{
	PropSwitch::Update(dt);
	if (on != 0)
		transform.Rotate(kTurnRate * dt, Vec3(0.0f, 1.0f, 0.0f));
}
