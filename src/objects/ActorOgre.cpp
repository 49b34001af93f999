#include "objects/ActorOgre.h"

#include "objects/AIAttackStrikeBehaviour.h"
#include "objects/AIPlayAnimBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/ChaseBehaviour.h"
#include "objects/CreatureSetup.h"
#include "objects/FlankBehaviour.h"
#include "objects/GameLink.h"

ActorOgre::ActorOgre() : Actor(kKind)
{
	CreatureSetup::Apply(*this, *CreatureSetup::FindRow(kKind));
	if (GameLink::Get().Difficulty() == 2)
		contactDamage = kBrutalContactDamage;
	auto targeting = std::make_unique<AITargetingBehaviour>(this, std::make_unique<ChaseBehaviour>(this, 8.0f),
		std::make_unique<AIAttackStrikeBehaviour>(this, 3.0f, 0.15f), 10.0f, 2.0f, 1000.0f);
	targeting->SetSubBehaviour(AITargetingBehaviour::kStatePreAttack,
		std::make_unique<AIPlayAnimBehaviour>(this, kAnimTalk, 0, 0.3f, 0.0f));
	targeting->SetSubBehaviour(AITargetingBehaviour::kStateHitReact, std::make_unique<FlankBehaviour>(this, 12.0f));
	AddBehaviour(std::move(targeting), true);
	Hold(kHeldKind, nullptr);
}

void ActorOgre::LoadModel()
{
	CreatureSetup::LoadModel(*this, *CreatureSetup::FindRow(kKind));
}

void ActorOgre::LoadFootsteps()
{
	CreatureSetup::LoadFootsteps(*this, *CreatureSetup::FindRow(kKind));
}
