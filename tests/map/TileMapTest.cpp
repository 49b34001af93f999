// Loading a tile map phase by phase, the entities it places, the scripts it
// starts, and its object groups and triggers. Maps come from a loader that
// fills the map data in memory (the real TMX reader is used where the file
// itself matters); scripts run in the real sequence machine, and their effect
// is seen in the game flags of the test's own game.
#include "map/TileMap.h"

#include "engine/core/ActiveSequence.h"
#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "engine/core/Sequence.h"
#include "map/MapCommand.h"
#include "map/MapSequence.h"
#include "map/TileCode.h"
#include "map/TileMapLoadListener.h"
#include "map/EntityFactory.h"
#include "support/ExpectVec.h"
#include "support/GLDrawContext.h"
#include "support/RecordingMapLink.h"
#include "support/TempFolder.h"

#include <SDL_image.h>
#include <glad/gl.h>
#include <glm/gtc/quaternion.hpp>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kEnemyType = 48;    // entity kind 50: an enemy actor
constexpr uint8_t kTowneeType = 24;   // entity kind 26: townsfolk
constexpr uint8_t kPropType = 1;      // entity kind 3: no actor
constexpr uint16_t kMapEntityClass = 1000;
constexpr uint16_t kActorClass = 2000;

MapTile Flat(uint8_t level)
{
	MapTile tile;
	tile.kind = kTileFlat;
	tile.level = level;
	tile.secondLevel = level;
	return tile;
}

// Hands the tile map a map made in memory. CanLoad and Load may be told to
// refuse, to see the load's failure paths.
class MemoryLoader : public MapLoader {
public:
	bool CanLoad(const char *) override { return canLoad; }
	bool Load(const char *, TileMapData &data, uint16_t) override
	{
		if (!loads)
			return false;
		data.width = width;
		data.height = height;
		data.border = 0;
		data.tiles.assign(static_cast<size_t>(width) * height, Flat(2));
		if (fill)
			fill(data);
		return true;
	}

	bool canLoad = true;
	bool loads = true;
	uint8_t width = 4;
	uint8_t height = 4;
	std::function<void(TileMapData &)> fill;
};

// A world object as the tile map sees one: it passes the map-entity class
// test, and the actor class test when made for an actor, and notes its
// deletion in a list the test keeps.
class TestEntity : public Entity {
public:
	TestEntity(std::vector<uint16_t> *deleted, uint16_t type, bool actor) : deleted(deleted), type(type), actor(actor) {}
	~TestEntity() override
	{
		if (deleted != nullptr)
			deleted->push_back(type);
	}
	bool IsKind(uint16_t testKind) override
	{
		return testKind == kMapEntityClass || (actor && testKind == kActorClass) || Entity::IsKind(testKind);
	}

	std::vector<uint16_t> *deleted;
	uint16_t type;
	bool actor;
};

class TestFactory : public EntityFactory {
public:
	bool CanCreate(uint16_t type) override
	{
		asked.push_back(type);
		return refused.count(type) == 0;
	}
	Entity *Create(uint16_t type) override
	{
		if (empty.count(type) != 0)
			return nullptr;
		TestEntity *entity = new TestEntity(&deleted, type, type == kEnemyType || type == kTowneeType);
		entity->drawLayer = layer;
		made.push_back(entity);
		return entity;
	}

	std::vector<uint16_t> asked;
	std::set<uint16_t> refused; // CanCreate says no
	std::set<uint16_t> empty;   // Create builds nothing
	std::vector<uint16_t> deleted;
	std::vector<Entity *> made;
	int16_t layer = 0;
};

class RecordingListener : public TileMapLoadListener {
public:
	void OnMapUnload() override
	{
		events.push_back("unload");
		if (onUnload)
			onUnload();
	}
	void OnMapLoaded(const char *name) override { events.push_back(std::string("loaded ") + name); }

	std::vector<std::string> events;
	std::function<void()> onUnload;
};

class TestScene : public Scene {
public:
	using Scene::entities;
};

MapObjectDef Record(uint16_t id, uint16_t x, uint16_t y, uint8_t type)
{
	MapObjectDef record;
	record.kind = kObjectEntity;
	record.id = id;
	record.x = x;
	record.y = y;
	record.type = type;
	return record;
}

