#include "objects/NPCWoodsmith.h"

namespace {
constexpr const char *kFigureModel = "models/woodsmith.iqm";
constexpr const char *kFigureTexture = "models/partymember.png";
} // namespace

NPCWoodsmith::NPCWoodsmith()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-smith%d.wav", 3);
}

void NPCWoodsmith::AddLooks(std::vector<EntityLook> &looks) const
{
	AddFigure(looks, kFigureModel, kFigureTexture);
}

void NPCWoodsmith::LoadModel()
{
	LoadFigure(kFigureModel, kFigureTexture, kScale);
	NPCActor::LoadModel();
}
