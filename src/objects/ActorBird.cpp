#include "objects/ActorBird.h"

#include "objects/ActorRegistry.h"
#include "objects/CreatureSetup.h"
#include "objects/GameLink.h"

#include <cmath>

namespace {

constexpr uint32_t kBirdRowKind = 61;
const Vec3 kUp(0.0f, 1.0f, 0.0f);

Vec3 Normalized(const Vec3 &v, const Vec3 &fallback)
{
	const float length = Vec3Length(v);
	return length > 0.0f ? v / length : fallback;
}

float HorizontalDistance(const Vec3 &a, const Vec3 &b)
{
	return std::hypot(a.x - b.x, a.z - b.z);
}

} // namespace

ActorBird::ActorBird(uint32_t kind) : Actor(kind)
{
	CreatureSetup::Apply(*this, *CreatureSetup::FindRow(kBirdRowKind));
	verticalFactor = 0.0f;
	followsGround = 0;
}

void ActorBird::AddLooks(std::vector<EntityLook> &looks) const
{
	CreatureSetup::AddLook(looks, *CreatureSetup::FindRow(kBirdRowKind));
}

void ActorBird::LoadModel()
{
	CreatureSetup::LoadModel(*this, *CreatureSetup::FindRow(kBirdRowKind));
}

void ActorBird::Defeat()
{
	if (HasHearts())
		ActorRegistry::Remove(this);
	Actor::Defeat();
	verticalFactor = 1.0f;
	followsGround = 1;
}

void ActorBird::Update(float dt)
{
	GameLink &game = GameLink::Get();
	if (game.HasHud() && game.IsMessageVisible())
		return;
	Actor::Update(dt);
	if (!HasHearts()) {
		verticalFactor = 1.0f;
		followsGround = 1;
		return;
	}
	stateTime += dt;
	const uint32_t was = birdState;
	Step();
	if (birdState != was)
		stateTime = 0.0f;
}

void ActorBird::Step()
{
	const Vec3 position = transform.position;
	switch (birdState) {
	case kPerched: {
		aimPoint = position;
		// Its tree picks the target (the foe that comes under it).
		if (IsLivingActor(target) && ActorRegistry::CountLivingActors() <= 1) {
			ActorRegistry::Add(this);
			aimPoint = target->transform.position + Vec3(0.0f, kDiveAim, 0.0f);
			diveDirection = Normalized(aimPoint - position, kUp);
			diveDistance = Vec3Length(aimPoint - position);
			birdState = kDiving;
		}
		break;
	}
	case kDiving:
		if (!IsLivingActor(target) || stateTime > kMaxDiveTime || glm::dot(facing, diveDirection) < kDiveAlignment) {
			Retreat();
			break;
		}
		if (!IsWithinRange(position, aimPoint, diveDistance * 0.5f)) {
			aimPoint = target->transform.position + Vec3(kReaimOffset);
			diveDirection = Normalized(aimPoint - position, kUp);
		}
		break;
	case kRetreating:
		if (stateTime >= kRetreatTime || HorizontalDistance(position, aimPoint) < kRetreatReach) {
			ActorRegistry::Remove(this);
			SetTarget(nullptr);
			birdState = kReturning;
		}
		break;
	default:
		aimPoint = homePosition;
		if (IsWithinRange(position, homePosition, kHomeReach))
			birdState = kPerched;
		break;
	}
}

void ActorBird::Retreat()
{
	ActorRegistry::Remove(this);
	// Without a target it flies on from where it is.
	const Vec3 from = target != nullptr ? target->transform.position : transform.position;
	aimPoint = from + diveDirection * kRetreatDistance;
	aimPoint.y = homePosition.y + kRetreatHeight;
	birdState = kRetreating;
}

void ActorBird::GetDesiredMove(Vec3 &out, float dt)
{
	(void)dt;
	out = Vec3(0.0f);
	if (!HasHearts())
		return;
	const Vec3 d = aimPoint - transform.position;
	if (birdState == kPerched && Vec3Length(d) < kHomeReach)
		return;
	// At the aim point itself there is no direction: no move.
	out = Normalized(d, Vec3(0.0f)) * kFlySpeed;
	if (HorizontalDistance(aimPoint, transform.position) >= kFarDistance && out.y < 0.0f)
		out.y = 1.0f;
}
