#include "objects/PropBlackGate.h"

#include "objects/EntityLook.h"

namespace {
constexpr const char *kModelFile = "models/gatebk.iqm";
constexpr const char *kTextureFile = "mats/blackrock.png";
} // namespace

PropBlackGate::PropBlackGate() : PropDoor(kKind)
{
}

void PropBlackGate::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModelFile, kTextureFile, kShader);
}

void PropBlackGate::LoadModel()
{
	SetModel(kModelFile, kTextureFile, 1.0f);
}
