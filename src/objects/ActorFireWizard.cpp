#include "objects/ActorFireWizard.h"

#include "objects/AIAttackStrikeBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/ChaseBehaviour.h"
#include "objects/CreatureSetup.h"

ActorFireWizard::ActorFireWizard() : Actor(kKind)
{
	CreatureSetup::Apply(*this, *CreatureSetup::FindRow(kKind));
	auto chase = std::make_unique<ChaseBehaviour>(this, 20.0f);
	chase->avoidDrops = 1;
	chase->viewAlignment = kViewAlignment;
	auto strike = std::make_unique<AIAttackStrikeBehaviour>(this, 8.0f, 0.5f);
	strike->avoidDrops = 1;
	auto targeting =
		std::make_unique<AITargetingBehaviour>(this, std::move(chase), std::move(strike), 23.0f, 0.5f, 1000.0f);
	targeting->avoidDrops = 1;
	targeting->viewAlignment = kViewAlignment;
	AddBehaviour(std::move(targeting), true);
	Hold(kHeldKind, nullptr);
}

void ActorFireWizard::LoadModel()
{
	CreatureSetup::LoadModel(*this, *CreatureSetup::FindRow(kKind));
}

bool ActorFireWizard::AcceptsBlowFrom(Actor *attacker)
{
	return IsActor(attacker) && attacker->stats.heldKind == kWeaknessKind && Actor::AcceptsBlowFrom(attacker);
}

bool ActorFireWizard::Strike(MapEntity *attacker, uint8_t damage, float power)
{
	(void)damage;
	if (!IsActor(attacker) || !AcceptsBlowFrom(static_cast<Actor *>(attacker)))
		return false;
	return Actor::Strike(attacker, 1, power);
}
