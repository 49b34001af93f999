#include "objects/NPCLocksmith.h"

namespace {
constexpr const char *kFigureModel = "models/locksmith.iqm";
constexpr const char *kFigureTexture = "models/partymember.png";
} // namespace

NPCLocksmith::NPCLocksmith()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-smith%d.wav", 3);
}

void NPCLocksmith::AddLooks(std::vector<EntityLook> &looks) const
{
	AddFigure(looks, kFigureModel, kFigureTexture);
}

void NPCLocksmith::LoadModel()
{
	LoadFigure(kFigureModel, kFigureTexture, kScale);
	NPCActor::LoadModel();
}
