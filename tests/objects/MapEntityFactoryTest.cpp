// The entity kinds of map placements, the factory's answers for them, and the
// two questions the tile map asks world objects through a factory: linking
// what it placed, and whether an enemy still fights.
#include "objects/MapEntityFactory.h"

#include "engine/core/Scene.h"
#include "map/MapFiles.h"
#include "objects/MapEntity.h"
#include "support/GridMap.h"
#include "support/TestWalker.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint16_t kActorClassId = 2000;

// An enemy as the map sees one: of the actor class, on the hostile side, and
// fighting until the test says it is beaten.
class Foe : public Walker {
public:
	Foe() : Walker(nullptr) { faction = 4; }
	bool IsKind(uint16_t testKind) override { return testKind == kActorClassId || Walker::IsKind(testKind); }
	bool IsStillFighting() const override { return fighting; }
	bool fighting = true;
};

// Answers the map-entity class test without being a map entity.
class LookAlike : public Entity {
public:
	bool IsKind(uint16_t testKind) override { return testKind == MapEntity::kClassId || Entity::IsKind(testKind); }
};

class FoeFactory : public MapEntityFactory {
public:
	bool CanCreate(uint16_t) override { return true; }
	Entity *Create(uint16_t) override
	{
		made.push_back(new Foe());
		return made.back();
	}
	std::vector<Foe *> made;
};

} // namespace

TEST(EntityKinds, FamiliesOfKindsAtTheirEdges)
{
	struct Row {
		uint32_t kind;
		bool npc, enemy, pickup, actor;
	};
	const Row rows[] = {
		{0, false, false, false, false},
		{1, false, false, false, true}, // the player
		{2, false, false, false, false},
		{25, false, false, false, false},
		{26, true, false, false, true},
		{31, true, false, false, true},
		{32, false, false, false, false},
		{33, false, false, false, false},
		{34, false, false, true, false},
		{42, false, false, true, false},
		{49, false, false, true, false},
		{50, false, true, false, true},
		{57, false, true, false, true},
		{58, false, false, false, false},
		{60, false, false, false, false},
		{61, false, true, false, true},
		{62, false, true, false, true},
		{63, false, false, false, false},
		{64, false, false, false, false},
		{0x10032, false, false, false, false}, // 50 in the low 16 bits only
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("kind " + std::to_string(row.kind));
		EXPECT_EQ(IsNPCKind(row.kind), row.npc);
		EXPECT_EQ(IsEnemyKind(row.kind), row.enemy);
		EXPECT_EQ(IsPickupKind(row.kind), row.pickup);
		EXPECT_EQ(IsActorKind(row.kind), row.actor);
	}
}

TEST(EntityKinds, TypesAndKindsConvertInSixteenBits)
{
	struct Row {
		uint16_t type;
		uint32_t kind;
		bool canCreate;
	};
	const Row rows[] = {
		{0, 2, true},    // the crate
		{21, 23, true},  // a kind without a class still passes CanCreate
		{61, 63, true},   // the model prop
		{20, 22, true},   // the fireplace
		{62, 64, false},
		{255, 257, false},
		{65534, 0, true}, // wraps in 16 bits
		{65535, 1, true},
	};
	MapEntityFactory factory;
	for (const Row &row : rows) {
		SCOPED_TRACE("type " + std::to_string(row.type));
		EXPECT_EQ(MapEntityKindFromType(row.type), row.kind);
		EXPECT_EQ(EntityKindToIndex(row.kind), row.type);
		EXPECT_EQ(factory.CanCreate(row.type), row.canCreate);
		// Kinds without a class (yet) build nothing; the others their class.
		std::unique_ptr<Entity> made(factory.Create(row.type));
		const bool built = row.kind == 63 || row.kind == 22 || row.kind == 2;
		EXPECT_EQ(made != nullptr, built);
		if (made != nullptr) {
			EXPECT_EQ(static_cast<MapEntity *>(made.get())->GetKind(), row.kind);
		}
	}
	for (uint32_t kind : {0u, 1u, 23u, 64u, 1000u})
		EXPECT_EQ(MapEntityFactory::CreateByKind(kind), nullptr) << "kind " << kind;
}

TEST(EntityFactorySeams, LinkingReachesOnlyRealMapEntities)
{
	MapEntityFactory factory;
	GridMap grid(2, 2, std::vector<MapTile>(4, Flat(1)));
	MapObjectDef record;
	record.name = MapName("crate");

	Walker walker(nullptr);
	factory.LinkToMap(&walker, &grid.map, &record);
	EXPECT_EQ(walker.map, &grid.map);
	EXPECT_EQ(walker.mapObject, &record);
	EXPECT_STREQ(walker.name.Get(), "crate");

	// Something that only claims the class is left untouched (and not
	// written through as if it were one); null is ignored.
	LookAlike lookAlike;
	factory.LinkToMap(&lookAlike, &grid.map, &record);
	factory.LinkToMap(nullptr, &grid.map, &record);
	EXPECT_EQ(lookAlike.kind, Entity::kDefaultKind);

	struct Row {
		const char *name;
		Entity *entity;
		bool fighting;
	};
	Foe beaten;
	beaten.fighting = false;
	Foe standing;
	Entity plain;
	const Row rows[] = {
		{"nothing", nullptr, false},
		{"a map entity never fights", &walker, false},
		{"a foe still up", &standing, true},
		{"a beaten foe", &beaten, false},
		{"not a map entity: standing is enough", &plain, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		EXPECT_EQ(factory.IsStillFighting(row.entity), row.fighting);
	}
}

TEST(EntityFactorySeams, TheMapOpensItsBeatenGroupOnceNoFoeStillFights)
{
	GridLoader loader;
	loader.width = 4;
	loader.height = 4;
	loader.tiles.assign(16, Flat(1));
	loader.extra = [](TileMapData &data) {
		for (uint16_t id = 1; id <= 2; id++) {
			MapObjectDef record;
			record.kind = kObjectEntity;
			record.id = id;
			record.x = id;
			record.type = 48; // a creature's kind, 50
			data.entityRecords.push_back(record);
		}
	};
	Scene scene;
	FoeFactory factory;
	TileMap map;
	scene.AddEntity(&map);
	map.SetMapLoader(&loader);
	map.SetEntityFactory(&factory);
	map.Load("foes.tmx", TileMapLoadState::kNoScripts, nullptr);
	while (map.Step()) {
	}
	ASSERT_EQ(factory.made.size(), 2u);

	// The first is beaten but still standing in its fall; the second fights.
	factory.made[0]->fighting = false;
	map.CheckTriggers();
	EXPECT_FALSE(map.IsGroupEnabled(1));
	EXPECT_FALSE(map.IsCleared());
	factory.made[1]->fighting = false;
	map.CheckTriggers();
	EXPECT_TRUE(map.IsGroupEnabled(1));
	EXPECT_TRUE(map.IsCleared());
}
