#include "objects/PropLavaBall.h"

#include "engine/collision/Collider.h"
#include "engine/core/Random.h"
#include "engine/core/Scene.h"
#include "engine/render/Mesh.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/EntityLook.h"
#include "objects/GameLink.h"
#include "objects/Shadow.h"
#include "objects/WorldSound.h"

#include <cmath>

namespace {
constexpr const char *kModelFile = "models/lavaball.iqm";
constexpr const char *kTextureFile = "mats/lava.png";
} // namespace

namespace {
constexpr float kPi = 3.14159265f;
constexpr float kRadius = 0.7f;
const Vec3 kBoxOffset(0.0f, 0.25f, 0.0f);
constexpr uint8_t kPlayerSide = 1;   // faction bit of the hero and its party
constexpr float kShadowSize = 1.8f;
constexpr float kSpinRate = 5.0f;    // radians per second
constexpr float kLaunchVolume = 0.5f;
constexpr uint8_t kBurn = 1;
constexpr float kBurnForce = 1.0f;
constexpr float kLyingWidth = 1.5f;  // scale across as it lands, shrinking by half a unit over a flight
constexpr float kLyingShrink = 0.5f;
constexpr float kLyingHeight = 0.03f;
constexpr float kLyingRise = 0.1f;
constexpr float kLyingLift = 0.01f;
constexpr float kSmallAxisSquared = 1e-6f;
// The wait before the first throw, from where the ball lies.
constexpr float kWaitAcrossX = 1.2f;
constexpr float kWaitAcrossZ = 0.5f;
constexpr float kWaitWave = 0.35f;
const Vec3 kUp(0.0f, 1.0f, 0.0f);
} // namespace

PropLavaBall::PropLavaBall() : Prop(kKind)
{
}

void PropLavaBall::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModelFile, kTextureFile, kShader);
}

void PropLavaBall::Start()
{
	radius = kRadius;
	Prop::Start();
	SetModel(kModelFile, kTextureFile, 1.0f);
	SetColliderState(kColliderNone);
	followsGround = 0;
	killable = 0;
	shadow->SetShape(Shadow::kShapeCircle);
}

void PropLavaBall::OnResume()
{
	const Vec3 &at = transform.position;
	waitTimer = kWaitAcrossX * (std::sin(kWaitWave * at.x) + 1.0f) + kWaitAcrossZ * (std::cos(kWaitWave * at.z) + 1.0f);
	SetVisible(false);
}

void PropLavaBall::SetColliderState(uint8_t state)
{
	switch (state) {
	case kColliderFlying:
		CreateCollider(Collider::kModeStatic, Vec3(2.0f * radius), kBoxOffset);
		break;
	case kColliderLying:
		CreateCollider(Collider::kModeStatic, Vec3(radius), kBoxOffset);
		break;
	default:
		CreateCollider(Collider::kModeIgnored, Vec3(0.0f), Vec3(0.0f));
		break;
	}
}

void PropLavaBall::Update(float dt)
{
	if (GameLink::Get().IsDisplaying())
		return;
	if (waitTimer > 0.0f) {
		waitTimer -= dt;
		if (waitTimer <= 0.0f)
			Launch();
		return;
	}
	// Keeps the thud guard running; the ball places itself below.
	MapEntity::Update(dt);
	flightTime += dt;
	if (landed == 0)
		Fly(dt);
	else
		Lie();
}

void PropLavaBall::Launch()
{
	Entity *target = scene != nullptr ? scene->FindNearestEntity(transform.position, kPlayerSide, kReach) : nullptr;
	landingPoint = target != nullptr ? target->transform.position : homePosition;
	if (map != nullptr)
		landingPoint.y = map->HeightAt(landingPoint);
	flightTime = 0.0f;
	flightDuration = kFlightSeconds;
	transform.position.y = kHiddenHeight;
	transform.SetUniformScale(1.0f);
	shadowSize = kShadowSize;
	SetVisible(true);
	Random *random = GetRandom();
	const Vec3 spin(random->Spread(1.0f), random->Spread(1.0f), random->Spread(1.0f));
	spinAxis = Vec3SafeNormalize(spin, kUp);
	landed = 0;
	WorldSound::PlayAt("sfx/strike_fire.wav", transform.position, kLaunchVolume);
	SetColliderState(kColliderFlying);
}

void PropLavaBall::Fly(float dt)
{
	const float p = flightTime / flightDuration;
	const float e = std::sin(std::sin(p * kPi * 0.5f) * kPi * 0.5f);
	const Vec3 across = ApproachVec3(homePosition, landingPoint, e);
	const float rise = 2.0f * p - 1.0f;
	transform.position = Vec3(across.x, kPeakHeight * (1.0f - rise * rise), across.z);
	if (Vec3LengthSquared(spinAxis) > kSmallAxisSquared)
		transform.rotation = glm::angleAxis(kSpinRate * dt, glm::normalize(spinAxis)) * transform.rotation;
	shadowSize = kShadowSize;
	if (flightTime > flightDuration)
		landed = 1;
}

void PropLavaBall::Lie()
{
	const float p = flightTime / flightDuration;
	const float width = kLyingWidth - kLyingShrink * p;
	transform.SetScale(Vec3(width, kLyingHeight, width));
	transform.position.y = landingPoint.y + kLyingRise * (p - 1.0f) + kLyingLift;
	transform.rotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
	shadowSize = 0.0f;
	if (flightTime > kLieFor * flightDuration)
		Vanish(kSinkWait);
}

void PropLavaBall::Vanish(float seconds)
{
	waitTimer = seconds;
	SetVisible(false);
	transform.position.y = kHiddenHeight;
	// Out of sight it burns nobody.
	SetColliderState(kColliderNone);
}

void PropLavaBall::Land(float height)
{
	PlayThud();
	landingPoint.y = height;
	transform.position.y = height;
	landed = 1;
	shadowSize = 0.0f;
	SetColliderState(kColliderLying);
}

void PropLavaBall::OnCollide(Entity *other)
{
	if (other == nullptr || !other->IsKind(MapEntity::kClassId))
		return;
	auto *entity = static_cast<MapEntity *>(other);
	if (IsActor(entity)) {
		entity->Strike(nullptr, kBurn, kBurnForce);
		Vanish(kHitWait);
		return;
	}
	if (flightTime <= kLandAfter * flightDuration || landed != 0)
		return;
	SetColliderState(kColliderNone);
	if (entity->GetKind() == kKind || entity->collider == nullptr) {
		Land(landingPoint.y);
		return;
	}
	const Collider &box = *entity->collider;
	Land(entity->transform.position.y + box.offset.y + 0.5f * box.size.y);
}
