#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>

class Entity;
class FXEntity;

// The one way world objects ask for a visual effect: a strike, a bolt, a
// splash, a burst of particles, a pickup thrown out. Effects come from
// fixed pools (FXSpawner); these functions are what callers use.
constexpr uint32_t kFXKindCount = 20; // effect kinds 1 to 20

// An effect of the kind at the source's position plus offset, launched from
// the source into the source's scene. Null, with nothing spawned, for an
// unknown kind and for a source that no scene holds (or none); every caller
// carries on without the effect then.
FXEntity *SpawnFX(Entity *source, uint32_t kind, const Vec3 &offset);
// The strike effect of a weapon kind (the held pickup's entity kind); a hand
// without a known weapon swings effect 3.
uint32_t StrikeFXForWeapon(uint32_t weaponKind);
// Switches every effect off, as a map is unloaded.
void DeactivateAllFX();
