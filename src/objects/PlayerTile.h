#pragma once

#include <cstdint>

// A tile position of the player that may also mean "none". Signed and never
// clamped: a hero walking off the map reads -2 or width + 2.
struct PlayerTile {
	static constexpr int16_t kNone = INT16_MIN; // 0x8000 on both axes means no tile

	int16_t x = kNone;
	int16_t y = kNone;

	bool IsSet() const { return x != kNone || y != kNone; }
	void Unset() { x = y = kNone; }
	bool operator==(const PlayerTile &other) const { return x == other.x && y == other.y; }
	bool operator!=(const PlayerTile &other) const { return !(*this == other); }
};
