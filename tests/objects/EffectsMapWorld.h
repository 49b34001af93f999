#pragma once
// A headless world for the props and effects in play: a small TMX map
// written by the test and read by the real loader, a tile map in an active
// scene with the real entity factory, the collision checker run after every
// scene update, and the hero on it driven by keys the test presses. The map
// has lanes for the pushables (a crate in front of water, of a sunk block,
// of a standing block and of a floor switch, and one on open ground) and a
// terrace with a ramp down for a boulder; a test may add objects of its own
// to it. Frames run at a fixed 1/60 s. The effect pools are freed at the end
// of each test, as the game frees them at exit.
#include "engine/collision/Collider.h"
#include "engine/collision/CollisionChecker.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Input.h"
#include "engine/core/Scene.h"
#include "map/TMXLoader.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/ActorRegistry.h"
#include "objects/FXEntity.h"
#include "objects/FXPool.h"
#include "objects/FXSpawner.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/Player.h"
#include "objects/SpawnFX.h"
#include "support/KeyEvent.h"
#include "support/SharedRenderer.h"
#include "support/TempFolder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace effectsmap {

constexpr float kFrame = 1.0f / 60.0f;
constexpr int kMapWidth = 20;
constexpr int kMapHeight = 12;

// Tiles of the lanes (x, y). The hero pushes north in each crate lane.
struct Tile {
	int x, y;
};
constexpr Tile kOpenCrate{2, 6};
constexpr Tile kWaterCrate{5, 5};
constexpr Tile kWater{5, 4};
constexpr Tile kSunkCrate{8, 6};
constexpr Tile kSunkBlock{8, 5};
constexpr Tile kStandingCrate{11, 6};
constexpr Tile kStandingBlock{11, 5};
constexpr Tile kSwitchCrate{14, 6};
constexpr Tile kSwitch{14, 5};
constexpr Tile kBoulder{17, 1}; // on the terrace; the ramp is row 3, a wall row 10
constexpr int kRampRow = 3;
constexpr Tile kDiagonal{5, 9}; // high half south-east, level 2 over level 1
constexpr int kWallRow = 10;
constexpr uint16_t kSwitchId = 40;
constexpr uint16_t kQuietGroup = 77; // no switch sets it: lowering blocks stand, raising ones lie sunk

// The game as the props see it: a HUD that may be busy, the difficulty.
class EffectsLink : public GameLink {
public:
	int Difficulty() override { return difficulty; }
	bool HasHud() override { return true; }
	bool IsBusy() override { return busy; }
	bool IsMessageVisible() override { return false; }

	int difficulty = 1;
	bool busy = false;
};

// A foe for blows to land on: any actor of the hostile side.
class TargetActor : public Actor {
public:
	using Actor::Actor;
};

// Reads the one TMX file it was given, whatever path the map asks for.
class FileMapLoader : public MapLoader {
public:
	bool CanLoad(const char *) override { return reader.CanLoad(file.c_str()); }
	bool Load(const char *, TileMapData &data, uint16_t flags) override { return reader.Load(file.c_str(), data, flags); }

	std::string file;
	TMXLoader reader;
};

