#pragma once
// A small world for tests of props, pickups, doors, switches and the
// fireplace: a flat grid map built in memory with the placements, scripts
// and messages a test adds, loaded through every phase by the real tile map
// with a factory of the world-object classes, in an active scene. A
// recording game link stands in for the game above (flags, HUD, save slot),
// and the world's sounds are written down instead of played. Frames run at
// a fixed 1/20 s. Like the game, the world keeps the map's groups across a
// reload of the same map.
#include "engine/core/ActiveSequence.h"
#include "engine/core/Scene.h"
#include "engine/core/NameHash.h"
#include "map/MapCommand.h"
#include "map/TMXLoader.h"
#include "map/TileCode.h"
#include "map/TileMap.h"
#include "map/TileMapLoadListener.h"
#include "map/EntityFactory.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/ModelProp.h"
#include "objects/ObjectScriptWorld.h"
#include "objects/PickupCollectable.h"
#include "objects/PickupCooler.h"
#include "objects/PickupDragonCoin.h"
#include "objects/PickupKey.h"
#include "objects/PickupSword.h"
#include "objects/PickupSwordElectric.h"
#include "objects/PropBed.h"
#include "objects/PropBench.h"
#include "objects/PropBlackGate.h"
#include "objects/PropBlockLower.h"
#include "objects/PropBlockRaise.h"
#include "objects/PropBridge.h"
#include "objects/PropCupboard.h"
#include "objects/PropDoor.h"
#include "objects/PropGate.h"
#include "objects/PropHut.h"
#include "objects/PropLockDoor.h"
#include "objects/PropObelisk.h"
#include "objects/PropRoof.h"
#include "objects/PropSaveSwitch.h"
#include "objects/PropScroll.h"
#include "objects/PropShelf.h"
#include "objects/PropSign.h"
#include "objects/PropSwitch.h"
#include "objects/PropTable.h"
#include "objects/PlayerStats.h"
#include "objects/WorldSound.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace objecttest {

// What the game was asked, with a HUD message box and a save slot whose
// writes may fail.
class ObjectLink : public GameLink {
public:
	bool IsMode(int value) override { return value == mode; }
	bool IsInGame() override { return inGame; }
	bool FlagId(uint16_t id) override { return flagIds.count(id) != 0; }
	void SetFlagId(uint16_t id, bool on) override
	{
		if (on)
			flagIds.insert(id);
		else
			flagIds.erase(id);
	}
	bool SaveCurrentSlot() override
	{
		saves++;
		return saveWorks;
	}
	uint16_t Waypoint() override { return waypoint; }
	void SetWaypoint(uint16_t id) override { waypoint = id; }
	void StorePlayerStats(const PlayerStats &value) override
	{
		storedStats = value;
		statsStored++;
	}
	void UnlockAchievement(uint16_t id) override { achievements.push_back(id); }
	uint16_t CurrentMapId() override { return currentMapId; }
	uint16_t StartMap() override { return startMap; }
	void SetStartMap(uint16_t id) override { startMap = id; }
	int RespawnLevel() override { return respawnLevel; }
	uint32_t PlayTimeMs() override { return playTimeMs; }

	bool HasHud() override { return hud; }
	void ShowMessage(const char *text, float, uint8_t) override
	{
		messageVisible = true;
		messages.push_back(text);
	}
	void ShowTitledMessage(const char *, const char *text, float seconds, uint8_t kind) override
	{
		ShowMessage(text, seconds, kind);
	}
	void ShowSpeech(const char *, const char *text, float seconds, uint8_t kind) override
	{
		ShowMessage(text, seconds, kind);
	}
	void ShowPrompt(const char *label) override { prompts.push_back(label); }
	bool IsMessageVisible() override { return messageVisible; }
	void CloseMessage() override { messageVisible = false; }
	bool IsBusy() override { return busy; }
	void ShowLetters(bool on) override { letters.push_back(on); }

	int mode = 0;
	bool inGame = true;
	bool hud = true;
	bool busy = false;
	bool messageVisible = false;
	bool saveWorks = true;
	int saves = 0;
	int statsStored = 0;
	int respawnLevel = 0;
	uint16_t currentMapId = 0;
	uint16_t startMap = 0;
	uint16_t waypoint = 0;
	uint32_t playTimeMs = 0;
	PlayerStats storedStats;
	std::set<uint16_t> flagIds;
	std::vector<std::string> messages;
	std::vector<std::string> prompts;
	std::vector<uint16_t> achievements;
	std::vector<bool> letters;
};

class HeardSounds : public WorldSound::Listener {
public:
	HeardSounds() { WorldSound::SetListener(this); }
	~HeardSounds() override { WorldSound::SetListener(nullptr); }
	void Heard(const char *fileName, float) override { names.push_back(fileName != nullptr ? fileName : "(null)"); }
	size_t Count(const std::string &name) const
	{
		size_t count = 0;
		for (const std::string &heard : names)
			count += heard == name ? 1 : 0;
		return count;
	}

