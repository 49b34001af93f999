#include "map/Missions.h"

#include <cstdio>
#include <cstring>

#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "objects/PlayerStats.h"

constexpr int kFullCapacityWeight = 250; // tenths of a kilogram: the largest cooler
constexpr int kPointsPerDragon = 2;

// The areas that measure how far a game got, nearest first; reaching the n-th
// one is worth n points.
static const char *const kProgressAreas[] = {
	"north1", "town2", "hutsmith", "south1", "tinsmith", "far2", "far4", "far41",
	"mountain2", "mountain4", "hot1", "cold3", "coldn", "hot2", "hotn", "black2",
	"tower1", "tower3", "tower32", "towerf1", "towerf2", "towerf3", "towerf4", "towerf5",
};
constexpr int kProgressAreaCount = sizeof(kProgressAreas) / sizeof(kProgressAreas[0]);

// The areas with news to read on a scroll.
static const char *const kNewsAreas[] = {
	"black3", "blacktotown", "cold4", "far6", "far41", "mountain2", "north2", "nortow3", "south0", "south4",
};
constexpr int kNewsAreaCount = sizeof(kNewsAreas) / sizeof(kNewsAreas[0]);

// The flag of one collectable of a kind; the negative indices name the
// kind's special flags (such as the whole set found).
static uint16_t CollectableFlag(const char *kind, int index)
{
	return (uint16_t)(HashName("collect") + HashName(kind) + index);
}

void Missions::Summarize(ProgressSummary &summary, const GameProgress &record)
{
	summary = ProgressSummary();
	int points = 1;

	for (int area = kProgressAreaCount - 1; area >= 0; area--) {
		if (record.HasMapRecord(HashName(kProgressAreas[area]))) {
			points += area + 1;
			break;
		}
	}

	for (int coin = 1; coin <= kDragonCoinCount; coin++) {
		char flagName[24];
		snprintf(flagName, sizeof(flagName), "dragon%i", coin);
		if (record.HasFlag(HashName(flagName))) {
			summary.dragonFound[coin - 1] = 1;
			summary.dragons++;
			points += kPointsPerDragon;
		}
	}

	// No mission table is read yet, so no mission is done.
	strcpy(summary.latestMission, "NEW");

	if (record.stats.GetMaxWeight() >= kFullCapacityWeight)
		points++;

	const uint16_t specialFlags[] = {
		CollectableFlag("puzzle", -128), CollectableFlag("puzzle", -1),
		CollectableFlag("letter", -1), CollectableFlag("tri", -1),
	};
	for (uint16_t flag : specialFlags)
		if (record.HasFlag(flag))
			points++;

	summary.capacityLevel = record.stats.capacityLevel;
	summary.itemsAndCapacity = (uint8_t)(summary.items + summary.capacityLevel);
	summary.playTime = (uint16_t)(record.playSeconds & 0xFFFF);
	summary.deaths = record.deaths;
	summary.percent = (uint8_t)(points < kCompletePercent ? points : kCompletePercent);
	summary.complete = points >= kCompletePercent;
}

uint8_t Missions::GetState(const char *name, const GameProgress &record)
{
	// Without the mission table no flag name is a mission.
	(void)name;
	(void)record;
	return kNoMission;
}

bool Missions::Complete(const char *name)
{
	if (GetState(name, GameProgress::Current()) == kMissionDone)
		return false;
	GameProgress::SetFlagId(HashName(name), 1);
	// No mission table, so no mission was completed.
	return false;
}

uint16_t Missions::NewsFlag(const char *area)
{
	return static_cast<uint16_t>(CombineNameHashes(area != nullptr ? area : "", "news"));
}

int Missions::CountNewsRead()
{
	const GameProgress &record = GameProgress::Current();
	int count = 0;
	for (const char *area : kNewsAreas)
		if (record.HasFlag(NewsFlag(area)))
			count++;
	return count;
}

int Missions::GetNewsTotal()
{
	return kNewsAreaCount;
}
