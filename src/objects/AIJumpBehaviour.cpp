#include "objects/AIJumpBehaviour.h"

#include "objects/Actor.h"

#include <limits>

namespace {
constexpr float kHold = std::numeric_limits<float>::infinity();
} // namespace

AIJumpBehaviour::AIJumpBehaviour(Actor *owner, float duration) : ActorBehaviour(owner), duration(duration)
{
}

void AIJumpBehaviour::Begin()
{
	ActorBehaviour::Begin();
	MapEntity *foe = owner != nullptr ? AcquireTarget(kHold) : nullptr;
	if (foe == nullptr) {
		Finish();
		return;
	}
	owner->FaceTowards(foe);
	owner->Jump(kJumpStrength);
	owner->PlayAnimation(kAnimHit1, duration, kAnimationSpeed);
	timer = duration;
	speed = 0.0f;
	owner->PlaySoundVariant(Actor::kHurtVoice);
}

void AIJumpBehaviour::Update(float dt)
{
	FaceFoeWhileTiming(timer, dt);
}
