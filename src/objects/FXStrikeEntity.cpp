#include "objects/FXStrikeEntity.h"

#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "map/MapFiles.h"
#include "objects/FXSpawner.h"
#include "objects/MapEntity.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr float kStrikeBox = 1.3f;          // edge of the box before the weapon's values
constexpr float kAhead = 0.3f;              // the strike stands this far before the swinger
constexpr Vec3 kRaise(0.0f, 0.6f, 0.0f);    // and this high above its feet
constexpr Vec3 kDustOffset(0.0f, 1.5f, 0.0f);
constexpr float kHitShake = 0.1f;
constexpr const char *kStrikeTexture = "mats/white.png";
constexpr const char *kStrikeShader = "shaders/standard.dsh";

} // namespace

FXStrikeEntity::FXStrikeEntity(const FXStrikeValues &values) : values(values) {}

void FXStrikeEntity::Start()
{
	FXEntity::Start();
	Collider *box = MakeCollider(Vec3(kStrikeBox), Vec3(0.0f), Collider::kModeTrigger, 1.0f);
	// No model file: the strike draws nothing, but keeps the material every
	// effect model has.
	if (model == nullptr) {
		model = std::make_unique<Model3D>();
		model->SetMaterial(kStrikeTexture, kStrikeShader);
	}
	box->size = Vec3(values.boxSize);
	damage = values.damage;
	power = values.power;
}

void FXStrikeEntity::PlaceBox()
{
	if (collider != nullptr && source != nullptr)
		collider->offset = source->transform.GetForward() * values.reach;
}

void FXStrikeEntity::OnResume()
{
	FXEntity::OnResume();
	PlaceBox();
	if (values.soundCount > 0) {
		char name[64];
		std::snprintf(name, sizeof(name), values.soundPattern, std::rand() % values.soundCount + 1);
		PlaySound(name, values.volume);
	} else {
		PlaySound(values.soundPattern, values.volume);
	}
}

void FXStrikeEntity::Launch(Entity *launcher)
{
	if (launcher != nullptr)
		transform.position = launcher->transform.position + launcher->transform.GetForward() * kAhead + kRaise;
	FXEntity::Launch(launcher);
	// A running strike gets no OnResume; its box must still follow the new
	// swinger rather than point where the old one faced.
	PlaceBox();
}

void FXStrikeEntity::OnHitEntity(Entity *hit)
{
	FXSpawner::Spawn(this, kFXKindDust, kDustOffset);
	if (IsActiveMapEntity(hit))
		static_cast<MapEntity *>(hit)->Hurt(this);
	Camera *camera = Camera::Get();
	if (camera != nullptr)
		camera->Shake(kHitShake);
}
