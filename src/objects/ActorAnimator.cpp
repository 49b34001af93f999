#include "objects/ActorAnimator.h"

#include "objects/Actor.h"
#include "objects/ActorTuning.h"

namespace {

using namespace ActorTuning;

float LengthSquared(const Vec3 &v)
{
	return v.x * v.x + v.y * v.y + v.z * v.z;
}

} // namespace

void ActorAnimator::SetUpModel(Actor &actor)
{
	for (ModelAnimation *&animation : actor.animations)
		animation = nullptr;
	actor.weaponBone = nullptr;
	Model3D &model = actor.model;
	if (!model.IsLoaded())
		return;
	model.SetSpeed(actor.modelSpeed);
	model.SetBaseRotation(glm::angleAxis(glm::pi<float>(), kUp));
	for (int i = 0; i < kActorAnimationCount; i++) {
		actor.animations[i] = model.FindAnimation(kAnimationNames[i].name);
		if (actor.animations[i] != nullptr && kAnimationNames[i].loops)
			actor.animations[i]->loop = 1;
	}
	actor.weaponBone = model.FindJoint("B_Weapon.L");
	if (actor.weaponBone == nullptr)
		actor.weaponBone = model.FindJoint("B_Hand.L");
}

void ActorAnimator::Play(Actor &actor, uint8_t index, float hold, float speed)
{
	if (!actor.HasHearts())
		return;
	if (ModelAnimation *animation = actor.GetAnimation(index)) {
		actor.model.SetAnimationAtSpeed(animation, 0.0f, speed);
		actor.model.SetTime(0.0f); // a strike repeated restarts too
	}
	actor.actionTimer = hold;
	actor.animationHoldTimer = 0.0f;
}

void ActorAnimator::PlayBlended(Actor &actor, uint8_t index, float blend, float hold, float speed)
{
	if (!actor.HasHearts())
		return;
	if (ModelAnimation *animation = actor.GetAnimation(index))
		actor.model.BlendToAnimationAtSpeed(animation, blend, speed);
	actor.actionTimer = hold;
	actor.animationHoldTimer = 0.0f;
}

void ActorAnimator::PlayAt(Actor &actor, uint8_t index, float startTime, float hold)
{
	if (!actor.HasHearts())
		return;
	if (ModelAnimation *animation = actor.GetAnimation(index)) {
		actor.model.SetAnimation(animation, startTime);
		actor.model.SetTime(startTime);
	}
	actor.animationHoldTimer = hold;
	actor.actionTimer = hold;
	actor.model.Update(0.0f);
}

void ActorAnimator::Update(Actor &actor, float dt)
{
	Model3D &model = actor.model;

	// Dying, acting, or idling and running.
	if (actor.deathTimer > 0.0f) {
		actor.deathTimer -= dt;
		// Exactly 0 is over too, so a delay of whole frames ends on time.
		if (actor.deathTimer <= 0.0f) {
			actor.deathTimer = 0.0f;
			actor.Die();
		}
	} else if (actor.actionTimer > 0.0f) {
		actor.actionTimer -= dt;
	} else if (actor.HasHearts()) {
		if (actor.moving == 0) {
			if (actor.animations[kAnimIdle] != nullptr)
				model.BlendToAnimation(actor.animations[kAnimIdle], kIdleBlend);
			model.SetSpeed(kIdleSpeed);
		} else {
			if (actor.animations[kAnimRun] != nullptr)
				model.BlendToAnimation(actor.animations[kAnimRun], kRunBlend);
			const float scale = LengthSquared(actor.slideVelocity) > 0.01f ? kSlideRunSpeedScale : kRunSpeedScale;
			model.SetSpeed(Vec3Length(actor.moveVelocity) * kRunSpeedPerUnit * scale);
		}
		if (actor.keepAttacking != 0)
			actor.StartAttack();
	}

	// Rolling.
	if (actor.rollTimer > 0.0f) {
		actor.rollTimer -= dt;
		if (actor.actionTimer < 0.0f) {
			actor.actionTimer = kRollTailHold;
			actor.actionMoveFactor = kRollTailMove;
		}
	} else if (actor.keepRolling != 0) {
		if (LengthSquared(actor.moveVelocity) <= kBlockMinSpeedSquared)
			actor.Block();
		else
			actor.StartRoll();
	}

	// Turning toward the way it walks.
	if (LengthSquared(actor.facing) > 0.3f) {
		const glm::quat wanted = LookRotation(NormalizedOr(actor.facing, kSouth), kUp);
		actor.transform.rotation = SlerpApproach(actor.transform.rotation, wanted, kTurnRate, dt);
	}

	if (actor.animationHoldTimer > 0.0f)
		actor.animationHoldTimer -= dt;
	else
		model.Update(dt);

	if (actor.strikeEffectTimer > 0.0f) {
		actor.strikeEffectTimer -= dt;
		if (actor.strikeEffectTimer <= 0.0f) {
			actor.strikeEffectTimer = 0.0f;
			actor.SpawnStrikeFX();
		}
	}

	if (actor.busyTimer > 0.0f)
		actor.busyTimer = Max(actor.busyTimer - dt, 0.0f);

	actor.UpdateFootsteps(dt);
}
