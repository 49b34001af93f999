#pragma once

#include "objects/MapEntityFactory.h"

#include <cstdint>
#include <vector>

class Actor;
class Entity;
class TileMap;

// The townsfolk who joined the hero. Membership lives in game flags (one per
// kind), so it survives map changes and saves; the member entities are
// rebuilt on every map load behind the leader, in kind order, and destroyed
// when the map unloads. A member that joined on its own map stays that map's
// entity and is not listed; a member the party built or brought along is
// listed, and the party owns it while it is listed: Clear destroys it. One
// that is freed elsewhere first (its map cleared before the party) leaves
// the list as it goes, so the party never touches a freed member. The leader
// and the map are someone else's.
//
// One manager for the program, built on first use; its end at exit touches
// no member.
class Party : public MapEntityFactory {
public:
	static constexpr uint32_t kFirstMemberKind = 26;
	static constexpr uint32_t kLastMemberKind = 31;
	static constexpr float kMemberSpeed = 6.5f;        // units per second
	static constexpr uint32_t kMemberTool = 44;        // every member carries an axe
	static constexpr float kThreatRangeSq = 16.0f;     // squared world units
	static constexpr uint32_t kSmithKind = 28;         // never fought by a member

	static Party &Instance();
	~Party() override;

	// The game flag of a kind: hash of "party" plus the kind, in 16 bits.
	static uint16_t FlagId(uint32_t kind);
	bool IsMember(uint32_t kind) const;

	// The entity the first member follows (the player). Not owned.
	void SetLeader(Entity *entity) { leader = entity; }
	Entity *GetLeader() const { return leader; }
	// Stores the map and brings every flagged kind onto it, in kind order.
	void RestoreMembers(TileMap *tileMap);
	// Builds a member of the kind and makes it join, unless one is listed.
	void AddKind(uint32_t kind);
	// Makes an actor a member: it follows the last listed member (or the
	// leader). False when a listed member has its kind already.
	bool Join(Actor *actor);
	// Gives a member that lost its follow behaviour a new one, behind the
	// one it follows in the line; nothing for an actor that is not a member.
	void Rejoin(Actor *actor);
	// The member of that kind stops following; false (the flag cleared all
	// the same) when no listed member has the kind.
	bool Leave(uint32_t kind);
	// Destroys every listed member (its map record forgets it first) and
	// empties the list; flags stay.
	void Clear();
	// The foe a defending member should take on next: the last actor of the
	// hostile side in map order within reach that no listed member targets.
	Entity *FindThreat(const Actor *member) const;

	TileMap *GetMap() const { return map; }
	size_t GetMemberCount() const { return members.size(); }
	Actor *GetMember(size_t index) const { return index < members.size() ? members[index] : nullptr; }
	Actor *FindListed(uint32_t kind) const;

	// An entity is being freed: a listed member leaves the list, a freed
	// leader or map entity is forgotten. Safe to call before the manager
	// is built and after it is gone.
	static void ForgetEntity(const Entity *entity);

private:
	Party();

	Entity *leader = nullptr;        // not owned
	TileMap *map = nullptr;          // not owned
	std::vector<Actor *> members;    // owned while listed, in joining order
};
