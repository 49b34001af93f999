// The other endings, headless, each from a new game through the real
// in-game scene with key presses only to its "ENDING n of 5" screen and the
// screen after it, with the mission and achievement it completes written to
// the earned list. Ending 4 is the meat ranking in home, both of its results; the
// others follow the ways the regions register (the output says which ran).
#include <gtest/gtest.h>

#include "Routes.h"
#include "engine/core/NameHash.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/UIMeatQuiz.h"
#include "support/PlaythroughDriver.h"

#include <iostream>
#include <string>

namespace {

struct EndingCase {
	int ending;
	const char *mission;
	const char *next; // the screen after the ending's
};
const EndingCase kEndings[] = {
	{1, "end_north", "startup"},
	{2, "end_lady", "startup"},
	{3, "end_hole", "startup"},
	{5, "end_fr", "creditsfr"},
};

// The ending's screen, the one after it, and what it completed.
void ExpectEnding(PlaythroughDriver &play, int ending, const char *mission, const char *next)
{
	play.WaitForScreen("ending " + std::to_string(ending), 30.0f);
	play.WaitForScreen(next, 30.0f);
	EXPECT_TRUE(GameProgress::Flag(mission)) << mission;
	EXPECT_TRUE(Achievements::Instance().IsUnlockedByName(mission)) << mission;
	// The achievement is kept in the earned list on disk.
	Achievements::Instance().Load();
	EXPECT_TRUE(Achievements::Instance().IsUnlockedByName(mission)) << mission << " is in the earned list read back";
}

} // namespace

TEST(Endings, RankingTheMeatsInHomeEndsWithEitherResult)
{
	const struct {
		const char *name;
		int stagePick; // the same position picked in each stage of four meats
		int finalPick;
		const char *mission;
	} rows[] = {
		{"chicken first and last", UIMeatQuiz::kChicken, 0, "end_chicken"},
		{"beef", 0, 0, "end_meat"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		PlaythroughDriver play;
		std::string whyNot;
		if (!play.Prepare(whyNot))
			GTEST_SKIP() << whyNot;
		Achievements::Instance().Reset();
		ASSERT_TRUE(play.Play([&] {
			play.NewGame();
			// The meat man asks; yes opens the ranking.
			play.Talk("Ode");
			play.Answer(true);
			for (int stage = 0; stage < UIMeatQuiz::kStageCount; stage++)
				play.Choose(row.stagePick);
			play.Choose(row.finalPick);
			ExpectEnding(play, 4, row.mission, "startup");
		}));
	}
}

TEST(Endings, EachOtherEndingByTheWayItsRegionRegistered)
{
	const std::vector<RouteSegment> routes = EndingRoutes();
	std::string ran;
	std::string missing;
	for (const EndingCase &ending : kEndings) {
		const RouteSegment *route = nullptr;
		for (const RouteSegment &candidate : routes)
			if (candidate.order == ending.ending)
				route = &candidate;
		if (route == nullptr) {
			missing += " " + std::to_string(ending.ending);
			continue;
		}
		ran += std::string(" ") + route->name;
		SCOPED_TRACE(route->name);
		PlaythroughDriver play;
		std::string whyNot;
		if (!play.Prepare(whyNot))
			GTEST_SKIP() << whyNot;
		Achievements::Instance().Reset();
		ASSERT_TRUE(play.Play([&] {
			play.NewGame();
			route->run(play);
			ExpectEnding(play, ending.ending, ending.mission, ending.next);
		}));
	}
	for (const RouteSegment &route : routes) {
		bool known = false;
		for (const EndingCase &ending : kEndings)
			known = known || ending.ending == route.order;
		EXPECT_TRUE(known) << route.name << " registers for ending " << route.order << ", which is played elsewhere or none";
	}
	std::cout << "[ endings  ] ways run:" << (ran.empty() ? " none" : ran) << "\n";
	if (!missing.empty())
		std::cout << "[ endings  ] endings without a way yet:" << missing << "\n";
	RecordProperty("endings_run", ran);
}
