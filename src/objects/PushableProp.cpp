#include "objects/PushableProp.h"

#include "engine/collision/Collider.h"
#include "engine/collision/CollisionChecker.h"
#include "engine/core/Camera.h"
#include "engine/render/Mesh.h"
#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/FXSpawner.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/ObjectCommands.h"
#include "objects/PropDoor.h"
#include "objects/SpawnFX.h"
#include "objects/WorldSound.h"

#include <cmath>

namespace {

constexpr float kRadius = 0.8f;
const Vec3 kBoxSize(1.5f, 1.2f, 1.5f);
const Vec3 kBoxOffset(0.0f, 0.6f, 0.0f);
constexpr float kStartWeight = 3.0f;
constexpr float kRunningWeight = 2.0f;
constexpr float kDecelerationRate = 3.0f;
constexpr float kAlignSpeed = 3.0f;         // world units per second toward the tile centre
constexpr float kFixedDirectionSquared = 0.1f;
constexpr float kCollideAfter = 0.2f;       // seconds of sliding before touches count
constexpr float kStrikeAfter = 0.5f;        // seconds of sliding before actors are struck
constexpr float kStrikeForce = 1.0f;
constexpr float kSlideVolume = 0.7f;
constexpr uint8_t kSlideSoundCount = 3;
constexpr float kSlideShake = 0.3f;         // shake at two units, growing nearer
constexpr float kShakeFarthest = 2.0f;      // world units; beyond it the shake stays the same
constexpr float kShakeNearest = 0.3f;       // world units; nearer counts as this near
const Vec3 kDustOffset(0.0f, 1.0f, 0.0f);

constexpr uint32_t kCrateKind = 2;
constexpr uint32_t kBoulderKind = 8;
constexpr uint32_t kFirstFurnitureKind = 9; // hut, table, shelf, cupboard, bench, bed
constexpr uint32_t kLastFurnitureKind = 14;
constexpr uint32_t kObeliskKind = 20;

bool IsSolidKind(uint32_t kind)
{
	return kind == kCrateKind || kind == kBoulderKind || IsDoorKind(kind) ||
		(kind >= kFirstFurnitureKind && kind <= kLastFurnitureKind) || kind == kObeliskKind;
}

// Moves value toward target by at most step.
float StepToward(float value, float target, float step)
{
	if (value < target)
		return Min(value + step, target);
	return Max(value - step, target);
}

} // namespace

PushableProp::PushableProp(uint32_t entityKind, int16_t tilesPerPush)
	: Prop(entityKind), tilesPerPush(static_cast<uint16_t>(tilesPerPush)), slideSounds("sfx/slide%d.wav", kSlideSoundCount)
{
}

void PushableProp::MakeSolid(const Vec3 &size, const Vec3 &offset)
{
	CreateCollider(Collider::kModeSolid, size, offset);
}

void PushableProp::Start()
{
	radius = kRadius;
	MapEntity::Start();
	MakeSolid(kBoxSize, kBoxOffset);
	collider->weight = kStartWeight;
	decelerationRate = kDecelerationRate;
	killable = 0;
	// The start placed the prop, which resets its state and with it the
	// delay; a push from the hero must still be held for a moment.
	pushDelay = kPushDelay;

	if (map == nullptr)
		return;
	if (!map->IsGroupEnabled(static_cast<uint8_t>(mapObject->flag))) {
		fixedDirection = Vec3(0.0f);
		for (const MapCommand &command : ObjectCommands(map, mapObject)) {
			if (command.code == kCmdDir) {
				fixedDirection = DirectionToVector(command.value);
				break;
			}
		}
		return;
	}
	// Where the puzzle left it: on the tile of the record the flag names.
	if (const MapObjectDef *record = map->FindEntityRecordById(mapObject->flag))
		SetPosition(map->TilePosition(static_cast<int16_t>(record->x), static_cast<int16_t>(record->y), 0.5f, 0.5f));
}

void PushableProp::Update(float dt)
{
	if (GameLink::Get().IsDisplaying())
		return;
	if (respawnTimer > 0.0f) {
		respawnTimer -= dt;
		if (respawnTimer <= 0.0f) {
			ResetState();
			transform.position = homePosition + Vec3(0.0f, kRespawnDrop, 0.0f);
		}
		return;
	}

	if (stopTimer > 0.0f) {
		stopTimer -= dt;
		pushVelocity = Vec3(0.0f);
		pushTimer = 0.0f;
	}

	const uint8_t wasGrounded = grounded;
	MapEntity::Update(dt);
	if (wasGrounded == 0 && grounded != 0)
		PlayThud();

	Align(dt);

	if (beingPushed != 0) {
		pushTimer += dt;
		beingPushed = 0;
		if (pushTimer > pushDelay)
			StartSlide();
	}

	if (moving != 0) {
		pushTimer = 0.0f;
		beingPushed = 0;
		slideTime += dt;
		if (tile.x != lastTile.x || tile.y != lastTile.y) {
			OnEnterTile();
			// A slide with no tiles left (one the physics started, say a
			// knock-back) ends here rather than counting round for ever.
			if (tilesLeft <= 1) {
				tilesLeft = 0;
				moving = 0;
				pushVelocity = Vec3(0.0f);
			} else {
				tilesLeft--;
			}
			lastTile = tile;
		}
	} else {
		slideTime = 0.0f;
	}

	if (collider != nullptr)
		collider->weight = kRunningWeight;
	if (grounded != 0 && Vec3LengthSquared(fixedDirection) > kFixedDirectionSquared && moving == 0)
		TryPush(fixedDirection, true);
	facing = pushVelocity;
}

