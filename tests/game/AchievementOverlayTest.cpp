#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/core/EntityContainer.h"
#include "engine/core/Input.h"
#include "engine/core/NameHash.h"
#include "game/AchievementDef.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/GameUI.h"
#include "game/ScreenOverlay.h"
#include "game/TalvexGame.h"
#include "game/UIAchievements.h"
#include "support/KeyEvent.h"
#include "support/TempFolder.h"

namespace {

constexpr float kFrame = 1.0f / 60.0f;

class PlayGame : public TalvexGame {
public:
	void SetInGame(bool on) { inGame = on ? 1 : 0; }
};

AchievementDef Def(const char *id, const char *name, uint32_t type)
{
	AchievementDef def;
	snprintf(def.idText, sizeof(def.idText), "%s", id);
	snprintf(def.name, sizeof(def.name), "%s", name);
	def.type = type;
	def.id = HashName(id);
	return def;
}

// Definitions of the test's own and "achievements.dat" in its folder.
class AchievementListTest : public testing::Test {
protected:
	void SetUp() override
	{
		Achievements::SetStateFolder(folder.Folder().c_str());
		GameProgress::ResetGlobal();
	}
	void TearDown() override
	{
		GameProgress::ResetGlobal();
		Achievements::Instance().LoadDefinitions(Achievements::kDefinitionsFile);
	}
	// count definitions of the given type; the first `earned` are unlocked.
	void Define(size_t count, const char *type, size_t earned)
	{
		std::string xml = "<achievements>";
		for (size_t i = 0; i < count; i++)
			xml += "<achievement id=\"q" + std::to_string(i * 7919) + "\" type=\"" + type + "\" name=\"Name " +
				std::to_string(i) + "\" description=\"Real text " + std::to_string(i) + "\"/>";
		xml += "</achievements>";
		const std::string path = folder.Path("defs.xml");
		TempFolder::WriteBytes(path, std::vector<uint8_t>(xml.begin(), xml.end()));
		Achievements &achievements = Achievements::Instance();
		ASSERT_TRUE(achievements.LoadDefinitions(path.c_str()));
		achievements.Reset();
		for (size_t i = 0; i < earned; i++)
			achievements.Unlock(achievements.At(i)->id);
	}
	void Press(SDL_Scancode key)
	{
		input.HandleEvent(KeyEvent(true, key));
	}
	void Release(SDL_Scancode key)
	{
		input.EndFrame();
		input.HandleEvent(KeyEvent(false, key));
		input.EndFrame();
	}

	TempFolder folder;
	Input input;
};

}

// Two achievements in one frame: only the second shows, for 5 s. Off play
// the pop-up runs down whatever the HUD shows.
TEST(Overlay, PopUpShowsTheLatestForFiveSeconds)
{
	ScreenOverlay overlay;
	overlay.state = kSceneActive;
	overlay.Start();
	EXPECT_EQ(&overlay, ScreenOverlay::Instance());
	EXPECT_EQ(&overlay, Achievements::GetHandler());
	overlay.Update(kFrame);
	EXPECT_FALSE(overlay.GetText().IsVisible()) << "nothing right after it starts";

	overlay.OnAchievement(Def("news", "Well Informed", AchievementDef::kTypeStory));
	overlay.OnAchievement(Def("complete", "The Long Road", AchievementDef::kTypeEnding));
	EXPECT_STREQ("Ending: \"The Long Road\"", overlay.GetText().GetText());
	EXPECT_TRUE(overlay.IsPopupShowing());
	GameUI hud;
	hud.ShowMessage("A message, but not in play", 3.0f, GameUI::kKindMessage);
	for (int i = 0; i < 299; i++)
		overlay.Update(kFrame);
	EXPECT_TRUE(overlay.GetText().IsVisible());
	overlay.Update(kFrame);
	overlay.Update(kFrame);
	EXPECT_FALSE(overlay.GetText().IsVisible());
	EXPECT_FALSE(overlay.IsPopupShowing());
}

