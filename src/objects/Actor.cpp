#include "objects/Actor.h"

#include "audio/Sound.h"
#include "engine/collision/Collider.h"
#include "engine/core/Entity.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/ActorAnimator.h"
#include "objects/ActorCombat.h"
#include "objects/ActorRegistry.h"
#include "objects/ActorTuning.h"
#include "objects/CreatureSetup.h"
#include "objects/EntityLook.h"
#include "objects/FacingBehaviour.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/FXSpawner.h"
#include "objects/SpawnFX.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

using namespace ActorTuning;

} // namespace

// --- Life ---------------------------------------------------------------------

Actor::Actor(uint32_t entityKind)
	: MapEntity(entityKind), rollSounds("sfx/roll%d.wav", 3)
{
	kind = kActorClassId;
	facing = kSouth;
	transform.SetDirection(kSouth, kUp);
	verticalFactor = 1.3f;
	shadowSize = 1.0f;
	ActorRegistry::Track(this);
}

Actor::~Actor()
{
	ActorRegistry::Remove(this);
	ActorRegistry::Untrack(this);
	ActorRegistry::ForgetEntity(this);
	currentBehaviour = nullptr;
	behaviours.Clear();
	heldItem.reset();
	heldRecord.reset();
}

bool Actor::IsKind(uint16_t testKind)
{
	return testKind == kActorClassId || MapEntity::IsKind(testKind);
}

void Actor::Init()
{
	MapEntity::Init();
	transform.SetDirection(kSouth, kUp);
	LoadFootsteps();
}

void Actor::LoadFootsteps()
{
	footstepSounds.Generate("sfx/step%d.wav", 4);
}

void Actor::Start()
{
	MapEntity::Start();
	LoadModel();
	strikeAnimationCount = animations[kAnimStrikeFore] != nullptr && animations[kAnimStrikeBack] != nullptr ? 2 : 1;

	// A foe beaten before starts defeated: its script has a "dead" line, and
	// the group that line opened when it ran (the map object's own) is open.
	if (map != nullptr && mapObject != nullptr && map->FindLinkedOfKind(mapObject, kCmdDead) != nullptr
		&& map->IsGroupEnabled(mapObject->Group()))
		Defeat();

	if (mapObject != nullptr && mapObject->facing != 0)
		AddBehaviour(std::make_unique<FacingBehaviour>(this), true);

	if (HasHearts()) {
		if (animations[kAnimIdle] != nullptr)
			model.SetAnimation(animations[kAnimIdle], 0.0f);
		CreateCollider(Collider::kModeSolid, Vec3(0.0f), Vec3(0.0f));
	}

	if (defeatOpensGroup != 0 && map != nullptr && mapObject != nullptr && map->IsGroupEnabled(mapObject->Group()))
		Defeat();
}

void Actor::Update(float dt)
{
	MapEntity::Update(dt);

	if (flashTimer > 0.0f)
		flashTimer = Max(flashTimer - dt, 0.0f);
	if (recoilTimer > 0.0f)
		recoilTimer -= dt;

	const float redness = Min(1.0f, flashTimer * kFlashRamp);
	model.SetColour(ApproachVec3(Vec3(1.0f), kFlashColour, redness));

	// A finished behaviour leaves the stack; the one below carries on where
	// it was, without beginning again.
	ActorBehaviour *top = behaviours.Top();
	if (top != nullptr && top->IsFinished()) {
		behaviours.PopTop();
		top = behaviours.Top();
		behaviourTime = 0.0f;
	}
	currentBehaviour = top;

	if (currentBehaviour != nullptr && HasHearts()) {
		BehaviourStack::Call call(behaviours);
		if (!currentBehaviour->IsRunning()) {
			currentBehaviour->Begin();
			behaviourTime = 0.0f;
		}
		// Begin may have replaced the whole stack.
		if (currentBehaviour != nullptr) {
			currentBehaviour->Update(dt);
			behaviourTime += dt;
		}
	}

	targetTime = target != nullptr ? targetTime + dt : 0.0f;
}

void Actor::GetDesiredMove(Vec3 &out, float dt)
{
	if (currentBehaviour != nullptr) {
		BehaviourStack::Call call(behaviours);
		currentBehaviour->MoveTowards(out, dt);
		return;
	}
	if (HasWalkTarget()) {
		Vec3 d = walkTarget - transform.position;
		d.y = 0.0f;
		out = ClampLength(d, kWalkTargetLimit) * moveSpeed;
		return;
	}
	MapEntity::GetDesiredMove(out, dt);
}

void Actor::ResetState()
{
	StopBehaviour();
	ActorRegistry::Remove(this);
	MapEntity::ResetState();
	deathTimer = 0.0f;
	actionTimer = 0.0f;
	strikeEffectTimer = 0.0f;
	busyTimer = 0.0f;
	stepAccumulator = 0.0f;
	const int difficulty = GameLink::Get().Difficulty();
	knockBackRecovery = difficulty >= 2 ? kRecoveryBrutal : (difficulty == 0 ? kRecoveryRelaxed : kRecoveryIntended);
}

