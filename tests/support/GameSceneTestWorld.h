#pragma once
// A running in-game scene for tests: the real TalvexGameScene, its tile map,
// player and collision checker, with the maps handed over from memory (or
// read from the data tree), saves and settings kept in a temporary folder, a
// game of the test's own that writes down the screens it is asked for, and
// controls the test presses. Frames run at a fixed 1/60 s.
#include "engine/core/ActiveSequence.h"
#include "engine/core/Input.h"
#include "engine/core/NameHash.h"
#include "engine/render/Renderer.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "game/TalvexGameScene.h"
#include "map/MapCommand.h"
#include "map/TMXLoader.h"
#include "map/TileCode.h"
#include "map/TileMap.h"
#include "support/SharedRenderer.h"
#include "support/SaveFolder.h"

#include <SDL.h>

#include "support/KeyEvent.h"
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A game that notes the screens asked of it instead of building them.
class SceneTestGame : public TalvexGame {
public:
	void ShowWinAlt(const char *text, int ending) override
	{
		screens.push_back("winalt " + std::to_string(ending) + ": " + (text != nullptr ? text : ""));
	}
	void ShowDied() override { screens.push_back("died"); }
	void SetPlayScene() override { screens.push_back("play"); }

	std::vector<std::string> screens;
};

// Maps made in memory by base name ("home" answers "maps/home.tmx"); a name
// it does not know cannot be loaded. With readFiles, unknown names are read
// from the data tree instead.
class MapBook : public MapLoader {
public:
	bool CanLoad(const char *path) override
	{
		if (maps.count(BaseName(path)) != 0)
			return true;
		if (readFiles)
			return files.CanLoad(path);
		Log("No such test map: %s\n", path);
		return false;
	}
	bool Load(const char *path, TileMapData &data, uint16_t flags) override
	{
		auto found = maps.find(BaseName(path));
		if (found == maps.end())
			return readFiles && files.Load(path, data, flags);
		found->second(data);
		data.SetMapName(BaseName(path).c_str());
		return true;
	}
	// A flat map of level 1, w by h tiles, no border.
	void AddFlat(const std::string &name, uint8_t w, uint8_t h, std::function<void(TileMapData &)> extra = nullptr)
	{
		maps[name] = [w, h, extra](TileMapData &data) {
			data.width = w;
			data.height = h;
			data.border = 0;
			MapTile flat;
			flat.kind = kTileFlat;
			flat.level = flat.secondLevel = 1;
			data.tiles.assign((size_t)w * h, flat);
			if (extra)
				extra(data);
		};
	}
	static std::string BaseName(const char *path)
	{
		std::string text = path != nullptr ? path : "";
		size_t slash = text.find_last_of('/');
		if (slash != std::string::npos)
			text = text.substr(slash + 1);
		size_t dot = text.rfind('.');
		return dot == std::string::npos ? text : text.substr(0, dot);
	}
	// An object of the map: a link (kind 1) named after the map it leads to.
	static MapObjectDef &AddObject(TileMapData &data, uint32_t kind, const char *name, int x, int y, int w, int h)
	{
		MapObjectDef object;
		object.kind = kind;
		object.id = (uint16_t)(data.objects.size() + 1);
		object.x = (uint16_t)x;
		object.y = (uint16_t)y;
		object.w = (uint16_t)w;
		object.h = (uint16_t)h;
		object.name = MapName(name);
		object.key = HashName(name);
		data.objects.push_back(object);
		return data.objects.back();
	}
	// An entity placement of the kind on tile (x, y); its script lines follow
	// with AddLine.
	static MapObjectDef &AddEntity(TileMapData &data, uint32_t kind, int x, int y, uint16_t id, const char *name = nullptr)
	{
		MapObjectDef record;
		record.kind = kObjectEntity;
		record.type = (uint8_t)(kind - kEntityKindFromTypeOffset);
		record.x = (uint16_t)x;
		record.y = (uint16_t)y;
		record.id = id;
		if (name != nullptr) {
			record.name = MapName(name);
			record.key = HashName(name);
		}
		record.firstCommand = (uint16_t)data.commands.size();
		data.entityRecords.push_back(record);
		return data.entityRecords.back();
	}
	// A script line of the object added last.
	static void AddLine(TileMapData &data, MapObjectDef &object, uint32_t code, uint16_t value)
	{
		if (object.commandCount == 0)
			object.firstCommand = (uint16_t)data.commands.size();
		MapCommand command;
		command.code = code;
		command.value = value;
		data.commands.push_back(command);
		object.commandCount++;
	}

