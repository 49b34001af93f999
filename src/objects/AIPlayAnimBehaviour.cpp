#include "objects/AIPlayAnimBehaviour.h"

#include "objects/Actor.h"

#include <limits>

namespace {
constexpr float kHold = std::numeric_limits<float>::infinity();
} // namespace

AIPlayAnimBehaviour::AIPlayAnimBehaviour(Actor *owner, uint32_t animation, uint32_t soundSet, float duration,
	float walkSpeed)
	: ActorBehaviour(owner), animation(animation), soundSet(soundSet), duration(duration), walkSpeed(walkSpeed)
{
	speed = walkSpeed;
}

void AIPlayAnimBehaviour::Begin()
{
	ActorBehaviour::Begin();
	speed = walkSpeed;
	MapEntity *foe = owner != nullptr ? AcquireTarget(kHold) : nullptr;
	if (foe == nullptr) {
		Finish();
		return;
	}
	owner->FaceTowards(foe);
	owner->PlayAnimation(static_cast<uint8_t>(animation), duration, kAnimationSpeed);
	timer = duration;
	owner->PlaySoundVariant(static_cast<uint8_t>(soundSet));
}

void AIPlayAnimBehaviour::Update(float dt)
{
	FaceFoeWhileTiming(timer, dt);
}
