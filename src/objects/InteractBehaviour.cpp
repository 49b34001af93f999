#include "objects/InteractBehaviour.h"

#include "objects/Actor.h"

InteractBehaviour::InteractBehaviour(Actor *owner, MapEntity *target) : ActorBehaviour(owner), targetEntity(target)
{
}

void InteractBehaviour::Begin()
{
	if (owner == nullptr) {
		Finish();
		return;
	}
	if (targetEntity == nullptr)
		targetEntity = owner->GetTarget();
	if (targetEntity == nullptr) {
		Finish();
		return;
	}
	owner->SetTarget(targetEntity);
	ActorBehaviour::Begin();
}

uint8_t InteractBehaviour::TickPhase(float dt)
{
	if (!IsLiveActor(owner)) {
		Finish();
		return kPhaseDone;
	}
	switch (active) {
	case kPhaseApproach:
		return Approach(dt);
	case kPhaseWindUp:
		return WindUp(dt);
	case kPhaseFollow:
		return Follow(dt);
	case kPhaseDone:
		Finish();
		return kPhaseDone;
	default:
		return kPhaseApproach;
	}
}

uint8_t InteractBehaviour::Approach(float dt)
{
	(void)dt;
	MapEntity *current = owner->GetTarget();
	if (current == nullptr)
		return kPhaseDone;
	targetPoint = current->transform.position;
	if (owner->IsInView(targetPoint, reach, 0.0f))
		return OnReach();
	return kPhaseApproach;
}

uint8_t InteractBehaviour::OnReach()
{
	return kPhaseWindUp;
}

uint8_t InteractBehaviour::WindUp(float dt)
{
	(void)dt;
	if (phaseTime <= windUp) {
		targetPoint = owner->transform.position;
		return kPhaseWindUp;
	}
	return Act();
}

void InteractBehaviour::ForgetEntity(const Entity *entity)
{
	if (targetEntity == entity)
		targetEntity = nullptr;
}
