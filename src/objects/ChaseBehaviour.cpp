#include "objects/ChaseBehaviour.h"

#include "objects/Actor.h"

ChaseBehaviour::ChaseBehaviour(Actor *owner, float chaseRange) : ActorBehaviour(owner), chaseRange(chaseRange)
{
}

void ChaseBehaviour::Begin()
{
	ActorBehaviour::Begin();
	AcquireTarget(kTargetHold);
}

void ChaseBehaviour::Update(float dt)
{
	(void)dt;
	if (owner == nullptr)
		return;
	MapEntity *foe = GetHostileTarget();
	if (foe != nullptr && owner->IsEntityInView(foe, chaseRange, viewAlignment))
		targetPoint = foe->transform.position;
	else
		targetPoint = owner->homePosition;
}
