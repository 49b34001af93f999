#include "objects/FXEntity.h"

#include "engine/collision/Collider.h"
#include "engine/core/Scene.h"
#include "map/MapFiles.h"
#include "objects/Actor.h"
#include "objects/MapEntity.h"
#include "objects/WorldSound.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {

constexpr Vec3 kWorldUp(0.0f, 1.0f, 0.0f);
constexpr Vec3 kModelLead(0.0f, 0.0f, -1.0f); // models are drawn one unit ahead
// Squared length of a direction's horizontal part below which it counts as
// vertical (or zero) for turning.
constexpr float kVerticalSquared = 1e-8f;

} // namespace

FXEntity::FXEntity() = default;

FXEntity::~FXEntity() = default;

bool IsLiveEntity(const Entity *entity)
{
	if (entity == nullptr)
		return false;
	if (entity->scene == nullptr && entity->container == nullptr)
		return false;
	return entity->lifeState == kLifeAdded || entity->lifeState == kLifeRunning;
}

bool TurnAlong(Transform &transform, const Vec3 &direction)
{
	if (!std::isfinite(direction.x) || !std::isfinite(direction.y) || !std::isfinite(direction.z))
		return false;
	if (direction.x * direction.x + direction.z * direction.z < kVerticalSquared)
		return false;
	transform.SetDirection(direction, kWorldUp);
	return true;
}

Collider *FXEntity::MakeCollider(const Vec3 &size, const Vec3 &offset, int32_t mode, float weight)
{
	if (collider == nullptr || collider->owner != this) {
		collider = new Collider(this, size, offset);
		collider->mode = mode;
		collider->weight = weight;
	}
	return collider;
}

void FXEntity::Launch(Entity *launcher)
{
	source = launcher;
	if (launcher != nullptr && launcher->scene != nullptr)
		launcher->scene->AddEntity(this);
	if (launcher != nullptr)
		TurnAlong(transform, launcher->transform.GetForward());
	age = 0.0f;
	SetActive(true);
}

void FXEntity::ForgetEntity(const Entity *entity)
{
	if (entity != nullptr && source == entity)
		source = nullptr;
}

void FXEntity::Update(float dt)
{
	age += dt;
	if (age > lifetime)
		SetActive(false);
	if (hitCooldown > 0.0f)
		hitCooldown -= dt;
}

void FXEntity::Render()
{
	if (lifeState >= kLifePaused || !IsVisible() || model == nullptr || !model->IsLoaded())
		return;
	model->Render(ModelMatrix());
}

glm::mat4 FXEntity::ModelMatrix() const
{
	return glm::translate(transform.GetMatrix(), kModelLead);
}

void FXEntity::OnCollide(Entity *other)
{
	if (damage >= kNoHits)
		return;
	if (!IsLiveEntity(other) || other == source)
		return;
	if (!IsActor(source) || !IsMapEntity(other))
		return;
	static_cast<Actor *>(source)->Attack(static_cast<MapEntity *>(other), damage, power);
	if (hitCooldown > 0.0f)
		return;
	OnHitEntity(other);
	hitCooldown = kHitCooldown;
}

void FXEntity::PlaySound(const char *name, float volume)
{
	WorldSound::PlayAt(name, transform.position, volume);
}
