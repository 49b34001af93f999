#include "objects/MapEntity.h"

#include "audio/Sound.h"
#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "engine/render/Mesh.h"
#include "map/EnvironmentTable.h"
#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/ActorRegistry.h"
#include "objects/FXSpawner.h"
#include "objects/Player.h"
#include "objects/Shadow.h"
#include "objects/SpawnFX.h"

namespace {

const Vec3 kUp(0.0f, 1.0f, 0.0f);

// Motion.
constexpr float kMovingSpeedSquared = 0.01f;  // squared speed above which a walk counts as moving
constexpr float kProbeSpeedSquared = 0.001f;  // squared walk speed below which nothing is probed
constexpr float kWallProbeReach = 1.05f;      // radii a wall-tracing walker looks ahead
constexpr float kPushSquared = 0.1f;          // squared contact push that bends a walk
constexpr float kSlideSquared = 0.1f;         // squared slide speed that is probed
constexpr float kAboveGroundMargin = 0.1f;    // world units above the ground ahead that end slipping
constexpr float kSlideGain = 2.0f;            // share of the walk a slippery floor gathers per second
constexpr float kMaxSlideSpeed = 5.0f;        // units per second
constexpr float kSlipWalkFactor = 0.3f;       // what is left of the walk on slippery ground
constexpr float kGravity = 60.0f;             // fall speed gained per second
constexpr float kTerminalFallSpeed = 20.0f;   // units per second
constexpr float kHoleHeight = -1.0f;          // ground at or below this is a hole
constexpr float kDeathHeight = -10.0f;        // the bottom of holes and water; reaching it kills
constexpr uint8_t kWaterLevel = 7;

// Knock-back.
constexpr float kKnockBackSeconds = 0.5f;
constexpr float kKnockBackSpeedPerForce = 15.0f; // units per second for a force of 1
constexpr float kKnockBackDecay = 60.0f;         // speed lost per second
constexpr float kSideJolt = 0.5f;                // sideways share of a hit's direction

// Sounds and effects.
constexpr float kHitGuardSeconds = 0.2f;
constexpr float kHitVolume = 0.35f;
constexpr float kHitShake = 0.2f;
constexpr float kThudVolume = 0.5f;
constexpr float kThudGuardSeconds = 0.07f;
constexpr float kThudShake = 0.4f;     // at full mixer volume
constexpr float kThudShakeScale = 255.0f;
constexpr float kSplashGuardSeconds = 1.0f;
const Vec3 kThudOffset(0.0f, 1.0f, 0.0f);
const Vec3 kSplashOffset(0.0f, -0.5f, 0.0f);

constexpr float kShadowMinSize = 0.001f;
constexpr uint16_t kHiddenValue = 1; // "hide 1" keeps the entity off until shown
constexpr float kSmallColliderSquared = 0.01f;

// Which way hits jolt their target sideways this time; the player's strike
// counter alternates it so a chain of blows zigzags.
float JoltSide()
{
	return (Player::StrikeCount() & 1u) != 0 ? -1.0f : 1.0f;
}

} // namespace

MapEntity::MapEntity(uint32_t entityKind)
	: entityKind(entityKind), shadow(std::make_unique<Shadow>(this)), hitSounds("sfx/hit%d.wav", 3),
	  thudSounds("sfx/thuda%d.wav", 4), mapObject(&EmptyMapObject())
{
	kind = kClassId;
}

MapEntity::~MapEntity()
{
	UnlinkMapObject();
	// No actor may keep this entity as its target or last attacker, nor any
	// effect as its source or collector.
	ActorRegistry::ForgetEntity(this);
	FXSpawner::ForgetEntity(this);
}

MapObjectDef &MapEntity::EmptyMapObject()
{
	static MapObjectDef empty;
	return empty;
}

void MapEntity::LinkToMap(TileMap *tileMap, MapObjectDef *object)
{
	map = tileMap;
	mapObject = object != nullptr ? object : &EmptyMapObject();
	name = mapObject->name;
}

