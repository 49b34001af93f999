// A map entity's life on the map: what the map's entity phase hands it, a
// "hide" line that keeps it off until shown, and taking it out again without
// leaving the map a dangling pointer or freeing it twice.
#include "objects/MapEntity.h"
#include "objects/MapEntityFactory.h"

#include "engine/core/Scene.h"
#include "map/MapCommand.h"
#include "support/ExpectVec.h"
#include "support/GridMap.h"
#include "support/TestWalker.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// Makes walkers for every placement and remembers them.
class WalkerFactory : public MapEntityFactory {
public:
	bool CanCreate(uint16_t) override { return true; }
	Entity *Create(uint16_t) override
	{
		made.push_back(new Walker(nullptr));
		return made.back();
	}
	std::vector<Walker *> made;
};

MapObjectDef Placement(uint16_t id, uint16_t x, const char *name, uint16_t firstCommand, uint16_t commandCount)
{
	MapObjectDef record;
	record.kind = kObjectEntity;
	record.id = id;
	record.x = x;
	record.y = 1;
	record.type = 5;
	record.name = MapName(name);
	record.firstCommand = firstCommand;
	record.commandCount = commandCount;
	return record;
}

MapCommand Line(uint32_t code, uint16_t value)
{
	MapCommand command;
	command.code = code;
	command.value = value;
	return command;
}

// An active scene that holds a tile map loaded from a grid with the given
// placements and script lines. The scene goes last, after the map has
// destroyed what it made.
struct PlacedMap {
	PlacedMap(std::vector<MapObjectDef> records, std::vector<MapCommand> commands)
	{
		loader.width = 6;
		loader.height = 3;
		loader.tiles.assign(18, Flat(2));
		loader.extra = [records, commands](TileMapData &data) {
			data.entityRecords = records;
			data.commands = commands;
		};
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		map.SetMapLoader(&loader);
		map.SetEntityFactory(&factory);
		map.Load("placed.tmx", TileMapLoadState::kNoScripts, nullptr);
		while (map.Step()) {
		}
	}

	Scene scene;
	GridLoader loader;
	WalkerFactory factory;
	TileMap map;
};

} // namespace

TEST(MapEntityOnMap, TheEntityPhaseGivesEachEntityItsMapRecordAndName)
{
	PlacedMap placed({Placement(1, 0, "gate", 0, 0), Placement(2, 2, "averyveryverylongname", 0, 0)}, {});
	std::vector<MapObjectDef> &records = placed.map.GetMapData().entityRecords;
	ASSERT_EQ(placed.factory.made.size(), 2u);
	for (size_t i = 0; i < 2; i++) {
		SCOPED_TRACE(i);
		Walker *walker = placed.factory.made[i];
		EXPECT_EQ(walker->map, &placed.map);
		EXPECT_EQ(walker->mapObject, &records[i]);
		EXPECT_EQ(records[i].entity, walker);
		EXPECT_TRUE(placed.scene.HasEntity(walker));
	}
	EXPECT_STREQ(placed.factory.made[0]->name.Get(), "gate");
	// Names keep what the map's name record keeps: 15 characters.
	EXPECT_STREQ(placed.factory.made[1]->name.Get(), "averyveryverylo");

	// The first update starts each entity where the map put it: that is home.
	placed.scene.Update(kFrame);
	const Walker *first = placed.factory.made[0];
	EXPECT_EQ(first->starts, 1);
	EXPECT_EQ(first->placed, 1);
	ExpectVecNear(placed.map.TilePosition(0, 1, 0.5f, 0.5f), first->homePosition, 1e-5f);
}

TEST(MapEntityOnMap, AHiddenEntityStartsWhenFirstShownNeverBefore)
{
	PlacedMap placed({Placement(1, 0, "shown", 0, 1), Placement(2, 1, "hidden", 1, 2), Placement(3, 2, "plain", 0, 0)},
		{Line(kCmdHide, 0), Line(kCmdSay, 1), Line(kCmdHide, 1)});
	ASSERT_EQ(placed.factory.made.size(), 3u);
	Walker *shown = placed.factory.made[0];
	Walker *hidden = placed.factory.made[1];
	Walker *plain = placed.factory.made[2];
	EXPECT_EQ(hidden->lifeState, kLifePaused);
	for (int i = 0; i < 3; i++)
		placed.scene.Update(kFrame);
	EXPECT_EQ(shown->starts, 1);
	EXPECT_EQ(plain->starts, 1);
	EXPECT_EQ(shown->lifeState, kLifeRunning);
	EXPECT_EQ(hidden->starts, 0);
	EXPECT_EQ(hidden->placed, 0);

	// Shown by a script: set up first, exactly once, then it runs.
	hidden->SetActive(true);
	EXPECT_EQ(hidden->starts, 1);
	EXPECT_EQ(hidden->placed, 1);
	EXPECT_EQ(hidden->lifeState, kLifeRunning);
	hidden->SetActive(false);
	hidden->SetActive(true);
	placed.scene.Update(kFrame);
	EXPECT_EQ(hidden->starts, 1);
}

