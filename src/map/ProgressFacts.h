#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// What the missions read of one save to work out how far its game came: its
// flags and the maps it has been to, the hero's carrying capacity, the clock
// and the deaths, and the collectables as the world objects count them. The
// game fills it from a progress record (GameProgress::Facts); it holds plain
// copies and points at nothing, so the map layer needs neither the record nor
// the world objects' tables.
struct ProgressFacts {
	std::vector<uint16_t> flags;       // every game flag set
	std::vector<uint16_t> visitedMaps; // the current, the previous and every map with a record
	int maxWeight = 0;                 // what the hero can carry, tenths of a kilogram
	uint8_t capacityLevel = 0;         // coolers found
	uint32_t playSeconds = 0;
	uint16_t deaths = 0;
	// The flag of every numbered item the hero can gather (the triangles,
	// the letters, the chicken feed); each one set counts as an item found.
	std::vector<uint16_t> itemFlags;
	// Flags worth a point each: half the chicken feed, all of it, every
	// letter and every triangle.
	std::vector<uint16_t> bonusFlags;

	// Both are false for id 0.
	bool HasFlag(uint16_t id) const { return id != 0 && std::find(flags.begin(), flags.end(), id) != flags.end(); }
	bool HasVisited(uint16_t id) const
	{
		return id != 0 && std::find(visitedMaps.begin(), visitedMaps.end(), id) != visitedMaps.end();
	}
};