void MapEntity::UnlinkMapObject()
{
	if (mapObject != nullptr && mapObject->entity == this)
		mapObject->entity = nullptr;
}

// --- Entity hooks --------------------------------------------------------

void MapEntity::Init()
{
	if (map == nullptr)
		return;
	const MapCommand *hide = map->FindLinkedOfKind(mapObject, kCmdHide);
	if (hide != nullptr)
		SetActive(hide->value != kHiddenValue);
}

void MapEntity::Start()
{
	if (collider != nullptr && collider->mode == Collider::kModeTouch)
		CreateCollider(Collider::kModeIgnored, Vec3(0.0f), Vec3(0.0f));
	if (placed == 0)
		SetPosition(transform.position);
}

void MapEntity::Update(float dt)
{
	if (hurtTimer > 0.0f)
		hurtTimer -= dt;

	if (knockBackTimer <= 0.0f) {
		Vec3 wanted(0.0f);
		GetDesiredMove(wanted, dt);
		const float wantedSquared = Vec3LengthSquared(wanted);
		const float rate = wantedSquared > Vec3LengthSquared(moveVelocity) ? accelerationRate : decelerationRate;
		moveVelocity = SmoothApproachVec3(moveVelocity, wanted, Clamp01(rate), dt);
		moving = Vec3LengthSquared(moveVelocity) > kMovingSpeedSquared ? 1 : 0;
		if (wantedSquared > kMovingSpeedSquared)
			facing = Vec3SafeNormalize(wanted, kUp);
	} else {
		moveVelocity = facing * -knockBackSpeed;
		if (knockBackSpeed > 0.0f)
			knockBackSpeed = Max(knockBackSpeed - kKnockBackDecay * dt, 0.0f);
		knockBackTimer = Max(knockBackTimer - dt * knockBackRecovery, 0.0f);
		moving = 1;
	}

	float slip = surface != nullptr ? surface->slip : 0.0f;
	if (map != nullptr && Vec3LengthSquared(moveVelocity) > kProbeSpeedSquared)
		ProbeAhead(slip);

	if (slip <= 0.0f) {
		slideVelocity = Vec3(0.0f);
	} else {
		slideVelocity = ClampLength(slideVelocity + moveVelocity * dt * kSlideGain, kMaxSlideSpeed);
		moveVelocity *= kSlipWalkFactor;
	}

	velocity = moveVelocity + slideVelocity;
	if (verticalFactor != 0.0f)
		velocity.y = -fallSpeed * verticalFactor;
	grounded = 1;
	Vec3 next = transform.position + velocity * dt;

	if (map != nullptr && followsGround != 0)
		FollowGround(next, dt);
	if (grounded != 0)
		splashed = 0;

	if (map != nullptr && grounded != 0 && wallCollision != 0.0f)
		transform.position = map->TraceMove(transform.position, next, radius, stepHeight);
	else
		transform.position = next;

	UpdateAnimation(dt);
	if (transform.position.y <= kDeathHeight)
		Kill();
	contactPush = Vec3(0.0f);
}

void MapEntity::ProbeAhead(float &slip)
{
	const Vec3 position = transform.position;
	const Vec3 d = Vec3SafeNormalize(moveVelocity, kUp);
	const float reach = wallCollision != 0.0f ? radius * kWallProbeReach : radius;
	const Vec3 probe = position + d * reach;
	const float ahead = map->HeightAt(probe);
	if (position.y + stepHeight < ahead) {
		moving = 0;
		int16_t x = 0;
		int16_t y = 0;
		map->WorldToTile(probe, x, y);
		const EnvironmentLayer *wall = map->SurfaceAt(x, y);
		if (wall != nullptr && wall->damage > 0)
			Strike(nullptr, wall->damage, 1.0f);
		OnBlocked(d);
	}
	if (moving == 0) {
		moveVelocity = Vec3(0.0f);
		knockBackSpeed = 0.0f;
	}
	if (Vec3LengthSquared(contactPush) > kPushSquared && glm::dot(d, contactPush) > 0.0f) {
		if (std::fabs(contactPush.x) > std::fabs(contactPush.z))
			moveVelocity.x = 0.0f;
		else
			moveVelocity.z = 0.0f;
		moving = Vec3LengthSquared(moveVelocity) > kMovingSpeedSquared ? 1 : 0;
	}
	// Off a ledge the feet leave the slippery floor.
	if (moving != 0 && knockBackTimer <= 0.0f && ahead + kAboveGroundMargin < position.y)
		slip = 0.0f;
	if (Vec3LengthSquared(slideVelocity) > kSlideSquared) {
		const Vec3 slideProbe = position + Vec3SafeNormalize(slideVelocity, kUp) * radius;
		if (position.y + stepHeight < map->HeightAt(slideProbe))
			slideVelocity = Vec3(0.0f);
	}
}

