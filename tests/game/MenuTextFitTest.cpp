// Every menu's texts measured in the fonts the build makes, by the text box's
// own layout: the title, the widest label and the widest description of each
// page must end inside the screen from where the list puts them, and the
// quest list's names must end before its description column.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/core/Input.h"
#include "engine/core/UIStack.h"
#include "engine/render/Renderer.h"
#include "engine/render/Textbox.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/ScreenEndChoice.h"
#include "game/ScreenPreIntro.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "game/UIAchievements.h"
#include "game/UIGameplayMenu.h"
#include "game/UIMeatQuiz.h"
#include "game/UIOptions.h"
#include "game/UIPause.h"
#include "game/UISettingsMenu.h"
#include "game/UITitleMenu.h"
#include "support/SaveFolder.h"
#include "support/ScreenTest.h"
#include "support/WindowPicture.h"

namespace {

constexpr float kScreenWidth = (float)Renderer::kLogicalWidth;
constexpr float kEdgeRoom = 2.0f;   // units a text keeps from the screen's edge
constexpr float kColumnGap = 4.0f;  // units between a quest's name and its description

// Writes down nothing and builds no stage.
class StillGame : public TalvexGame {
public:
	void ShowGameScene() override {}
	void ShowTitle() override {}
	void ShowLoadScreen() override {}
	void ShowStartup() override {}
};

// The width the text box lays a text out at.
float TextWidth(const char *font, uint8_t size, const char *text)
{
	if (text == nullptr || text[0] == '\0')
		return 0.0f;
	Textbox box;
	if (font != nullptr)
		box.SetFont(font);
	else
		box.Init(); // the game's default face
	box.SetFontSize(size);
	box.SetText(text);
	box.GetLength();
	return box.GetWidth();
}

class MenuTextFitTest : public ScreenTest {
protected:
	void SetUp() override
	{
		ScreenTest::SetUp();
		if (IsSkipped())
			return;
		testing::internal::CaptureStdout();
		game.ApplySettings(); // the game's own text face
		testing::internal::GetCapturedStdout();
	}
	// Measures the page the list shows now: title, every label and every
	// description against the room from the list's left edge to the screen's.
	void Measure(const UIOptions &list, const std::string &where)
	{
		SCOPED_TRACE(where + " \"" + list.GetTitle() + "\"");
		const float x = kScreenWidth * list.GetAnchor();
		const float room = kScreenWidth - kEdgeRoom - x;
		const float title = TextWidth(UIOptions::kTitleFont, UIOptions::kTitleFontSize, list.GetTitle());
		EXPECT_LE(title, room) << "title";
		float widestLabel = 0.0f, widestDescription = 0.0f;
		std::string label, description;
		for (size_t i = 0; i < list.GetOptionCount(); i++) {
			const UIOption &option = list.GetOption(i);
			const float l = TextWidth(nullptr, UIOptions::kRowFontSize, option.label);
			const float d = TextWidth(nullptr, UIOptions::kDescriptionFontSize, option.description);
			if (l > widestLabel) {
				widestLabel = l;
				label = option.label;
			}
			if (d > widestDescription) {
				widestDescription = d;
				description = option.description;
			}
		}
		EXPECT_LE(widestLabel, room) << "label \"" << label << "\"";
		EXPECT_LE(widestDescription, room) << "description \"" << description << "\"";
		pages++;
	}
	// A save in each slot, with a name as long as a summary makes.
	void SaveAllSlots()
	{
		for (uint8_t slot = 0; slot < 3; slot++) {
			GameProgress::ResetGlobal();
			GameProgress::SetCurrentMap("town");
			GameProgress::SetPlaySeconds(3600u * 99u);
			GameProgress::SetDifficulty(2);
			ASSERT_TRUE(GameProgress::Write(GameProgress::SaveFileName(slot).c_str()));
		}
		GameProgress::ResetGlobal();
	}

	StillGame game;
	int pages = 0;
};

}

TEST_F(MenuTextFitTest, TheTitleMenusPagesFitTheScreen)
{
	SaveAllSlots();
	Settings::Instance().SetValue(kSettingTimedMode, 1); // every difficulty offered
	const struct {
		const char *name;
		std::vector<uint8_t> choices;
	} ways[] = {
		{"main", {}},
		{"pick a game", {UITitleMenu::kPlayGame}},
		{"a used slot", {UITitleMenu::kPlayGame, UITitleMenu::kUsedSlot}},
		{"replace", {UITitleMenu::kPlayGame, UITitleMenu::kUsedSlot, UITitleMenu::kReplace}},
		{"difficulty", {UITitleMenu::kDifficulty}},
		{"make it brutal", {UITitleMenu::kMakeBrutal}},
		{"og mode", {UITitleMenu::kOgMode}},
	};
	for (const auto &way : ways) {
		UITitleMenu menu;
		menu.Start();
		for (uint8_t id : way.choices)
			menu.OnSelect(id, 0);
		Measure(menu.GetOptions(), way.name);
	}
	EXPECT_EQ(7, pages);
}

