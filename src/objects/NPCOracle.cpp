#include "objects/NPCOracle.h"

namespace {
constexpr const char *kFigureModel = "models/oracle.iqm";
constexpr const char *kFigureTexture = "models/oracle.png";
} // namespace

NPCOracle::NPCOracle()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-leader%d.wav", 2);
}

void NPCOracle::AddLooks(std::vector<EntityLook> &looks) const
{
	AddFigure(looks, kFigureModel, kFigureTexture);
}

void NPCOracle::LoadModel()
{
	LoadFigure(kFigureModel, kFigureTexture, kScale);
	NPCActor::LoadModel();
}