void MapEntity::FollowGround(Vec3 &next, float dt)
{
	// The ground where this step ends, so a walker meets a rise, a ledge or
	// the water in the frame it gets there.
	groundHeight = map->HeightAt(next);
	map->WorldToTile(next, tile.x, tile.y);
	tileRecord = map->TileAt(tile.x, tile.y);
	surfaceLevel = tileRecord.level;
	surface = map->SurfaceOfLevel(surfaceLevel);

	if (surfaceLevel == kWaterLevel) {
		groundHeight = waterFloor;
		if (next.y < 0.0f && splashed == 0 && fallSpeed > 0.0f) {
			splashed = 1;
			fallSpeed = 0.0f;
			Splash();
		}
	} else if (groundHeight <= kHoleHeight) {
		groundHeight = kDeathHeight;
	}

	if (groundHeight >= next.y) {
		// A rising entity keeps rising through the ground it jumps from.
		if (fallSpeed >= 0.0f) {
			fallSpeed = 0.0f;
			next.y = groundHeight;
		}
	} else {
		if (fallSpeed < kTerminalFallSpeed)
			fallSpeed += kGravity * dt;
		grounded = 0;
	}
	if (next.y < groundHeight)
		next.y = groundHeight;
}

void MapEntity::Render()
{
	if (lifeState < kLifePaused && IsVisible() && shadow != nullptr && shadowSize > kShadowMinSize)
		shadow->Draw(shadowSize);
}

void MapEntity::NotifyRemoved()
{
	UnlinkMapObject();
	Entity::NotifyRemoved();
}

void MapEntity::Destroy()
{
	UnlinkMapObject();
	mapObject = &EmptyMapObject();
	Entity::Destroy();
}

void MapEntity::OnCollide(Entity *other)
{
	if (other == nullptr || other->collider == nullptr)
		return;
	const Collider *solid = other->collider;
	if (solid->mode < Collider::kModeStatic || !(solid->weight > 0.0f))
		return;
	fallSpeed = 0.0f;
	Vec3 push = other->transform.position - transform.position;
	if (2.0f * stepHeight <= push.y - solid->offset.y) {
		if (std::fabs(push.x) + std::fabs(push.z) <= push.y)
			push = Vec3(0.0f);
		else
			push.y = 0.0f;
	} else {
		push = Vec3(0.0f);
	}
	contactPush = push;
}

bool MapEntity::IsKind(uint16_t testKind)
{
	return testKind == kClassId || Entity::IsKind(testKind);
}

// --- Map entity hooks ----------------------------------------------------

void MapEntity::ResetState()
{
	velocity = Vec3(0.0f);
	moveVelocity = Vec3(0.0f);
	slideVelocity = Vec3(0.0f);
	contactPush = Vec3(0.0f);
	fallSpeed = 0.0f;
	knockBackTimer = 0.0f;
	splashed = 0;
}

void MapEntity::SetPosition(const Vec3 &position)
{
	homePosition = position;
	homeRotation = transform.rotation;
	UpdateTransform();
	placed = 1;
}

void MapEntity::UpdateTransform()
{
	ResetState();
	transform.position = homePosition;
	transform.rotation = homeRotation;
}

bool MapEntity::Strike(MapEntity *attacker, uint8_t damage, float power)
{
	(void)damage;
	KnockBackFrom(attacker, power);
	return true;
}

