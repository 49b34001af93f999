#include <gtest/gtest.h>

#include "objects/PlayerStats.h"

TEST(PlayerStats, CapacityFollowsTheTableAndStopsAtTheLastLevel)
{
	const struct {
		uint8_t level;
		int maxWeight;
	} rows[] = {
		{0, 50}, {1, 100}, {2, 150}, {3, 180}, {4, 200}, {5, 220}, {6, 240}, {7, 250}, {8, 250}, {255, 250},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(testing::Message() << "level " << (int)row.level);
		EXPECT_EQ(row.maxWeight, PlayerStats::MaxWeightForLevel(row.level));
		PlayerStats stats;
		stats.capacityLevel = row.level;
		EXPECT_EQ(row.maxWeight, stats.GetMaxWeight());
	}
}

TEST(PlayerStats, AddedWeightStaysBetweenZeroAndTheCapacity)
{
	const struct {
		const char *name;
		uint8_t level;
		uint8_t weight;
		int16_t amount;
		uint8_t expected;
	} rows[] = {
		{"plain add", 0, 10, 25, 35},
		{"exactly full", 0, 10, 40, 50},
		{"over the small cooler", 0, 40, 30, 50},
		{"below zero", 0, 20, -30, 0},
		{"over the big cooler", 7, 200, 100, 250},
		{"beyond a byte is still the maximum", 7, 250, 300, 250},
		{"large negative amount", 7, 250, -32768, 0},
		{"taking some off", 3, 180, -80, 100},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		PlayerStats stats;
		stats.capacityLevel = row.level;
		stats.weight = row.weight;
		stats.AddWeight(row.amount);
		EXPECT_EQ(row.expected, stats.weight);
	}
}
