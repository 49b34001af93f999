#pragma once

#include <cstdint>
#include <vector>

class Actor;
struct EntityLook;

// The numbers and files of one kind of creature: its row of the creature
// table. The creature classes fill an actor from their row; the tests read
// the same rows. Footstep and voice patterns hold one %d; a null pattern
// keeps the actor's default.
struct CreatureRow {
	uint32_t kind;
	uint8_t baseHearts;
	bool scaled;          // hearts grow with difficulty and "newgame+"
	float speed;          // units per second
	float radius;         // world units
	uint8_t contactDamage; // half hearts the player loses on touch
	float shadowSize;     // 0: the actor's default
	const char *model;
	const char *animations; // null: the model file holds them
	float scale;
	const char *texture;
	float modelSpeed;     // 0: the actor's default
	float hitStun;        // 0: the actor's default
	const char *footsteps;
	uint8_t footstepCount;
	float stepDistance;   // 0: the actor's default
	float footstepVolume; // 0: the actor's default
	const char *idleVoice;
	uint8_t idleVoiceCount;
	float idleVoiceVolume;
	const char *hurtVoice;
	uint8_t hurtVoiceCount;
	float hurtVoiceVolume;
};

namespace CreatureSetup {

// The shader every creature is drawn with.
inline constexpr const char *kShader = "shaders/actor.dsh";

// The row of a creature kind, or null.
const CreatureRow *FindRow(uint32_t kind);
// Faction, numbers, voices and hearts (in that order: the hearts scale only
// for the hostile side).
void Apply(Actor &actor, const CreatureRow &row);
// Loads the row's model and texture (or the given ones), then the actor's
// model set-up and the row's animation speed.
void LoadModel(Actor &actor, const CreatureRow &row, const char *model = nullptr, const char *animations = nullptr,
	float scale = 0.0f, const char *texture = nullptr);
// The look LoadModel loads for the same arguments.
void AddLook(std::vector<EntityLook> &looks, const CreatureRow &row, const char *model = nullptr,
	const char *animations = nullptr, const char *texture = nullptr);
// The row's footsteps, or the actor's default ones.
void LoadFootsteps(Actor &actor, const CreatureRow &row);

} // namespace CreatureSetup
