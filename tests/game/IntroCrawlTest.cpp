// The intro's crawl as the player sees it, tilted into the distance and flat
// in an orthographic look: drawn through the post pass, kept as a picture
// beside the test binary, and measured where each line lands on the screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/core/Input.h"
#include "engine/render/Textbox.h"
#include "game/ScreenIntro.h"
#include "game/TalvexGame.h"
#include "game/UIScrollingText.h"
#include "support/SaveFolder.h"
#include "support/ScreenTest.h"
#include "support/WindowPicture.h"

namespace {

constexpr float kFrame = 1.0f / 60.0f; // seconds

// Notes the stage asked for and builds none.
class QuietGame : public TalvexGame {
public:
	void ShowGameScene() override {}
};

class IntroCrawlTest : public ScreenTest {
protected:
	void TearDown() override
	{
		if (renderer != nullptr)
			renderer->SetPostModeIndex(0);
		ScreenTest::TearDown();
	}
	static void Run(ScreenIntro &intro, float seconds)
	{
		for (float t = 0.0f; t < seconds; t += kFrame) {
			intro.Update(kFrame);
			Input::Get()->EndFrame();
		}
	}
	// Draws the screen, keeps it as screens/<name>.png and returns the
	// matrix that took the scene's points to the window.
	glm::mat4 Shoot(ScreenIntro &intro, const char *name)
	{
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		const glm::mat4 matrix = renderer->GetMatrix(0);
		intro.Render();
		renderer->EndFrame();
		KeepWindow(name);
		return matrix;
	}
	// Where each line's middle lands in the window, from the top; lines
	// off the window or behind the eye are left out (y = -1).
	static std::vector<int> LineRows(const ScreenIntro &intro, const glm::mat4 &matrix, bool flat)
	{
		std::vector<int> rows;
		const UIScrollingText &crawl = intro.GetCrawl();
		for (size_t i = 0; i < crawl.LineCount(); i++) {
			const Vec3 at = crawl.GetLine(i).transform.position;
			int x = 0, y = -1;
			if (flat)
				y = (int)at.y;
			else if (!WindowPicture::ToPixel(matrix, at, x, y))
				y = -1;
			rows.push_back(y >= 0 && y < WindowPicture::kHeight ? y : -1);
		}
		return rows;
	}

	QuietGame game;
};

}

// A crawl reads top down whichever way it is shown: of two lines on the
// screen the earlier one stands higher, and as the crawl goes on every line
// climbs (into the distance when tilted).
TEST_F(IntroCrawlTest, BothCrawlsReadTopDownAndClimb)
{
	const struct {
		const char *name;
		bool flat;
	} rows[] = {{"intro_crawl_tilted", false}, {"intro_crawl_flat", true}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		renderer->SetPostModeIndex(row.flat ? 1 : 0);
		ASSERT_EQ(row.flat, renderer->IsCurrentPostModeOrtho());
		ScreenIntro intro;
		Scene &scene = intro;
		scene.state = kSceneActive;
		scene.Start();
		ASSERT_GT(intro.GetCrawl().LineCount(), 6u);
		Run(intro, ScreenIntro::kPretextSeconds + 0.1f);
		ASSERT_EQ(ScreenIntro::kCrawl, intro.GetState());
		Run(intro, 24.0f);
		ASSERT_EQ(ScreenIntro::kCrawl, intro.GetState());
		const std::vector<int> before = LineRows(intro, Shoot(intro, row.name), row.flat);
		int shown = 0;
		int last = -1;
		for (size_t i = 0; i < before.size(); i++) {
			if (before[i] < 0)
				continue;
			SCOPED_TRACE("line " + std::to_string(i) + ": " + intro.GetCrawl().GetLine(i).GetText());
			EXPECT_GT(before[i], last) << "an earlier line stands below it";
			last = before[i];
			shown++;
		}
		EXPECT_GE(shown, 3) << "lines on the screen";

		Run(intro, 2.0f);
		const std::vector<int> after = LineRows(intro, Shoot(intro, row.name), row.flat);
		int climbed = 0;
		for (size_t i = 0; i < before.size(); i++)
			if (before[i] >= 0 && after[i] >= 0) {
				EXPECT_LT(after[i], before[i]) << "line " << i;
				climbed++;
			}
		EXPECT_GE(climbed, 2);
	}
}
