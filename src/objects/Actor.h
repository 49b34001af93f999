#pragma once

#include "engine/core/NamePool.h"
#include "engine/render/Model3D.h"
#include "objects/ActorBehaviour.h"
#include "objects/BehaviourStack.h"
#include "objects/MapEntity.h"
#include "objects/PlayerStats.h"
#include "objects/SoundSet.h"

#include <cstdint>
#include <memory>
#include <vector>

// Indexes of an actor's animation table; each is looked up by name in the
// actor's model ("Idle", "Run", ...) and may be missing.
enum ActorAnimation : uint8_t {
	kAnimIdle = 0,
	kAnimRun = 1,
	kAnimPushWalk = 2,
	kAnimStrikeFore = 3,
	kAnimStrikeBack = 4,
	kAnimTalk = 5,
	kAnimJump = 6,
	kAnimAir = 7,
	kAnimLand = 8,
	kAnimHit1 = 9,
	kAnimDie = 10,
	kAnimBlockVert = 11,
	kAnimGet = 12,
	kAnimRoll = 13,
	kAnimPose = 14,
	kAnimWave = 15,
	kActorAnimationCount = 16,
};

// The animated creature of the map: the player, the creatures and the
// townsfolk derive from it. On top of the map entity it carries a skinned
// model with a table of named animations, hearts and a held item (its
// PlayerStats), a stack of behaviours that decide where it walks, melee
// blows under the faction rule, rolling, blocking and jumping, a red hit
// flash, a death in two steps (defeat, then a little later the drops), and
// footstep and voice sounds. The fight rules live in ActorCombat and the
// animation in ActorAnimator; the hooks below call in there, and subclasses
// override the hooks.
//
// The actor owns its model, its behaviours (freed when they finish, when the
// stack is replaced and when the actor goes; never while one of them is
// still running a call) and the item it holds (freed when it is replaced),
// together with that item's own map-object record when the item was given a
// name. Its target and last attacker belong to the scene; the actor registry
// clears both before either entity is freed.
class Actor : public MapEntity {
public:
	static constexpr uint16_t kActorClassId = ::kActorClassId; // answered by IsKind
	static constexpr size_t kSoundSetCount = 4;
	static constexpr uint8_t kAttackVoice = 1;
	static constexpr uint8_t kHurtVoice = 2;
	static constexpr uint8_t kSpeechVoice = 3;
	// The walk target's "none" value, on every axis.
	static constexpr float kNoWalkTarget = -100000.0f;

	explicit Actor(uint32_t entityKind);
	// Leaves the registry, makes every other actor forget it, then frees the
	// behaviours and the held item.
	~Actor() override;

	// --- Entity and map entity hooks ---
	void Init() override;
	void Start() override;
	void Update(float dt) override;
	// The shadow, the model, and the held item at the weapon bone.
	void Render() override;
	void OnCollide(Entity *other) override;
	bool IsKind(uint16_t testKind) override;
	void ResetState() override;
	void SetPosition(const Vec3 &position) override;
	void UpdateTransform() override;
	// Being struck: refused (false) while knocked back, busy or without
	// hearts; otherwise hurt or defeated, true.
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override;
	void GetDesiredMove(Vec3 &out, float dt) override;
	// The per-frame presentation: death timer, idle or run, rolling,
	// turning, the model clock, strike effect, footsteps.
	void UpdateAnimation(float dt) override;
	void Kill() override;
	// A hostile actor that has hearts left.
	bool IsStillFighting() const override;
	// The model of its creature row, when its kind has one.
	void AddLooks(std::vector<EntityLook> &looks) const override;

	// --- Actor hooks ---
	// Finds the animations and the weapon bone in the loaded model.
	// Subclasses load model, texture and shader first, then call this.
	virtual void LoadModel();
	// Takes an item of that kind in hand (0: none), made by the map entity
	// factory; name, when given, names the item's own map object.
	virtual void Hold(uint32_t kind, const char *name);
	virtual void StartAttack();
	// A blow at target under the faction rule; true when it landed.
	virtual bool Attack(MapEntity *target, uint8_t damage, float power);
	// Counts hits for the player's chain; nothing for other actors.
	virtual void AddChain(uint8_t count) { (void)count; }
	virtual void StartRoll();
	virtual void Block();
	// Leaves the fight registry and tells the current behaviour it ends.
	virtual void StopBehaviour();
	// The blow that takes the last heart: behaviours go, "Die" plays, the
	// collider is ignored, the death timer starts.
	virtual void Defeat();
	virtual void Jump(float strength);
	// The end of dying: drops, then the actor is deactivated.
	virtual void Die();
	virtual void SpawnStrikeFX();
	virtual void LoadFootsteps();
	// Whether a blow from attacker would be taken at all, by the target's own
	// rule (knock-back and busy time aside). The fire sword kills only what
	// would take the blow. Base: the actor has hearts.
	virtual bool AcceptsBlowFrom(Actor *attacker);

	// --- Animation and sounds ---
	// Each does nothing without hearts. hold: seconds the action holds.
	void PlayAnimation(uint8_t index, float hold, float speed);
	void PlayAnimationBlended(uint8_t index, float blend, float hold, float speed);
	void PlayAnimationAt(uint8_t index, float startTime, float hold);
	// The next variant of a voice at the actor; returns the mixer volume used
	// (0 to 128), which callers turn into camera shake.
	uint8_t PlaySoundVariant(uint8_t set);
	void PlayFootstep();
	void UpdateFootsteps(float dt);
	// Null for a missing animation or an index out of range.
	ModelAnimation *GetAnimation(uint8_t index) const;

