#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>

class Entity;
class FXEntity;

// The one way world objects ask for a visual effect: a strike, a splash, a
// burst of particles. Effects are not built yet, so for now nothing spawns:
// SpawnFX answers null for every kind and every caller carries on without
// the effect. What the functions accept is already the whole interface.
constexpr uint32_t kFXKindCount = 20; // effect kinds 1 to 20

// An effect of the kind at the source's position plus offset (offset alone
// without a source), joining the source's scene; null when none was made.
FXEntity *SpawnFX(Entity *source, uint32_t kind, const Vec3 &offset);
// The strike effect of a weapon kind (the held pickup's entity kind); a hand
// without a known weapon swings effect 3.
uint32_t StrikeFXForWeapon(uint32_t weaponKind);
// Switches every effect off, as a map is unloaded.
void DeactivateAllFX();