// In play a HUD message holds the pop-up back, hidden and frozen; it shows
// its full five seconds once the message has closed.
TEST(Overlay, WaitsForAMessageInPlay)
{
	PlayGame game;
	game.SetInGame(true);
	ScreenOverlay overlay;
	overlay.state = kSceneActive;
	overlay.Start();
	GameUI hud;
	hud.ShowMessage("You got a DragonCoin!", 3.0f, GameUI::kKindNotice);
	overlay.OnAchievement(Def("donks", "Coin Collector", AchievementDef::kTypeSecret));
	EXPECT_STREQ("Victory: \"Coin Collector\"", overlay.GetText().GetText());
	for (int i = 0; i < 600; i++)
		overlay.Update(kFrame);
	EXPECT_FALSE(overlay.GetText().IsVisible());
	EXPECT_FLOAT_EQ(5.0f, overlay.GetTimer());
	hud.CloseMessage();
	overlay.Update(kFrame);
	EXPECT_TRUE(overlay.GetText().IsVisible());
	EXPECT_TRUE(overlay.GetIcon().IsVisible());
	for (int i = 0; i < 298; i++)
		overlay.Update(kFrame);
	EXPECT_TRUE(overlay.IsPopupShowing()) << "the whole five seconds";
}

// A destroyed overlay is neither the achievements' handler nor current; an
// unlock after it went reaches nobody.
TEST(Overlay, AGoneOverlayIsForgotten)
{
	auto overlay = std::make_unique<ScreenOverlay>();
	overlay->Start();
	ASSERT_EQ(overlay.get(), Achievements::GetHandler());
	overlay.reset();
	EXPECT_EQ(nullptr, Achievements::GetHandler());
	EXPECT_EQ(nullptr, ScreenOverlay::Instance());
}

TEST_F(AchievementListTest, RowsShowEarnedAndLockedAchievements)
{
	const struct {
		const char *type;
		const char *lockedText;
	} rows[] = {
		{"story", "(Story Quest)"}, {"secret", "(Mystery Quest)"}, {"ending", "(Secret Ending)"}, {"", "Real text 1"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.type);
		Define(2, row.type, 1);
		UIAchievements list;
		list.Build();
		ASSERT_EQ(2u, list.GetRowCount());
		EXPECT_STREQ("Conquered 1 of 2", list.GetSubtitle().GetText());
		EXPECT_STREQ("Real text 0", list.GetRow(0).description.GetText());
		EXPECT_EQ(glm::vec3(1.0f), list.GetRow(0).name.GetColor());
		EXPECT_STREQ(row.lockedText, list.GetRow(1).description.GetText());
		EXPECT_EQ(glm::vec3(0.4f), list.GetRow(1).description.GetColor()) << "dimmed";
		EXPECT_EQ(glm::vec3(0.2f), list.GetRow(1).icon.GetColor());
	}
	Define(0, "story", 0);
	UIAchievements empty;
	empty.Build();
	EXPECT_EQ(0u, empty.GetRowCount());
	EXPECT_STREQ("Conquered 0 of 0", empty.GetSubtitle().GetText());

	Define(300, "story", 280);
	UIAchievements many;
	many.Build();
	EXPECT_EQ(300u, many.GetRowCount()) << "a row per definition";
	EXPECT_STREQ("Conquered 280 of 300", many.GetSubtitle().GetText());
}

// Six rows do not scroll; ten scroll down to -160 and back up to 0.
TEST_F(AchievementListTest, ScrollsWithinItsRows)
{
	const struct {
		size_t rows;
		float lowest;
	} cases[] = {{0, 0.0f}, {6, 0.0f}, {7, -40.0f}, {10, -160.0f}};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.rows);
		Define(c.rows, "story", 0);
		UIAchievements list;
		list.SetInput(&input);
		list.Build();
		EXPECT_FLOAT_EQ(c.lowest, list.LowestScroll());
		Press(SDL_SCANCODE_DOWN);
		for (int i = 0; i < 120; i++)
			list.Update(kFrame);
		EXPECT_FLOAT_EQ(c.lowest, list.GetScroll());
		Release(SDL_SCANCODE_DOWN);
		Press(SDL_SCANCODE_UP);
		for (int i = 0; i < 120; i++)
			list.Update(kFrame);
		EXPECT_FLOAT_EQ(0.0f, list.GetScroll());
		Release(SDL_SCANCODE_UP);
	}
}

// The key that opened the list cannot close it in its first half second.
TEST_F(AchievementListTest, ClosesOnlyAfterHalfASecond)
{
	Define(3, "story", 0);
	EntityContainer holder;
	auto *list = new UIAchievements();
	list->SetInput(&input);
	holder.AddEntity(list);
	list->Build();
	Press(SDL_SCANCODE_RETURN);
	list->Update(0.4f);
	EXPECT_EQ(&holder, list->container);
	input.EndFrame();
	input.HandleEvent(KeyEvent(false, SDL_SCANCODE_RETURN));
	input.EndFrame();
	list->Update(0.2f);
	Press(SDL_SCANCODE_ESCAPE);
	list->Update(kFrame);
	EXPECT_EQ(nullptr, list->container) << "closed by the back key";
	delete list;
}
