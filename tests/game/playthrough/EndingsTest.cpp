// Every ending but the main one, played headless from a new game on each
// difficulty through the real in-game scene with key presses only: the walk off the north road
// (1, and 2 with the lady's dress in hand), the hole at the end of the world
// (3), Ode's meat ranking with both of its results (4) and the ash ring of
// the cinders (5). Each plays on to its "ENDING n of 5" screen and the screen
// after it, and completes its own mission and achievement and no other's.
#include <gtest/gtest.h>

#include "RouteSteps.h"
#include "engine/core/NameHash.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "map/Missions.h"
#include "map/TileCode.h"
#include "support/MissingDevice.h"
#include "support/PlaythroughDriver.h"

#include <SDL.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kDress = 48;

// The missions of the endings besides the main quest's.
const char *const kEndingMissions[] = {"end_north", "end_lady", "end_hole", "end_meat", "end_chicken", "end_fr"};

class Endings : public testing::TestWithParam<PlayMode> {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!play.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
	}

	// What the road to the ending took (none of these roads has an ogre on it).
	void TearDown() override { std::cout << "[ tally    ] " << GetParam().name << ": " << play.TallyText() << "\n"; }

	// Into an ending's link, on to the ending's screen.
	void WalkOffThrough(const std::string &link, const std::string &screen)
	{
		play.EnterLink(link);
		play.WaitForScreen(screen, 5.0f);
	}

	// The hero steps off the tile beside an ending's link into it, holding
	// the key that walks him there, until the ending's screen comes.
	void StepOffInto(int x, int y, SDL_Scancode key, const std::string &screen)
	{
		play.WalkTo(x, y);
		for (int i = 0; i < 5 * PlaythroughDriver::kFramesPerSecond && !play.Game().HasShown(screen); i++)
			play.Hold({key}, 1);
		play.WaitForScreen(screen, 5.0f);
	}

	// The ending's own mission and achievement are done; no other ending's.
	void ExpectOnlyEnding(const char *mission)
	{
		for (const char *name : kEndingMissions) {
			SCOPED_TRACE(name);
			const bool wanted = std::string(name) == mission;
			EXPECT_EQ(wanted, Missions::GetState(name) == Missions::kMissionDone);
			EXPECT_EQ(wanted, Achievements::Instance().IsUnlockedByName(name));
		}
	}

	// The screen that follows an ending, in order after it.
	void ExpectNextScreen(const std::string &ending, const std::string &next)
	{
		const std::vector<std::string> &screens = play.Game().screens;
		auto shown = std::find(screens.begin(), screens.end(), ending);
		ASSERT_NE(screens.end(), shown) << ending;
		EXPECT_NE(screens.end(), std::find(shown, screens.end(), next)) << next << " after " << ending;
		EXPECT_EQ(screens.end(), std::find(screens.begin(), screens.end(), "died"));
	}

	// Five stages of four meats, then the ultimate one among the five picked.
	void RankMeats(int firstStageRow, int finalRow)
	{
		play.Talk("Ode");
		play.Answer(true);
		play.Choose(firstStageRow);
		for (int stage = 1; stage < 5; stage++)
			play.Choose(0);
		play.Choose(finalRow);
	}

	PlaythroughDriver play;
};

// Off the story's road: the woods' north road runs out of the world.
TEST_P(Endings, OneWalkingTheNorthRoadOutOfTheWoods)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame(GetParam());
		ClearHome(play);
		play.FollowLink("woods");
		play.Talk("North road");
		play.Continue();
		WalkOffThrough("end_north", "ending 1");
		play.WaitForScreen("startup", 10.0f);
	}));
	ExpectNextScreen("ending 1", "startup");
	ExpectOnlyEnding("end_north");
}

