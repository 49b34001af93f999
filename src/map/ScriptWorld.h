#pragma once

#include <cstdint>
#include <memory>

class Entity;
class TileMap;
struct MapObjectDef;

// What map scripts and custom sequences do to the world objects of their
// map: the hero's hearts, carried chicken, weapons and way out, the orders an
// actor is given (talk, walk, take, kill, block) and its voice, hold and
// fall, the party, the world's sounds and the meat-ranking menu. The map layer knows world objects only as entities; the
// world objects implement this, the in-game scene installs one on its tile
// map (TileMap::SetScriptWorld), and a test installs a recording fake. With
// none installed the quiet world stands in: nothing is the hero, no actor
// obeys and every order fails at once.
//
// An actor here is the entity of a record whose HasActor holds. An order
// replaces whatever the actor was doing and gives back a handle that a
// script waits on; the world frees orders once they are done, replaced or
// their actor is gone, and a handle outlives its order safely (it then
// counts as finished). The world owns nothing of the map's.
class ScriptWorld {
public:
	using Handle = uint32_t;
	static constexpr Handle kNoHandle = 0;

	virtual ~ScriptWorld() = default;

	// The world used when a tile map has none installed.
	static ScriptWorld &Quiet();

	// --- The hero ---
	// True for the hero while it has hearts left; false for anything else.
	virtual bool IsLivePlayer(Entity *entity)
	{
		(void)entity;
		return false;
	}
	// Chicken carried, in tenths of a kilogram.
	virtual uint16_t CarriedWeight(Entity *player)
	{
		(void)player;
		return 0;
	}
	// Takes up to amount tenths of a kilogram; what is carried never goes
	// below none.
	virtual void TakeWeight(Entity *player, uint16_t amount)
	{
		(void)player;
		(void)amount;
	}
	// The hero takes up the weapon of an entity kind.
	virtual void GiveWeapon(Entity *player, uint32_t kind)
	{
		(void)player;
		(void)kind;
	}
	// Names the map the hero walks out to; null, empty or the current map's
	// own name clears it.
	virtual void SetExitTarget(Entity *player, const char *mapName)
	{
		(void)player;
		(void)mapName;
	}
	// Raises the hero's most hearts by halves (half hearts).
	virtual void AddMaxHearts(Entity *player, uint8_t halves)
	{
		(void)player;
		(void)halves;
	}
	// Fills the hero's hearts up to the most.
	virtual void RefillHearts(Entity *player) { (void)player; }
	// Adds chicken (tenths of a kilogram), never beyond what the hero can carry.
	virtual void AddChicken(Entity *player, uint8_t amount)
	{
		(void)player;
		(void)amount;
	}
	// Keeps the hero's record in the game in progress.
	virtual void StorePlayerStats(Entity *player) { (void)player; }

	// --- Actors ---
	// The actor says its line aloud (its speech voice).
	virtual void Speak(Entity *actor) { (void)actor; }
	// Drops every order and behaviour the actor has.
	virtual void Stop(Entity *actor) { (void)actor; }
	// Orders; kNoHandle when the actor has no hearts left or is no actor.
	// Turns to the player and talks until the HUD is done.
	virtual Handle Talk(Entity *actor, Entity *player)
	{
		(void)actor;
		(void)player;
		return kNoHandle;
	}
	// Walks to the map object destination on map.
	virtual Handle Walk(Entity *actor, TileMap &map, MapObjectDef &destination)
	{
		(void)actor;
		(void)map;
		(void)destination;
		return kNoHandle;
	}
	// Walks up to the player and takes the held item.
	virtual Handle Take(Entity *actor, Entity *player)
	{
		(void)actor;
		(void)player;
		return kNoHandle;
	}
	// Hunts target down.
	virtual Handle Kill(Entity *actor, Entity *target)
	{
		(void)actor;
		(void)target;
		return kNoHandle;
	}
	// Holds its spot for good, striking at whoever comes near; not waited on.
	virtual void Block(Entity *actor) { (void)actor; }
	// True once the order is done, replaced or gone; kNoHandle is finished.
	virtual bool IsFinished(Handle handle)
	{
		(void)handle;
		return true;
	}
	// The actor holds an item of an entity kind.
	virtual void Hold(Entity *actor, uint32_t kind)
	{
		(void)actor;
		(void)kind;
	}
	// The actor falls as if beaten.
	virtual void Defeat(Entity *actor) { (void)actor; }

	// --- The party ---
	virtual void JoinParty(Entity *actor) { (void)actor; }
	// The member of that entity kind leaves the party.
	virtual void LeaveParty(uint32_t kind) { (void)kind; }
	virtual bool IsInParty(Entity *entity)
	{
		(void)entity;
		return false;
	}

	// --- Sounds and menus ---
	// A sound of the world's, not placed anywhere; the quiet world plays it
	// straight through the sound player.
	virtual void PlaySound(const char *fileName, float volume, uint16_t flags);
	// The meat-ranking menu that "rankmeat" opens, owned by the caller; null
	// when there is none to open.
	virtual std::unique_ptr<Entity> MakeMeatMenu();
};
