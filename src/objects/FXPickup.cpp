#include "objects/FXPickup.h"

#include "engine/collision/Collider.h"
#include "engine/core/Random.h"
#include "engine/core/Scene.h"
#include "map/MapFiles.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/GameLink.h"
#include "objects/MapEntity.h"

#include <cmath>

namespace {

constexpr Vec3 kPickupBox(3.0f, 3.0f, 3.0f);
constexpr float kPickupLifetime = 10.0f; // seconds untaken
constexpr float kThrowSpread = 6.0f;     // horizontal launch speed in each axis
constexpr float kSlowestRise = -8.0f;    // launch fall speeds: upward 8 to 20
constexpr float kFastestRise = -20.0f;
constexpr float kHop = -3.0f;            // fall speed of a bounce on the ground
constexpr float kGravityPerFrame = 1.0f; // fall speed gained each update
constexpr float kDamping = 0.1f;         // SmoothFactor rate of the horizontal slow-down
constexpr float kFullTurnDegrees = 360.0f;
constexpr float kFlightRate = 4.0f;      // the flight takes a quarter second
constexpr Vec3 kAboveCollector(0.0f, 1.0f, 0.0f);
constexpr float kPi = 3.14159265f;
constexpr uint32_t kHeroKind = 1;
constexpr int kOriginalRulesMode = 1;    // no attraction under the original content's rules

} // namespace

FXPickup::FXPickup() = default;

void FXPickup::Start()
{
	FXEntity::Start();
	MakeCollider(kPickupBox, Vec3(0.0f), Collider::kModeTrigger, 1.0f);
	if (model == nullptr)
		LoadModel();
	lifetime = kPickupLifetime;
	Random &random = *GetRandom();
	const float a = random.Spread(kThrowSpread);
	const float b = random.Spread(kThrowSpread);
	velocity = Vec3(b, 0.0f, a);
	fallSpeed = random.Range(kSlowestRise, kFastestRise);
	transform.rotation = transform.rotation * glm::quat(Vec3(0.0f, random.NextFloat() * kFullTurnDegrees, 0.0f));
	if (GameLink::Get().IsMode(kOriginalRulesMode))
		attracts = 0;
}

void FXPickup::OnResume()
{
	FXEntity::OnResume();
	collected = 0;
	groundHeight = 0.0f;
	if (source != nullptr && Entity::IsAlive(source) && (source->scene != nullptr || source->container != nullptr) &&
		IsMapEntity(source)) {
		const MapEntity *dropper = static_cast<const MapEntity *>(source);
		if (dropper->map != nullptr)
			groundHeight = dropper->map->HeightAt(dropper->transform.position);
	}
	collector = nullptr;
	flightTime = 0.0f;
	touchedEarly = 0;
}

void FXPickup::ForgetEntity(const Entity *entity)
{
	FXEntity::ForgetEntity(entity);
	if (entity != nullptr && static_cast<const Entity *>(collector) == entity)
		collector = nullptr;
}

void FXPickup::Collect(Actor *candidate)
{
	if (!CanCollect(candidate))
		return;
	collector = candidate;
	collected = 1;
	flightStart = transform.position;
	transform.rotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
}

void FXPickup::Fly(float dt)
{
	flightTime += dt;
	const float t = flightTime * kFlightRate;
	const Vec3 goal = collector->transform.position + kAboveCollector;
	transform.position = ApproachVec3(flightStart, goal, t);
	transform.position.y += std::sin(t * kPi);
	if (t >= 1.0f) {
		SetActive(false);
		OnCollected();
		collector = nullptr;
	}
}

void FXPickup::Fall(float dt)
{
	Vec3 &position = transform.position;
	if (groundHeight > position.y && fallSpeed > 0.0f) {
		fallSpeed = kHop;
		position.y = groundHeight;
		landed = 1;
	} else {
		fallSpeed += kGravityPerFrame;
	}
	position.y -= fallSpeed * dt;
	position += velocity * dt;
	velocity *= 1.0f - SmoothFactor(kDamping, dt);
}

void FXPickup::Update(float dt)
{
	FXEntity::Update(dt);
	if (collector != nullptr && IsLiveEntity(collector))
		Fly(dt);
	else
		Fall(dt);

	if (collected != 0 || (attracts == 0 && touchedEarly == 0) || landed == 0 || age < pickupDelay)
		return;
	if (scene == nullptr || lifeState != kLifeRunning)
		return;
	Entity *nearest = scene->FindNearestEntity(transform.position, kCollectorSide, kAttractRadius);
	if (IsLiveActor(nearest))
		Collect(static_cast<Actor *>(nearest));
}

void FXPickup::OnCollide(Entity *other)
{
	if (collected != 0)
		return;
	if (age < pickupDelay) {
		touchedEarly = 1;
		return;
	}
	if (IsActor(other) && static_cast<MapEntity *>(other)->GetKind() == kHeroKind)
		Collect(static_cast<Actor *>(other));
}
