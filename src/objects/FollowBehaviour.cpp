#include "objects/FollowBehaviour.h"

#include "engine/collision/Collider.h"
#include "engine/core/Entity.h"
#include "objects/Actor.h"
#include "objects/GameLink.h"
#include "objects/Party.h"

#include <cmath>

namespace {

constexpr float kSeedScale = 1000.0f; // the seed reads the position in thousandths

// The flat facing of an entity; north when it has none.
Vec3 FlatForward(const Entity &entity)
{
	Vec3 forward = entity.transform.GetForward();
	forward.y = 0.0f;
	return Vec3SafeNormalize(forward, Vec3(0.0f, 0.0f, -1.0f));
}

} // namespace

FollowBehaviour::FollowBehaviour(Actor *member, Entity *leader, float speed, bool defend)
	: ActorBehaviour(member), leader(leader), defend(defend ? 1 : 0), memberSpeed(speed)
{
	this->speed = speed;
	if (member != nullptr) {
		const Vec3 &at = member->transform.position;
		random.Seed(static_cast<uint32_t>(static_cast<int32_t>(std::trunc(at.x * kSeedScale - at.z * kSeedScale))));
	}
}

void FollowBehaviour::Begin()
{
	ActorBehaviour::Begin();
	speed = memberSpeed;
	if (owner == nullptr)
		return;
	// Members walk through each other and the hero; the line would jam.
	owner->CreateCollider(Collider::kModeIgnored, Vec3(0.0f), Vec3(0.0f));
	if (savedStepHeight < 0.0f)
		savedStepHeight = owner->stepHeight;
	scanTimer = kScanInterval;
}

void FollowBehaviour::Finish()
{
	if (owner != nullptr) {
		owner->CreateCollider(Collider::kModeStatic, Vec3(0.0f), Vec3(0.0f));
		owner->stepHeight = kRestStep;
	}
	ActorBehaviour::Finish();
}

void FollowBehaviour::ForgetEntity(const Entity *entity)
{
	if (entity != nullptr && entity == leader)
		leader = nullptr;
}

void FollowBehaviour::Update(float dt)
{
	if (owner == nullptr || leader == nullptr || leader->scene == nullptr)
		return;
	if (owner->GetTarget() != nullptr && !GameLink::Get().IsMode(kModeOriginalRules))
		Fight(dt);
	else
		FollowLeader(dt);
}

void FollowBehaviour::FollowLeader(float dt)
{
	if (!IsLiveActor(leader))
		return;
	const Vec3 &at = leader->transform.position;
	targetPoint = at - FlatForward(*leader) * kBehind;

	const Vec3 &self = owner->transform.position;
	const bool near = IsWithinRange(self, at, kNearRange) && self.y >= at.y - kNearDrop;
	owner->stepHeight = near ? savedStepHeight : kCatchUpStep;

	if (defend == 0)
		return;
	scanTimer -= dt;
	if (scanTimer >= 0.0f)
		return;
	Entity *threat = Party::Instance().FindThreat(owner);
	if (IsLiveActor(threat)) {
		owner->SetTarget(static_cast<MapEntity *>(threat));
		scanTimer = random.Range(kRescanLow, kRescanHigh);
	}
}

void FollowBehaviour::Fight(float dt)
{
	MapEntity *target = owner->GetTarget();
	const bool fightable = IsLivingActor(target) && static_cast<const MapEntity *>(target)->GetKind() != Party::kSmithKind;
	if (!fightable) {
		owner->SetTarget(nullptr);
		return;
	}
	const bool inReach = owner->IsEntityInView(target, kReach, 0.0f);
	if (!inReach)
		targetPoint = target->transform.position + FlatForward(*target);

	if (attackCooldown > 0.0f) {
		attackCooldown -= dt;
	} else if (inReach) {
		owner->StartAttack();
		attackCooldown = random.Range(kCooldownLow, kCooldownHigh);
	}

	if (!owner->IsEntityInView(leader, kLeaderSight, 0.0f))
		owner->SetTarget(nullptr);
}