// An object whose script is one "save" line for the flag name; it appends
// the line and the name to the map's tables.
MapObjectDef Scripted(TileMapData &data, uint32_t kind, uint16_t id, const char *name, const char *savedFlag)
{
	MapObjectDef object;
	object.kind = kind;
	object.id = id;
	if (name != nullptr) {
		object.name = MapName(name);
		object.key = HashName(name);
	}
	if (savedFlag != nullptr) {
		MapCommand save;
		save.code = kCmdSave;
		save.value = static_cast<uint16_t>(data.strings.size());
		data.strings.emplace_back(savedFlag);
		object.firstCommand = static_cast<uint16_t>(data.commands.size());
		object.commandCount = 1;
		data.commands.push_back(save);
	}
	return object;
}

// Runs a load to its end; the number of steps it took after Load.
int LoadFully(TileMap &map, const char *path, uint16_t flags, TileMapLoadListener *listener)
{
	map.Load(path, flags, listener);
	int steps = 0;
	while (map.Step())
		steps++;
	return steps + 1;
}

// Game flags are kept in the game's record, which the test's own game holds.
class TileMapScripts : public ::testing::Test {
protected:
	void TearDown() override { EndActiveSequence(); }
	static bool Flag(const char *name) { return MapGameLink::Get().Flag(name); }
	static void SetFlag(const char *name, bool on) { MapGameLink::Get().SetFlagId(HashName(name), on); }

	RecordingMapLink game;
};

} // namespace

TEST(TileMapLoading, RunsOnePhasePerStep)
{
	MemoryLoader loader;
	loader.width = 5;
	loader.height = 3;
	TestFactory factory;
	RecordingListener listener;
	TileMap map;
	map.SetMapLoader(&loader);
	map.SetEntityFactory(&factory);

	// The first step runs inside Load: the listener hears of the unload
	// (there was no map before) and the new map is not current yet.
	testing::internal::CaptureStdout();
	const TileMapLoadState &state = map.Load("grid.tmx", 0, &listener);
	EXPECT_EQ(state.phase, kPhaseBuild);
	EXPECT_EQ(&state, &map.GetLoadState());
	EXPECT_EQ(listener.events, std::vector<std::string>{"unload"});
	EXPECT_EQ(map.GetMapData().width, 0);

	struct Row {
		bool underWay;
		uint32_t phase;
		size_t events;
	};
	const Row rows[] = {
		{true, kPhaseEntities, 1},   // environment, tiles, border
		{true, kPhaseSequences, 1},  // entities
		{false, kPhaseLoaded, 2},    // listener told, scripts started
		{false, kPhaseLoaded, 2},    // nothing more
		{false, kPhaseLoaded, 2},
	};
	for (size_t i = 0; i < std::size(rows); i++) {
		SCOPED_TRACE("step " + std::to_string(i + 1));
		EXPECT_EQ(map.Step(), rows[i].underWay);
		EXPECT_EQ(map.GetLoadState().phase, rows[i].phase);
		EXPECT_EQ(listener.events.size(), rows[i].events);
		if (i == 0) {
			EXPECT_EQ(map.GetMapData().width, 5);
			EXPECT_EQ(map.LayerMesh(2, false)->GetVertexCount(), 5u * 3u * 4u);
		}
	}
	EXPECT_EQ(listener.events.back(), "loaded grid.tmx");
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(TileMapLoading, TheOldMapGoesBeforeLoadReturns)
{
	MemoryLoader loader;
	loader.fill = [](TileMapData &data) { data.entityRecords = {Record(1, 1, 1, kPropType), Record(2, 2, 2, kEnemyType)}; };
	TestFactory factory;
	TestScene scene;
	TileMap map;
	scene.AddEntity(&map);
	map.SetMapLoader(&loader);
	map.SetEntityFactory(&factory);
	LoadFully(map, "first.tmx", 0, nullptr);
	ASSERT_EQ(factory.made.size(), 2u);
	map.SetGroupFlag(9, true);

	RecordingListener listener;
	int widthAtUnload = -1;
	size_t deletedAtUnload = 99;
	listener.onUnload = [&]() {
		widthAtUnload = map.GetMapData().width;
		deletedAtUnload = factory.deleted.size();
	};
	loader.width = 7;
	loader.fill = nullptr;
	map.Load("second.tmx", 0, &listener);

	// Told while the old map still stood; gone by the time Load returned.
	EXPECT_EQ(widthAtUnload, 4);
	EXPECT_EQ(deletedAtUnload, 0u);
	EXPECT_EQ(map.GetMapData().width, 0);
	EXPECT_TRUE(map.GetMapData().entityRecords.empty());
	EXPECT_EQ(factory.deleted.size(), 2u);
	EXPECT_FALSE(map.IsGroupEnabled(9));
	for (int slot = 0; slot < TileMap::kLayerSlotCount; slot++)
		EXPECT_EQ(map.GetSlotMesh(slot).GetVertexCount(), 0u) << "slot " << slot;
	scene.RemoveEntity(&map);
}

TEST(TileMapLoading, OnlyReadableTmxFilesStartALoad)
{
	struct Row {
		const char *path;
		bool canLoad;
		bool loads;
		const char *log;
	};
	const Row rows[] = {
		{"maps/town.png", true, true, "Unsupported file format: maps/town.png"},
		{"maps/town", true, true, "Unsupported file format: maps/town"},
		{nullptr, true, true, "Unsupported file format: "},
		{"maps/town.tmx", false, true, "Map load unsupported: maps/town.tmx"},
		{"maps/town.tmx", true, false, "Map load aborted: maps/town.tmx"},
		{"MAPS/TOWN.TMX", true, true, ""},
		{"maps.old/town.Tmx", true, true, ""},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.log);
		MemoryLoader loader;
		loader.width = 6;
		if (row.log[0] == '\0') {
			// Accepted: the extension is compared by name hash.
			TileMap map;
			map.SetMapLoader(&loader);
			EXPECT_EQ(map.Load(row.path, 0, nullptr).phase, kPhaseBuild);
			continue;
		}
		TileMap map;
		map.SetMapLoader(&loader);
		LoadFully(map, "good.tmx", 0, nullptr);
		map.SetGroupFlag(3, true);

		loader.canLoad = row.canLoad;
		loader.loads = row.loads;
		RecordingListener listener;
		testing::internal::CaptureStdout();
		EXPECT_EQ(map.Load(row.path, 0, &listener).phase, kPhaseAborted);
		EXPECT_FALSE(map.Step());
		EXPECT_FALSE(map.Step());
		EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(row.log) + "\n");
		EXPECT_TRUE(listener.events.empty());
		EXPECT_EQ(map.GetMapData().width, 6);
		EXPECT_TRUE(map.IsGroupEnabled(3));
		EXPECT_GT(map.LayerMesh(2, false)->GetVertexCount(), 0u);
	}
}

