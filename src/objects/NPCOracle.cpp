#include "objects/NPCOracle.h"

NPCOracle::NPCOracle()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-leader%d.wav", 2);
}

void NPCOracle::LoadModel()
{
	LoadFigure("models/oracle.iqm", "models/oracle.png", kScale);
	NPCActor::LoadModel();
}
