#include "objects/PropTree.h"

#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "map/EnvironmentTable.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/EntityLook.h"
#include "objects/FXSpawner.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/SpawnFX.h"
#include "objects/WorldSound.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kRadius = 1.0f;
constexpr float kBorderGrowth = 1.3f;   // trees outside the map's columns are bigger
constexpr float kShadowSize = 2.3f;
constexpr float kSwayAngle = 0.05f;     // radians at full sway
constexpr float kShakeAngle = 0.13f;    // radians per second of shake left
constexpr float kShakeWobble = 12.0f;   // radians per second of the wobble
constexpr float kShakeSeconds = 1.0f;
constexpr float kRustleVolume = 0.1f;
constexpr float kHitShake = 0.2f;
constexpr float kChopVolume = 0.5f;
constexpr float kChopShake = 0.35f;
constexpr float kSmallAxisSquared = 1e-8f; // a shake axis shorter than this turns nothing
constexpr int kBrutal = 2;
constexpr const char *kRustleSounds[2] = {"sfx/tree1.wav", "sfx/tree2.wav"};
constexpr const char *kChopSound = "sfx/choptree.wav";
const Vec3 kUp(0.0f, 1.0f, 0.0f);
const Vec3 kSwayAxis(0.0f, 0.0f, 1.0f);
const Vec3 kLeavesOffset(0.0f, 2.0f, 0.0f);
const Vec3 kHighLeavesOffset(0.0f, 2.5f, 0.0f);
const Vec3 kChipsOffset(0.0f, 1.0f, 0.0f);

int16_t TileX(const MapObjectDef &object)
{
	return static_cast<int16_t>(object.x);
}

int16_t TileY(const MapObjectDef &object)
{
	return static_cast<int16_t>(object.y);
}

const char *NameOr(const EnvironmentLayer *layer, const MapPath EnvironmentLayer::*field, const char *fallback)
{
	return layer != nullptr ? (layer->*field).GetOr(fallback) : fallback;
}

} // namespace

PropTree::PropTree(uint32_t entityKind) : MapEntity(entityKind)
{
}

int PropTree::PlacementSeed(const MapObjectDef &object)
{
	return 99 * TileX(object) + TileY(object);
}

uint32_t PropTree::DropFor(const MapEntity *attacker, int seed, int every)
{
	if (every <= 0 || seed % every != 0 || !IsActor(attacker))
		return 0;
	const Actor *actor = static_cast<const Actor *>(attacker);
	const bool hurt = actor->stats.hearts < actor->stats.maxHearts;
	if (GameLink::Get().Difficulty() < kBrutal && hurt && seed % 2 == 0)
		return kFXKindHeart;
	return kFXKindChicken;
}

Vec3 PropTree::TintColour(float value)
{
	return Vec3(Max(1.0f + value, 0.0f), 1.0f, Max(1.0f - value, 0.0f));
}

glm::quat PropTree::RestRotationAt(const Vec3 &position)
{
	return glm::angleAxis(kPi * (std::sin(0.1f * position.x) + std::cos(0.31f * position.z)), kUp);
}

void PropTree::Start()
{
	radius = kRadius;
	MapEntity::Start();
	followsGround = 0;

	const Vec3 at = transform.position;
	restRotation = RestRotationAt(at);
	transform.SetRotation(restRotation);

	const int16_t x = TileX(*mapObject);
	const int16_t y = TileY(*mapObject);
	swayClock = static_cast<float>(x + y % 10) * 0.1f;
	swayRate = static_cast<float>(x + y % 13) * 0.1f;

	float size = 1.03f + 0.15f * (std::sin(0.08f * at.x) + std::cos(0.31f * at.z));
	const int width = map != nullptr ? map->GetMapData().width : 0;
	if (x <= 0 || x >= width)
		size *= kBorderGrowth;
	transform.SetUniformScale(size);

	tint = std::sin(0.41f * at.x) + 0.3f * std::cos(0.31f * at.z);
	SetChopped(map != nullptr && map->IsGroupEnabled(mapObject->Group()));
}

void PropTree::AddLooks(std::vector<EntityLook> &looks) const
{
	const bool chopped = map != nullptr && map->IsGroupEnabled(mapObject->Group());
	EntityLook::Add(looks, chopped ? kStumpModel : StandingModelName(), TextureName(), kShader);
}

