#include "objects/ActorBlob.h"

#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AIJumpBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/CreatureSetup.h"
#include "objects/FlankBehaviour.h"
#include "objects/MapEntityFactory.h"
#include "objects/RoamBehaviour.h"

namespace {
constexpr uint32_t kBlobRowKind = 62;
} // namespace

ActorBlob::ActorBlob(uint32_t kind) : Actor(kind)
{
	CreatureSetup::Apply(*this, *CreatureSetup::FindRow(kBlobRowKind));
}

void ActorBlob::Init()
{
	Actor::Init();
	if (behavioursBuilt == 0) {
		behavioursBuilt = 1;
		SetupBehaviours();
	}
}

void ActorBlob::SetupBehaviours()
{
	auto targeting = std::make_unique<AITargetingBehaviour>(this, std::make_unique<RoamBehaviour>(this, 2.0f, 0.3f),
		std::make_unique<AIAttackChargeBehaviour>(this, 4.0f, 7.0f, 8.0f, 0.4f), 7.0f, 2.0f, 1000.0f);
	targeting->SetSubBehaviour(AITargetingBehaviour::kStatePreAttack, std::make_unique<AIJumpBehaviour>(this, 0.4f));
	targeting->SetSubBehaviour(AITargetingBehaviour::kStateHitReact, std::make_unique<FlankBehaviour>(this, 6.0f));
	targeting->hitReactStep = 0.5f;
	AddBehaviour(std::move(targeting), true);
}

void ActorBlob::AddLooks(std::vector<EntityLook> &looks) const
{
	CreatureSetup::AddLook(looks, *CreatureSetup::FindRow(kBlobRowKind));
}

void ActorBlob::LoadModel()
{
	CreatureSetup::LoadModel(*this, *CreatureSetup::FindRow(kBlobRowKind));
}

void ActorBlob::LoadFootsteps()
{
	CreatureSetup::LoadFootsteps(*this, *CreatureSetup::FindRow(kBlobRowKind));
}

bool ActorBlob::Attack(MapEntity *target, uint8_t damage, float power)
{
	(void)damage;
	(void)power;
	if (IsActor(target))
		static_cast<Actor *>(target)->Hold(0, nullptr);
	return true;
}

void ActorBlob::OnCollide(Entity *other)
{
	Actor::OnCollide(other);
	if (HasHearts() && IsLivingActor(other) && other->GetFaction() == kFactionPlayer)
		Attack(static_cast<MapEntity *>(other), 0, 0.0f);
}
