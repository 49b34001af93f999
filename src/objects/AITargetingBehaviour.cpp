#include "objects/AITargetingBehaviour.h"

#include "engine/core/Log.h"
#include "objects/Actor.h"
#include "objects/ActorRegistry.h"

#include <cmath>
#include <limits>

namespace {

constexpr float kHold = std::numeric_limits<float>::infinity(); // keep any target
constexpr uint32_t kPlacementSeedFactor = 99;
constexpr float kPositionSeedScale = 1000.0f;
constexpr float kChillPerRecovery = 2.0f; // chill seconds per unit of knock-back recovery

} // namespace

AITargetingBehaviour::AITargetingBehaviour(Actor *owner, std::unique_ptr<ActorBehaviour> idle,
	std::unique_ptr<ActorBehaviour> attack, float attackRange, float thinkTime, float leash)
	: ActorBehaviour(owner), attackRange(attackRange), thinkTime(thinkTime), leash(leash)
{
	subs[kStateIdle] = std::move(idle);
	subs[kStateAttack] = std::move(attack);
	if (2.0f * attackRange > range)
		range = 2.0f * attackRange;
}

AITargetingBehaviour::~AITargetingBehaviour() = default;

bool AITargetingBehaviour::SetSubBehaviour(size_t index, std::unique_ptr<ActorBehaviour> behaviour)
{
	if (index >= kStateCount)
		return false; // the behaviour goes with the argument
	if (behaviour != nullptr && behaviour.get() == subs[index].get()) {
		// Already ours: one owner is enough.
		(void)behaviour.release();
		return true;
	}
	subs[index] = std::move(behaviour);
	return true;
}

ActorBehaviour *AITargetingBehaviour::GetSubBehaviour(size_t index) const
{
	return index < kStateCount ? subs[index].get() : nullptr;
}

void AITargetingBehaviour::Begin()
{
	if (owner != nullptr && owner->mapObject != nullptr)
		generator.Seed(owner->mapObject->x * kPlacementSeedFactor + owner->mapObject->y);
	ActorBehaviour::Begin();
	ActorRegistry::Remove(owner);
	active = EnterIdle();
	phaseTime = 0.0f;
}

void AITargetingBehaviour::SetState(uint8_t next)
{
	active = next;
	phaseTime = 0.0f;
}

bool AITargetingBehaviour::IsBeyondLeash() const
{
	return !IsWithinRange(owner->transform.position, owner->homePosition, leash);
}

uint8_t AITargetingBehaviour::EnterIdle()
{
	ActorRegistry::Remove(owner);
	AcquireTarget(kIdleRetarget);
	if (ActorBehaviour *idle = subs[kStateIdle].get()) {
		if (!idle->IsRunning())
			idle->Begin();
	}
	const Vec3 &p = owner->transform.position;
	generator.Seed(static_cast<uint32_t>(static_cast<int32_t>(std::trunc(p.x * kPositionSeedScale + p.z))));
	thinkTimer = generator.Range(thinkTime - thinkSpread, thinkTime + thinkSpread);
	owner->PlaySoundVariant(0);
	return kStateIdle;
}

uint8_t AITargetingBehaviour::EnterReturn()
{
	targetPoint = owner->homePosition;
	speed = owner->GetMoveSpeed() * kReturnSpeedFactor;
	return kStateReturn;
}

uint8_t AITargetingBehaviour::EnterAttack(uint8_t attackState)
{
	AcquireTarget(kHold);
	if (ActorBehaviour *sub = subs[attackState].get())
		sub->Begin();
	ActorRegistry::Add(owner);
	return attackState;
}

uint8_t AITargetingBehaviour::EnterHitReact(MapEntity *foe)
{
	LogDebug("HitReact\n");
	owner->SetTarget(foe);
	if (ActorBehaviour *sub = subs[kStateHitReact].get())
		sub->Begin();
	return kStateHitReact;
}

