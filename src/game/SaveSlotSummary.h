#pragma once

#include <cstdint>

constexpr int kSummaryLineSize = 18;           // bytes of the summary line, terminator included
constexpr int kSummaryDifficultyTextSize = 40; // bytes of the difficulty text, terminator included

// The one-line description of a save slot that the game picker shows: how far
// the game got, at which difficulty, and whether it reached an ending. Built
// from a progress record by GameProgress::Summary; the game keeps one per slot.
// A default-constructed summary is the empty one of a slot without a game.
struct SaveSlotSummary {
	char line[kSummaryLineSize] = {};
	char difficultyText[kSummaryDifficultyTextSize] = {};
	uint8_t ended = 0;      // flag "ending" is set
	uint8_t traitor = 0;    // flag "traitor" is set
	uint8_t played = 0;     // the game has play time (kept to 16 bits)
	uint8_t lowered = 0;    // saved at some time below its current difficulty
	uint8_t og = 0;         // flag "oghacks" is set
	uint8_t difficulty = 1; // the record's difficulty
	uint8_t percent = 0;    // completion, 0 to 105
};

static_assert(sizeof(SaveSlotSummary) == 65, "a slot summary is 65 bytes");
