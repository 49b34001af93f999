#include <gtest/gtest.h>

#include <memory>

#include "game/GameProgress.h"
#include "game/GameUI.h"
#include "game/TalvexGame.h"
#include "engine/core/Camera.h"
#include "engine/core/Scene.h"
#include "engine/core/StringUtil.h"
#include "support/SharedRenderer.h"
#include "support/WindowPicture.h"
#include "engine/core/FileAccess.h"
#include "objects/CollectableKind.h"

namespace {

constexpr float kFrame = 1.0f / 60.0f;

void RunFor(GameUI &hud, float seconds)
{
	for (float t = 0.0f; t < seconds; t += kFrame)
		hud.Update(kFrame);
}

// Runs until the typing flag clears; the seconds it took.
float TypeOut(GameUI &hud, float dt = kFrame)
{
	float t = 0.0f;
	while (hud.IsTyping() && t < 60.0f) {
		hud.Update(dt);
		t += dt;
	}
	return t;
}

// A game of the test's own whose play clock the test sets.
class ClockGame : public TalvexGame {
public:
	void SetPlayTime(uint32_t ms) { playTimeMs = ms; }
	void SetTimed(uint8_t on) { timedMode = on; }
};

constexpr float kStep = GameUI::kSecondsPerLetter / GameUI::kPlainSpeed;

}

TEST(Hud, QuestionsPromptsAndClosing)
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
TEST(Hud, BannerRunsItsOwnTimer)
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

TEST(Hud, OnlyTheLatestHudIsCurrent)
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

// The wait after a reveal step: plain, or longer when the character two past
// the shown count is a blank and the one before it is punctuation. The
// look-ahead stays inside the text: its end is no blank.
TEST(Hud, RevealStepsWaitLongerAfterPunctuation)
{
	const struct {
		const char *text;
		float factor;
	} rows[] = {
		{"Hello there", 1.0f}, {"Hey. You", 25.0f}, {"Hey! You", 25.0f}, {"Hey? You", 25.0f},
		{"Hey, you", 8.0f},    {"Hey: you", 16.0f}, {"Hey; you", 16.0f}, {"Hey- you", 16.0f},
		{"Hey.You", 1.0f},     {"Hey.", 1.0f},      {"Hi.", 1.0f},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.text);
		GameUI hud;
		hud.ShowMessage(row.text, 3.0f, GameUI::kKindMessage);
		EXPECT_EQ(1, hud.GetShownChars());
		hud.Update(0.001f);
		EXPECT_EQ(2, hud.GetShownChars());
		EXPECT_NEAR(kStep * row.factor, hud.GetTypingDelay(), 1e-5f);
		// While the wait runs, nothing more is shown.
		const float before = hud.GetTypingDelay();
		hud.Update(0.001f);
		EXPECT_EQ(2, hud.GetShownChars());
		EXPECT_NEAR(before - 0.001f, hud.GetTypingDelay(), 1e-5f);
	}
}

// Plain messages linger 0.3 s after their last letter, 0.1 s on Brutal; a
// kind-3 message comes out evenly over its time, and at once when it has
// none.
TEST(Hud, TypingEndsAfterTheLinger)
{
	GameProgress::ResetGlobal();
	const struct {
		const char *name;
		uint8_t kind;
		float seconds;
		bool brutal;
		float atLeast, atMost;
	} rows[] = {
		{"plain", GameUI::kKindMessage, 3.0f, false, 0.3f, 1.0f},
		{"plain on Brutal", GameUI::kKindMessage, 3.0f, true, 0.1f, 0.7f},
		{"kind 3 over its time", GameUI::kKindMission, 2.0f, false, 2.4f, 2.5f},
		{"kind 3 without time", GameUI::kKindMission, 0.0f, false, 0.3f, 0.34f},
		{"kind 3 with negative time", GameUI::kKindMission, -5.0f, false, 0.3f, 0.34f},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress::SetDifficulty(row.brutal ? kDifficultyBrutal : 1);
		Scene scene;
		GameUI hud;
		scene.AddEntity(&hud);
		EXPECT_FLOAT_EQ(row.brutal ? GameUI::kBrutalLingerSeconds : GameUI::kLingerSeconds, hud.GetLingerLimit());
		hud.ShowMessage("Twelve chars", row.seconds, row.kind);
		hud.Update(kFrame);
		if (row.kind == GameUI::kKindMission && row.seconds <= 0.0f) {
			EXPECT_EQ(13, hud.GetShownChars()) << "the whole text at once";
		}
		const float took = TypeOut(hud) + kFrame;
		EXPECT_GE(took, row.atLeast);
		EXPECT_LE(took, row.atMost);
		EXPECT_EQ(12, hud.GetMessageBox().GetVisibleChars() == 0 ? 12 : hud.GetMessageBox().GetVisibleChars());
		scene.RemoveEntity(&hud);
	}
	GameProgress::ResetGlobal();
}