void Actor::SetPosition(const Vec3 &position)
{
	MapEntity::SetPosition(position);
	stepAccumulator = 0.0f;
}

void Actor::UpdateTransform()
{
	MapEntity::UpdateTransform();
	stepAccumulator = 0.0f;
}

void Actor::StopBehaviour()
{
	if (!HasHearts())
		return;
	ActorRegistry::Remove(this);
	if (currentBehaviour != nullptr) {
		BehaviourStack::Call call(behaviours);
		currentBehaviour->OnEnd();
	}
}

bool Actor::IsStillFighting() const
{
	return faction == kFactionHostile && HasHearts();
}

bool Actor::AcceptsBlowFrom(Actor *attacker)
{
	(void)attacker;
	return HasHearts();
}

// --- Behaviours ---------------------------------------------------------------

void Actor::AddBehaviour(std::unique_ptr<ActorBehaviour> behaviour, bool clear)
{
	if (clear) {
		behaviours.Clear();
		currentBehaviour = nullptr;
	}
	behaviours.Push(std::move(behaviour));
}

void Actor::ForgetEntity(const Entity *entity)
{
	if (target == entity) {
		target = nullptr;
		targetTime = 0.0f;
	}
	if (lastAttacker == entity)
		lastAttacker = nullptr;
	behaviours.ForgetEntity(entity);
}

// --- Targets and senses -------------------------------------------------------

void Actor::SetTarget(MapEntity *entity)
{
	if (entity == target)
		return;
	target = entity;
	targetTime = 0.01f;
}

uint8_t Actor::GetTargetMask() const
{
	return faction == kFactionHostile ? kSeekPlayerSide : kSeekHostileSide;
}

MapEntity *Actor::FindTarget()
{
	if (scene == nullptr)
		return nullptr;
	Entity *nearest = scene->FindNearestEntity(transform.position, GetTargetMask(), kTargetSearchRadius);
	if (nearest == nullptr || !nearest->IsKind(kClassId))
		return nullptr;
	MapEntity *candidate = static_cast<MapEntity *>(nearest);
	return IsActorKind(candidate->GetKind()) ? candidate : nullptr;
}

bool Actor::HasTarget(float limit, uint8_t mask) const
{
	if (target == nullptr)
		return false;
	if (mask != 0 && (target->GetFaction() & mask) == 0)
		return false;
	return targetTime < limit;
}

bool Actor::IsInView(const Vec3 &point, float range, float minAlignment) const
{
	Vec3 d = point - transform.position;
	d.y = 0.0f;
	const float distance = Vec3Length(d);
	const Vec3 direction = distance > 0.0f ? d / distance : Vec3(0.0f);
	const float alignment = glm::dot(transform.GetForward(), direction);
	if (alignment < minAlignment)
		return false;
	return distance < range * alignment;
}

bool Actor::IsEntityInView(const Entity *entity, float range, float minAlignment) const
{
	return entity != nullptr && IsInView(entity->transform.position, range, minAlignment);
}

void Actor::FaceTowards(const Entity *entity)
{
	if (!HasHearts() || entity == nullptr)
		return;
	Vec3 d = entity->transform.position - transform.position;
	d.y = 0.0f;
	facing = NormalizedOr(d, kUp);
}

bool Actor::HasWalkTarget() const
{
	return walkTarget != Vec3(kNoWalkTarget);
}

void Actor::ClearWalkTarget()
{
	walkTarget = Vec3(kNoWalkTarget);
}

// --- Fighting -----------------------------------------------------------------

void Actor::StartAttack()
{
	ActorCombat::StartAttack(*this);
}

void Actor::StartRoll()
{
	ActorCombat::StartRoll(*this);
}

void Actor::Block()
{
	ActorCombat::Block(*this);
}

void Actor::Jump(float strength)
{
	fallSpeed = -kJumpSpeed * strength;
	grounded = 0;
	transform.position.y -= kJumpLift;
}

bool Actor::Attack(MapEntity *victim, uint8_t damage, float power)
{
	return ActorCombat::Attack(*this, victim, damage, power);
}

bool Actor::Strike(MapEntity *attacker, uint8_t damage, float power)
{
	return ActorCombat::TakeBlow(*this, attacker, damage, power);
}

void Actor::OnCollide(Entity *other)
{
	MapEntity::OnCollide(other);
	if (currentBehaviour != nullptr) {
		BehaviourStack::Call call(behaviours);
		currentBehaviour->OnTouch(other);
	}
	ActorCombat::BumpWhileRolling(*this, other);
}

void Actor::Defeat()
{
	ActorCombat::Defeat(*this);
}

void Actor::Die()
{
	ActorCombat::Die(*this);
}

void Actor::Kill()
{
	if (killable != 0)
		Die();
}

void Actor::ApplyDifficulty(uint8_t baseHearts, bool scaled)
{
	ActorCombat::ApplyDifficulty(*this, baseHearts, scaled);
}

// --- Holding ------------------------------------------------------------------