// The same road with the lady's dress, taken from the beach rocks, in hand.
TEST_P(Endings, TwoWalkingNorthInTheLadysDress)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame(GetParam());
		ClearHome(play);
		play.FollowLink("beach");
		TakeToolAt(play, kDressX, kDressY, kDress, "the dress");
		play.FollowLink("home");
		play.FollowLink("woods");
		WalkOffThrough("end_north", "ending 2");
		play.WaitForScreen("startup", 10.0f);
	}));
	ExpectNextScreen("ending 2", "startup");
	ExpectOnlyEnding("end_lady");
}

// The careless step into the hole in the beach's far cove.
TEST_P(Endings, ThreeFallingDownTheHoleAtTheEndOfTheWorld)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame(GetParam());
		ClearHome(play);
		play.FollowLink("beach");
		play.Talk("The edge");
		play.Continue();
		// The hole lies inside the map, not at an edge: the last step is the
		// hero's own.
		StepOffInto(28, 8, SDL_SCANCODE_UP, "ending 3");
		play.WaitForScreen("startup", 10.0f);
	}));
	ExpectNextScreen("ending 3", "startup");
	ExpectOnlyEnding("end_hole");
}

// Ode ranks meats from the first moments of a new game: any meat but
// chicken crowned sends the hero off to get it ...
TEST_P(Endings, FourCrowningAMeatThatIsNotChicken)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame(GetParam());
		RankMeats(0, 1); // BEEF first, then TURKEY crowned
		play.WaitForScreen("ending 4", 10.0f);
		play.WaitForScreen("startup", 10.0f);
	}));
	ExpectNextScreen("ending 4", "startup");
	ExpectOnlyEnding("end_meat");
}

// ... and chicken crowned eats the enemy.
TEST_P(Endings, FourCrowningChicken)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame(GetParam());
		RankMeats(3, 0); // CHICKEN first and crowned
		play.WaitForScreen("ending 4", 10.0f);
		play.WaitForScreen("startup", 10.0f);
	}));
	ExpectNextScreen("ending 4", "startup");
	ExpectOnlyEnding("end_chicken");
}

// The hint in the orchard hut, then the three plates of the cinders weighed
// down at once, their crates taken in the order the south road allows,
// and the word spoken at the ash ring: the French credits follow.
TEST_P(Endings, FiveSpeakingTheAshesWord)
{
	bool linked = true;
	ASSERT_TRUE(play.Play([&] {
		play.NewGame(GetParam());
		ClearHome(play);
		play.FollowLink("orchard");
		play.FollowLink("orchardhut");
		play.WalkInto("Old note");
		play.Use();
		play.Continue();
		play.FollowLink("orchard");
		play.FollowLink("home");
		play.WalkTo(10, 11); // round the foot of the terraced hill
		play.FollowLink("town");
		linked = HasLinkTo(play, "cinders");
		if (!linked)
			return;
		play.FollowLink("cinders");
		// The long push east along the south road wants the road clear:
		// the middle crate goes up to the north plate, the east one steps
		// down and round by the row below to the west plate.
		play.Push("weight 1", kDirNorth, 9);
		play.Push("weight 2", kDirSouth, 1);
		play.Push("weight 3", kDirEast, 15);
		play.Push("weight 2", kDirWest, 13);
		play.Push("weight 2", kDirNorth, 1);
		play.WalkInto("Ash ring");
		play.Use();
		// A plain question types out slowly; it takes its answer once shown.
		play.WaitUntil([&] { return play.QuestionAsked() && !play.Scene().GetHud().IsTyping(); }, "the ash's question",
			10.0f);
		play.Answer(true);
		play.WaitForScreen("ending 5", 20.0f);
		play.WaitForScreen("creditsfr", 10.0f);
	}));
	ASSERT_TRUE(linked) << "town has no link to the cinders";
	ExpectNextScreen("ending 5", "creditsfr");
	ExpectOnlyEnding("end_fr");
}

INSTANTIATE_TEST_SUITE_P(, Endings, testing::Values(kRelaxed, kIntended, kBrutal),
	[](const testing::TestParamInfo<PlayMode> &mode) { return std::string(mode.param.name); });

} // namespace