void PushableProp::Align(float dt)
{
	if (align == 0 || map == nullptr)
		return;
	const Vec3 centre = map->TilePosition(tile.x, tile.y, 0.5f, 0.5f);
	const float step = kAlignSpeed * dt;
	Vec3 &at = transform.position;
	if (moving == 0) {
		at.x = StepToward(at.x, centre.x, step);
		at.z = StepToward(at.z, centre.z, step);
	} else if (std::fabs(moveVelocity.x) > std::fabs(moveVelocity.z)) {
		at.z = StepToward(at.z, centre.z, step);
	} else {
		at.x = StepToward(at.x, centre.x, step);
	}
}

void PushableProp::GetDesiredMove(Vec3 &out, float dt)
{
	(void)dt;
	out = moving != 0 ? pushVelocity * speed : Vec3(0.0f);
}

void PushableProp::TryPush(const Vec3 &direction, bool immediate)
{
	if (map == nullptr)
		return;
	const Vec3 ahead = transform.position + direction * kProbeReach;
	if (CollisionChecker *checker = CollisionChecker::Get()) {
		// Any solid there refuses, even behind a touch-only box (a switch
		// under a crate) that holds the point first.
		if (checker->FindHitAbove(ahead + Vec3(0.0f, kProbeLift, 0.0f), Collider::kModeTrigger) != nullptr)
			return;
	}
	if (stepCheck != 0 && map->HeightAt(ahead) > transform.position.y + kHighestStep)
		return;
	pushVelocity = direction;
	if (immediate || moving != 0)
		StartSlide();
	else
		beingPushed = 1;
}

void PushableProp::StartSlide()
{
	if (moving != 0)
		return;
	moving = 1;
	lastTile = tile;
	tilesLeft = tilesPerPush;
	fallSpeed = 0.0f;
	if (Vec3LengthSquared(fixedDirection) >= kFixedDirectionSquared)
		return;
	// A push from outside is heard and felt; a prop on its own way is quiet.
	if (const char *sound = slideSounds.PickRandom(nullptr))
		WorldSound::Play(sound, kSlideVolume, 0);
	SpawnFX(this, kFXKindDust, Vec3(0.0f));
	if (Camera *camera = Camera::Get()) {
		const float distance = Vec3Length(camera->transform.position - transform.position);
		camera->Shake(kSlideShake / Clamp(distance, kShakeNearest, kShakeFarthest));
	}
}

void PushableProp::OnCollide(Entity *other)
{
	if (slideTime <= kCollideAfter || other == nullptr)
		return;
	if (Entity::IsAlive(other) && other->IsKind(MapEntity::kClassId)) {
		auto *entity = static_cast<MapEntity *>(other);
		if (slideTime > kStrikeAfter && IsActorKind(entity->GetKind()))
			entity->Strike(this, strikePower, kStrikeForce);
		if (StopsAt(*entity)) {
			Stop();
			PlayThud();
		}
	}
	SpawnFX(this, kFXKindDust, kDustOffset);
}

bool PushableProp::StopsAt(const MapEntity &other) const
{
	const uint32_t kind = other.GetKind();
	if (kind == kCrateKind)
		return true;
	switch (stopMode) {
	case kStopAlways:
		return true;
	case kStopAtActors:
		return IsActorKind(kind) || IsSolidKind(kind);
	case kStopAtSolids:
		return IsSolidKind(kind);
	default:
		return false;
	}
}

void PushableProp::Stop()
{
	beingPushed = 0;
	pushVelocity = Vec3(0.0f);
	align = 1;
	stopTimer = kStopSeconds;
	slideVelocity = Vec3(0.0f);
	fallSpeed = 0.0f;
}

void PushableProp::Kill()
{
	if (respawnTimer > 0.0f)
		return;
	respawnTimer = kRespawnSeconds;
	CreateCollider(Collider::kModeIgnored, Vec3(0.0f), Vec3(0.0f));
}

void PushableProp::Render()
{
	if (respawnTimer > 0.0f)
		return;
	Prop::Render();
}

void PushableProp::ResetState()
{
	MapEntity::ResetState();
	pushVelocity = Vec3(0.0f);
	pushDelay = 0.0f;
	pushTimer = 0.0f;
	respawnTimer = 0.0f;
	CreateCollider(Collider::kModeSolid, Vec3(0.0f), Vec3(0.0f));
}