TEST(TileMapLoading, StepWithoutALoadAbortsOnPhaseZeroOnce)
{
	TileMap map;
	testing::internal::CaptureStdout();
	EXPECT_FALSE(map.Step());
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "Tile map aborted on phase 0\n");
	testing::internal::CaptureStdout();
	EXPECT_FALSE(map.Step());
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
	EXPECT_EQ(map.GetLoadState().phase, kPhaseAborted);
}

TEST(TileMapLoading, TheListenerHearsTheNameCutTo63Characters)
{
	const std::string longPath = std::string("maps/") + std::string(61, 'a') + ".tmx"; // 70 characters
	ASSERT_EQ(longPath.size(), 70u);
	MemoryLoader loader;
	RecordingListener listener;
	TileMap map;
	map.SetMapLoader(&loader);
	LoadFully(map, longPath.c_str(), 0, &listener);
	ASSERT_EQ(listener.events.size(), 2u);
	EXPECT_EQ(listener.events[1], "loaded " + longPath.substr(0, 63));
	EXPECT_EQ(std::string(map.GetLoadState().name), longPath.substr(0, 63));
}

TEST(TileMapLoading, EntityPhaseCanSpreadOverSteps)
{
	struct Row {
		uint16_t records;
		uint16_t perStep;
		int entitySteps; // steps that end with the phase still on entities, plus the one that leaves it
	};
	const Row rows[] = {{6, 0, 1}, {6, 5, 2}, {10, 5, 2}, {11, 5, 3}, {0, 5, 1}, {1, 1, 1}};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.records) + " records, " + std::to_string(row.perStep) + " per step");
		MemoryLoader loader;
		loader.width = 20;
		loader.height = 20;
		loader.fill = [&](TileMapData &data) {
			for (uint16_t i = 0; i < row.records; i++)
				data.entityRecords.push_back(Record(static_cast<uint16_t>(100 + i), i, 3, kPropType));
		};
		TestFactory factory;
		TileMap map;
		map.SetMapLoader(&loader);
		map.SetEntityFactory(&factory);
		TileMapLoadState &state = map.Load("grid.tmx", 0, nullptr);
		state.entitiesPerStep = row.perStep;
		ASSERT_TRUE(map.Step());
		ASSERT_EQ(map.GetLoadState().phase, kPhaseEntities);
		int steps = 0;
		while (map.GetLoadState().phase == kPhaseEntities) {
			map.Step();
			steps++;
			if (map.GetLoadState().phase == kPhaseEntities) {
				EXPECT_EQ(factory.made.size(), static_cast<size_t>(steps) * row.perStep);
			}
		}
		EXPECT_EQ(steps, row.entitySteps);
		EXPECT_EQ(map.GetLoadState().phase, kPhaseSequences);
		ASSERT_EQ(factory.made.size(), row.records);
		for (size_t i = 0; i < row.records; i++)
			EXPECT_EQ(map.GetMapData().entityRecords[i].entity, factory.made[i]);
		for (Entity *entity : factory.made)
			delete entity;
	}
}

