#include "objects/FXSplash.h"

namespace {

constexpr float kWidening = 3.0f;   // ring scale gained per second
constexpr float kStartWidth = 0.5f;
constexpr float kStartHeight = 1.5f;
constexpr float kFlattening = 2.0f; // height scale lost per second

} // namespace

void FXSplash::Start()
{
	FXEntity::Start();
	PlaySound(kSound, kVolume);
	if (model == nullptr) {
		model = std::make_unique<Model3D>();
		model->LoadSimple(kModel, 1.0f);
		model->SetMaterial(texture, kShader);
	}
	transform.rotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
	transform.SetUniformScale(1.0f);
	age = 0.0f;
}

void FXSplash::Update(float dt)
{
	FXEntity::Update(dt);
	const float width = age * kWidening + kStartWidth;
	transform.SetScale(Vec3(width, kStartHeight - age * kFlattening, width));
}