TEST_F(MenuTextFitTest, TheSettingsAndGameplayPagesFitTheScreen)
{
	{
		UISettingsMenu menu;
		menu.Start();
		Measure(menu.GetOptions(), "settings");
		menu.OnSelect(UISettingsMenu::kTimedMode, 3);
		Measure(menu.GetOptions(), "settings, timed");
		menu.OnSelect(UISettingsMenu::kPresentation, 0);
		// Every graphics mode's name and every sound level in turn.
		for (uint32_t i = 0; i < (uint32_t)renderer->GetPostModeCount() + 4u; i++) {
			menu.OnSelect(i % 2 == 0 ? UISettingsMenu::kGraphics : UISettingsMenu::kSound, 0);
			Measure(menu.GetOptions(), "presentation " + std::to_string(i));
		}
		menu.OnSelect(UISettingsMenu::kSaveData, 0);
		Measure(menu.GetOptions(), "data options");
		menu.OnSelect(UISettingsMenu::kClearDataPage, 0);
		Measure(menu.GetOptions(), "clear data");
	}
	game.StartPlay();
	UIStack stack;
	UIGameplayMenu gameplay;
	stack.AddEntity(&gameplay);
	gameplay.Start();
	for (int i = 0; i < 3; i++) {
		Measure(gameplay.GetOptions(), "gameplay " + std::to_string(i));
		gameplay.OnSelect(UIGameplayMenu::kCombat, 1);
		gameplay.OnSelect(UIGameplayMenu::kMap, 3);
	}
	gameplay.OnDone();
	Measure(gameplay.GetOptions(), "change mode");
	UIPause pause;
	stack.AddEntity(&pause);
	pause.Open();
	Measure(pause.GetOptions(), "paused");
}

TEST_F(MenuTextFitTest, TheScreenQuestionsAndTheMeatQuizFitTheScreen)
{
	{
		ScreenPreIntro screen;
		Scene &scene = screen;
		scene.state = kSceneActive;
		scene.Start();
		Measure(screen.GetOptions(), "pre-intro");
	}
	{
		ScreenEndChoice screen;
		Scene &scene = screen;
		scene.state = kSceneActive;
		scene.Start();
		Measure(screen.GetOptions(), "end choice");
	}
	UIStack stack;
	UIMeatQuiz quiz;
	stack.AddEntity(&quiz);
	quiz.Start();
	for (uint8_t stage = 0; stage <= UIMeatQuiz::kStageCount; stage++) {
		Measure(quiz.GetOptions(), "meat quiz stage " + std::to_string(stage));
		if (stage < UIMeatQuiz::kStageCount)
			quiz.OnSelect(quiz.GetOptions().GetOption(0).id, 0);
	}
	EXPECT_STREQ("Which is Ultimeat?", quiz.GetOptions().GetTitle());
}

// The quest list as shipped: every quest's name ends before its description
// starts, and the picture is kept as screens/quests.png.
TEST_F(MenuTextFitTest, QuestNamesEndBeforeTheirDescriptions)
{
	UIAchievements quests;
	quests.Build();
	quests.Update(0.0f);
	ASSERT_GT(quests.GetRowCount(), 10u);
	renderer->BeginFrame();
	renderer->BeginFrame();
	renderer->UpdateCameraMatrices();
	quests.Render(); // lays every row out
	renderer->EndFrame();
	WindowPicture picture(1);
	picture.ReadWindow();
	std::filesystem::create_directories(GetBaseDirectory() + "screens");
	EXPECT_TRUE(picture.Save(GetBaseDirectory() + "screens/quests.png"));
	for (size_t i = 0; i < quests.GetRowCount(); i++) {
		const UIAchievements::Row &row = quests.GetRow(i);
		SCOPED_TRACE(row.name.GetText());
		EXPECT_GT(row.name.GetWidth(), 0.0f);
		EXPECT_LE(row.name.transform.position.x + row.name.GetWidth(), row.description.transform.position.x - kColumnGap);
		EXPECT_LE(row.description.transform.position.x + row.description.GetWidth(), kScreenWidth - kEdgeRoom);
	}
}