TEST(TileMapLoading, EntityPhaseLeavesOutWhatItCannotBuild)
{
	auto fill = [](TileMapData &data) {
		data.entityRecords = {Record(1, 0, 0, kPropType), Record(2, 1, 0, 3), Record(3, 2, 0, 4),
			Record(4, 3, 0, kTowneeType), Record(5, 0, 1, kEnemyType)};
	};
	struct Row {
		const char *name;
		bool factory;
		uint16_t flags;
		std::vector<uint16_t> asked;
		std::vector<int> withEntity; // per record
		const char *log;
	};
	const Row rows[] = {
		{"no factory", false, 0, {}, {0, 0, 0, 0, 0}, "No entity factory specified.\n"},
		{"refused and empty types", true, 0, {kPropType, 3, 4, kTowneeType, kEnemyType}, {1, 0, 0, 1, 1}, ""},
		{"no actors", true, TileMapLoadState::kNoActors, {kPropType, 3, 4}, {1, 0, 0, 0, 0}, ""},
		{"no actors, no scripts", true, TileMapLoadState::kNoActors | TileMapLoadState::kNoScripts, {kPropType, 3, 4},
			{1, 0, 0, 0, 0}, ""},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		MemoryLoader loader;
		loader.fill = fill;
		TestFactory factory;
		factory.refused = {3};
		factory.empty = {4};
		RecordingListener listener;
		TileMap map;
		map.SetMapLoader(&loader);
		map.SetEntityFactory(row.factory ? &factory : nullptr);
		testing::internal::CaptureStdout();
		LoadFully(map, "grid.tmx", row.flags, &listener);
		EXPECT_EQ(testing::internal::GetCapturedStdout(), row.log);
		EXPECT_EQ(map.GetLoadState().phase, kPhaseLoaded);
		EXPECT_EQ(factory.asked, row.asked);
		const std::vector<MapObjectDef> &records = map.GetMapData().entityRecords;
		ASSERT_EQ(records.size(), row.withEntity.size());
		for (size_t i = 0; i < records.size(); i++)
			EXPECT_EQ(records[i].entity != nullptr, row.withEntity[i] != 0) << "record " << i;
		// The listener is told whatever was left out.
		EXPECT_EQ(listener.events.size(), 2u);
		for (Entity *entity : factory.made)
			delete entity;
	}
}

TEST(TileMapLoading, EntityRecordsPastTheLimitGetNoEntity)
{
	// More records than the 16-bit record cursor may count: the first
	// 32767 are offered to the factory, the rest are left without entities.
	MemoryLoader loader;
	loader.fill = [](TileMapData &data) { data.entityRecords.assign(40000, Record(1, 0, 0, kPropType)); };
	TestFactory factory;
	factory.refused = {kPropType};
	TileMap map;
	map.SetMapLoader(&loader);
	map.SetEntityFactory(&factory);
	LoadFully(map, "crowded.tmx", 0, nullptr);
	EXPECT_EQ(map.GetLoadState().phase, kPhaseLoaded);
	EXPECT_EQ(factory.asked.size(), TileMap::kMaxEntityRecords);
	map.Clear();
	EXPECT_TRUE(map.GetMapData().entityRecords.empty());
}

