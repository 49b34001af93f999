#pragma once
// A small world for tests of the hero: a flat grid map loaded through every
// phase from memory, a scene that holds the map and the player, controls the
// test presses, and a recording link standing in for the game above (HUD,
// save slot, death screen). Frames run at a fixed 1/20 s.
#include "engine/core/ActiveSequence.h"
#include "engine/core/Input.h"
#include "engine/core/Scene.h"
#include "map/TMXLoader.h"
#include "map/TileCode.h"
#include "map/EntityFactory.h"
#include "map/TileMap.h"
#include "objects/GameLink.h"
#include "objects/ObjectScriptWorld.h"
#include "objects/Player.h"
#include "support/GridMap.h"

#include <SDL.h>

#include "support/KeyEvent.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

// What the game would have been asked, in order, plus a HUD message box.
class RecordingLink : public GameLink {
public:
	void ShowDied() override { calls.push_back("ShowDied"); }
	uint32_t PlayTimeMs() override { return playTimeMs; }
	bool IsMode(int mode) override { return mode == 0; }
	bool Flag(const char *name) override { return flags.count(name) != 0; }
	bool LoadCurrentSlot() override
	{
		calls.push_back("LoadCurrentSlot");
		return slotReadable;
	}
	bool SaveCurrentSlot() override
	{
		calls.push_back("SaveCurrentSlot");
		return true;
	}
	void AddDeath() override { calls.push_back("AddDeath"); }
	void SetPlaySeconds(uint32_t seconds) override { calls.push_back("SetPlaySeconds " + std::to_string(seconds)); }
	void SetPreviousMapIdAndSave(uint16_t id) override { calls.push_back("SetPreviousMapIdAndSave " + std::to_string(id)); }

	bool HasHud() override { return true; }
	void ShowMessage(const char *text, float, uint8_t) override
	{
		messageVisible = true;
		shown.push_back(std::string("message:") + text);
	}
	void ShowPrompt(const char *label) override { shown.push_back(std::string("prompt:") + label); }
	void ShowChoice(const char *first, const char *second) override
	{
		shown.push_back(std::string("choice:") + first + "/" + second);
	}
	void CloseMessage() override
	{
		if (messageVisible)
			shown.push_back("close");
		messageVisible = false;
	}
	bool IsMessageVisible() override { return messageVisible; }
	uint32_t GetMessageState() override { return messageState; }
	void SetMessageState(uint32_t state) override { messageState = state; }

	std::vector<std::string> calls;
	std::vector<std::string> shown;
	std::set<std::string> flags;
	uint32_t playTimeMs = 0;
	uint32_t messageState = 0;
	bool slotReadable = true;
	bool messageVisible = false;
};

// The player with its own sounds written down instead of played.
class ListeningPlayer : public Player {
public:
	std::vector<std::string> sounds;

protected:
	void PlayEffect(const char *fileName, float, uint16_t) override { sounds.push_back(fileName != nullptr ? fileName : "(null)"); }
};

// One flat map of level 1 (a few tiles may differ), the player on it.
class PlayerTestWorld {
public:
	static constexpr float kFrame = 0.05f; // seconds; exact in binary
	static constexpr uint8_t kWidth = 12;
	static constexpr uint8_t kHeight = 10;

	explicit PlayerTestWorld(std::function<void(TileMapData &)> extra = nullptr)
	{
		GameLink::Install(&link);
		loader.width = kWidth;
		loader.height = kHeight;
		MapTile flat;
		flat.kind = kTileFlat;
		flat.level = flat.secondLevel = 1;
		loader.tiles.assign(static_cast<size_t>(kWidth * kHeight), flat);
		loader.extra = std::move(extra);
		map.SetMapLoader(&loader);
		map.SetEntityFactory(&factory);
		map.SetScriptWorld(&objects);
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		map.Load("test.tmx", TileMapLoadState::kNoScripts, nullptr);
		while (map.Step()) {
		}
		map.GetMapData().SetMapName("test");
		player.SetInput(&input);
		player.LinkToMap(&map, nullptr);
		scene.AddEntity(&player);
		Frame(); // Start
	}
	~PlayerTestWorld()
	{
		EndActiveSequence();
		GameLink::Install(nullptr);
	}

	Vec3 TileCentre(int x, int y) const { return map.TilePosition(static_cast<int16_t>(x), static_cast<int16_t>(y), 0.5f, 0.5f); }
	void Frame()
	{
		scene.Update(kFrame);
		input.EndFrame();
	}
	void Frames(int count)
	{
		for (int i = 0; i < count; i++)
			Frame();
	}
	// The key goes down before the next frame (and stays down until Release).
	void Press(SDL_Scancode key) { input.HandleEvent(KeyEvent(true, key)); }
	void Release(SDL_Scancode key) { input.HandleEvent(KeyEvent(false, key)); }


	RecordingLink link;
	Scene scene; // outlives the entities it lists
	GridLoader loader;
	NoEntities factory;
	ObjectScriptWorld objects; // what the map's scripts act on
	TileMap map;
	Input input;
	ListeningPlayer player;
};
