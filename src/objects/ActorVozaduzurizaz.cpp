#include "objects/ActorVozaduzurizaz.h"

#include "objects/CreatureSetup.h"

ActorVozaduzurizaz::ActorVozaduzurizaz() : Actor(kKind)
{
	CreatureSetup::Apply(*this, *CreatureSetup::FindRow(kKind));
}

void ActorVozaduzurizaz::LoadModel()
{
	CreatureSetup::LoadModel(*this, *CreatureSetup::FindRow(kKind));
}
