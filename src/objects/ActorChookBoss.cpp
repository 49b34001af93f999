#include "objects/ActorChookBoss.h"

#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/FlankBehaviour.h"
#include "objects/RoamBehaviour.h"

ActorChookBoss::ActorChookBoss() : ActorChook(kKind)
{
}

void ActorChookBoss::SetupBehaviours()
{
	auto targeting = std::make_unique<AITargetingBehaviour>(this, std::make_unique<RoamBehaviour>(this, 1.0f, 0.3f),
		std::make_unique<AIAttackChargeBehaviour>(this, 3.0f, 50.0f, 18.0f, 1.0f), 10.0f, 2.0f, 100.0f);
	targeting->SetSubBehaviour(AITargetingBehaviour::kStateHitReact, std::make_unique<FlankBehaviour>(this, 24.0f));
	targeting->hitReactStep = 1.0f;
	AddBehaviour(std::move(targeting), true);
}
