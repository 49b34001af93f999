#include "objects/FleeBehaviour.h"

#include "engine/collision/Collider.h"
#include "engine/core/Scene.h"
#include "objects/Actor.h"

FleeBehaviour::FleeBehaviour(Actor *owner, uint32_t directionCode)
	: ActorBehaviour(owner), directionCode(directionCode), direction(DirectionToVector(directionCode))
{
	if (owner != nullptr)
		owner->CreateCollider(Collider::kModeIgnored, Vec3(0.0f), Vec3(0.0f));
}

void FleeBehaviour::Begin()
{
	ActorBehaviour::Begin();
	speed = kFleeSpeed;
}

void FleeBehaviour::Update(float dt)
{
	(void)dt;
	if (owner == nullptr)
		return;
	if (fleeing != 0) {
		targetPoint = owner->transform.position + direction * kLeadDistance;
		return;
	}
	if (owner->scene == nullptr)
		return;
	const Entity *near = owner->scene->FindNearestEntity(owner->transform.position, kFactionPlayer, kSearchRadius);
	if (near != nullptr && IsWithinRange(near->transform.position, owner->transform.position, kNoticeRange))
		fleeing = 1;
}
