#include "objects/ActorChook.h"

#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AIJumpBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/CreatureSetup.h"
#include "objects/FlankBehaviour.h"
#include "objects/GameLink.h"
#include "objects/RoamBehaviour.h"

namespace {

// In the chook game the chooks wear the dark lord's look.
constexpr const char *kChookGameModel = "models/blacklord.iqm";
constexpr const char *kChookGameAnimations = "models/blacksmith.iqm";
constexpr const char *kChookGameTexture = "models/blacklord.png";
constexpr float kChookGameScale = 0.4f;
constexpr int kChookGameMode = 2;

} // namespace

ActorChook::ActorChook() : ActorChook(kKind)
{
}

ActorChook::ActorChook(uint32_t kind) : Actor(kind)
{
	if (const CreatureRow *row = CreatureSetup::FindRow(kind))
		CreatureSetup::Apply(*this, *row);
}

void ActorChook::Init()
{
	Actor::Init();
	if (behavioursBuilt == 0) {
		behavioursBuilt = 1;
		SetupBehaviours();
	}
}

void ActorChook::SetupBehaviours()
{
	auto targeting = std::make_unique<AITargetingBehaviour>(this, std::make_unique<RoamBehaviour>(this, 2.0f, 0.3f),
		std::make_unique<AIAttackChargeBehaviour>(this, 4.0f, 7.0f, 10.0f, 0.4f), 7.0f, 2.0f, 1000.0f);
	targeting->SetSubBehaviour(AITargetingBehaviour::kStatePreAttack, std::make_unique<AIJumpBehaviour>(this, 0.4f));
	targeting->SetSubBehaviour(AITargetingBehaviour::kStateHitReact, std::make_unique<FlankBehaviour>(this, 6.0f));
	targeting->hitReactStep = 0.5f;
	AddBehaviour(std::move(targeting), true);
}

bool ActorChook::InChookGame() const
{
	return GameLink::Get().IsMode(kChookGameMode) && (GetKind() == 50 || GetKind() == 51);
}

void ActorChook::LoadModel()
{
	const CreatureRow *row = CreatureSetup::FindRow(GetKind());
	if (row == nullptr)
		return;
	if (InChookGame())
		CreatureSetup::LoadModel(*this, *row, kChookGameModel, kChookGameAnimations, kChookGameScale,
			kChookGameTexture);
	else
		CreatureSetup::LoadModel(*this, *row);
}

void ActorChook::AddLooks(std::vector<EntityLook> &looks) const
{
	const CreatureRow *row = CreatureSetup::FindRow(GetKind());
	if (row == nullptr)
		return;
	if (InChookGame())
		CreatureSetup::AddLook(looks, *row, kChookGameModel, kChookGameAnimations, kChookGameTexture);
	else
		CreatureSetup::AddLook(looks, *row);
}

void ActorChook::LoadFootsteps()
{
	if (const CreatureRow *row = CreatureSetup::FindRow(GetKind()))
		CreatureSetup::LoadFootsteps(*this, *row);
}
