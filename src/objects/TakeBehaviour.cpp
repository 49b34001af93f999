#include "objects/TakeBehaviour.h"

#include "objects/Actor.h"
#include "objects/GameLink.h"

namespace {

constexpr uint32_t kPlayerKind = 1;

} // namespace

TakeBehaviour::TakeBehaviour(Actor *actor, MapEntity *player)
	: InteractBehaviour(actor, player)
{
}

uint8_t TakeBehaviour::TickPhase(float dt)
{
	if (!Entity::IsAlive(targetEntity) || owner == nullptr || targetEntity->scene != owner->scene) {
		targetEntity = nullptr;
		Finish();
		return kPhaseDone;
	}
	return InteractBehaviour::TickPhase(dt);
}

uint8_t TakeBehaviour::OnReach()
{
	auto *holder = dynamic_cast<Actor *>(targetEntity);
	// Read before the hands are emptied: that is the item taken.
	uint32_t kind = holder != nullptr ? holder->GetStats().heldKind : 0;
	if (kind == 0)
		return kPhaseFollow;
	holder->Hold(0, nullptr);
	if (holder->GetKind() == kPlayerKind)
		GameLink::Get().StorePlayerStats(holder->GetStats());
	owner->Hold(kind, nullptr);
	return kPhaseFollow;
}

uint8_t TakeBehaviour::Follow(float dt)
{
	(void)dt;
	return phaseTime > kPauseSeconds ? kPhaseDone : kPhaseFollow;
}
