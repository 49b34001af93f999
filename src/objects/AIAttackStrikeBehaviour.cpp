#include "objects/AIAttackStrikeBehaviour.h"

#include "objects/Actor.h"

AIAttackStrikeBehaviour::AIAttackStrikeBehaviour(Actor *owner, float reach, float windUp)
	: InteractBehaviour(owner, nullptr)
{
	this->reach = reach;
	this->windUp = windUp;
}

uint8_t AIAttackStrikeBehaviour::OnReach()
{
	owner->PlayAnimationAt(kAnimStrikeFore, 0.0f, windUp);
	return kPhaseWindUp;
}

uint8_t AIAttackStrikeBehaviour::Act()
{
	owner->StartAttack();
	return kPhaseFollow;
}

uint8_t AIAttackStrikeBehaviour::Follow(float dt)
{
	(void)dt;
	targetPoint = owner->transform.position;
	return phaseTime > kRecoverTime ? kPhaseDone : kPhaseFollow;
}
