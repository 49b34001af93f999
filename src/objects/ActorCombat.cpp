#include "objects/ActorCombat.h"

#include "audio/Sound.h"
#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "engine/core/Entity.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/ActorRegistry.h"
#include "objects/ActorTuning.h"
#include "objects/FXSpawner.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/SpawnFX.h"

namespace {

using namespace ActorTuning;

void ShakeCamera(float amount)
{
	if (Camera *camera = Camera::Get())
		camera->Shake(amount);
}

} // namespace

// --- Moves --------------------------------------------------------------------

void ActorCombat::StartAttack(Actor &actor)
{
	if (!actor.HasHearts())
		return;
	actor.PlayAnimation(static_cast<uint8_t>(kAnimStrikeFore + actor.strikeAlternation), kStrikeHold, kActionSpeed);
	actor.actionMoveFactor = kStrikeMove;
	actor.strikeEffectTimer = kStrikeEffectDelay;
	const uint8_t alternatives = actor.strikeAnimationCount > 0 ? actor.strikeAnimationCount : 1;
	actor.strikeAlternation = static_cast<uint8_t>((actor.strikeAlternation + 1) % alternatives);
	actor.busyTimer = kStrikeBusy;
	actor.PlaySoundVariant(Actor::kAttackVoice);
}

void ActorCombat::StartRoll(Actor &actor)
{
	if (!actor.HasHearts())
		return;
	actor.PlayAnimation(kAnimRoll, kRollHold, kActionSpeed);
	actor.rollTimer = kRollTime;
	actor.actionMoveFactor = kRollMove;
	actor.busyTimer = kRollBusy;
	if (const char *name = actor.rollSounds.PickRandom(nullptr))
		Sound::Instance()->PlayAt(name, &actor.transform.position.x, kRollLevel);
}

void ActorCombat::Block(Actor &actor)
{
	if (!actor.HasHearts())
		return;
	actor.PlayAnimation(kAnimBlockVert, kBlockHold, kActionSpeed);
	actor.rollTimer = 0.0f;
	actor.actionMoveFactor = 0.0f;
	actor.busyTimer = kBlockBusy;
}

// --- Blows --------------------------------------------------------------------

bool ActorCombat::Attack(Actor &attacker, MapEntity *victim, uint8_t damage, float power)
{
	if (victim == nullptr || !IsHostile(attacker.faction, victim->GetFaction()))
		return false;
	// The fire sword burns a foe down at once when the blow would finish it,
	// but only a foe that would take the blow at all.
	if (attacker.stats.heldKind == kFireSwordKind && victim->IsKind(Actor::kActorClassId)
		&& IsActorKind(victim->GetKind())) {
		Actor *foe = static_cast<Actor *>(victim);
		if (foe->stats.hearts <= damage && foe->AcceptsBlowFrom(&attacker)) {
			foe->lastAttacker = &attacker;
			if (foe->defeatOpensGroup != 0 && foe->map != nullptr && foe->mapObject != nullptr)
				foe->map->SetGroupFlag(foe->mapObject->Group(), true);
			foe->Die();
			if (foe->GetFaction() == kFactionHostile)
				attacker.AddChain(1); // burnt down is defeated: it counts toward the chain
			return true;
		}
	}
	return victim->Strike(&attacker, damage, power);
}

bool ActorCombat::TakeBlow(Actor &actor, MapEntity *attacker, uint8_t damage, float power)
{
	if (actor.knockBackTimer > 0.0f || actor.busyTimer > 0.0f || !actor.HasHearts())
		return false;
	actor.lastAttacker = IsActor(attacker) ? static_cast<Actor *>(attacker) : nullptr;
	actor.KnockBackFrom(attacker, power);
	const uint8_t level = actor.PlaySoundVariant(Actor::kHurtVoice);
	ShakeCamera(level / 255.0f * kStrikeShake);
	actor.PlayAnimation(actor.animations[kAnimHit1] != nullptr ? kAnimHit1 : kAnimIdle, 0.0f, kActionSpeed);
	if (actor.lastAttacker != nullptr && actor.faction == kFactionHostile
		&& actor.lastAttacker->GetFaction() != kFactionHostile)
		actor.struckByOtherSide = 1;
	if (damage < actor.stats.hearts) {
		actor.stats.hearts = static_cast<uint8_t>(actor.stats.hearts - damage);
		if (actor.currentBehaviour != nullptr) {
			BehaviourStack::Call call(actor.behaviours);
			actor.currentBehaviour->OnStruck(actor.lastAttacker);
		}
	} else {
		actor.Defeat();
	}
	actor.actionTimer = actor.hitStun * actor.knockBackRecovery;
	actor.busyTimer = actor.actionTimer;
	if (damage != 0)
		actor.flashTimer = kFlashTime;
	return true;
}

