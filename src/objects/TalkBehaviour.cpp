#include "objects/TalkBehaviour.h"

#include "engine/core/Entity.h"
#include "objects/Actor.h"
#include "objects/GameLink.h"

TalkBehaviour::TalkBehaviour(Actor *actor, Entity *listenerEntity)
	: ActorBehaviour(actor)
	, listener(listenerEntity)
{
	speed = 0.0f;
}

void TalkBehaviour::Begin()
{
	ActorBehaviour::Begin();
	speed = 0.0f;
}

void TalkBehaviour::Update(float dt)
{
	if (owner == nullptr) {
		SetDone();
		return;
	}
	const bool busy = GameLink::Get().IsBusy();
	if (busy) {
		owner->PlayAnimation(kTalkAnimation, kTalkHold, kTalkSpeed);
	} else {
		timer += dt;
		if (timer > kLingerSeconds)
			SetDone();
	}
	if (!Entity::IsAlive(listener) || listener->scene != owner->scene) {
		// Nobody left to talk to.
		listener = nullptr;
		SetDone();
		return;
	}
	if (busy)
		owner->FaceTowards(listener);
	if (IsWithinRange(owner->transform.position, listener->transform.position, kTalkReach)) {
		owner->FaceTowards(listener);
		if (Actor *other = dynamic_cast<Actor *>(listener))
			other->FaceTowards(owner);
	} else {
		SetDone();
	}
}

void TalkBehaviour::ForgetEntity(const Entity *entity)
{
	if (entity != nullptr && entity == listener)
		listener = nullptr;
}
