#include "objects/ActorChook2.h"

#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AIJumpBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/FlankBehaviour.h"
#include "objects/RoamBehaviour.h"

ActorChook2::ActorChook2() : ActorChook(kKind)
{
}

void ActorChook2::SetupBehaviours()
{
	auto targeting = std::make_unique<AITargetingBehaviour>(this, std::make_unique<RoamBehaviour>(this, 2.5f, 0.3f),
		std::make_unique<AIAttackChargeBehaviour>(this, 6.0f, 7.0f, 15.0f, 0.4f), 12.0f, 2.0f, 1000.0f);
	targeting->SetSubBehaviour(AITargetingBehaviour::kStatePreAttack, std::make_unique<AIJumpBehaviour>(this, 0.2f));
	targeting->SetSubBehaviour(AITargetingBehaviour::kStateHitReact, std::make_unique<FlankBehaviour>(this, 12.0f));
	targeting->hitReactStep = 1.0f;
	AddBehaviour(std::move(targeting), true);
}