// Kind 3 shakes the camera for its time and cannot be hurried; other kinds
// can, and a hurry runs at speed 5 only while action 1 is held.
TEST(Hud, KindThreeShakesAndIgnoresSkips)
{
	Camera camera;
	Camera::SetCurrent(&camera);
	GameUI hud;
	hud.ShowMessage("The tower wakes.", 4.0f, GameUI::kKindMission);
	EXPECT_FLOAT_EQ(4.0f, camera.GetShakeTime());
	hud.RequestSkipTyping();
	hud.SkipTyping();
	EXPECT_TRUE(hud.IsTyping());
	hud.Update(1.0f);
	EXPECT_EQ(4, hud.GetShownChars()) << "16 letters at a quarter of the time";
	Camera::SetCurrent(nullptr);

	hud.ShowMessage("A long message to hurry along.", 3.0f, GameUI::kKindMessage);
	hud.RequestSkipTyping();
	hud.Update(kFrame);
	EXPECT_FLOAT_EQ(GameUI::kPlainSpeed, hud.GetCurrentSpeed()) << "action 1 is not held";
	hud.SkipTyping();
	EXPECT_FALSE(hud.IsTyping());
	EXPECT_EQ(0, hud.GetMessageBox().GetVisibleChars()) << "every character shown";
}

// Empty texts hide the box; a kind-2 message is a question however shown.
TEST(Hud, EmptyTextsAndQuestions)
{
	GameUI hud;
	for (const char *text : {"", static_cast<const char *>(nullptr)}) {
		hud.ShowMessage(text, 3.0f, GameUI::kKindMessage);
		EXPECT_FALSE(hud.IsMessageVisible());
		EXPECT_FLOAT_EQ(0.0f, hud.GetMessageTimeLeft());
	}
	const struct {
		int how; // 0 plain, 1 titled, 2 speech
		uint8_t kind;
		uint32_t state;
	} rows[] = {
		{0, GameUI::kKindPrompt, GameUI::kMessageQuestion}, {1, GameUI::kKindPrompt, GameUI::kMessageQuestion},
		{2, GameUI::kKindPrompt, GameUI::kMessageQuestion}, {0, GameUI::kKindMessage, GameUI::kMessagePlain},
		{1, GameUI::kKindNotice, GameUI::kMessagePlain},    {2, GameUI::kKindMission, GameUI::kMessagePlain},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.how * 10 + row.kind);
		hud.SetMessageState(GameUI::kMessageAnsweredNo);
		if (row.how == 0)
			hud.ShowMessage("Go on?", 3.0f, row.kind);
		else if (row.how == 1)
			hud.ShowTitledMessage("Sign", "Go on?", 3.0f, row.kind);
		else
			hud.ShowSpeech("Maren", "Go on?", 3.0f, row.kind);
		EXPECT_EQ(row.state, hud.GetMessageState());
		EXPECT_EQ(row.how != 0, hud.IsTitleShown());
	}
	hud.ShowPrompt("Continue");
	EXPECT_FLOAT_EQ(GameUI::kPromptSeconds, hud.GetMessageTimeLeft());
}