TEST(TileMapLoading, EntitiesStandOnTheMiddleOfTheirFootprint)
{
	struct Row {
		const char *name;
		uint8_t size, rotation, flipX, flipY;
		Vec3 position;
		Vec3 scale;
		Vec3 facing; // where the entity's -Z ends up
	};
	// Every record sits at tile (3, 4), whose middle is (5.99, 7.99), on level 2
	// ground (0.75); tile (2, 5) is level 4 (2.25).
	const Row rows[] = {
		{"plain", 1, 0, 0, 0, Vec3(5.99f, 0.75f, 7.99f), Vec3(1, 1, 1), Vec3(0, 0, -1)},
		{"quarter turn", 1, 1, 0, 0, Vec3(5.99f, 0.75f, 9.99f), Vec3(1, 1, 1), Vec3(1, 0, 0)},
		{"half turn, on the raised tile", 1, 2, 0, 0, Vec3(3.99f, 2.25f, 9.99f), Vec3(1, 1, 1), Vec3(0, 0, 1)},
		{"three quarters", 1, 3, 0, 0, Vec3(3.99f, 0.75f, 7.99f), Vec3(1, 1, 1), Vec3(-1, 0, 0)},
		{"size 2", 2, 0, 0, 0, Vec3(6.99f, 0.75f, 6.99f), Vec3(2, 2, 2), Vec3(0, 0, -1)},
		{"size 2, quarter turn", 2, 1, 0, 0, Vec3(6.99f, 0.75f, 10.99f), Vec3(2, 2, 2), Vec3(1, 0, 0)},
		{"size 3, half turn", 3, 2, 0, 0, Vec3(1.99f, 0.75f, 11.99f), Vec3(3, 3, 3), Vec3(0, 0, 1)},
		{"flipped x", 1, 0, 1, 0, Vec3(5.99f, 0.75f, 7.99f), Vec3(-1, 1, 1), Vec3(0, 0, -1)},
		{"flipped y", 1, 0, 0, 1, Vec3(5.99f, 0.75f, 7.99f), Vec3(1, 1, -1), Vec3(0, 0, -1)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		MemoryLoader loader;
		loader.width = 10;
		loader.height = 10;
		loader.fill = [&](TileMapData &data) {
			data.tiles[5 * 10 + 2] = Flat(4);
			MapObjectDef record = Record(1, 3, 4, kPropType);
			record.size = row.size;
			record.rotation = row.rotation;
			record.flipX = row.flipX;
			record.flipY = row.flipY;
			data.entityRecords = {record};
		};
		TestFactory factory;
		TileMap map;
		map.SetMapLoader(&loader);
		map.SetEntityFactory(&factory);
		LoadFully(map, "grid.tmx", 0, nullptr);
		ASSERT_EQ(factory.made.size(), 1u);
		const Transform &placed = factory.made[0]->transform;
		ExpectVecNear(row.position, placed.position, 1e-4f);
		ExpectVecNear(row.scale, placed.scale, 1e-6f);
		ExpectVecNear(row.facing, placed.rotation * Vec3(0, 0, -1), 1e-5f);
		delete factory.made[0];
	}
}

TEST(TileMapLoading, EntitiesJoinTheMapsSceneAndLayer)
{
	MemoryLoader loader;
	loader.fill = [](TileMapData &data) { data.entityRecords = {Record(1, 0, 0, kPropType), Record(2, 1, 0, 3)}; };
	TestFactory factory;
	TestScene scene;
	TileMap map;
	map.drawLayer = 7;
	scene.AddEntity(&map);
	map.SetMapLoader(&loader);
	map.SetEntityFactory(&factory);
	// One entity per step, so the second can bring a layer of its own.
	map.Load("grid.tmx", 0, nullptr).entitiesPerStep = 1;
	map.Step();
	map.Step();
	factory.layer = 3;
	map.Step();
	ASSERT_EQ(map.GetLoadState().phase, kPhaseSequences);
	ASSERT_EQ(factory.made.size(), 2u);
	EXPECT_EQ(factory.made[0]->drawLayer, 7);
	EXPECT_EQ(factory.made[1]->drawLayer, 3);
	for (Entity *entity : factory.made) {
		EXPECT_TRUE(scene.HasEntity(entity));
		EXPECT_EQ(entity->lifeState, kLifeAdded);
	}

	// A map loaded in one scene brings its entities into the scene that
	// takes the tile map over.
	TestScene play;
	play.AddEntity(&map);
	for (Entity *entity : factory.made) {
		EXPECT_TRUE(play.HasEntity(entity));
		EXPECT_FALSE(scene.HasEntity(entity));
	}

	// Clearing destroys the map's entities that its scene still lists, and
	// leaves alone one that gameplay already took out.
	play.RemoveEntity(factory.made[1]);
	map.Clear();
	EXPECT_EQ(factory.deleted, std::vector<uint16_t>{kPropType});
	EXPECT_TRUE(map.GetMapData().entityRecords.empty());
	delete factory.made[1];
	play.RemoveEntity(&map);
}

TEST(TileMapGroups, SlotsHoldEachEnabledGroupOnce)
{
	TileMap map;
	map.SetGroupFlag(0, true);
	EXPECT_FALSE(map.IsGroupEnabled(0));

	// Sixty-three groups, one of them enabled twice, then the 64th fills the
	// last slot.
	for (unsigned g = 1; g <= 63; g++)
		map.SetGroupFlag(static_cast<uint8_t>(g), true);
	map.SetGroupFlag(5, true);
	map.SetGroupFlag(64, true);
	for (unsigned g = 1; g <= 64; g++)
		EXPECT_TRUE(map.IsGroupEnabled(static_cast<uint8_t>(g))) << g;

	struct Row {
		const char *name;
		uint8_t group;
		bool enable;
		bool enabledAfter;
		const char *log;
	};
	const Row rows[] = {
		{"a 65th group is refused", 200, true, false, "No free group slot: group 200 stays disabled\n"},
		{"an enabled group needs no slot", 64, true, true, ""},
		{"disabling frees a slot", 10, false, false, ""},
		{"which the next group takes", 200, true, true, ""},
		{"and then the slots are full again", 201, true, false, "No free group slot: group 201 stays disabled\n"},
		{"disabling a disabled group", 99, false, false, ""},
		{"group 0 is never enabled", 0, true, false, ""},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		testing::internal::CaptureStdout();
		map.SetGroupFlag(row.group, row.enable);
		EXPECT_EQ(testing::internal::GetCapturedStdout(), row.log);
		EXPECT_EQ(map.IsGroupEnabled(row.group), row.enabledAfter);
	}

	map.ClearFlags();
	for (unsigned g = 0; g <= 255; g++)
		EXPECT_FALSE(map.IsGroupEnabled(static_cast<uint8_t>(g))) << g;
}

TEST_F(TileMapScripts, LoadObjectsRunByTheirFlags)
{
	SetFlag("dooropen", true);
	SetFlag("quiet", true);
	// Every script saves a flag, which re-reads the load groups; without
	// scripts the groups must come from the load itself.
	bool scripted = true;
	MemoryLoader loader;
	loader.fill = [&](TileMapData &data) {
		auto save = [&](const char *flag) { return scripted ? flag : nullptr; };
		data.objects.push_back(Scripted(data, kObjectLoad, 10, "gatekeeper", save("rangate")));
		data.objects.push_back(Scripted(data, kObjectLoad, 11, nullptr, save("ranfirst")));
		data.objects.push_back(Scripted(data, kObjectArea, 12, nullptr, save("ranarea")));
		data.objects.push_back(Scripted(data, kObjectLoad, 13, "dooropen", save("randoor")));
		data.objects.push_back(Scripted(data, kObjectLoad, 14, "quiet", nullptr));
		data.objects.push_back(Scripted(data, kObjectLoad, 15, "#note", save("ransecond")));
		data.objects.back().key = 0; // a commented name names no flag
	};
	struct Row {
		const char *name;
		bool scripted;
		uint16_t flags;
		std::vector<const char *> ran;
		std::vector<const char *> notRan;
		std::vector<uint8_t> groupsOn;
		std::vector<uint8_t> groupsOff;
		bool maker = true; // the map is given the map scripts' sequence maker
	};
	const Row rows[] = {
		{"scripts on", true, 0, {"ranfirst", "randoor", "ransecond"}, {"rangate", "ranarea"}, {13, 14}, {10, 11, 12, 15}},
		{"groups without scripts", false, 0, {}, {"rangate", "ranfirst", "randoor"}, {13, 14}, {10, 11, 12, 15}},
		{"no scripts", true, TileMapLoadState::kNoScripts, {}, {"rangate", "ranfirst", "ranarea", "randoor", "ransecond"},
			{}, {10, 13, 14}},
		{"no sequence maker", true, 0, {}, {"rangate", "ranfirst", "ranarea", "randoor", "ransecond"}, {13, 14},
			{10, 11, 12, 15}, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		for (const char *flag : {"rangate", "ranfirst", "ranarea", "randoor", "ransecond"})
			SetFlag(flag, false);
		scripted = row.scripted;
		RecordingListener listener;
		TileMap map;
		map.SetMapLoader(&loader);
		if (row.maker)
			map.SetSequenceMaker(MapSequence::Create);
		testing::internal::CaptureStdout();
		LoadFully(map, "grid.tmx", row.flags, &listener);
		const std::string log = testing::internal::GetCapturedStdout();
		EXPECT_EQ(!row.maker, log.find("no sequence maker") != std::string::npos) << log;
		EXPECT_EQ(listener.events.size(), 2u);
		for (const char *flag : row.ran)
			EXPECT_TRUE(Flag(flag)) << flag;
		for (const char *flag : row.notRan)
			EXPECT_FALSE(Flag(flag)) << flag;
		for (uint8_t group : row.groupsOn)
			EXPECT_TRUE(map.IsGroupEnabled(group)) << int(group);
		for (uint8_t group : row.groupsOff)
			EXPECT_FALSE(map.IsGroupEnabled(group)) << int(group);
		EndActiveSequence();
	}
}

TEST_F(TileMapScripts, TheLastEnemyFallingRunsTheFirstArmedTrigger)
{
	MemoryLoader loader;
	loader.fill = [](TileMapData &data) {
		data.entityRecords = {Record(1, 0, 0, kEnemyType), Record(2, 1, 0, kEnemyType), Record(3, 2, 0, kTowneeType),
			Record(4, 3, 0, kPropType)};
		MapObjectDef unscripted = Scripted(data, kObjectTrigger, 20, nullptr, nullptr);
		unscripted.flag = 1;
		MapObjectDef unarmed = Scripted(data, kObjectTrigger, 21, nullptr, "ranunarmed");
		MapObjectDef otherGroup = Scripted(data, kObjectTrigger, 22, nullptr, "ranother");
		otherGroup.flag = 7;
		MapObjectDef first = Scripted(data, kObjectTrigger, 23, nullptr, "ranfirst");
		first.flag = 0x0301; // the low byte arms it
		MapObjectDef second = Scripted(data, kObjectTrigger, 24, nullptr, "ransecond");
		second.flag = 1;
		data.objects = {unscripted, unarmed, otherGroup, first, second};
		data.objects.push_back(Scripted(data, kObjectLoad, 30, "ranfirst", nullptr));
	};
	TestFactory factory;
	TileMap map;
	map.SetMapLoader(&loader);
	map.SetEntityFactory(&factory);
	map.SetSequenceMaker(MapSequence::Create);
	LoadFully(map, "grid.tmx", 0, nullptr);
	ASSERT_EQ(factory.made.size(), 4u);
	for (Entity *entity : factory.made)
		entity->faction = 4;
	Entity *enemyA = factory.made[0];
	Entity *enemyB = factory.made[1];
	Entity *townee = factory.made[2];
	townee->faction = 2;

	struct Row {
		const char *name;
		std::function<void()> change;
		bool cleared;
		bool group1;
		bool ranFirst;
		bool group30;
	};
	const Row rows[] = {
		{"both enemies stand", [] {}, false, false, false, false},
		{"one is paused", [&] { enemyA->lifeState = kLifePaused; }, false, false, false, false},
		{"the other changes sides", [&] { enemyB->faction = 2; }, true, true, true, true},
		// Checks after the map is cleared only re-read the load groups.
		{"later checks run nothing", [] { SetFlag("ranfirst", false); }, true, true, false, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		row.change();
		map.CheckTriggers();
		EXPECT_EQ(map.IsCleared(), row.cleared);
		EXPECT_EQ(map.IsGroupEnabled(1), row.group1);
		EXPECT_EQ(Flag("ranfirst"), row.ranFirst);
		EXPECT_EQ(map.IsGroupEnabled(30), row.group30);
		EXPECT_FALSE(Flag("ransecond"));
		EXPECT_FALSE(Flag("ranunarmed"));
		EXPECT_FALSE(Flag("ranother"));
	}

	// A fresh load forgets that the map was cleared.
	LoadFully(map, "grid.tmx", 0, nullptr);
	EXPECT_FALSE(map.IsCleared());
	EXPECT_FALSE(map.IsGroupEnabled(1));
	for (Entity *entity : factory.made)
		delete entity;
}

namespace {

// A sequence whose start makes the last enemy fall, as a script line that
// kills would; it notes when it is deleted.
class StrikingSequence : public Sequence {
public:
	StrikingSequence(TileMap *map, bool *deleted, bool *deletedInStart) : map(map), deleted(deleted), deletedInStart(deletedInStart) {}
	~StrikingSequence() override
	{
		*deleted = true;
		*deletedInStart = inStart;
	}
	void Start() override
	{
		inStart = true;
		state = kStateRunning;
		map->CheckTriggers();
		// Still this sequence's own memory: it must not be gone yet.
		state = kStateDone;
		inStart = false;
	}

	TileMap *map;
	bool *deleted;
	bool *deletedInStart;
	bool inStart = false;
};

} // namespace

TEST_F(TileMapScripts, ATriggerFiredByARunningSequenceNeverDeletesIt)
{
	MemoryLoader loader;
	loader.fill = [](TileMapData &data) {
		MapObjectDef trigger = Scripted(data, kObjectTrigger, 20, nullptr, "trigged");
		trigger.flag = 1;
		data.objects = {trigger};
	};
	TileMap map;
	map.SetMapLoader(&loader);
	map.SetSequenceMaker(MapSequence::Create);
	LoadFully(map, "grid.tmx", 0, nullptr);

	bool deleted = false;
	bool deletedInStart = false;
	SetActiveSequence(new StrikingSequence(&map, &deleted, &deletedInStart));
	EXPECT_TRUE(deleted);
	EXPECT_FALSE(deletedInStart);
	EXPECT_TRUE(map.IsGroupEnabled(1));
	// The trigger's script has run by the runner's next poll at the latest.
	UpdateActiveSequence();
	EXPECT_TRUE(Flag("trigged"));
	EXPECT_FALSE(IsSequenceRunning());
}

namespace {

// Draws tile maps in a bare GL context. With no renderer in the process the
// tile map's own transform is the whole projection, so the tests place the
// map in clip space through it. Materials use a copy of the ground shader
// under a name of the test's own: shaders are kept process-wide, and one
// built in this short-lived context must not be handed to other tests.
class TileMapDrawing : public GLDrawContext {
protected:
	void SetUp() override
	{
		GLDrawContext::SetUp();
		if (IsSkipped())
			return;
		white = folder.Path("white.png");
		SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 32, SDL_PIXELFORMAT_RGBA32);
		ASSERT_NE(surface, nullptr);
		SDL_FillRect(surface, nullptr, 0xFFFFFFFFu);
		ASSERT_EQ(IMG_SavePNG(surface, white.c_str()), 0) << SDL_GetError();
		SDL_FreeSurface(surface);

		std::string source = ReadWholeFile("shaders/map.dsh");
		ASSERT_FALSE(source.empty());
		shader = folder.Path("ground.dsh");
		std::ofstream(shader) << source;
	}
	// Brightness (the mean of red, green and blue) at a pixel.
	static int Brightness(int x, int y)
	{
		glm::ivec4 p = Pixel(x, y);
		return (p.r + p.g + p.b) / 3;
	}

	TempFolder folder;
	std::string white;
	std::string shader;
};

} // namespace

TEST_F(TileMapDrawing, GroundShaderSetsLevelsAndWallsApart)
{
	// Level 1, level 3, level 1 in a row, and level 1 south of them, all
	// drawn white.
	MemoryLoader loader;
	loader.width = 3;
	loader.height = 2;
	loader.fill = [](TileMapData &data) { data.tiles = {Flat(1), Flat(3), Flat(1), Flat(1), Flat(1), Flat(1)}; };
	TileMap map;
	map.SetMapLoader(&loader);
	LoadFully(map, "row.tmx", 0, nullptr);
	for (uint8_t layer : {0, 2}) {
		map.SetLayerMaterial(layer, TileMap::kLayerTop, white.c_str(), shader.c_str());
		map.SetLayerMaterial(layer, TileMap::kLayerEdge, white.c_str(), shader.c_str());
	}
	for (int slot : {0, 2, 7, 9}) {
		ASSERT_TRUE(map.GetSlotMaterial(slot).IsValid()) << slot;
		EXPECT_EQ(map.GetSlotMesh(slot).GetMaterial().Get(), map.GetSlotMaterial(slot).Get()) << slot;
		// Tile meshes carry no vertex colours; the shader must not need them.
		EXPECT_EQ(map.GetSlotMesh(slot).GetColors().size(), 0u) << slot;
	}

	// From straight above, north up: x to the right, z down the screen.
	const float scale = 0.3f;
	map.transform.SetScale(Vec3(scale));
	map.transform.SetRotation(glm::angleAxis(glm::radians(90.0f), Vec3(1, 0, 0)));
	map.transform.SetPosition(Vec3(-0.6f, 0.0f, 0.0f));
	map.Render();
	const int low = Brightness(12, 32);  // tile 0, level 1
	const int high = Brightness(32, 32); // tile 1, level 3
	EXPECT_GT(low, 60);
	EXPECT_GT(high, low + 8) << "higher ground is drawn brighter";

	// From the south, level with the ground: the level-3 tile's south wall.
	glClear(GL_COLOR_BUFFER_BIT);
	map.transform.SetRotation(glm::quat(1, 0, 0, 0));
	map.Render();
	const int wall = Brightness(32, 32 + static_cast<int>(0.75f * scale * 32));
	EXPECT_GT(wall, 60);
	EXPECT_LT(wall, high - 30) << "walls stand darker than the tops above them";
	uint8_t rgba[4] = {};
	ReadPixel(32, 32 + static_cast<int>(0.75f * scale * 32), rgba);
	EXPECT_EQ(rgba[0], rgba[1]);
	EXPECT_EQ(rgba[1], rgba[2]);
}
