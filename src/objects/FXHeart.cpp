#include "objects/FXHeart.h"

#include "objects/Actor.h"

namespace {

constexpr float kModelScale = 0.5f;
constexpr const char *kShader = "shaders/standard.dsh";
constexpr const char *kSound = "sfx/pickup2.wav";
constexpr float kVolume = 0.7f;

} // namespace

void FXHeart::Start()
{
	attracts = 1;
	pickupDelay = kHeartDelay;
	FXPickup::Start();
}

void FXHeart::LoadModel()
{
	model = std::make_unique<Model3D>();
	model->LoadSimple(kModel, kModelScale);
	model->SetMaterial(kTexture, kShader);
	// Made facing the viewer down -z.
	model->GetTransform().SetRotation(LookRotation(Vec3(0.0f, 0.0f, -1.0f), Vec3(0.0f, 1.0f, 0.0f)));
}

void FXHeart::OnCollected()
{
	if (collector == nullptr)
		return;
	PlayerStats &stats = collector->stats;
	if (stats.hearts >= stats.maxHearts)
		return;
	// One half below the maximum ends at the maximum, never above it.
	const int raised = stats.hearts + kGain;
	stats.hearts = static_cast<uint8_t>(raised > stats.maxHearts ? stats.maxHearts : raised);
	PlaySound(kSound, kVolume);
}