// Hearts by halves, the warning pulse, the held item's cell, the weight text.
TEST(Hud, StatusShowsHeartsItemAndWeight)
{
	ClockGame game;
	game.SetPlayTime(1000); // inside the pulse's first 100 ms
	Scene scene;
	GameUI hud;
	scene.AddEntity(&hud);

	PlayerStats stats;
	stats.hearts = 3;
	stats.maxHearts = 6;
	stats.weight = 125;
	stats.heldKind = 43; // the sword
	hud.SetPlayerStatus(stats, 4);
	const float cell = 1.0f / 8.0f;
	const struct {
		int heart;
		bool shown;
		float column;
	} hearts[] = {{0, true, 1}, {1, true, 2}, {2, true, 4}, {3, false, 4}, {11, false, 4}};
	for (const auto &row : hearts) {
		SCOPED_TRACE(row.heart);
		EXPECT_EQ(row.shown, hud.GetHeart((uint8_t)row.heart).IsVisible());
		EXPECT_NEAR(row.column * cell, hud.GetHeart((uint8_t)row.heart).GetUVRect().w, 1e-5f);
		EXPECT_NEAR(4 * cell, hud.GetHeart((uint8_t)row.heart).GetUVRect().x, 1e-5f);
	}
	EXPECT_TRUE(hud.GetItemIcon().IsVisible());
	EXPECT_NEAR(1 * cell, hud.GetItemIcon().GetUVRect().w, 1e-5f) << "kind 43 sits in column 1";
	EXPECT_NEAR(5 * cell, hud.GetItemIcon().GetUVRect().x, 1e-5f) << "of row 5";
	EXPECT_STREQ("12.5kg", hud.GetWeightText().GetText());
	EXPECT_TRUE(hud.GetWeightIcon().IsVisible());
	EXPECT_TRUE(hud.GetChainFill().IsVisible());
	EXPECT_FLOAT_EQ(0.5f, hud.GetChainFill().transform.scale.x);

	RunFor(hud, 3.0f);
	EXPECT_NEAR(1.2f, hud.GetHeart(0).transform.scale.x, 0.01f) << "heart 0 pulses";
	EXPECT_NEAR(0.75f, hud.GetHeart(1).transform.scale.x, 0.01f);
	game.SetPlayTime(1200);
	RunFor(hud, 3.0f);
	EXPECT_NEAR(0.75f, hud.GetHeart(0).transform.scale.x, 0.01f) << "outside the pulse";

	stats.weight = 0;
	stats.heldKind = 0;
	stats.hearts = 24;
	stats.maxHearts = 24;
	hud.SetPlayerStatus(stats, 0);
	EXPECT_FALSE(hud.GetWeightIcon().IsVisible());
	EXPECT_FALSE(hud.GetWeightText().IsVisible());
	EXPECT_FALSE(hud.GetItemIcon().IsVisible());
	EXPECT_FALSE(hud.GetChainFill().IsVisible());
	EXPECT_TRUE(hud.GetHeart(11).IsVisible());
	scene.RemoveEntity(&hud);
}

// The letter row shows the found letters for 3 s; off hides it at once.
TEST(Hud, LetterRowShowsFoundLetters)
{
	GameProgress::ResetGlobal();
	GameProgress::SetFlagId(CollectableFlagHash("letter", 1), 1);
	GameProgress::SetFlagId(CollectableFlagHash("letter", 3), 1);
	GameUI hud;
	hud.ShowLetters();
	const bool expected[] = {true, false, true, false};
	for (uint8_t i = 0; i < GameUI::kLetterCount; i++)
		EXPECT_EQ(expected[i], hud.GetLetter(i).IsVisible()) << (int)i;
	EXPECT_TRUE(hud.IsBusy());
	RunFor(hud, 2.9f);
	EXPECT_TRUE(hud.GetLetter(0).IsVisible());
	RunFor(hud, 0.2f);
	EXPECT_FALSE(hud.GetLetter(0).IsVisible());
	EXPECT_FALSE(hud.IsBusy());

	hud.ShowLetters();
	hud.HideLetters();
	EXPECT_FALSE(hud.GetLetter(0).IsVisible());
	EXPECT_FALSE(hud.IsBusy());
	GameProgress::ResetGlobal();
}

