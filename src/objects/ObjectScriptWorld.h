#pragma once

#include "map/ScriptWorld.h"

#include <memory>

class Actor;
class ActorBehaviour;
class Player;

// The world objects as map scripts and custom sequences act on them: the
// hero (Player), actors and their behaviours, the party and the world's
// sounds. The in-game scene installs one on its
// tile map; tests of world objects install their own. Entities are checked
// for their real class before anything is done to them, so an entity that
// only answers the actor test is left alone. The meat-ranking menu belongs to
// the game above: whoever makes the world hands it the menu's maker, and
// without one "rankmeat" opens nothing. Holds no entity; owns nothing.
class ObjectScriptWorld : public ScriptWorld {
public:
	using MenuMaker = std::unique_ptr<Entity> (*)();

	explicit ObjectScriptWorld(MenuMaker meatMenuMaker = nullptr) : meatMenuMaker(meatMenuMaker) {}

	bool IsLivePlayer(Entity *entity) override;
	uint16_t CarriedWeight(Entity *player) override;
	void TakeWeight(Entity *player, uint16_t amount) override;
	void GiveWeapon(Entity *player, uint32_t kind) override;
	void SetExitTarget(Entity *player, const char *mapName) override;
	void AddMaxHearts(Entity *player, uint8_t halves) override;
	void RefillHearts(Entity *player) override;
	void AddChicken(Entity *player, uint8_t amount) override;
	void StorePlayerStats(Entity *player) override;

	void Speak(Entity *actor) override;
	void Stop(Entity *actor) override;
	Handle Talk(Entity *actor, Entity *player) override;
	Handle Walk(Entity *actor, TileMap &map, MapObjectDef &destination) override;
	Handle Take(Entity *actor, Entity *player) override;
	Handle Kill(Entity *actor, Entity *target) override;
	void Block(Entity *actor) override;
	bool IsFinished(Handle handle) override;
	void Hold(Entity *actor, uint32_t kind) override;
	void Defeat(Entity *actor) override;

	void JoinParty(Entity *actor) override;
	void LeaveParty(uint32_t kind) override;
	bool IsInParty(Entity *entity) override;

	// Through the world's own sound, which tests can hear.
	void PlaySound(const char *fileName, float volume, uint16_t flags) override;
	std::unique_ptr<Entity> MakeMeatMenu() override;

	// Gives the live actor (one in a scene, hidden or not) the behaviour,
	// replacing its others; the behaviour's handle, or kNoHandle (the
	// behaviour freed at once) when the entity is no live actor, has no
	// hearts left, or there is no behaviour.
	Handle Assign(Entity *actor, std::unique_ptr<ActorBehaviour> behaviour);

private:
	// The actor or hero an entity really is; null for anything else.
	static Actor *AsActor(Entity *entity);
	static Player *AsPlayer(Entity *entity);

	MenuMaker meatMenuMaker;
};