	std::vector<std::string> names;
};

// Hands the tile map the map the test built instead of reading a file.
class BuiltMapLoader : public MapLoader {
public:
	bool CanLoad(const char *) override { return true; }
	bool Load(const char *, TileMapData &data, uint16_t) override
	{
		data = built;
		return true;
	}

	TileMapData built;
};

// Keeps the map's groups from its unload to the next load's entities, as
// the game's record of each map does.
class GroupKeeper : public TileMapLoadListener {
public:
	explicit GroupKeeper(TileMap &map) : map(map) {}
	void OnMapUnload() override
	{
		kept.clear();
		for (int group = 1; group < 256; group++) {
			if (map.IsGroupEnabled(static_cast<uint8_t>(group)))
				kept.push_back(static_cast<uint8_t>(group));
		}
	}
	void OnMapLoaded(const char *) override
	{
		for (uint8_t group : kept)
			map.SetGroupFlag(group, true);
	}

private:
	TileMap &map;
	std::vector<uint8_t> kept;
};

class ObjectTestWorld {
public:
	static constexpr float kFrame = 0.05f; // seconds; exact in binary
	static constexpr uint8_t kWidth = 12;
	static constexpr uint8_t kHeight = 10;

	ObjectTestWorld()
	{
		GameLink::Install(&link);
		TileMapData &data = loader.built;
		data.width = kWidth;
		data.height = kHeight;
		data.border = 0;
		MapTile flat;
		flat.kind = kTileFlat;
		flat.level = flat.secondLevel = 1;
		data.tiles.assign(static_cast<size_t>(kWidth * kHeight), flat);
		data.SetMapName("test");
		map.SetMapLoader(&loader);
		map.SetEntityFactory(&factory);
		map.SetScriptWorld(&objects);
		scene.state = kSceneActive;
		scene.AddEntity(&map);
	}
	~ObjectTestWorld()
	{
		EndActiveSequence();
		GameLink::Install(nullptr);
	}

	// A placement of the entity kind on tile (x, y); the record is copied
	// into the map at Load. Its script lines follow with AddCommand.
	MapObjectDef &Place(uint32_t kind, int x, int y, uint16_t id, const char *name = nullptr, uint16_t flag = 0)
	{
		MapObjectDef record;
		record.kind = kObjectEntity;
		record.type = static_cast<uint8_t>(kind - kEntityKindFromTypeOffset);
		record.x = static_cast<uint16_t>(x);
		record.y = static_cast<uint16_t>(y);
		record.id = id;
		record.flag = flag;
		if (name != nullptr) {
			record.name = MapName(name);
			record.key = HashName(name);
		}
		record.firstCommand = static_cast<uint16_t>(loader.built.commands.size());
		loader.built.entityRecords.push_back(record);
		return loader.built.entityRecords.back();
	}
	// A plain area object (a sign's message or a script's jump target).
	MapObjectDef &AddObject(uint16_t id, const char *name = nullptr)
	{
		MapObjectDef object;
		object.id = id;
		if (name != nullptr) {
			object.name = MapName(name);
			object.key = HashName(name);
		}
		object.firstCommand = static_cast<uint16_t>(loader.built.commands.size());
		loader.built.objects.push_back(object);
		return loader.built.objects.back();
	}
	// A script line of the object added last.
	void AddCommand(MapObjectDef &object, uint32_t code, uint16_t value, uint8_t argument = 0)
	{
		MapCommand command;
		command.code = code;
		command.value = value;
		command.argument = argument;
		loader.built.commands.push_back(command);
		object.commandCount++;
	}
	uint16_t AddMessage(const char *text)
	{
		loader.built.messages.emplace_back(text);
		return static_cast<uint16_t>(loader.built.messages.size() - 1);
	}

	// Loads (or reloads) the built map and runs the frame that starts its
	// entities.
	void Load()
	{
		LoadUnstarted();
		Frame();
	}
	// The load alone: the entities wait for their first frame.
	void LoadUnstarted()
	{
		map.Load("test.tmx", TileMapLoadState::kNoScripts, &keeper);
		while (map.Step()) {
		}
	}
	void Frame() { scene.Update(kFrame); }
	void Frames(int count)
	{
		for (int i = 0; i < count; i++)
			Frame();
	}

	// The live entity of the record with the id, of the class asked for.
	template <class T> T *Find(uint16_t id)
	{
		MapObjectDef *record = map.FindEntityRecordById(id);
		return record != nullptr ? dynamic_cast<T *>(record->entity) : nullptr;
	}
	MapEntity *EntityOf(uint16_t id) { return Find<MapEntity>(id); }

	ObjectLink link;
	HeardSounds sounds;
	Scene scene; // outlives the entities it lists
	BuiltMapLoader loader;
	MapEntityFactory factory;
	ObjectScriptWorld objects; // what the map's scripts act on
	TileMap map;
	GroupKeeper keeper{map};
};

} // namespace objecttest