// Hearts, item, weight and a typed question with both prompts, drawn by the
// real renderer and kept as "hud.png".
class HudPicture : public SharedRendererTest {};

TEST_F(HudPicture, DrawsStatusAndATypedQuestion)
{
	if (IsSkipped())
		return;
	ClockGame game;
	game.SetPlayTime(400);
	Scene scene;
	scene.state = kSceneActive;
	GameUI hud;
	scene.AddEntity(&hud);
	PlayerStats stats;
	stats.hearts = 5;
	stats.maxHearts = 8;
	stats.weight = 37;
	stats.heldKind = 44; // the axe
	hud.SetPlayerStatus(stats, 6);
	hud.ShowSpeech("Maren", "Will you carry the chicken to the mill?", 3.0f, GameUI::kKindPrompt);
	for (int i = 0; i < 240; i++)
		scene.Update(kFrame);
	hud.ShowChoice("Yes", "No");
	hud.SetVisible(true);
	scene.Update(kFrame);

	renderer->BeginFrame();
	scene.Render();
	renderer->EndFrame();
	WindowPicture picture(3);
	picture.ReadWindow();
	const std::string path = GetBaseDirectory() + "hud.png";
	EXPECT_TRUE(picture.Save(path)) << path;

	Rgb heart, empty, message, sky;
	ASSERT_TRUE(picture.Average(30 + 12, 28 + 12, heart));
	EXPECT_GT(heart.r, 150) << "a full heart is red";
	EXPECT_LT(heart.g, 100);
	ASSERT_TRUE(picture.Average(30 + 18 * 3 + 12, 28 + 12, empty));
	EXPECT_LT(empty.Sum(), 250) << "the fourth heart is empty";
	EXPECT_LT(std::abs(empty.r - empty.b), 40);
	// The typed message ends 50 above the screen's bottom; its first line.
	int lit = 0;
	for (int x = 100; x < 500; x += 2) {
		Rgb at;
		if (picture.Average(x, 270, at) && at.Sum() > 300)
			lit++;
	}
	EXPECT_GT(lit, 10) << "letters in the message box";
	// The two prompts in the bottom-right corner: "Yes" green, "No" red.
	int green = 0, red = 0;
	for (int y = 320; y < 340; y++) {
		for (int x = 480; x < 575; x++) {
			Rgb at;
			if (!picture.Average(x, y, at) || at.Sum() < 200)
				continue;
			green += at.g > at.r + 20 ? 1 : 0;
			red += at.r > at.g + 20 ? 1 : 0;
		}
	}
	EXPECT_GT(green, 5) << "the Yes prompt";
	EXPECT_GT(red, 5) << "the No prompt";
	ASSERT_TRUE(picture.Average(300, 120, sky));
	EXPECT_LT(sky.Sum(), 60) << "nothing is drawn in the middle";
	(void)message;

	// While the banner is up nothing else of the HUD is drawn.
	hud.ShowBanner("Home Sweet Home");
	scene.Update(kFrame);
	renderer->BeginFrame();
	scene.Render();
	renderer->EndFrame();
	picture.ReadWindow();
	ASSERT_TRUE(picture.Average(30 + 12, 28 + 12, heart));
	EXPECT_LT(heart.Sum(), 60) << "no hearts under the banner";
	int banner = 0;
	for (int x = 150; x < 450; x += 2) {
		Rgb at;
		if (picture.Average(x, 180, at) && at.Sum() > 300)
			banner++;
	}
	EXPECT_GT(banner, 10) << "the banner's letters";
	scene.RemoveEntity(&hud);
}
