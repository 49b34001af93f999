#include "objects/NPCLocksmith.h"

NPCLocksmith::NPCLocksmith()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-smith%d.wav", 3);
}

void NPCLocksmith::LoadModel()
{
	LoadFigure("models/locksmith.iqm", "models/partymember.png", kScale);
	NPCActor::LoadModel();
}
