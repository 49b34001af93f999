#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/NameHash.h"
#include "engine/core/IEntityContainer.h"
#include "engine/core/UIContainer.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"
#include "game/UIMeatQuiz.h"

namespace {

// A game that notes the ending screens asked of it.
class EndingGame : public TalvexGame {
public:
	void ShowWinAlt(const char *text, int ending) override
	{
		screens.push_back(std::to_string(ending) + ": " + text);
	}
	std::vector<std::string> screens;
};

// A quiz in a holder, as the in-game scene's overlay stack holds it.
struct QuizRig {
	EndingGame game;
	UIContainer holder;
	UIMeatQuiz quiz;
	QuizRig()
	{
		GameProgress::ResetGlobal();
		holder.AddEntity(&quiz);
		quiz.Begin();
	}
	~QuizRig() { GameProgress::ResetGlobal(); }
	// Picks the option at position (its id, as the list reports it).
	void Pick(uint8_t position)
	{
		UIOptions &list = quiz.GetOptions();
		ASSERT_LT(position, list.GetOptionCount());
		list.Choose(list.GetOption(position).id, position);
	}
};

}

TEST(MeatQuiz, StagesShowFourMeatsAndAWayOut)
{
	QuizRig rig;
	const char *const titles[] = {"Best Meat?", "Now which?", "Yep, and now?", "Best Meat?", "Now which?"};
	for (uint8_t stage = 0; stage < UIMeatQuiz::kStageCount; ++stage) {
		SCOPED_TRACE(stage);
		UIOptions &list = rig.quiz.GetOptions();
		EXPECT_STREQ(titles[stage], list.GetTitle());
		ASSERT_EQ(5u, list.GetOptionCount());
		for (uint8_t p = 0; p < 4; ++p) {
			EXPECT_EQ(4 * stage + p, list.GetOption(p).id);
			EXPECT_STREQ(UIMeatQuiz::MeatName(static_cast<uint8_t>(4 * stage + p)), list.GetOption(p).label);
		}
		EXPECT_EQ(UIMeatQuiz::kQuitId, list.GetOption(4).id);
		EXPECT_STREQ("I'm Out.", list.GetOption(4).label);
		EXPECT_EQ(static_cast<UIDoneHandler *>(&rig.quiz), list.GetDoneHandler()) << "set again after each reset";
		rig.Pick(stage % 4);
	}
	UIOptions &final = rig.quiz.GetOptions();
	EXPECT_STREQ("Which is Ultimeat?", final.GetTitle());
	ASSERT_EQ(5u, final.GetOptionCount()) << "the five picks and no way out";
	const uint8_t picked[] = {0, 5, 10, 15, 16};
	for (uint8_t i = 0; i < 5; ++i) {
		EXPECT_EQ(picked[i], final.GetOption(i).id);
		EXPECT_EQ(picked[i], rig.quiz.GetPick(i));
	}
	EXPECT_STREQ("I love this meat.", final.GetOption(0).description);
	EXPECT_TRUE(rig.game.screens.empty());
}

TEST(MeatQuiz, FinalPicksEndTheGame)
{
	const struct {
		const char *name;
		uint8_t stagePosition; // the same position picked in every stage
		uint8_t finalPosition;
		const char *screen;
		const char *mission;
	} rows[] = {
		{"chicken first and last", 3, 0, "4: ATE THE ENEMY", "end_chicken"},
		{"elk", 3, 4, "4: WENT TO GET ELK", "end_meat"},
		{"beef", 0, 0, "4: WENT TO GET BEEF", "end_meat"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		QuizRig rig;
		for (int stage = 0; stage < UIMeatQuiz::kStageCount; ++stage)
			rig.Pick(row.stagePosition);
		rig.Pick(row.finalPosition);
		ASSERT_EQ(1u, rig.game.screens.size());
		EXPECT_EQ(row.screen, rig.game.screens[0]);
		EXPECT_TRUE(GameProgress::Flag(row.mission));
		EXPECT_EQ(UIMeatQuiz::kPickCount, rig.quiz.GetStage());

		// Late picks write nothing and end nothing again.
		rig.quiz.OnSelect(7, 0);
		rig.quiz.OnSelect(1, 1);
		EXPECT_EQ(1u, rig.game.screens.size());
		EXPECT_EQ(UIMeatQuiz::kPickCount, rig.quiz.GetStage());
	}
}

TEST(MeatQuiz, QuitOrBackInAnyStageLeavesWithoutAnEnding)
{
	for (int stage = 0; stage < UIMeatQuiz::kStageCount; ++stage) {
		for (bool back : {false, true}) {
			SCOPED_TRACE(std::to_string(stage) + (back ? " back" : " quit"));
			QuizRig rig;
			for (int i = 0; i < stage; ++i)
				rig.Pick(1);
			ASSERT_EQ(static_cast<IEntityContainer *>(&rig.holder), rig.quiz.container);
			if (back)
				rig.quiz.GetOptions().Done();
			else
				rig.Pick(4);
			EXPECT_EQ(nullptr, rig.quiz.container) << "out of its holder";
			EXPECT_TRUE(rig.game.screens.empty());
			EXPECT_FALSE(GameProgress::Flag("end_meat"));
		}
	}
}
