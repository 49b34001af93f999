#include "objects/NPCWoodsmith.h"

NPCWoodsmith::NPCWoodsmith()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-smith%d.wav", 3);
}

void NPCWoodsmith::LoadModel()
{
	LoadFigure("models/woodsmith.iqm", "models/partymember.png", kScale);
	NPCActor::LoadModel();
}
