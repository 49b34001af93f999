#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/core/FileAccess.h"
#include "game/GameProgress.h"
#include "game/UIProgress.h"
#include "map/Missions.h"
#include "support/SaveFolder.h"
#include "support/ScreenTest.h"
#include "support/WindowPicture.h"

namespace {

constexpr float kPanelX = 80.0f; // where the pause menu puts its panel
constexpr float kPanelY = 50.0f;
constexpr float kIconRows = 74.0f;  // below the name and the cooler line
constexpr float kDragonRows = 100.0f; // the dragons' rows below the quests'

class ProgressPanelTest : public ScreenTest {
protected:
	// Draws the panel alone and keeps the picture as screens/<name>.png.
	WindowPicture Draw(const char *name)
	{
		UIProgress panel;
		panel.Init();
		panel.transform.SetPosition(Vec3(kPanelX, kPanelY, 0.0f));
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		renderer->SetRenderMode(Renderer::kRenderModeDepthless);
		panel.Render();
		renderer->EndFrame();
		return KeepWindow(name);
	}
	// How many pixels of the 32 x 32 icon whose top-left corner is at
	// (x, y) are the green of the "OK" mark.
	static int GreenIn(const WindowPicture &picture, float x, float y)
	{
		int green = 0;
		for (int dy = 0; dy < UIProgress::kIconSize; dy++)
			for (int dx = 0; dx < UIProgress::kIconSize; dx++) {
				Rgb c;
				if (picture.Average((int)x + dx, (int)y + dy, c) && c.g > 100 && c.g > c.r + 40 && c.g > c.b + 40)
					green++;
			}
		return green;
	}
	static float QuestX(int i) { return kPanelX + (float)(i % UIProgress::kIconColumns * UIProgress::kIconSize); }
	static float QuestY(int i) { return kPanelY + kIconRows + (float)(i / UIProgress::kIconColumns * UIProgress::kIconSize); }

};

}

// A new game has done nothing: every quest and dragon shows the open mark.
// A done quest (its save flag) turns its own icon, and only that one, to
// "OK"; a dragon beaten shows its coin.
TEST_F(ProgressPanelTest, ANewGameShowsNoQuestDoneAndADoneQuestShowsOk)
{
	const struct {
		const char *name;
		int doneQuest; // -1: none
		int dragon;    // 1..8, 0: none
	} rows[] = {
		{"progress_new_game", -1, 0},
		{"progress_first_quest", 0, 0},
		{"progress_sixth_quest_third_dragon", 5, 3},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress::ResetGlobal();
		if (row.doneQuest >= 0) {
			const Mission *mission = Missions::Instance().GetMission((size_t)row.doneQuest);
			ASSERT_NE(nullptr, mission);
			GameProgress::SetFlagId(mission->save, 1);
		}
		if (row.dragon > 0)
			GameProgress::SetFlag(("dragon" + std::to_string(row.dragon)).c_str(), 1);
		const WindowPicture picture = Draw(row.name);
		for (int i = 0; i < 12; i++) {
			SCOPED_TRACE("quest " + std::to_string(i));
			const int green = GreenIn(picture, QuestX(i), QuestY(i));
			if (i == row.doneQuest)
				EXPECT_GT(green, 300); // most of the tile, around its letters
			else
				EXPECT_EQ(0, green);
		}
		for (int j = 0; j < 8; j++) {
			SCOPED_TRACE("dragon " + std::to_string(j + 1));
			const float x = QuestX(j), y = QuestY(j) + kDragonRows;
			EXPECT_EQ(0, GreenIn(picture, x, y));
			Rgb middle;
			ASSERT_TRUE(picture.Average((int)x + UIProgress::kIconSize / 2, (int)y + UIProgress::kIconSize / 2, middle));
			// The open mark is a frame with nothing inside; the coin fills it.
			EXPECT_EQ(j + 1 == row.dragon, middle.Sum() > 200) << middle.r << " " << middle.g << " " << middle.b;
		}
	}
}
