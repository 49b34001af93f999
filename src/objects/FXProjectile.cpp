#include "objects/FXProjectile.h"

#include "engine/collision/Collider.h"
#include "map/MapFiles.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/FXSpawner.h"
#include "objects/MapEntity.h"

#include <glm/gtc/quaternion.hpp>

namespace {

constexpr float kBoltBox = 1.8f;           // edge of the hit box
constexpr float kBoltWeight = 10.0f;
constexpr float kBoltScale = 0.7f;
constexpr uint8_t kBoltDamage = 4;
constexpr float kBoltLifetime = 10.0f;     // seconds
constexpr float kBoltSpeed = 15.0f;        // units per second
constexpr float kBoltSpin = 100.0f;        // radians per second about the line of flight
constexpr float kLaunchRise = 0.5f;        // shot from this high above the shooter's feet
constexpr float kGroundMargin = 0.5f;      // ground this much above the bolt stops it
constexpr uint32_t kGrassKind = 21;        // cut in passing
constexpr uint8_t kPlayerSide = 1;
constexpr uint8_t kHostileSide = 4;
constexpr uint8_t kChainPerBolt = 2;
constexpr const char *kBoltShader = "shaders/standard.dsh";

} // namespace

FXProjectile::FXProjectile(const char *modelName, const char *textureName, const char *soundName, uint32_t burstKind)
	: modelName(modelName), textureName(textureName), soundName(soundName), burstKind(burstKind)
{
}

void FXProjectile::Start()
{
	FXEntity::Start();
	MakeCollider(Vec3(kBoltBox), Vec3(0.0f), Collider::kModeTrigger, kBoltWeight);
	if (model == nullptr) {
		model = std::make_unique<Model3D>();
		model->LoadSimple(modelName, 1.0f);
		model->SetMaterial(textureName, kBoltShader);
	}
	transform.SetUniformScale(kBoltScale);
	damage = kBoltDamage;
	lifetime = kBoltLifetime;
}

void FXProjectile::OnResume()
{
	FXEntity::OnResume();
	PlaySound(soundName, 1.0f);
	transform.position.y += kLaunchRise;
	map = IsLiveActor(source) ? static_cast<MapEntity *>(source)->map : nullptr;
}

void FXProjectile::Burst(const Vec3 &point)
{
	SetActive(false);
	// The burst joins the shooter's scene, or the bolt's own when the shooter
	// is gone.
	Entity *from = source != nullptr && source->scene != nullptr ? source : this;
	FXEntity *burst = FXSpawner::Spawn(from, burstKind, Vec3(0.0f));
	if (burst != nullptr)
		burst->transform.position = point;
}

void FXProjectile::Update(float dt)
{
	FXEntity::Update(dt);
	if (lifeState != kLifeRunning)
		return; // its ten seconds are up: no burst
	transform.position += transform.GetForward() * (dt * kBoltSpeed);
	transform.rotation = transform.rotation * glm::quat(Vec3(0.0f, 0.0f, dt * kBoltSpin));
	if (map == nullptr)
		return;
	const float ground = map->HeightAt(transform.position);
	if (ground > transform.position.y + kGroundMargin)
		Burst(transform.position);
}

void FXProjectile::OnCollide(Entity *other)
{
	// Two contacts in one check must not burst twice.
	if (lifeState != kLifeRunning || other == nullptr)
		return;
	if (IsMapEntity(other) && static_cast<MapEntity *>(other)->GetKind() == kGrassKind) {
		MapEntity *shooter = IsMapEntity(source) ? static_cast<MapEntity *>(source) : nullptr;
		static_cast<MapEntity *>(other)->Strike(shooter, damage, 1.0f);
		return;
	}
	FXEntity::OnCollide(other);
	if (other == source)
		return;
	Entity *shooter = source;
	Burst(other->transform.position);
	if (IsActor(shooter) && other->GetFaction() == kHostileSide && shooter->GetFaction() == kPlayerSide)
		static_cast<Actor *>(shooter)->AddChain(kChainPerBolt);
}
