#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/NameHash.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"
#include "game/TalvexGameLink.h"
#include "map/MapFiles.h"
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

// The map layer asks the running game through its link: the game's mode, its
// older content and its difficulty come from the record's flags and settings,
// and what the map layer sets lands in the record.
TEST(GameLinkForMaps, TheMapLayerReadsAndWritesTheGamesRecord)
{
	GameProgress::ResetGlobal();
	LinkTestGame game;
	MapGameLink &maps = MapGameLink::Get();
	struct Row {
		std::vector<const char *> flags;
		int mode;
		bool older;
		const char *homePath;
	};
	const Row rows[] = {
		{{}, 0, false, "maps/home.tmx"},
		{{"oghacks"}, 1, true, "mapo/home.tmx"},
		{{"ogmaps"}, 0, true, "mapo/home.tmx"},
		{{"chooksdoor"}, 2, false, "maps/home.tmx"},
		{{"oghacks", "chooksdoor"}, 2, true, "mapo/home.tmx"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.flags.empty() ? "no flags" : row.flags.back());
		GameProgress::ResetGlobal();
		for (const char *flag : row.flags)
			GameProgress::SetFlag(flag, 1);
		EXPECT_TRUE(maps.IsMode(row.mode));
		EXPECT_EQ(row.older, maps.IsOriginalContent());
		EXPECT_EQ(row.homePath, BuildMapPath("home"));
	}
	GameProgress::ResetGlobal();
	GameProgress::SetDifficulty(kDifficultyBrutal);
	EXPECT_EQ(kDifficultyBrutal, maps.Difficulty());
	maps.SetFlagId(HashName("gate"), true);
	EXPECT_TRUE(GameProgress::Flag("gate"));
	maps.SetWaypoint(HashName("far2"));
	EXPECT_EQ(HashName("far2"), GameProgress::Waypoint());
	GameProgress::ResetGlobal();
}