Vec3 MapEntity::JoltedDirectionFrom(Entity *source) const
{
	Vec3 d = source != nullptr ? transform.position - source->transform.position : -transform.GetForward();
	d += glm::cross(d, kUp) * kSideJolt * JoltSide();
	d.y = 0.0f;
	return Vec3SafeNormalize(d, kUp);
}

void MapEntity::KnockBackFrom(Entity *source, float force)
{
	if (knockBackTimer > 0.0f)
		return;
	KnockBack(JoltedDirectionFrom(source), force);
}

void MapEntity::KnockBack(const Vec3 &direction, float force)
{
	if (knockBackTimer > 0.0f)
		return;
	facing = -direction;
	knockBackTimer = kKnockBackSeconds;
	knockBackSpeed = kKnockBackSpeedPerForce * force;
	PlayHitSound(direction);
}

void MapEntity::Hurt(Entity *source)
{
	if (hurtTimer > 0.0f)
		return;
	PlayHitSound(JoltedDirectionFrom(source));
}

void MapEntity::PlayHitSound(const Vec3 &direction)
{
	(void)direction;
	if (hurtTimer > 0.0f)
		return;
	const char *sound = hitSounds.PickRandom(nullptr);
	if (sound != nullptr)
		Sound::Instance()->PlayAt(sound, &transform.position.x, kHitVolume * volume);
	hurtTimer = kHitGuardSeconds;
	if (Camera *camera = Camera::Get()) // none once the scene's camera is gone
		camera->Shake(kHitShake);
}

void MapEntity::Remove()
{
	if (lifeState == kLifeDestroyed)
		return;
	if (scene == nullptr || !scene->HasEntity(this)) {
		// Nobody lists it to free it later: it stays with whoever holds it.
		NotifyRemoved();
		return;
	}
	UnlinkMapObject();
	mapObject = &EmptyMapObject();
	// The scene owns what it lists and deletes destroyed entries once its
	// walk is over, so callers up the stack may still read this entity for
	// the rest of the frame, and it is freed exactly once.
	lifeState = kLifeDestroyed;
}

void MapEntity::GetDesiredMove(Vec3 &out, float dt)
{
	(void)dt;
	out = Vec3(0.0f);
}

void MapEntity::Kill()
{
	if (killable != 0)
		SetActive(false);
}

bool MapEntity::IsOnLava() const
{
	static const uint16_t lava = HashName("lava");
	return surface != nullptr && surface->id == lava;
}

void MapEntity::Splash()
{
	if (hurtTimer > 0.0f || transform.position.y < kDeathHeight || !IsVisible())
		return;
	SpawnFX(this, IsOnLava() ? kFXKindSplashLava : kFXKindSplash, kSplashOffset);
	hurtTimer = kSplashGuardSeconds;
}

// --- Operations ----------------------------------------------------------

void MapEntity::CreateCollider(uint32_t mode, const Vec3 &size, const Vec3 &offset)
{
	if (collider == nullptr)
		collider = new Collider(this, size, offset); // the entity deletes what it owns
	collider->mode = static_cast<int32_t>(mode);
	Vec3 boxSize = size;
	Vec3 boxOffset = offset;
	if (Vec3LengthSquared(size) < kSmallColliderSquared) {
		boxSize = Vec3(2.0f * radius);
		boxOffset = Vec3(0.0f, radius, 0.0f);
	}
	collider->size = boxSize;
	collider->offset = boxOffset;
}

void MapEntity::PlayThud()
{
	if (hurtTimer > 0.0f)
		return;
	const char *sound = thudSounds.PickRandom(nullptr);
	uint8_t played = 0;
	if (sound != nullptr)
		played = Sound::Instance()->PlayAt(sound, &transform.position.x, kThudVolume);
	SpawnFX(this, kFXKindDust, kThudOffset);
	if (Camera *camera = Camera::Get())
		camera->Shake(kThudShake * static_cast<float>(played) / kThudShakeScale);
	hurtTimer = kThudGuardSeconds;
}
