#pragma once

#include <cstdint>

#include "map/ProgressSummary.h"

class GameProgress;

// The game's quests and the completion summary of a save. Only the summary is
// offered so far: the mission table of "data/missions.xml" and the
// collectable counts are not read yet, so a summary counts no mission as done
// and no collected items.
class Missions {
public:
	// Fills summary from the progress record of one save.
	static void Summarize(ProgressSummary &summary, const GameProgress &record);

	// Mission states of a flag name.
	static constexpr uint8_t kNoMission = 0;
	static constexpr uint8_t kMissionOpen = 1;
	static constexpr uint8_t kMissionDone = 2;
	// Whether a mission is completed by the flag name, and whether the record
	// has it done.
	static uint8_t GetState(const char *name, const GameProgress &record);
	// Completes the mission that the flag name completes: sets the flag in
	// the current progress record whether or not a mission has that name.
	// True only when a mission was completed now.
	static bool Complete(const char *name);

	// The flag of an area's news: its name hash plus that of "news", kept
	// in 16 bits.
	static uint16_t NewsFlag(const char *area);
	// How many of the news areas' flags the current progress record has set,
	// and how many news areas there are.
	static int CountNewsRead();
	static int GetNewsTotal();
};