const char *PropTree::TextureName() const
{
	const EnvironmentLayer *ground = map != nullptr ? map->SurfaceAt(TileX(*mapObject), TileY(*mapObject)) : nullptr;
	return NameOr(ground, &EnvironmentLayer::tree, kDefaultTexture);
}

const char *PropTree::StandingModelName() const
{
	const int16_t x = TileX(*mapObject);
	const int16_t y = TileY(*mapObject);
	const EnvironmentLayer *ground = map != nullptr ? map->SurfaceAt(x, y) : nullptr;
	if ((x + y) % 2 == 0)
		return NameOr(ground, &EnvironmentLayer::tree1, kDefaultModelEven);
	return NameOr(ground, &EnvironmentLayer::tree2, kDefaultModelOdd);
}

void PropTree::SetChopped(bool value)
{
	chopped = value ? 1 : 0;
	float loadScale = 1.0f;
	if (chopped != 0) {
		model.LoadSimple(kStumpModel, kStumpScale);
		loadScale = kStumpScale;
		CreateCollider(Collider::kModeIgnored, Vec3(0.0f), Vec3(0.0f));
	} else {
		model.LoadSimple(StandingModelName(), 1.0f);
		CreateCollider(Collider::kModeStatic, Vec3(0.0f), Vec3(0.0f));
	}
	model.SetMaterial(TextureName(), kShader);
	// Each tree its own size, from its object id.
	model.GetTransform().SetUniformScale(loadScale * (static_cast<float>(mapObject->id % 10) * 0.02f + 0.8f));
	transform.SetRotation(restRotation);
	shadowSize = chopped != 0 ? 0.0f : kShadowSize;
}

void PropTree::Update(float dt)
{
	MapEntity::Update(dt);
	if (chopped != 0)
		return;
	if (shakeTimer > 0.0f) {
		shakeTimer -= dt;
		// A blow straight down (or none) has no side to lean away from.
		const Vec3 axis = glm::cross(shakeDirection, kUp);
		const float lengthSquared = glm::dot(axis, axis);
		glm::quat turn(1.0f, 0.0f, 0.0f, 0.0f);
		if (lengthSquared > kSmallAxisSquared && std::isfinite(lengthSquared))
			turn = glm::angleAxis(kShakeAngle * shakeTimer * std::sin(kShakeWobble * shakeTimer), axis / std::sqrt(lengthSquared));
		transform.SetRotation(restRotation * turn);
		return;
	}
	swayClock += dt;
	sway = std::sin(swayClock * swayRate);
	transform.SetRotation(restRotation * glm::angleAxis(kSwayAngle * sway, kSwayAxis));
}

void PropTree::Render()
{
	MapEntity::Render();
	if (!model.IsLoaded())
		return;
	// Trees share their material: each sets its own tint just before it draws.
	if (Material *material = model.GetMaterial().Get())
		material->SetColor(TintColour(tint));
	model.Render(transform.GetMatrix());
}

void PropTree::PlayHitSound(const Vec3 &direction)
{
	if (hurtTimer > 0.0f)
		return;
	MapEntity::PlayHitSound(direction);
	// The blow that felled it still lands this frame: a stump has no leaves.
	if (chopped != 0)
		return;
	WorldSound::PlayAt(kRustleSounds[std::rand() % 2], transform.position, kRustleVolume);
	shakeTimer = kShakeSeconds;
	shakeDirection = direction;
	SpawnFX(this, kFXKindGrass, kLeavesOffset);
	if (Camera *camera = Camera::Get())
		camera->Shake(kHitShake);
}

bool PropTree::Strike(MapEntity *attacker, uint8_t damage, float power)
{
	(void)damage;
	(void)power;
	if (map != nullptr)
		map->SetGroupFlag(mapObject->Group(), true);
	SpawnFX(this, kFXKindGrass, kHighLeavesOffset);
	SpawnFX(this, kFXKindGrass, kLeavesOffset);
	SpawnFX(this, kFXKindWoodchip, kChipsOffset);
	const uint32_t drop = DropFor(attacker, PlacementSeed(*mapObject), kDropEvery);
	if (drop != 0)
		SpawnFX(this, drop, Vec3(0.0f));
	WorldSound::PlayAt(kChopSound, transform.position, kChopVolume);
	if (Camera *camera = Camera::Get())
		camera->Shake(kChopShake);
	SetChopped(true);
	return true;
}
