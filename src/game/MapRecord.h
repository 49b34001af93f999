#pragma once

#include <cstdint>

constexpr int kMapStateSize = 64; // bytes of per-map memory kept in a save

// What a save remembers of one visited map: its id (the name hash of the map)
// and the 64 state bytes that the tile map hands over when the map unloads
// (opened doors, taken pickups, chopped trees and so on). The progress record
// stores the bytes unread; their meaning belongs to the map.
struct MapRecord {
	uint16_t id = 0;
	uint8_t state[kMapStateSize] = {};
};

static_assert(sizeof(MapRecord) == 66, "a map record is an id and its state bytes");
