// A map's yes-or-no question answered through the real player and HUD of a
// running in-game scene: Space says "Yes" and runs the answer, Shift says
// "No" and ends the script.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/core/ActiveSequence.h"
#include "map/MapCommand.h"
#include "map/MapSequence.h"
#include "map/MapStr.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"

namespace {

constexpr uint16_t kQuestionId = 200;
constexpr uint16_t kAnswerId = 201; // a prompt names its answer in one byte

class HudPrompt : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		world.book.readFiles = true; // the game's own first map
	}

	bool FramesUntil(const std::function<bool()> &done, int maxFrames = 900) { return world.FramesUntil(done, maxFrames); }
	void Tap(SDL_Scancode key) { world.Tap(key); }
	// The map's opening title and message out of the way.
	void Settle(TalvexGameScene &scene)
	{
		ASSERT_TRUE(world.UntilLoaded());
		ASSERT_TRUE(FramesUntil([&] { return !scene.GetHud().IsTimerActive(); }));
		FramesUntil([&] { return scene.GetHud().IsMessageVisible(); }, 60);
		for (int press = 0; press < 30 && scene.GetHud().IsMessageVisible(); press++) {
			Tap(SDL_SCANCODE_SPACE);
			world.Frames(20);
		}
		ASSERT_FALSE(scene.GetHud().IsMessageVisible());
	}
	// A question whose "Yes" runs an object that saves the flag "said_yes".
	void Ask(TileMap &map)
	{
		TileMapData &data = map.GetMapData();
		data.messages.push_back(MapMessage("Shall we open the gate?"));
		data.strings.push_back(MapName("said_yes"));
		MapCommand prompt;
		prompt.code = kCmdPrompt;
		prompt.value = (uint16_t)(data.messages.size() - 1);
		prompt.argument = 0;
		MapCommand save;
		save.code = kCmdSave;
		save.value = (uint16_t)(data.strings.size() - 1);
		for (uint16_t id : {kQuestionId, kAnswerId}) {
			MapObjectDef object;
			object.kind = kObjectArea;
			object.id = id;
			object.firstCommand = (uint16_t)data.commands.size();
			object.commandCount = 1;
			data.commands.push_back(id == kQuestionId ? prompt : save);
			data.objects.push_back(object);
		}
		data.commands[data.objects[data.objects.size() - 2].firstCommand].argument = (uint8_t)kAnswerId;
		SetActiveSequence(new MapSequence(&map, map.FindById(kQuestionId)));
	}

	GameSceneTestWorld world;
};

}

TEST_F(HudPrompt, SpaceSaysYesAndShiftSaysNo)
{
	const struct {
		const char *name;
		SDL_Scancode key;
		bool yes;
	} rows[] = {{"Space", SDL_SCANCODE_SPACE, true}, {"Shift", SDL_SCANCODE_LSHIFT, false}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress::ResetGlobal();
		TalvexGameScene &scene = world.Begin();
		Settle(scene);
		GameUI &hud = scene.GetHud();
		Ask(scene.GetMap());
		ASSERT_TRUE(FramesUntil([&] { return hud.IsChoiceShown(); }));
		EXPECT_EQ(GameUI::kMessageQuestion, hud.GetMessageState());
		EXPECT_EQ("Shall we open the gate?", hud.GetMessageText());
		EXPECT_EQ("Yes", hud.GetPromptLabel());
		EXPECT_EQ("No", hud.GetSecondPromptLabel());
		Tap(row.key);
		world.Frames(5);
		EXPECT_EQ(row.yes ? GameUI::kMessageAnsweredYes : GameUI::kMessageAnsweredNo, hud.GetMessageState());
		EXPECT_FALSE(hud.IsMessageVisible());
		EXPECT_EQ(row.yes, GameProgress::Flag("said_yes"));
	}
}
