#include <gtest/gtest.h>

#include <string>

#include "engine/core/NameHash.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"
#include "game/TalvexGameLink.h"
#include "map/Missions.h"

namespace {

class LinkTestGame : public TalvexGame {};

class NewsReading : public testing::Test {
protected:
	void SetUp() override
	{
		GameProgress::ResetGlobal();
		// Nothing else earns this reward, so it is still to be earned here.
		ASSERT_FALSE(Achievements::Instance().IsUnlocked(HashName("news")));
	}
	void TearDown() override { GameProgress::ResetGlobal(); }

	LinkTestGame game;
	TalvexGameLink link{game};
};

TEST_F(NewsReading, ReadingEveryAreasNewsEarnsTheReward)
{
	struct Row {
		const char *area;
		int countAfter;   // news areas read
		bool rewarded;
	};
	const Row rows[] = {
		{"north2", 1, false},
		{"NORTH2", 1, false},    // the same area by its hash
		{"orchard", 1, false},   // no news there: its flag is set, nothing counts
		{"black3", 2, false},
		{"blacktotown", 3, false},
		{"cold4", 4, false},
		{"far6", 5, false},
		{"far41", 6, false},
		{"mountain2", 7, false},
		{"nortow3", 8, false},
		{"south0", 9, false},
		{"south4", 10, true},
	};
	EXPECT_EQ(Missions::GetNewsTotal(), 10);
	// Read nowhere: no flag at all, so the reward's own flag stays clear.
	for (const char *nowhere : {(const char *)nullptr, ""}) {
		link.MarkNewsRead(nowhere);
		EXPECT_FALSE(GameProgress::FlagId(HashName("news")));
	}
	for (const Row &row : rows) {
		SCOPED_TRACE(row.area != nullptr ? row.area : "(none)");
		link.MarkNewsRead(row.area);
		EXPECT_TRUE(GameProgress::FlagId(Missions::NewsFlag(row.area)));
		EXPECT_EQ(Missions::CountNewsRead(), row.countAfter);
		EXPECT_EQ(Achievements::Instance().IsUnlocked(HashName("news")), row.rewarded);
	}
	// The reward is recorded with the game's flags, and stays earned.
	EXPECT_TRUE(GameProgress::FlagId(HashName("news")));
	link.MarkNewsRead("south4");
	EXPECT_TRUE(Achievements::Instance().IsUnlocked(HashName("news")));
}

TEST(NewsFlag, IsTheSumOfTheTwoNameHashesIn16Bits)
{
	for (const char *area : {"north2", "far41", "south4", "orchard"}) {
		SCOPED_TRACE(area);
		EXPECT_EQ(Missions::NewsFlag(area), static_cast<uint16_t>(HashName(area) + HashName("news")));
	}
	EXPECT_EQ(Missions::NewsFlag(nullptr), HashName("news"));
}

} // namespace