TEST(MapEntityOnMap, RemoveFreesTheEntityOnceAfterTheScenesWalk)
{
	struct Row {
		const char *name;
		bool fromItsOwnUpdate;
		int removeCalls;
	};
	const Row rows[] = {
		{"removed between frames", false, 1},
		{"removed twice", false, 2},
		{"removing itself while it updates", true, 1},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		bool deleted = false;
		MapObjectDef record;
		Scene scene;
		scene.state = kSceneActive;

		// Removes itself in its update and reads itself after that, as a
		// pickup does when it is taken.
		class SelfRemover : public Walker {
		public:
			SelfRemover(bool *flag, bool enabled) : Walker(nullptr, flag), enabled(enabled) {}
			void Update(float dt) override
			{
				Walker::Update(dt);
				if (enabled) {
					Remove();
					afterRemove = transform.position.x + 1.0f;
				}
			}
			bool enabled;
			float afterRemove = 0.0f;
		};
		SelfRemover *walker = new SelfRemover(&deleted, row.fromItsOwnUpdate);
		walker->LinkToMap(nullptr, &record);
		record.entity = walker;
		scene.AddEntity(walker);
		if (!row.fromItsOwnUpdate) {
			for (int i = 0; i < row.removeCalls; i++)
				walker->Remove();
			// Still in one piece for the rest of the frame; the map already
			// forgot it.
			EXPECT_FALSE(deleted);
			EXPECT_EQ(record.entity, nullptr);
			EXPECT_EQ(walker->mapObject, &MapEntity::EmptyMapObject());
			EXPECT_EQ(scene.GetEntityAt(0), nullptr);
		}
		scene.Update(kFrame);
		EXPECT_TRUE(deleted);
		EXPECT_EQ(record.entity, nullptr);
		EXPECT_EQ(scene.GetEntityCount(), 0u);
		scene.Update(kFrame); // nothing left to free twice
	}
}

TEST(MapEntityOnMap, ASceneGoneBeforeItsNextFrameStillFreesWhatWasRemoved)
{
	bool deleted = false;
	{
		Scene scene;
		scene.state = kSceneActive;
		Walker *walker = new Walker(nullptr, &deleted);
		scene.AddEntity(walker);
		scene.Update(kFrame);
		walker->Remove();
		EXPECT_FALSE(deleted);
	}
	EXPECT_TRUE(deleted);
}

TEST(MapEntityOnMap, OutsideAnySceneRemoveOnlyUnlinksDestroyFrees)
{
	bool deleted = false;
	MapObjectDef record;
	// Held by its owner (an actor's held item, say), listed by no scene.
	auto held = std::make_unique<Walker>(nullptr, &deleted);
	held->LinkToMap(nullptr, &record);
	record.entity = held.get();
	held->Remove();
	EXPECT_FALSE(deleted);
	EXPECT_EQ(record.entity, nullptr);
	held.reset();
	EXPECT_TRUE(deleted);

	// Destroy clears the back pointer before the entity goes.
	bool destroyed = false;
	MapObjectDef other;
	Walker *walker = new Walker(nullptr, &destroyed);
	walker->LinkToMap(nullptr, &other);
	other.entity = walker;
	walker->Destroy();
	EXPECT_TRUE(destroyed);
	EXPECT_EQ(other.entity, nullptr);

	// Taken out of its scene: the scene and the record both let go of it.
	Scene scene;
	MapObjectDef third;
	Walker kept(nullptr);
	kept.LinkToMap(nullptr, &third);
	third.entity = &kept;
	scene.AddEntity(&kept);
	kept.NotifyRemoved();
	EXPECT_FALSE(scene.HasEntity(&kept));
	EXPECT_EQ(third.entity, nullptr);
	EXPECT_EQ(kept.mapObject, &third);

	// A record that points at another entity is left alone, and a null
	// record links to the shared empty one, whose name is empty.
	Walker stranger(nullptr);
	stranger.LinkToMap(nullptr, &third);
	third.entity = &kept;
	stranger.NotifyRemoved();
	EXPECT_EQ(third.entity, &kept);
	stranger.LinkToMap(nullptr, nullptr);
	EXPECT_EQ(stranger.mapObject, &MapEntity::EmptyMapObject());
	EXPECT_EQ(stranger.name.Get(), nullptr);
	EXPECT_EQ(MapEntity::EmptyMapObject().entity, nullptr);
	third.entity = nullptr;
}
