#pragma once

#include <cstdint>

class Actor;
class Entity;
class MapEntity;

// The fight rules every actor lives by: the strike, roll and block it starts,
// who may hit whom (the faction rule, and the fire sword that burns a foe down
// at once), what a blow does to the one it lands on, the roll that bumps into
// things, the defeat on the last heart and, a little later, the death with
// its drops, and how many hearts a creature gets for the game's difficulty.
// Kept apart from the actor's behaviours, senses and presentation. The
// actor's virtual hooks call in here, so a subclass changes a rule by
// overriding the hook. It works on the actors' own state and holds nothing.
class ActorCombat {
public:
	static void StartAttack(Actor &actor);
	static void StartRoll(Actor &actor);
	static void Block(Actor &actor);
	// A blow by attacker at victim under the faction rule; true when it
	// landed.
	static bool Attack(Actor &attacker, MapEntity *victim, uint8_t damage, float power);
	// The actor being struck: refused (false) while knocked back, busy or
	// without hearts; otherwise hurt or defeated, true.
	static bool TakeBlow(Actor &actor, MapEntity *attacker, uint8_t damage, float power);
	// A rolling actor running into other: it hurts what it hit and recoils.
	static void BumpWhileRolling(Actor &actor, Entity *other);
	static void Defeat(Actor &actor);
	static void Die(Actor &actor);
	static void ApplyDifficulty(Actor &actor, uint8_t baseHearts, bool scaled);

private:
	static void SpawnDrops(Actor &actor);
};
