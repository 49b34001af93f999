#include "objects/PlayerStats.h"

constexpr uint8_t kDefaultHearts = 1;    // half hearts of a fresh record
constexpr uint8_t kDefaultMaxHearts = 4; // half hearts: two whole hearts
constexpr int kTenthsPerKilogram = 10;   // weights are kept in tenths of a kilogram

// Carrying capacity per level, in whole kilograms.
static const uint8_t kCapacityTable[] = {5, 10, 15, 18, 20, 22, 24, 25};
constexpr uint8_t kLastCapacityLevel = sizeof(kCapacityTable) - 1;

PlayerStats::PlayerStats()
	: hearts(kDefaultHearts), maxHearts(kDefaultMaxHearts), weight(0), capacityLevel(0), heldKind(0)
{
}

int PlayerStats::MaxWeightForLevel(uint8_t level)
{
	if (level > kLastCapacityLevel)
		level = kLastCapacityLevel;
	return kTenthsPerKilogram * kCapacityTable[level];
}

int PlayerStats::GetMaxWeight() const
{
	return MaxWeightForLevel(capacityLevel);
}

void PlayerStats::AddWeight(int16_t amount)
{
	int16_t sum = (int16_t)(weight + amount);
	int maxWeight = GetMaxWeight();
	if (sum < 0)
		sum = 0;
	else if (sum > maxWeight)
		sum = (int16_t)maxWeight;
	weight = (uint8_t)sum;
}
