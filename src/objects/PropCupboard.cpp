#include "objects/PropCupboard.h"

#include "objects/PropFurniture.h"
#include "objects/WorldSound.h"

namespace {
constexpr float kSoundVolume = 1.0f;
constexpr float kBlendSeconds = 0.2f;
} // namespace

void PropCupboard::Start()
{
	PropFurniture::SetUp(*this);
	openAnimation = model.FindAnimation("open");
	shutAnimation = model.FindAnimation("shut");
	SetOpen(false);
}

void PropCupboard::Update(float dt)
{
	MapEntity::Update(dt);
	model.Update(dt);
}

void PropCupboard::SetOpen(bool value)
{
	if ((open != 0) == value)
		return;
	WorldSound::Play(value ? kOpenSound : kShutSound, kSoundVolume, 0);
	open = value ? 1 : 0;
	ModelAnimation *animation = value ? openAnimation : shutAnimation;
	if (animation != nullptr)
		model.BlendToAnimation(animation, kBlendSeconds);
}
