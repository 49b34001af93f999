#include "objects/ActorMinion.h"

#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/CreatureSetup.h"
#include "objects/RoamBehaviour.h"

ActorMinion::ActorMinion() : Actor(kKind)
{
	CreatureSetup::Apply(*this, *CreatureSetup::FindRow(kKind));
	AddBehaviour(std::make_unique<AITargetingBehaviour>(this, std::make_unique<RoamBehaviour>(this, 0.1f, 0.3f),
		             std::make_unique<AIAttackChargeBehaviour>(this, 4.0f, 6.0f, 15.0f, 0.8f), 6.0f, 2.0f, 1000.0f),
		true);
}

void ActorMinion::LoadModel()
{
	CreatureSetup::LoadModel(*this, *CreatureSetup::FindRow(kKind));
}

void ActorMinion::LoadFootsteps()
{
	CreatureSetup::LoadFootsteps(*this, *CreatureSetup::FindRow(kKind));
}