class EffectsOnMap : public SharedRendererTest {
protected:
	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		GameLink::Install(&link);
		Camera::SetCurrent(&camera);
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		map.SetMapLoader(&loader);
		map.SetEntityFactory(&factory);
		player.SetInput(&input);
	}
	void TearDown() override
	{
		for (int i = 0; i < 4; i++)
			input.EndFrame();
		FXSpawner::DeactivateAll();
		ActorRegistry::Clear();
		GameLink::Install(nullptr);
		SharedRendererTest::TearDown();
	}
	~EffectsOnMap() override
	{
		// The pools go while the map and scene that list their effects still
		// exist, and before the GL context is handed to the next test.
		FXSpawner::ReleaseAll();
	}

	// The lanes' ground as CSV rows of terrain ids.
	static std::string Ground()
	{
		std::string csv;
		for (int y = 0; y < kMapHeight; y++) {
			for (int x = 0; x < kMapWidth; x++) {
				int id = 2; // level 1
				if (x == kWater.x && y == kWater.y)
					id = 7; // water
				else if (x == kDiagonal.x && y == kDiagonal.y)
					id = 10;
				else if (x >= 16 && y < kRampRow)
					id = 3; // the boulder's terrace, level 2
				else if (x >= 16 && y == kRampRow)
					id = 32; // a ramp from level 2 in the north down to level 1
				else if (x >= 16 && y == kWallRow)
					id = 4; // a wall of level 3
				csv += std::to_string(id);
				if (x + 1 < kMapWidth || y + 1 < kMapHeight)
					csv += ",";
			}
			csv += "\n";
		}
		return csv;
	}
	// A tile object of an entity kind on a tile, with optional properties.
	static std::string Object(int id, uint32_t kind, Tile tile, const std::string &properties = "")
	{
		const uint32_t gid = 65 + (kind - 2);
		std::string text = "  <object id=\"" + std::to_string(id) + "\" gid=\"" + std::to_string(gid) + "\" x=\"" +
			std::to_string(tile.x * 16) + "\" y=\"" + std::to_string((tile.y + 1) * 16) +
			"\" width=\"16\" height=\"16\"";
		if (properties.empty())
			return text + "/>\n";
		return text + ">\n   <properties>\n" + properties + "   </properties>\n  </object>\n";
	}
	static std::string Property(const char *name, const std::string &value, bool number)
	{
		return std::string("    <property name=\"") + name + "\"" + (number ? " type=\"int\"" : "") + " value=\"" +
			value + "\"/>\n";
	}

	// Writes the map with the lanes' objects and the extra ones, loads it
	// through every phase and runs the frame that starts its entities.
	void LoadMap(const std::string &extraObjects = "", const char *environment = "grassland")
	{
		const std::string group = std::to_string(kQuietGroup);
		std::string objects;
		objects += Object(1, 2, kOpenCrate);
		objects += Object(2, 2, kWaterCrate);
		objects += Object(3, 2, kSunkCrate);
		objects += Object(4, 6, kSunkBlock, Property("flag", group, true));
		objects += Object(5, 2, kStandingCrate);
		objects += Object(6, 5, kStandingBlock, Property("flag", group, true));
		objects += Object(7, 2, kSwitchCrate);
		objects += Object(kSwitchId, 4, kSwitch);
		objects += Object(8, 8, kBoulder);
		const std::string text = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
			"<map version=\"1.10\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\"" +
			std::to_string(kMapWidth) + "\" height=\"" + std::to_string(kMapHeight) +
			"\" tilewidth=\"16\" tileheight=\"16\" infinite=\"0\">\n <properties>\n" +
			"  <property name=\"border\" type=\"int\" value=\"0\"/>\n  <property name=\"env\" value=\"" + environment +
			"\"/>\n </properties>\n <tileset firstgid=\"1\" source=\"terrain.tsx\"/>\n" +
			" <tileset firstgid=\"65\" source=\"entities.tsx\"/>\n <layer id=\"1\" name=\"ground\" width=\"" +
			std::to_string(kMapWidth) + "\" height=\"" + std::to_string(kMapHeight) + "\">\n  <data encoding=\"csv\">\n" +
			Ground() + "</data>\n </layer>\n <objectgroup id=\"2\" name=\"objects\">\n" + objects + extraObjects +
			" </objectgroup>\n</map>\n";
		player.ForgetMapObjects(); // the old map's objects go with it
		loader.file = folder.Path("fx.tmx");
		TempFolder::WriteBytes(loader.file, std::vector<uint8_t>(text.begin(), text.end()));
		LoadFile();
	}

	// Loads a map of the data tree beside the test binary instead.
	void LoadShipped(const char *path)
	{
		player.ForgetMapObjects();
		loader.file = GetBaseDirectory() + path;
		LoadFile();
	}
	// Loads the loader's file through every phase and starts its entities.
	void LoadFile()
	{
		testing::internal::CaptureStdout();
		map.Load("maps/fx.tmx", 0, nullptr);
		int steps = 0;
		while (map.Step() && ++steps < 100) {
		}
		const std::string log = testing::internal::GetCapturedStdout();
		ASSERT_EQ(map.GetLoadState().phase, (uint32_t)kPhaseLoaded) << log;
		Frame();
	}

	// Puts the hero on a tile, facing north, and lets it settle.
	void PlaceHero(Tile tile)
	{
		player.LinkToMap(&map, nullptr);
		if (player.scene == nullptr) {
			scene.AddEntity(&player);
			Frame(); // its start
		}
		player.Setup(Centre(tile), 0);
		Frame();
		player.hurtTimer = 0.0f;
	}

	Vec3 Centre(Tile tile) const
	{
		return map.TilePosition(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y), 0.5f, 0.5f);
	}
	// On the tile's centre, give or take slack world units across.
	bool AtCentre(const Vec3 &at, Tile tile, float slack = 0.01f) const
	{
		const Vec3 centre = Centre(tile);
		return std::fabs(at.x - centre.x) < slack && std::fabs(at.z - centre.z) < slack;
	}
	template <class T> T *Find(uint16_t id)
	{
		MapObjectDef *record = map.FindEntityRecordById(id);
		return record != nullptr ? dynamic_cast<T *>(record->entity) : nullptr;
	}

	void Frame()
	{
		scene.Update(kFrame);
		checker.Check(&scene);
		input.EndFrame();
	}
	void Frames(int count)
	{
		for (int i = 0; i < count; i++)
			Frame();
	}
	// Runs frames until done says so or the seconds pass; false on time out.
	template <class Done> bool RunUntil(Done done, float seconds)
	{
		for (float t = 0.0f; t < seconds; t += kFrame) {
			if (done())
				return true;
			Frame();
		}
		return done();
	}
	// The hero walks north into a crate ahead until it slides, lets go, and
	// the world settles.
	template <class Prop> void PushNorth(Prop &prop)
	{
		Press(SDL_SCANCODE_UP);
		RunUntil([&] { return prop.IsSliding(); }, 1.5f);
		Release(SDL_SCANCODE_UP);
		Frames(90);
	}
	void Press(SDL_Scancode key) { input.HandleEvent(KeyEvent(true, key)); }
	void Release(SDL_Scancode key) { input.HandleEvent(KeyEvent(false, key)); }

	// A hostile actor with hearts on a spot, started by one frame.
	std::unique_ptr<TargetActor> AddFoe(const Vec3 &position, uint8_t hearts)
	{
		auto foe = std::make_unique<TargetActor>(50);
		foe->faction = 4;
		foe->stats.hearts = hearts;
		foe->stats.maxHearts = hearts;
		foe->transform.position = position;
		foe->LinkToMap(&map, nullptr);
		scene.AddEntity(foe.get());
		Frame();
		foe->hurtTimer = 0.0f;
		return foe;
	}

	EffectsLink link;
	Camera camera;
	TempFolder folder;
	Scene scene; // outlives the map's entities and the hero
	FileMapLoader loader;
	MapEntityFactory factory;
	TileMap map;
	CollisionChecker checker;
	Input input;
	Player player;
};

} // namespace effectsmap
