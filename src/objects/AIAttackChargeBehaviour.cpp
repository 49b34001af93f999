#include "objects/AIAttackChargeBehaviour.h"

#include "objects/Actor.h"

#include <limits>

AIAttackChargeBehaviour::AIAttackChargeBehaviour(Actor *owner, float approachSpeed, float reach, float chargeSpeed,
	float chargeDuration)
	: InteractBehaviour(owner, nullptr), approachSpeed(approachSpeed), chargeSpeed(chargeSpeed),
	  chargeDuration(chargeDuration)
{
	this->reach = reach;
}

void AIAttackChargeBehaviour::Begin()
{
	// Keeps any target it has, however long held.
	AcquireTarget(std::numeric_limits<float>::infinity());
	InteractBehaviour::Begin();
	if (IsFinished())
		return;
	speed = approachSpeed;
	state = kBehaviourRunning;
	owner->PlaySoundVariant(Actor::kAttackVoice);
}

uint8_t AIAttackChargeBehaviour::Act()
{
	speed = chargeSpeed;
	MapEntity *foe = GetHostileTarget();
	if (foe == nullptr) {
		Finish();
		return kPhaseDone;
	}
	targetPoint = foe->transform.position;
	Vec3 d = targetPoint - owner->transform.position;
	d.y = 0.0f;
	const float length = Vec3Length(d);
	chargeDirection = length > 0.0f ? d / length : Vec3(0.0f, 1.0f, 0.0f);
	return kPhaseFollow;
}

uint8_t AIAttackChargeBehaviour::Follow(float dt)
{
	(void)dt;
	// A point one unit ahead, renewed every frame, keeps it running straight.
	targetPoint = owner->transform.position + chargeDirection;
	return phaseTime > chargeDuration ? kPhaseDone : kPhaseFollow;
}
