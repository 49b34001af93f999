#include "objects/FlankBehaviour.h"

#include "objects/Actor.h"

#include <limits>

namespace {

constexpr float kHold = std::numeric_limits<float>::infinity();

float SideSign(uint8_t side)
{
	return side == 1 ? 1.0f : -1.0f;
}

float DistanceSquared(const Vec3 &a, const Vec3 &b)
{
	const Vec3 d = a - b;
	return d.x * d.x + d.y * d.y + d.z * d.z;
}

} // namespace

FlankBehaviour::FlankBehaviour(Actor *owner, float flankSpeed) : ActorBehaviour(owner), flankSpeed(flankSpeed)
{
}

Vec3 FlankBehaviour::FlankPoint(uint8_t which)
{
	if (MapEntity *foe = GetHostileTarget())
		return foe->transform.position + foe->transform.GetRight() * kSideDistance * SideSign(which);
	return owner->transform.position - owner->transform.GetForward() * kSideDistance;
}

void FlankBehaviour::ChooseSide()
{
	if (owner == nullptr)
		return;
	stuckTimer = kStuckTime;
	const Vec3 position = owner->transform.position;
	side = DistanceSquared(FlankPoint(1), position) < DistanceSquared(FlankPoint(0), position) ? 1 : 0;
}

void FlankBehaviour::Begin()
{
	ActorBehaviour::Begin();
	ChooseSide();
	if (owner != nullptr)
		lastPosition = owner->transform.position;
}

void FlankBehaviour::OnTouch(Entity *other)
{
	(void)other;
	ChooseSide();
}

bool FlankBehaviour::Tick(float dt)
{
	MapEntity *foe = owner != nullptr ? AcquireTarget(kHold) : nullptr;
	if (foe == nullptr) {
		Finish();
		return false;
	}
	targetPoint = foe->transform.position + foe->transform.GetRight() * kSideDistance * SideSign(side);
	speed = flankSpeed;
	const Vec3 position = owner->transform.position;
	if (IsWithinRange(position, lastPosition, dt)) {
		stuckTimer -= dt;
		if (stuckTimer <= 0.0f)
			Finish();
	}
	Vec3 d = targetPoint - position;
	const float length = Vec3Length(d);
	d = length > 0.0f ? d / length : Vec3(0.0f, 1.0f, 0.0f);
	if (glm::dot(d, foe->transform.GetForward()) < kBesideAlignment)
		Finish();
	lastPosition = position;
	return false;
}
