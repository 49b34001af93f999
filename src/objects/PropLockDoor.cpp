#include "objects/PropLockDoor.h"

#include "objects/EntityLook.h"

namespace {
constexpr const char *kModelFile = "models/lockdoor.iqm";
constexpr const char *kTextureFile = "models/lockdoor.png";
} // namespace

PropLockDoor::PropLockDoor() : PropDoor(kKind)
{
	locked = 1;
}

void PropLockDoor::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModelFile, kTextureFile, kShader);
}

void PropLockDoor::LoadModel()
{
	SetModel(kModelFile, kTextureFile, 1.0f);
}
