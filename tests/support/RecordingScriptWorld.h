#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/Entity.h"
#include "map/ScriptWorld.h"

// World objects for the map layer alone: one entity may be named the hero
// (with its carried chicken), and every order and deed a script asks for is
// written down as a line ("walk", "kill", "hold 43"...) with the actor it was
// for. Orders are refused for the actors a test names dead; the others get a
// fresh handle that stays unfinished until the test finishes it. The meat
// menu is a plain entity the world makes when asked. Install it on a tile
// map with TileMap::SetScriptWorld.
class RecordingScriptWorld : public ScriptWorld {
public:
	struct Deed {
		std::string what;
		Entity *actor = nullptr;
		Entity *other = nullptr; // the listener, taker's hero or kill target
	};

	bool IsLivePlayer(Entity *entity) override { return entity != nullptr && entity == player && playerHearts > 0; }
	uint16_t CarriedWeight(Entity *entity) override { return entity == player ? weight : 0; }
	void TakeWeight(Entity *entity, uint16_t amount) override
	{
		if (entity == player)
			weight = amount >= weight ? 0 : static_cast<uint16_t>(weight - amount);
	}
	void GiveWeapon(Entity *entity, uint32_t kind) override { Note("give " + std::to_string(kind), entity); }
	void SetExitTarget(Entity *entity, const char *mapName) override
	{
		Note(std::string("exit ") + (mapName != nullptr ? mapName : ""), entity);
	}

	void Speak(Entity *actor) override { Note("speak", actor); }
	void Stop(Entity *actor) override { Note("stop", actor); }
	Handle Talk(Entity *actor, Entity *listener) override { return Order("talk", actor, listener); }
	Handle Walk(Entity *actor, TileMap &, MapObjectDef &) override { return Order("walk", actor, nullptr); }
	Handle Take(Entity *actor, Entity *hero) override { return Order("take", actor, hero); }
	Handle Kill(Entity *actor, Entity *target) override { return Order("kill", actor, target); }
	void Block(Entity *actor) override { Note("block", actor); }
	bool IsFinished(Handle handle) override { return handle == kNoHandle || finished.count(handle) != 0; }
	void Hold(Entity *actor, uint32_t kind) override { Note("hold " + std::to_string(kind), actor); }
	void Defeat(Entity *actor) override { Note("defeat", actor); }

	void JoinParty(Entity *actor) override
	{
		Note("join", actor);
		party.insert(actor);
	}
	void LeaveParty(uint32_t kind) override { Note("leave " + std::to_string(kind), nullptr); }
	bool IsInParty(Entity *entity) override { return party.count(entity) != 0; }

	std::unique_ptr<Entity> MakeMeatMenu() override
	{
		menusMade++;
		return std::make_unique<Entity>();
	}

	// The deeds' names, in order.
	std::vector<std::string> Names() const
	{
		std::vector<std::string> names;
		for (const Deed &deed : deeds)
			names.push_back(deed.what);
		return names;
	}
	void Finish(Handle handle) { finished.insert(handle); }

	Entity *player = nullptr; // the hero, when a test has one
	uint8_t playerHearts = 4;
	uint16_t weight = 0;
	std::set<Entity *> dead;  // actors whose orders are refused
	std::set<Entity *> party;
	std::vector<Deed> deeds;
	std::set<Handle> finished;
	Handle lastHandle = kNoHandle;
	int menusMade = 0;

private:
	void Note(const std::string &what, Entity *actor, Entity *other = nullptr) { deeds.push_back({what, actor, other}); }
	Handle Order(const char *what, Entity *actor, Entity *other)
	{
		Note(what, actor, other);
		if (actor == nullptr || dead.count(actor) != 0)
			return kNoHandle;
		return ++lastHandle;
	}
};
