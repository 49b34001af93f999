#pragma once

#include <cstdint>

constexpr int kSummaryMissionCount = 12;   // missions that count towards completion
constexpr int kDragonCoinCount = 8;        // dragon coins "dragon1" to "dragon8"
constexpr int kMissionStubSize = 16;       // bytes of a mission's short name, terminator included
constexpr uint8_t kCompletePercent = 105;  // the completion a finished game shows

// How far one save has come: the completion points and the counts that the
// save picker and the progress panel show. Filled by Missions::Summarize from a
// progress record; it holds copies and points at nothing.
struct ProgressSummary {
	uint16_t playTime = 0; // the save's play seconds, low 16 bits
	uint8_t percent = 0;   // completion points, kCompletePercent at most
	uint16_t deaths = 0;
	uint8_t missionDone[kSummaryMissionCount] = {};
	uint8_t dragonFound[kDragonCoinCount] = {};
	char latestMission[kMissionStubSize] = {}; // stub of the furthest mission done, or "NEW"
	uint8_t missions = 0;
	uint8_t dragons = 0;
	uint8_t capacityLevel = 0;
	uint8_t items = 0;
	uint8_t itemsAndCapacity = 0;
	uint8_t complete = 0; // percent reached kCompletePercent
};
