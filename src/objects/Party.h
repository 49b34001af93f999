#pragma once

#include <cstdint>

class Entity;
class TileMap;

// The townsfolk who joined the hero. Membership lives in game flags (one per
// kind), so it survives map changes and saves; the member entities are
// rebuilt on every map load behind the leader and destroyed when the map
// unloads. Townsfolk who follow do not exist yet, so for now restoring only
// notes the leader and the map and logs the kinds that would come along, and
// clearing forgets the map. One manager for the program, built on first use;
// the leader and the map are someone else's.
class Party {
public:
	static constexpr uint32_t kFirstMemberKind = 26;
	static constexpr uint32_t kLastMemberKind = 31;

	static Party &Instance();

	// The game flag of a kind: hash of "party" plus the kind, in 16 bits.
	static uint16_t FlagId(uint32_t kind);
	bool IsMember(uint32_t kind) const;

	// The entity the first member follows (the player). Not owned.
	void SetLeader(Entity *entity) { leader = entity; }
	Entity *GetLeader() const { return leader; }
	// Stores the map and brings every flagged kind onto it, in kind order.
	void RestoreMembers(TileMap *tileMap);
	// Lets the members go and forgets the map.
	void Clear();

	TileMap *GetMap() const { return map; }

private:
	Party() = default;

	Entity *leader = nullptr;
	TileMap *map = nullptr;
};
