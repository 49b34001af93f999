// Map scripts running inside the game: what their lines reach through the
// game's own link and the in-game scene.
#include "engine/core/ActiveSequence.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "game/TalvexGameScene.h"
#include "map/MapCommand.h"
#include "map/MapSequence.h"
#include "map/TileMap.h"
#include "support/MissingDevice.h"
#include "support/RecordingScriptWorld.h"
#include "support/SaveFolder.h"
#include "support/SharedRenderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr uint16_t kStartId = 1;

// A map whose one object runs the given line.
class OneLineMap {
public:
	explicit OneLineMap(uint32_t code)
	{
		TileMapData &data = map.GetMapData();
		MapCommand line;
		line.code = code;
		data.commands.push_back(line);
		MapObjectDef object;
		object.id = kStartId;
		object.commandCount = 1;
		data.objects.push_back(object);
	}
	MapSequence *Run()
	{
		auto *sequence = new MapSequence(&map, map.FindById(kStartId));
		SetActiveSequence(sequence);
		return sequence;
	}

	TileMap map;
};

} // namespace

// The "render" line steps the graphics mode of the settings to the next
// post-processing mode, round to the first after the last, and stores it.
TEST(ScriptsInGame, RenderLineStepsThroughThePostModes)
{
	std::string whyNot;
	Renderer *renderer = SharedStartedRenderer(whyNot);
	if (renderer == nullptr)
		SKIP_FOR_MISSING_DEVICE() << whyNot;
	SaveFolder folder;
	folder.Use();
	TalvexGame::Current(); // the game installs its own link when first built
	const uint16_t modes = renderer->GetPostModeCount();
	ASSERT_GE(modes, 2);
	uint8_t values[kSettingsSize];
	memcpy(values, Settings::Instance().Get(), sizeof(values));
	values[kSettingGraphicsMode] = (uint8_t)(modes - 2);
	Settings::Instance().Set(values);
	std::filesystem::remove(folder.Path("settings.dat"));

	const uint8_t expected[] = {(uint8_t)(modes - 1), 0, 1};
	for (uint8_t mode : expected) {
		SCOPED_TRACE("to mode " + std::to_string(mode));
		OneLineMap script(kCmdRender);
		script.Run();
		EXPECT_EQ(Settings::Instance().Get()[kSettingGraphicsMode], mode);
		EXPECT_TRUE(std::filesystem::exists(folder.Path("settings.dat")));
		EndActiveSequence();
	}
	SaveFolder::Release();
}

// Resuming closes a panel that a script put over the in-game scene; any other
// scene has no such panel, and what it lists stays.
TEST(ScriptsInGame, ResumingClosesTheOverlayOfTheInGameSceneOnly)
{
	for (bool inGame : {true, false}) {
		SCOPED_TRACE(inGame ? "in-game scene" : "another scene");
		std::unique_ptr<Scene> scene = inGame ? std::make_unique<TalvexGameScene>() : std::make_unique<Scene>();
		scene->state = kSceneActive;
		TileMap map;
		RecordingScriptWorld world;
		map.SetScriptWorld(&world);
		Entity player;
		player.faction = 1;
		player.transform.SetPosition(Vec3(2.0f, 0.0f, 0.0f));
		world.player = &player;
		Entity panel;
		scene->AddEntity(&map);
		scene->AddEntity(&player);
		scene->Update(1.0f / 60.0f); // the player is up before any panel stops the world
		scene->SetOverlayUI(&panel);
		if (!inGame)
			scene->AddEntity(&panel);
		scene->Update(1.0f / 60.0f);
		// The in-game scene shows the panel on its overlay stack; any other
		// scene lists it as one of its entities.
		auto panelShown = [&] {
			if (inGame)
				return static_cast<TalvexGameScene &>(*scene).GetOverlayUI() == &panel;
			return scene->HasEntity(&panel);
		};
		ASSERT_TRUE(panelShown());

		MapObjectDef object;
		object.id = kStartId;
		MapSequence sequence(&map, &object);
		ASSERT_EQ(sequence.FindPlayer(), &player);
		sequence.Resume();
		EXPECT_EQ(panelShown(), !inGame);
	}
}
