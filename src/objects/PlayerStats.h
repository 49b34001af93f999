#pragma once

#include <cstdint>

// The small value record of an actor's condition: hearts, carried weight,
// carrying capacity and the kind of item it holds. Every actor embeds one, the
// progress record keeps the player's copy between maps, and the save file
// stores its eight bytes as they are, so the layout below is fixed. It is
// copied as a whole and owns nothing.
class PlayerStats {
public:
	PlayerStats();

	// Weight allowed at a capacity level, in tenths of a kilogram; levels above
	// the table's last entry use that entry.
	static int MaxWeightForLevel(uint8_t level);
	int GetMaxWeight() const;
	// Adds a signed amount (tenths of a kilogram), keeping the weight between
	// zero and the current maximum.
	void AddWeight(int16_t amount);

	uint8_t hearts;        // half hearts; alive while above 0
	uint8_t maxHearts;     // half hearts
	uint8_t weight;        // tenths of a kilogram
	uint8_t capacityLevel; // index into the capacity table
	uint32_t heldKind;     // entity kind of the held item; 0 = none
};

static_assert(sizeof(PlayerStats) == 8, "the save file stores PlayerStats as 8 bytes");