void Actor::Hold(uint32_t itemKind, const char *name)
{
	if (!HasHearts())
		return;
	const uint32_t heldNow = heldItem != nullptr ? heldItem->GetKind() : 0;
	if (heldNow != itemKind) {
		std::unique_ptr<MapEntity> item;
		if (itemKind != 0) {
			Entity *made = MapEntityFactory::CreateByKind(itemKind);
			if (made != nullptr && made->IsKind(kClassId))
				item.reset(static_cast<MapEntity *>(made));
			else
				delete made;
		}
		TakeInHand(std::move(item), name);
	}
	stats.heldKind = itemKind;
}

void Actor::TakeInHand(std::unique_ptr<MapEntity> item, const char *name)
{
	if (heldItem != nullptr) {
		heldItem->SetActive(false);
		heldItem.reset();
	}
	heldRecord.reset();
	if (item == nullptr)
		return;
	// The item's name goes into a record of its own: the shared empty record
	// of unplaced entities must stay empty.
	if (name != nullptr && name[0] != '\0') {
		heldRecord = std::make_unique<MapObjectDef>();
		heldRecord->name = MapName(name);
		heldRecord->key = HashName(name);
		item->LinkToMap(nullptr, heldRecord.get());
	}
	heldItem = std::move(item);
	heldItem->Start();
}

void Actor::SpawnStrikeFX()
{
	if (!HasHearts())
		return;
	SpawnFX(this, StrikeFXForWeapon(stats.heldKind), Vec3(0.0f));
}

// --- Animation and sounds -----------------------------------------------------

void Actor::AddLooks(std::vector<EntityLook> &looks) const
{
	if (const CreatureRow *row = CreatureSetup::FindRow(GetKind()))
		CreatureSetup::AddLook(looks, *row);
}

void Actor::LoadModel()
{
	ActorAnimator::SetUpModel(*this);
}

ModelAnimation *Actor::GetAnimation(uint8_t index) const
{
	return index < kActorAnimationCount ? animations[index] : nullptr;
}

void Actor::PlayAnimation(uint8_t index, float hold, float speed)
{
	ActorAnimator::Play(*this, index, hold, speed);
}

void Actor::PlayAnimationBlended(uint8_t index, float blend, float hold, float speed)
{
	ActorAnimator::PlayBlended(*this, index, blend, hold, speed);
}

void Actor::PlayAnimationAt(uint8_t index, float startTime, float hold)
{
	ActorAnimator::PlayAt(*this, index, startTime, hold);
}

uint8_t Actor::PlaySoundVariant(uint8_t set)
{
	soundCounter++;
	if (set >= kSoundSetCount)
		return 0;
	const SoundSet &voice = soundSets[set];
	if (voice.count == 0 || voice.pattern[0] == '\0')
		return 0;
	char fileName[SoundSet::kPatternChars + 4] = {};
	voice.FileName(soundCounter, fileName, sizeof(fileName));
	return Sound::Instance()->PlayAt(fileName, &transform.position.x, voice.volume);
}

void Actor::PlayFootstep()
{
	if (const char *name = footstepSounds.PickRandom(nullptr))
		Sound::Instance()->PlayAt(name, &transform.position.x, kFootstepLevel * footstepVolume);
}

void Actor::UpdateFootsteps(float dt)
{
	if (stepDistance <= 0.0f || rollTimer > 0.0f) {
		stepAccumulator = 0.0f;
		return;
	}
	stepAccumulator += Vec3Length(moveVelocity) * dt;
	bool stepped = false;
	while (stepAccumulator >= stepDistance) {
		stepAccumulator -= stepDistance;
		stepped = true;
	}
	if (stepped)
		PlayFootstep();
}

void Actor::UpdateAnimation(float dt)
{
	ActorAnimator::Update(*this, dt);
}

void Actor::Render()
{
	MapEntity::Render();
	if (!model.IsLoaded())
		return;
	const glm::mat4 placement = transform.GetMatrix();
	model.Render(placement);
	// The held item is not in the scene: only its holder draws it, in the
	// hand.
	if (heldItem != nullptr && weaponBone != nullptr) {
		glm::mat4 hand = placement * model.ComputeMatrix(weaponBone, false);
		hand = glm::rotate(hand, glm::half_pi<float>(), Vec3(1.0f, 0.0f, 0.0f));
		heldItem->transform.SetFromMatrix(hand);
		heldItem->Render();
	}
}

// --- Actor tests --------------------------------------------------------------

bool IsActor(const Entity *entity)
{
	if (entity == nullptr || entity->lifeState >= kLifeDestroyed)
		return false;
	if (entity->scene == nullptr && entity->container == nullptr)
		return false;
	// The class test is not const in Entity; it only reads.
	if (!const_cast<Entity *>(entity)->IsKind(Actor::kActorClassId))
		return false;
	return IsActorKind(static_cast<const Actor *>(entity)->GetKind());
}

bool IsLiveActor(const Entity *entity)
{
	return IsActor(entity) && (entity->lifeState == kLifeAdded || entity->lifeState == kLifeRunning);
}

bool IsLivingActor(const Entity *entity)
{
	return IsLiveActor(entity) && static_cast<const Actor *>(entity)->HasHearts();
}
