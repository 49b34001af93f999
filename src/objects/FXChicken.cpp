#include "objects/FXChicken.h"

#include "objects/Actor.h"

namespace {

constexpr float kModelScale = 0.5f;
constexpr const char *kShader = "shaders/standard.dsh";
constexpr const char *kSound = "sfx/pickup.wav";
constexpr float kVolume = 0.55f;
constexpr int16_t kWeightGain = 1; // a tenth of a kilogram

} // namespace

void FXChicken::Start()
{
	attracts = 1;
	FXPickup::Start();
}

void FXChicken::Update(float dt)
{
	transform.rotation = transform.rotation * glm::quat(Vec3(0.0f, dt * kTurnRate, 0.0f));
	FXPickup::Update(dt);
}

void FXChicken::LoadModel()
{
	model = std::make_unique<Model3D>();
	model->LoadSimple(kModel, kModelScale);
	model->SetMaterial(kTexture, kShader);
}

bool FXChicken::CanCollect(Actor *candidate)
{
	if (candidate == nullptr)
		return false;
	return candidate->stats.weight < candidate->stats.GetMaxWeight();
}

void FXChicken::OnCollected()
{
	if (collector == nullptr)
		return;
	collector->stats.AddWeight(kWeightGain);
	PlaySound(kSound, kVolume);
}
