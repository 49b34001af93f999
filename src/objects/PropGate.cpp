#include "objects/PropGate.h"

#include "objects/EntityLook.h"

namespace {
constexpr const char *kModelFile = "models/gate.iqm";
constexpr const char *kTextureFile = "mats/woodboard.png";
} // namespace

void PropGate::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModelFile, kTextureFile, kShader);
}

void PropGate::LoadModel()
{
	SetModel(kModelFile, kTextureFile, 1.0f);
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
