#include "objects/FacingBehaviour.h"

#include "engine/core/Entity.h"
#include "engine/core/Scene.h"
#include "objects/Actor.h"

namespace {

constexpr float kWaveBlend = 0.2f;  // seconds of cross-fade into and out of the wave
constexpr float kWaveHold = 1.0f;   // seconds the animation holds the action
constexpr float kWaveSpeed = 30.0f; // frames per second

} // namespace

FacingBehaviour::FacingBehaviour(Actor *owner)
	: ActorBehaviour(owner)
{
	speed = 0.0f;
}

void FacingBehaviour::Begin()
{
	targetEntity = nullptr;
}

void FacingBehaviour::Update(float dt)
{
	if (owner == nullptr)
		return;
	searchTimer += dt;
	if (targetEntity == nullptr || searchTimer > kSearchInterval) {
		targetEntity = owner->scene != nullptr
			? owner->scene->FindNearestEntity(owner->transform.position, kPlayerMask, kSearchRadius)
			: nullptr;
		searchTimer = 0.0f;
		if (targetEntity == nullptr)
			return;
	}

	const uint8_t was = inRange;
	inRange = IsWithinRange(targetEntity->transform.position, owner->transform.position, kWaveRange) ? 1 : 0;
	if (inRange != 0) {
		owner->FaceTowards(targetEntity);
		if (was == 0) {
			waveTimer = kWaveTime;
			owner->PlayAnimationBlended(kAnimWave, kWaveBlend, kWaveHold, kWaveSpeed);
		}
	} else {
		waveTimer = 0.0f;
	}

	if (waveTimer > 0.0f) {
		waveTimer -= dt;
		// Exactly 0 ends the wave as well, so a wave of whole frames stops on time.
		if (waveTimer <= 0.0f) {
			waveTimer = 0.0f;
			owner->PlayAnimationBlended(kAnimIdle, kWaveBlend, kWaveHold, kWaveSpeed);
		}
	}
}

void FacingBehaviour::ForgetEntity(const Entity *entity)
{
	if (entity != nullptr && targetEntity == entity) {
		targetEntity = nullptr;
		inRange = 0;
	}
}
