#include "objects/ActorChookBomb.h"

#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AIJumpBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/CreatureSetup.h"
#include "objects/FXSpawner.h"
#include "objects/RoamBehaviour.h"
#include "objects/SpawnFX.h"

#include <cmath>

namespace {
constexpr uint8_t kAttackingPhase = AITargetingBehaviour::kStateAttack;
} // namespace

ActorChookBomb::ActorChookBomb() : ActorChook(kKind)
{
}

void ActorChookBomb::SetupBehaviours()
{
	auto targeting = std::make_unique<AITargetingBehaviour>(this, std::make_unique<RoamBehaviour>(this, 2.5f, 0.3f),
		std::make_unique<AIAttackChargeBehaviour>(this, 2.0f, 10.0f, 3.0f, 0.4f), 12.0f, 2.0f, 1000.0f);
	targeting->SetSubBehaviour(AITargetingBehaviour::kStatePreAttack, std::make_unique<AIJumpBehaviour>(this, 0.4f));
	targeting->hitReactStep = 0.5f;
	AddBehaviour(std::move(targeting), true);
}

void ActorChookBomb::Update(float dt)
{
	Actor::Update(dt);
	const ActorBehaviour *current = GetCurrentBehaviour();
	if (current != nullptr && current->active == kAttackingPhase && fuse == 0.0f)
		fuse = kFuseTime;
	if (fuse <= 0.0f)
		return;
	const float half = fuse > 1.0f ? kSlowBlink : kFastBlink;
	const uint8_t blink = std::fmod(fuse, 2.0f * half) < half ? 1 : 0;
	if (blink != showingBlink && model.IsLoaded()) {
		const CreatureRow *row = CreatureSetup::FindRow(kKind);
		model.SetMaterial(blink != 0 ? kBlinkTexture : row->texture, CreatureSetup::kShader);
	}
	showingBlink = blink;
	fuse -= dt;
	// Landing on exactly 0 is burnt out too.
	if (fuse <= 0.0f)
		Explode();
}

void ActorChookBomb::Explode()
{
	fuse = kSpentFuse;
	if (!HasHearts())
		return;
	SpawnFX(this, kFXKindExplosion, Vec3(0.0f));
	Defeat();
	deathTimer = kBlastDeathDelay;
}

bool ActorChookBomb::Strike(MapEntity *attacker, uint8_t damage, float power)
{
	(void)damage;
	(void)power;
	if (!HasHearts())
		return false;
	lastAttacker = IsActor(attacker) ? static_cast<Actor *>(attacker) : nullptr;
	Explode();
	return true;
}

void ActorChookBomb::OnCollide(Entity *other)
{
	if (IsLiveActor(other) && other->GetFaction() == kFactionPlayer)
		Strike(this, 1, 1.0f);
	Actor::OnCollide(other);
}
