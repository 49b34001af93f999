#include "objects/KillBehaviour.h"

#include "map/TileMap.h"
#include "objects/Actor.h"

namespace {

constexpr float kBlowPower = 1.0f;

// The target is still there to act on: alive and in the actor's scene.
bool IsPresent(const Entity *target, const Entity *owner)
{
	return Entity::IsAlive(target) && owner != nullptr && target->scene == owner->scene;
}

} // namespace

KillBehaviour::KillBehaviour(Actor *actor, MapEntity *target)
	: InteractBehaviour(actor, target)
{
}

void KillBehaviour::Begin()
{
	if (owner != nullptr && targetEntity != nullptr)
		owner->SetTarget(targetEntity);
	InteractBehaviour::Begin();
	if (owner != nullptr)
		speed = owner->GetMoveSpeed();
}

uint8_t KillBehaviour::TickPhase(float dt)
{
	if (!IsPresent(targetEntity, owner)) {
		targetEntity = nullptr;
		Finish();
		return kPhaseDone;
	}
	return InteractBehaviour::TickPhase(dt);
}

uint8_t KillBehaviour::OnReach()
{
	owner->StartAttack();
	return kPhaseFollow;
}

uint8_t KillBehaviour::Follow(float dt)
{
	(void)dt;
	if (phaseTime <= kBlowDelay)
		return kPhaseFollow;
	MapEntity *target = targetEntity;
	target->Strike(owner, 0, kBlowPower);
	if (Actor *victim = dynamic_cast<Actor *>(target)) {
		victim->Defeat();
		if (victim->map != nullptr && victim->mapObject != nullptr)
			victim->map->SetGroupFlag(victim->mapObject->Group(), true);
	}
	return kPhaseDone;
}
