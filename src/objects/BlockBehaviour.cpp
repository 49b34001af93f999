#include "objects/BlockBehaviour.h"

#include "engine/collision/Collider.h"
#include "engine/core/Scene.h"
#include "objects/Actor.h"

BlockBehaviour::BlockBehaviour(Actor *actor)
	: ActorBehaviour(actor)
{
	speed = 0.0f;
}

void BlockBehaviour::Begin()
{
	ActorBehaviour::Begin();
	speed = 0.0f;
	if (owner == nullptr)
		return;
	if (owner->collider != nullptr)
		owner->collider->mode = Collider::kModeStatic;
	heldPosition = owner->transform.position;
}

void BlockBehaviour::Update(float dt)
{
	if (owner == nullptr)
		return;
	Entity *near = owner->scene != nullptr
		? owner->scene->FindNearestEntity(owner->transform.position, kWatchedFactions, kSearchRadius)
		: nullptr;
	if (near != nullptr) {
		owner->FaceTowards(near);
		if (strikeTimer > 0.0f)
			strikeTimer -= dt;
		if (IsWithinRange(near->transform.position, owner->transform.position, kStrikeReach) && strikeTimer <= 0.0f) {
			owner->StartAttack();
			strikeTimer = kStrikeInterval;
		}
	}
	owner->transform.SetPosition(heldPosition);
}

void BlockBehaviour::MoveTowards(Vec3 &out, float dt)
{
	(void)dt;
	out = Vec3(0.0f);
}
