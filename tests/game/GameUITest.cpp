#include <gtest/gtest.h>

#include <memory>

#include "game/GameProgress.h"
#include "game/GameUI.h"

namespace {

constexpr float kFrame = 1.0f / 60.0f;

void RunFor(GameUI &hud, float seconds)
{
	for (float t = 0.0f; t < seconds; t += kFrame)
		hud.Update(kFrame);
}

}

// A message types for a time that grows with its length and keeps the HUD
// busy meanwhile; a skip finishes it at once, a request on the next update;
// a mission text cannot be hurried.
TEST(GameUI, MessagesTypeThenStay)
{
	const struct {
		const char *name;
		uint8_t kind;
		int skip; // 0 none, 1 at once, 2 on request
		float busyAfter;
		bool busy;
	} rows[] = {
		{"typing keeps the HUD busy", GameUI::kKindMessage, 0, 0.2f, true},
		{"typed out with its linger", GameUI::kKindMessage, 0, 1.0f, false},
		{"skipped at once", GameUI::kKindMessage, 1, 0.0f, false},
		{"skipped on the next update", GameUI::kKindMessage, 2, kFrame, false},
		{"a mission text runs its whole time", GameUI::kKindMission, 1, 1.0f, true},
		{"a mission text ends with its time", GameUI::kKindMission, 2, 2.5f, false},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameUI hud;
		hud.ShowMessage("Twenty letters long!", 2.0f, row.kind);
		EXPECT_TRUE(hud.IsMessageVisible());
		EXPECT_TRUE(hud.IsBusy());
		EXPECT_EQ(GameUI::kMessagePlain, hud.GetMessageState());
		if (row.skip == 1)
			hud.SkipTyping();
		else if (row.skip == 2)
			hud.RequestSkipTyping();
		RunFor(hud, row.busyAfter);
		EXPECT_EQ(row.busy, hud.IsBusy());
		EXPECT_TRUE(hud.IsMessageVisible()) << "a typed message stays until closed";
	}
}

TEST(GameUI, QuestionsPromptsAndClosing)
{
	GameUI hud;
	EXPECT_EQ(&hud, GameUI::Current());
	hud.ShowSpeech("Maren", "Will you help?", 3.0f, GameUI::kKindPrompt);
	EXPECT_TRUE(hud.IsSpeech());
	EXPECT_EQ(GameUI::kMessageQuestion, hud.GetMessageState());
	EXPECT_EQ("Maren", hud.GetTitleText());
	hud.ShowChoice("Yes", "No");
	EXPECT_FALSE(hud.IsTyping()) << "a choice finishes the typing";
	EXPECT_TRUE(hud.IsChoiceShown());
	EXPECT_EQ("Yes", hud.GetPromptLabel());
	EXPECT_EQ("No", hud.GetSecondPromptLabel());
	hud.SetMessageState(GameUI::kMessageAnsweredNo);
	hud.CloseMessage();
	EXPECT_FALSE(hud.IsMessageVisible());
	EXPECT_FALSE(hud.IsPromptShown());
	EXPECT_FALSE(hud.IsSpeech());
	EXPECT_FALSE(GameUI::IsDisplaying());

	hud.ShowTitledMessage("Sign", "North: the woods.", 3.0f, GameUI::kKindMessage);
	EXPECT_FALSE(hud.IsSpeech());
	hud.ShowPrompt("OK");
	EXPECT_TRUE(hud.IsPromptShown());
	EXPECT_FALSE(hud.IsChoiceShown());
	EXPECT_TRUE(GameUI::IsDisplaying());
}

// The banner blacks out play for 4 s; an empty one closes the message.
TEST(GameUI, BannerRunsItsOwnTimer)
{
	GameUI hud;
	hud.ShowBanner("Home");
	EXPECT_TRUE(hud.IsTimerActive());
	EXPECT_TRUE(hud.IsBusy());
	RunFor(hud, 3.9f);
	EXPECT_TRUE(hud.IsTimerActive());
	RunFor(hud, 0.2f);
	EXPECT_FALSE(hud.IsTimerActive());

	hud.ShowMessage("Hello", 3.0f, GameUI::kKindMessage);
	hud.ShowBanner("");
	EXPECT_FALSE(hud.IsMessageVisible());
	EXPECT_FLOAT_EQ(0.0f, hud.GetMessageTimeLeft());
}

TEST(GameUI, OnlyTheLatestHudIsCurrent)
{
	auto first = std::make_unique<GameUI>();
	auto second = std::make_unique<GameUI>();
	EXPECT_EQ(second.get(), GameUI::Current());
	first.reset();
	EXPECT_EQ(second.get(), GameUI::Current());
	second.reset();
	EXPECT_EQ(nullptr, GameUI::Current());

	GameProgress::ResetGlobal();
	GameUI hud;
	GameProgress::SetFlag("shotmap", 1);
	hud.RefreshShotMap();
	EXPECT_TRUE(hud.IsShotMapOn());
	GameProgress::ResetGlobal();
}
