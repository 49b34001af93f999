#include "objects/ActorBehaviour.h"

#include "engine/core/Entity.h"
#include "map/TileMap.h"
#include "objects/Actor.h"

#include <cmath>
#include <limits>
#include <unordered_map>

namespace {

constexpr float kNoPoint = std::numeric_limits<float>::infinity();

// The behaviours that exist now, by handle. Handles are never reused within a
// run (a 32-bit count), so a handle kept after its behaviour was freed can
// never name another one.
struct BehaviourBook {
	std::unordered_map<BehaviourHandle, const ActorBehaviour *> living;
	BehaviourHandle next = 1;
};

// Never destroyed, so behaviours freed at exit can still sign out.
BehaviourBook &Book()
{
	static BehaviourBook *book = new BehaviourBook();
	return *book;
}

BehaviourHandle Enter(const ActorBehaviour *behaviour)
{
	BehaviourBook &book = Book();
	BehaviourHandle handle = book.next++;
	if (book.next == kNoBehaviour)
		book.next = 1;
	book.living[handle] = behaviour;
	return handle;
}

// Live: added or running, and held by a scene or container.
bool IsOwnerLive(const Actor *owner)
{
	return owner != nullptr && owner->lifeState < kLifePaused && (owner->scene != nullptr || owner->container != nullptr);
}

} // namespace

bool IsHostile(uint8_t a, uint8_t b)
{
	return (a == kFactionHostile) != (b == kFactionHostile);
}

bool IsBehaviourFinished(BehaviourHandle handle)
{
	const BehaviourBook &book = Book();
	auto found = book.living.find(handle);
	if (found == book.living.end())
		return true;
	return found->second->IsFinished() || found->second->IsReleased();
}

ActorBehaviour::ActorBehaviour(Actor *owner)
	: owner(owner), targetPoint(kNoPoint), speed(owner != nullptr ? owner->GetMoveSpeed() : 0.0f), handle(Enter(this))
{
}

ActorBehaviour::~ActorBehaviour()
{
	Book().living.erase(handle);
}

bool ActorBehaviour::HasTargetPoint() const
{
	return std::isfinite(targetPoint.x) && std::isfinite(targetPoint.y) && std::isfinite(targetPoint.z);
}

void ActorBehaviour::ClearTargetPoint()
{
	targetPoint = Vec3(kNoPoint);
}

void ActorBehaviour::Begin()
{
	speed = owner != nullptr ? owner->GetMoveSpeed() : 0.0f;
	active = Decide() ? 1 : 0;
	state = kBehaviourRunning;
}

void ActorBehaviour::Update(float dt)
{
	if (!IsOwnerLive(owner)) {
		active = 0;
		phaseTime = 0.0f;
		return;
	}
	const uint8_t was = active;
	const float oldTimeout = timeout;
	active = TickPhase(dt);
	if (timeout > 0.0f) {
		timeout -= dt;
		// Running out exactly counts: a 0.5 s timeout ends after 0.5 s.
		if (timeout <= 0.0f)
			active = 0;
	}
	if (active == 0) {
		timeout = 0.0f;
		active = Decide() ? 1 : 0;
	}
	if (active == was) {
		phaseTime += dt;
	} else {
		phaseTime = 0.0f;
		// A timeout that was counting in this very call belongs to the
		// activity that just ended.
		if (oldTimeout == timeout + dt)
			timeout = 0.0f;
	}
}

bool ActorBehaviour::Decide()
{
	return false;
}

bool ActorBehaviour::Tick(float dt)
{
	(void)dt;
	return false;
}

MapEntity *ActorBehaviour::AcquireTarget(float limit)
{
	if (owner == nullptr)
		return nullptr;
	if (!owner->HasTarget(limit, 0)) {
		MapEntity *candidate = owner->FindTarget();
		if (owner->IsEntityInView(candidate, range, minAlignment))
			owner->SetTarget(candidate);
	}
	return owner->GetTarget();
}

void ActorBehaviour::FaceFoeWhileTiming(float &timer, float dt)
{
	if (owner == nullptr || IsFinished())
		return;
	if (MapEntity *foe = GetHostileTarget())
		owner->FaceTowards(foe);
	timer -= dt;
	if (timer <= 0.0f)
		Finish();
}

MapEntity *ActorBehaviour::GetHostileTarget()
{
	if (owner == nullptr)
		return nullptr;
	MapEntity *current = owner->GetTarget();
	if (current != nullptr && IsHostile(current->GetFaction(), owner->GetFaction()))
		return current;
	return nullptr;
}

void ActorBehaviour::MoveTowards(Vec3 &out, float dt)
{
	out = Vec3(0.0f);
	if (speed == 0.0f || !IsOwnerLive(owner) || !HasTargetPoint())
		return;
	const Vec3 position = owner->transform.position;
	Vec3 d = targetPoint - position;
	d.y = 0.0f;
	const float lengthSquared = d.x * d.x + d.z * d.z;
	if (lengthSquared < speed * dt)
		return; // reached
	if (avoidDrops != 0 && owner->map != nullptr) {
		const float length = std::sqrt(lengthSquared);
		const Vec3 ahead = length > 0.0f ? d / length : Vec3(0.0f, 1.0f, 0.0f);
		const float ground = owner->map->HeightAt(position + ahead * kDropProbe);
		if (ground < position.y - kDropLimit)
			return;
	}
	out = ClampLength(d * kWalkGain, speed);
}

bool ActorBehaviour::OnStruck(Actor *attacker)
{
	(void)attacker;
	return false;
}