	// --- Behaviours ---
	// With clear, frees every behaviour first (a behaviour still inside a
	// call is freed once that call returns); then pushes the behaviour, when
	// one is given. The actor owns it from here on.
	void AddBehaviour(std::unique_ptr<ActorBehaviour> behaviour, bool clear);
	ActorBehaviour *GetCurrentBehaviour() const { return currentBehaviour; }
	size_t GetBehaviourCount() const { return behaviours.Size(); }
	ActorBehaviour *GetBehaviourAt(size_t index) const { return behaviours.At(index); }

	// --- Targets and senses ---
	void SetTarget(MapEntity *entity);
	MapEntity *GetTarget() const { return target; }
	float GetMoveSpeed() const { return moveSpeed; }
	// The nearest actor of the other side within 100 units; null without a
	// scene.
	MapEntity *FindTarget();
	// Faction bits an actor of this side looks for.
	uint8_t GetTargetMask() const;
	// A target is held, of a faction sharing a bit with mask (0: any), for
	// less than limit seconds.
	bool HasTarget(float limit, uint8_t mask) const;
	// Inside the view cone: alignment with the forward direction at least
	// minAlignment and distance below range x alignment.
	bool IsInView(const Vec3 &point, float range, float minAlignment) const;
	bool IsEntityInView(const Entity *entity, float range, float minAlignment) const;
	void FaceTowards(const Entity *entity);
	// The hearts of a creature by the game's difficulty; constructors call it
	// after setting the faction.
	void ApplyDifficulty(uint8_t baseHearts, bool scaled);

	bool HasHearts() const { return stats.hearts > 0; }
	bool HasWalkTarget() const;
	void ClearWalkTarget();
	MapEntity *GetHeldItem() const { return heldItem.get(); }
	PlayerStats &GetStats() { return stats; }
	const PlayerStats &GetStats() const { return stats; }

	// --- Fields (subclasses and the game read and set them directly) ---
	Model3D model;
	ModelAnimation *animations[kActorAnimationCount] = {}; // owned by the model's reader
	ModelJoint *weaponBone = nullptr;                     // owned by the model's reader
	float actionTimer = 0.0f;      // while positive the current action holds the animation
	float actionMoveFactor = 1.0f; // scale of the wanted move while the action holds
	float recoilTimer = 0.0f;
	float rollTimer = 0.0f;
	uint8_t keepAttacking = 0;
	uint8_t keepRolling = 0;
	float strikeEffectTimer = 0.0f;
	uint8_t strikeAlternation = 0;
	Vec3 walkTarget = Vec3(kNoWalkTarget);
	float busyTimer = 0.0f;        // while positive the actor cannot be struck
	float deathTimer = 0.0f;
	float deathDelay = 1.0f;
	float behaviourTime = 0.0f;
	uint8_t strikeAnimationCount = 2;
	float moveSpeed = 6.0f;        // units per second
	uint8_t contactDamage = 1;     // half hearts the player loses touching a hostile actor
	float modelSpeed = 80.0f;      // the model clock's rate once loaded (frames per second)
	float animationHoldTimer = 0.0f;
	uint8_t defeatOpensGroup = 0;
	uint8_t dropFlag = 1;
	uint8_t dropCount = 1;
	Actor *lastAttacker = nullptr; // not owned; cleared before it is freed
	MapEntity *target = nullptr;   // not owned; cleared before it is freed
	float targetTime = 0.0f;
	float hitStun = 0.5f;
	SoundSet soundSets[kSoundSetCount];
	uint8_t soundCounter = 0;
	float flashTimer = 0.0f;
	float stepDistance = 0.0f;     // world units per footstep; 0 none
	float footstepVolume = 0.5f;
	float stepAccumulator = 0.0f;
	NamePool footstepSounds;
	NamePool rollSounds;
	uint8_t struckByOtherSide = 0;
	PlayerStats stats;
	uint8_t dropsEnabled = 1;

protected:
	// Puts an item in hand: the old one is deactivated and freed (its own
	// record after it); a name gives the new item a record of its own. The
	// item, when there is one, is started. Hold calls it with the factory's
	// item.
	void TakeInHand(std::unique_ptr<MapEntity> item, const char *name);

private:
	friend class ActorRegistry;
	// The fight rules work on the behaviours too (a blow tells the current
	// one who struck).
	friend class ActorCombat;

	// Drops every pointer this actor and its behaviours keep to the entity.
	void ForgetEntity(const Entity *entity);

	BehaviourStack behaviours;                  // owned; the top is current
	ActorBehaviour *currentBehaviour = nullptr; // the top, refreshed every update
	// Declared before the item, so the item goes first.
	std::unique_ptr<MapObjectDef> heldRecord;
	std::unique_ptr<MapEntity> heldItem;
};

// A non-null entity in a scene, not destroyed, of an actor kind, whose class
// is an actor.
bool IsActor(const Entity *entity);
// IsActor, and added or running (not paused or removed).
bool IsLiveActor(const Entity *entity);
// IsLiveActor with hearts left.
bool IsLivingActor(const Entity *entity);