void ActorCombat::BumpWhileRolling(Actor &actor, Entity *other)
{
	if (actor.rollTimer <= 0.0f || actor.moving == 0 || other == nullptr || !other->IsKind(MapEntity::kClassId))
		return;
	MapEntity *thing = static_cast<MapEntity *>(other);
	const uint32_t thingKind = thing->GetKind();
	if (IsPickupKind(thingKind) || thingKind == kSwitchKind || thingKind == kGrassKind || thingKind == kFireplaceKind)
		return;
	if (GameLink::Get().IsMode(1) || thing->transform.position.y <= actor.transform.position.y - kBumpLowestTop)
		return;
	if (actor.animations[kAnimHit1] != nullptr)
		actor.PlayAnimation(kAnimHit1, kBumpHold, kActionSpeed);
	thing->Hurt(&actor);
	actor.rollTimer = 0.0f;
	actor.actionMoveFactor = 0.0f;
	actor.actionTimer = kBumpHold;
	actor.recoilTimer = kBumpRecoil;
	SpawnFX(&actor, kFXKindDust, Vec3(0.0f));
	ShakeCamera(kBumpShake);
}

// --- Defeat and death ---------------------------------------------------------

void ActorCombat::Defeat(Actor &actor)
{
	if (!actor.HasHearts())
		return;
	actor.AddBehaviour(nullptr, true);

	if (ModelAnimation *die = actor.animations[kAnimDie]) {
		if (actor.lifeState == kLifeAdded) {
			// Not on screen yet (a foe beaten on an earlier visit): lie down
			// at once.
			actor.model.SetSpeed(1.0f);
			actor.model.SetAnimation(die, 0.0f);
			actor.model.SetTime(static_cast<float>(die->frameCount));
			actor.animationHoldTimer = kForever;
			actor.actionTimer = kForever;
			actor.model.Update(0.0f);
		} else {
			actor.model.SetAnimationAtSpeed(die, 0.0f, kDieSpeed);
			actor.model.SetTime(0.0f);
			actor.actionTimer = kForever;
		}
	}

	actor.stats.hearts = 0;
	actor.deathTimer = actor.deathDelay;
	if (actor.collider != nullptr)
		actor.collider->mode = Collider::kModeIgnored;

	if (actor.defeatOpensGroup != 0 && actor.map != nullptr && actor.mapObject != nullptr)
		actor.map->SetGroupFlag(actor.mapObject->Group(), true);

	if (actor.faction == kFactionHostile) {
		if (actor.map != nullptr)
			actor.map->CheckTriggers();
		if (IsLivingActor(actor.lastAttacker) && actor.lastAttacker->GetFaction() == kFactionPlayer)
			actor.lastAttacker->AddChain(1);
	}
	actor.PlaySoundVariant(Actor::kHurtVoice);
}

void ActorCombat::Die(Actor &actor)
{
	actor.stats.hearts = 0;
	ActorRegistry::Remove(&actor);
	if (actor.dropsEnabled != 0) {
		if (actor.faction == kFactionHostile) {
			SpawnFX(&actor, kFXKindEvaporate, Vec3(0.0f));
			if (actor.dropFlag != 0)
				SpawnDrops(actor);
		}
		actor.SetActive(false);
	}
	if (actor.faction == kFactionHostile && actor.map != nullptr)
		actor.map->CheckTriggers();
}

void ActorCombat::SpawnDrops(Actor &actor)
{
	GameLink &game = GameLink::Get();
	const bool originalRules = game.IsMode(1);
	Actor *striker = IsActor(actor.lastAttacker) ? actor.lastAttacker : nullptr;
	for (uint8_t roll = 0; roll < actor.dropCount; roll++) {
		if (originalRules) {
			const bool evenTile = actor.mapObject != nullptr && (actor.mapObject->x + actor.mapObject->y) % 2 == 0;
			const bool heartAllowed = (striker != nullptr && striker->stats.hearts <= kLowHearts) || evenTile;
			const bool wantsHeart = striker != nullptr && striker->stats.hearts < striker->stats.maxHearts;
			SpawnFX(&actor, roll == 0 && wantsHeart && heartAllowed ? kFXKindHeart : kFXKindChicken, Vec3(0.0f));
		} else if (roll % 2 == 0) {
			SpawnFX(&actor, kFXKindChicken, Vec3(0.0f));
		}
	}
	if (!originalRules && game.Difficulty() < 2 && IsLivingActor(striker) && striker->stats.hearts < kDesperateHearts)
		SpawnFX(&actor, kFXKindHeart, Vec3(0.0f));
}

// --- Hearts by difficulty -----------------------------------------------------

void ActorCombat::ApplyDifficulty(Actor &actor, uint8_t baseHearts, bool scaled)
{
	GameLink &game = GameLink::Get();
	int factor = 1;
	if (actor.faction == kFactionHostile && scaled) {
		if (game.Flag("newgame+"))
			factor = 2;
		const int difficulty = game.Difficulty();
		if (difficulty >= 1)
			factor++;
		if (difficulty >= 2)
			factor++;
	}
	const uint8_t hearts = static_cast<uint8_t>(baseHearts * factor);
	actor.stats.hearts = hearts;
	actor.stats.maxHearts = hearts;
	actor.dropFlag = hearts;
	if (game.IsMode(1))
		actor.dropCount = baseHearts;
	else
		actor.dropCount = baseHearts == 0 ? 0 : static_cast<uint8_t>(baseHearts / 2 + 1);
}