bool AITargetingBehaviour::UpdateSub(uint8_t slot, float dt)
{
	ActorBehaviour *sub = subs[slot].get();
	if (sub == nullptr)
		return true;
	if (sub->IsRunning())
		sub->Update(dt);
	return sub->IsFinished();
}

uint8_t AITargetingBehaviour::TickPhase(float dt)
{
	if (owner == nullptr)
		return kStateIdle;
	switch (active) {
	case kStateIdle:
		return TickIdle(dt);
	case kStatePreAttack:
		return UpdateSub(kStatePreAttack, dt) ? EnterAttack(kStateAttack) : kStatePreAttack;
	case kStateAttack:
		return TickAttack(dt);
	case kStateChill:
		chillTimer -= dt;
		return chillTimer <= 0.0f ? EnterIdle() : kStateChill;
	case kStateReturn:
		return IsWithinRange(owner->transform.position, owner->homePosition, kHomeReach) ? EnterIdle() : EnterReturn();
	case kStateHitReact:
		return TickHitReact(dt);
	default:
		return EnterIdle();
	}
}

uint8_t AITargetingBehaviour::TickIdle(float dt)
{
	if (IsBeyondLeash())
		return EnterReturn();
	firstAttackDelay -= dt;
	UpdateSub(kStateIdle, dt);
	MapEntity *foe = GetHostileTarget();
	if (firstAttackDelay <= 0.0f && IsLivingActor(foe) && owner->IsEntityInView(foe, attackRange, viewAlignment)
		&& ActorRegistry::CountLivingActors() == 0)
		return EnterAttack(subs[kStatePreAttack] != nullptr ? kStatePreAttack : kStateAttack);
	thinkTimer -= dt;
	return thinkTimer <= 0.0f ? EnterIdle() : kStateIdle;
}

uint8_t AITargetingBehaviour::TickAttack(float dt)
{
	if (phaseTime > maxAttackTime && IsBeyondLeash())
		return EnterReturn();
	if (GetHostileTarget() != nullptr) {
		const bool finished = UpdateSub(kStateAttack, dt);
		if (GetHostileTarget() != nullptr && !finished)
			return kStateAttack;
	}
	return EnterIdle();
}

uint8_t AITargetingBehaviour::TickHitReact(float dt)
{
	if (!UpdateSub(kStateHitReact, dt))
		return kStateHitReact;
	if (GetHostileTarget() != nullptr)
		return EnterAttack(kStateAttack);
	return EnterIdle();
}

void AITargetingBehaviour::MoveTowards(Vec3 &out, float dt)
{
	out = Vec3(0.0f);
	if (active == kStateReturn) {
		ActorBehaviour::MoveTowards(out, dt);
		return;
	}
	if (active < kStateCount && subs[active] != nullptr)
		subs[active]->MoveTowards(out, dt);
}

void AITargetingBehaviour::OnEnd()
{
	if (active != kStateAttack)
		return;
	MapEntity *foe = GetHostileTarget();
	if (subs[kStateHitReact] != nullptr && foe != nullptr) {
		hitReactAccumulator += hitReactStep;
		if (hitReactAccumulator >= 1.0f) {
			hitReactAccumulator = 0.0f;
			LogDebug("Postattack HitReact\n");
			SetState(EnterHitReact(foe));
			return;
		}
	}
	LogDebug("Postattack Chill\n");
	targetPoint = owner->transform.position;
	if (subs[kStateIdle] != nullptr)
		subs[kStateIdle]->Begin();
	chillTimer = kChillPerRecovery * owner->knockBackRecovery;
	SetState(kStateChill);
}

bool AITargetingBehaviour::OnStruck(Actor *attacker)
{
	if (IsActor(attacker) && subs[kStateHitReact] != nullptr)
		SetState(EnterHitReact(attacker));
	return ActorBehaviour::OnStruck(attacker);
}

void AITargetingBehaviour::ForgetEntity(const Entity *entity)
{
	for (std::unique_ptr<ActorBehaviour> &sub : subs) {
		if (sub != nullptr)
			sub->ForgetEntity(entity);
	}
}
