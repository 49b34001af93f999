#include "objects/PropDoor.h"

#include "engine/collision/Collider.h"
#include "engine/core/Scene.h"
#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/ObjectCommands.h"
#include "objects/WorldSound.h"

#include <glm/gtc/constants.hpp>

namespace {
constexpr const char *kModelFile = "models/door.iqm";
constexpr const char *kTextureFile = "mats/woodboard.png";
} // namespace

namespace {

constexpr float kRadius = 0.9f;
const Vec3 kBoxSize(2.0f, 2.0f, 0.6f);
const Vec3 kBoxOffset(0.0f, 1.0f, 0.0f);
constexpr float kBoxWeight = 10000.0f; // nothing pushes a door
constexpr float kStartQuiet = 0.0001f; // seconds: an opening in the first frame is silent
constexpr float kSwingRate = 0.1f;
constexpr float kSoundVolume = 1.0f;
constexpr uint32_t kPlayerKind = 1;
constexpr float kPlayerSearch = 100.0f; // world units

// The running map entity of the kind nearest the point within radius.
MapEntity *FindNearestOfKind(const Scene *scene, const Vec3 &point, uint32_t kind, float radius)
{
	if (scene == nullptr)
		return nullptr;
	MapEntity *nearest = nullptr;
	float best = radius * radius;
	for (uint16_t i = 0; i < scene->GetEntityCount(); i++) {
		MapEntity *entity = dynamic_cast<MapEntity *>(scene->GetEntityAt(i));
		if (entity == nullptr || entity->lifeState != kLifeRunning || entity->GetKind() != kind)
			continue;
		const float distance = Vec3LengthSquared(entity->transform.position - point);
		if (distance <= best) {
			best = distance;
			nearest = entity;
		}
	}
	return nearest;
}

} // namespace

bool IsDoorKind(uint32_t kind)
{
	return kind == 7 || kind == 16 || kind == 17 || kind == 25;
}

float SignOf(float x)
{
	if (x < 0.0f)
		return -1.0f;
	return x > 0.0f ? 1.0f : 0.0f;
}

PropDoor::PropDoor(uint32_t entityKind) : Prop(entityKind)
{
}

void PropDoor::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModelFile, kTextureFile, kShader);
}

void PropDoor::LoadModel()
{
	SetModel(kModelFile, kTextureFile, 1.0f);
}

void PropDoor::Start()
{
	Prop::Start();
	radius = kRadius;
	frozenLock = 0;
	for (const MapCommand &command : ObjectCommands(map, mapObject)) {
		if (command.code != kCmdUnlock)
			continue;
		lockGroup = static_cast<uint8_t>(command.value);
		if (command.value == kFrozenLockGroup)
			frozenLock = 1;
	}
	LoadModel();

	// The model hinges at its origin and reaches one tile along +x; a
	// mirrored door hinges on the other side.
	const float side = transform.scale.x <= 0.0f ? 1.0f : -1.0f;
	closedRotation = transform.rotation;
	const float tileSize = map != nullptr ? map->GetMapData().tileSize : 2.0f;
	renderOffset = transform.GetRight() * (tileSize * side * 0.5f);

	CreateCollider(Collider::kModeStatic, kBoxSize, kBoxOffset);
	collider->weight = kBoxWeight;
	SetOpen(CanOpen(), true);
	if (open == 0 && !CanUnlock())
		locked = 1;
	hurtTimer = kStartQuiet;
}

void PropDoor::Update(float dt)
{
	MapEntity::Update(dt);
	const bool wanted = CanOpen();
	if (wanted != (open != 0))
		SetOpen(wanted, false);
	transform.rotation = SlerpApproach(transform.rotation, targetRotation, kSwingRate, dt);
}

void PropDoor::SetOpen(bool value, bool force)
{
	if (value == (open != 0) && !force)
		return;
	open = value ? 1 : 0;
	if (!value) {
		targetRotation = closedRotation;
		if (collider != nullptr)
			collider->mode = Collider::kModeStatic;
		if (locked != 0 && CanUnlock()) {
			// The lock gave way: the door swings open and stays so, though
			// no group of the map holds it open.
			keptOpen = 1;
			SetOpen(true, false);
		}
		return;
	}
	locked = 0;
	if (collider != nullptr)
		collider->mode = Collider::kModeIgnored;
	// Swing away from the hero.
	float sign = 1.0f;
	if (MapEntity *player = FindNearestOfKind(scene, transform.position, kPlayerKind, kPlayerSearch)) {
		const Vec3 toPlayer = player->transform.position - transform.position;
		const Vec3 forward = transform.GetForward();
		if (Vec3LengthSquared(toPlayer + forward) < Vec3LengthSquared(toPlayer - forward))
			sign = -1.0f;
	}
	const float angle = sign * -glm::half_pi<float>() * SignOf(transform.scale.x);
	targetRotation = closedRotation * glm::angleAxis(angle, Vec3(0.0f, 1.0f, 0.0f));
	if (hurtTimer <= 0.0f)
		WorldSound::PlayAt(kDoorSound, transform.position, kSoundVolume);
}

bool PropDoor::CanUnlock() const
{
	if (lockGroup == 0)
		return true;
	return map != nullptr && map->IsGroupEnabled(lockGroup);
}

bool PropDoor::CanOpen() const
{
	if (keptOpen != 0)
		return true;
	if (map == nullptr)
		return false;
	if (lockGroup != 0 && map->IsGroupEnabled(lockGroup))
		return true;
	if (map->IsGroupEnabled(mapObject->Group()))
		return true;
	const uint8_t secondGroup = static_cast<uint8_t>(mapObject->flag);
	if (secondGroup != 0 && map->IsGroupEnabled(secondGroup))
		return CanUnlock();
	return false;
}

void PropDoor::OpenByPlayer()
{
	keptOpen = 1;
	SetOpen(true, false);
	if (map != nullptr)
		map->SetGroupFlag(mapObject->Group(), true);
}
