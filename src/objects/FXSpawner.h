#pragma once

#include "engine/core/MathUtil.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class Entity;
class FXEntity;
class FXPool;

// Effect kinds, as world objects ask for them.
enum FXKind : uint32_t {
	kFXKindNone = 0,
	kFXKindStrikeSword = 1,
	kFXKindStrikeAxe = 2,
	kFXKindStrikeUnarmed = 3,
	kFXKindFireball = 4,
	kFXKindIceball = 5,
	kFXKindExplosion = 6,
	kFXKindElectroBlast = 7,
	kFXKindEvaporate = 8,
	kFXKindElectric = 9,
	kFXKindStrikeKey = 10,
	kFXKindChicken = 11,
	kFXKindHeart = 12,
	kFXKindLove = 13,
	kFXKindGrass = 14,
	kFXKindWoodchip = 15,
	kFXKindDust = 16,
	kFXKindSmoke = 17,
	kFXKindStep = 18,
	kFXKindSplash = 19,
	kFXKindSplashLava = 20,
	kFXKindLast = 20, // kinds run from 1 to this one
};

// The pools of every effect kind and the list of every instance ever
// spawned. A kind's pool is built the first time the kind is spawned and
// lives until ReleaseAll (the program's exit); each instance enters the list
// once, at its first spawn, so that a map change can switch off every effect
// whatever map built it. The spawner owns the pools and, through them, the
// effects; scenes only list them.
class FXSpawner {
public:
	// An effect of the kind at the source's position plus offset, launched
	// from the source into the source's scene. Null, with nothing done, for
	// a kind outside 1 to 20 and for a source that no scene holds (null,
	// removed, or never added): an effect needs a scene to live in.
	static FXEntity *Spawn(Entity *source, uint32_t kind, const Vec3 &offset);
	// A new instance of the kind, as its pool would make it, in no pool,
	// scene or list and not started; null for a kind outside 1 to 20.
	static std::unique_ptr<FXEntity> Make(uint32_t kind);
	// Switches off every listed effect that is added or running.
	static void DeactivateAll();
	// Every listed effect drops its pointers to the entity; called before
	// the entity is freed.
	static void ForgetEntity(const Entity *entity);
	// Frees every pool with its effects (models, materials, colliders). The
	// game calls it at exit while the GL context and the caches still exist;
	// a later spawn builds the pools again.
	static void ReleaseAll();

	// The pool of a kind, or null when it is not built (yet) or the kind is
	// unknown.
	static FXPool *FindPool(uint32_t kind);
	// The number of instances a kind's pool holds; 0 for unknown kinds.
	static uint16_t PoolSize(uint32_t kind);
	static size_t ListedCount();
	static FXEntity *ListedAt(size_t index);
};