	std::map<std::string, std::function<void(TileMapData &)>> maps;
	bool readFiles = false;
	TMXLoader files;
};

class GameSceneTestWorld {
public:
	static constexpr float kFrame = 1.0f / 60.0f;

	// False (with the reason) when no renderer can be had: the scene fades
	// and skips pictures through it.
	bool Prepare(std::string &whyNot)
	{
		renderer = SharedStartedRenderer(whyNot);
		if (renderer == nullptr)
			return false;
		SDL_GL_MakeCurrent(renderer->GetWindow(), renderer->GetContext());
		folder.Use();
		return true;
	}
	~GameSceneTestWorld()
	{
		scene.reset();
		EndActiveSequence();
		SaveFolder::Release();
		if (renderer != nullptr)
			renderer->SetFade(0.0f, 0.0f);
	}

	// Builds the scene and starts it, as the game's scene switch would.
	TalvexGameScene &Begin()
	{
		scene = std::make_unique<TalvexGameScene>();
		scene->GetMap().SetMapLoader(&book);
		scene->SetInput(&input);
		scene->state = kSceneActive;
		scene->Start();
		return *scene;
	}
	void Frame()
	{
		scene->Update(kFrame);
		game.Update(kFrame);
		input.EndFrame();
	}
	void Frames(int count)
	{
		for (int i = 0; i < count; i++)
			Frame();
	}
	// Runs frames until the map has loaded; false when it takes too long.
	bool UntilLoaded(int maxFrames = 60)
	{
		for (int i = 0; i < maxFrames; i++) {
			if (!scene->IsMapLoading())
				return true;
			Frame();
		}
		return !scene->IsMapLoading();
	}
	// Runs frames until the loaded map is the named one.
	bool UntilOn(const char *name, int maxFrames = 600)
	{
		for (int i = 0; i < maxFrames; i++) {
			if (!scene->IsMapLoading() && std::string(scene->GetLoadedAs()) == name)
				return true;
			Frame();
		}
		return false;
	}
	// Starts a fresh game on its first map and lets the title go by.
	bool BeginPlay()
	{
		game.StartPlay();
		Begin();
		if (!UntilLoaded())
			return false;
		Frames(120);
		CloseMessages();
		return true;
	}
	void CloseMessages()
	{
		for (int i = 0; i < 20 && scene->GetHud().IsMessageVisible(); i++)
			Tap(SDL_SCANCODE_SPACE, 10);
	}
	// Runs frames until done (at most maxFrames frames).
	bool FramesUntil(const std::function<bool()> &done, int maxFrames)
	{
		for (int i = 0; i < maxFrames && !done(); i++)
			Frame();
		return done();
	}
	void Tap(SDL_Scancode key, int framesAfter = 1)
	{
		Press(key);
		Frame();
		Release(key);
		Frames(framesAfter);
	}
	// Holds the key down until done (at most maxFrames frames).
	bool HoldUntil(SDL_Scancode key, const std::function<bool()> &done, int maxFrames = 600)
	{
		for (int i = 0; i < maxFrames && !done(); i++) {
			Press(key);
			Frame();
		}
		Release(key);
		return done();
	}
	void Press(SDL_Scancode key) { input.HandleEvent(KeyEvent(true, key)); }
	void Release(SDL_Scancode key) { input.HandleEvent(KeyEvent(false, key)); }
	Vec3 TileCentre(int x, int y) { return scene->GetMap().TilePosition((int16_t)x, (int16_t)y, 0.5f, 0.5f); }
	PlayerTile Tile() { return scene->GetPlayer().CurrentTile(); }

	SaveFolder folder;
	Renderer *renderer = nullptr;
	SceneTestGame game;
	MapBook book;
	Input input;
	std::unique_ptr<TalvexGameScene> scene;
};
