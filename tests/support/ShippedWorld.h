#pragma once
// Every map the game ships, loaded as the game loads it: the TMX reader and
// the real entity factory, through every load phase, into a scene. For each
// map it keeps what the world tests ask about: size and tiles, links (exit
// areas, named huts, "map" script lines), arrival objects, the entity kinds
// placed, the flags its scripts save and those it tests, named pickups, the
// texts a player reads and whatever stands where the hero can never walk.
#include "map/TileMapData.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

struct ShippedMap {
	std::string name;
	bool loaded = false;
	std::string log;     // what the load said, for failure messages
	int width = 0;
	int height = 0;
	std::vector<MapTile> tiles;
	std::vector<std::string> links;        // exit areas' targets (maps, or the endings)
	std::vector<std::string> huts;         // maps entered through a named hut
	std::vector<std::string> scriptMaps;   // targets of "map" script lines
	std::set<std::string> spawns;          // spawn areas' names
	std::set<std::string> objectNames;     // every area's name
	std::set<std::string> entityNames;     // every named placement
	std::map<uint32_t, int> kinds;         // entity kinds placed, with their count
	std::set<std::string> saves;           // flags saved by script lines
	std::set<std::string> tests;           // flags read into groups by load areas
	std::set<std::string> pickups;         // names of collectables, coins and coolers (their flags)
	int foes = 0;                          // creature placements
	bool ranksMeat = false;                // a "rankmeat" line
	std::string title;                     // the place's name as its title card shows it
	std::vector<std::string> texts;        // what the player reads: said and asked lines
	std::map<std::string, uint32_t> people; // townsfolk by name, with their kind
	std::vector<std::string> stranded;     // who and what stands where no walk from an arrival reaches
	std::vector<std::string> unnamed;      // finds placed without the name their count needs
	// Every target the hero can walk to from here: links, huts, map lines.
	std::vector<std::string> Targets() const;
};

class ShippedWorld {
public:
	// The names of the endings a link can lead to instead of a map.
	static bool IsEndingTarget(const std::string &name);
	static bool IsCreatureKind(uint32_t kind);

	// Loads every map of the folder ("maps" or "mapo"), the world map aside;
	// with brutal, as the hardest difficulty places them.
	void Load(const char *folder = "maps", bool brutal = false);
	const std::map<std::string, ShippedMap> &Maps() const { return maps; }
	const ShippedMap *Find(const std::string &name) const;
	// The maps reachable from start by the links of the maps, without those
	// whose link is refused (a gate that is shut).
	std::set<std::string> Reachable(const std::string &start,
		const std::function<bool(const std::string &from, const std::string &to)> &open) const;

private:
	std::map<std::string, ShippedMap> maps;
};
