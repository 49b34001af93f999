// The playthrough driver at work on the shipped start of the world: a new
// game as the title menu starts one, the walk from home's start to town
// through the link and a word with a townsperson there, all by key presses.
#include <gtest/gtest.h>

#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "objects/Player.h"
#include "support/PlaythroughDriver.h"

namespace {

class PlaythroughDriverTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!play.Prepare(whyNot))
			GTEST_SKIP() << whyNot;
	}

	PlaythroughDriver play;
};

} // namespace

TEST_F(PlaythroughDriverTest, NewGameWalksFromHomeToTownAndTalks)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		EXPECT_EQ("home", play.MapName());
		EXPECT_EQ((std::vector<std::string>{"preintro", "play"}), play.Game().screens);
		EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
		play.FollowLink("town");
		EXPECT_EQ("town", play.MapName());
		play.Talk("Wyn");
		play.WaitUntil([&] { return play.MessageShown(); }, "Wyn to speak", 5.0f);
		const std::string said = play.MessageText();
		play.Continue();
		EXPECT_FALSE(said.empty());
		EXPECT_FALSE(play.MessageShown());
	}));
}
