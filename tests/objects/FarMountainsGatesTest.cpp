// The gates of the far fields and the mountains, on the shipped maps with
// the game's own objects: Hedda's hill gate and the fallen rocks of the
// pass stay shut until their quest's flag is saved and open on every load
// after it; plates the map remembers as pressed get their crate or boulder
// back; a map whose foes were all beaten keeps them down, and the bars that
// wait for it stay down with them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/collision/Collider.h"
#include "engine/core/Scene.h"
#include "engine/core/NameHash.h"
#include "map/TileMap.h"
#include "map/TileMapData.h"
#include "objects/Actor.h"
#include "objects/GameLink.h"
#include "objects/MapEntityFactory.h"
#include "objects/ObjectScriptWorld.h"
#include "objects/PropBlockRaiseLower.h"
#include "objects/PropDoor.h"
#include "objects/PropSwitch.h"
#include "support/ObjectTestWorld.h"
#include "support/TilePathFinder.h"

namespace {

constexpr int kMostLoadSteps = 200;
constexpr float kFrame = 1.0f / 60.0f;

// One shipped map loaded through every phase into a running scene, with the
// game flags and the remembered groups of the test's case; its objects then
// live a few frames.
class LoadedMap {
public:
	LoadedMap(const std::string &name, const std::vector<const char *> &flags, const std::vector<uint8_t> &remembered)
	{
		for (const char *flag : flags)
			link.SetFlagId(HashName(flag), true);
		GameLink::Install(&link);
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		map.SetEntityFactory(&factory);
		map.SetScriptWorld(&objects);
		testing::internal::CaptureStdout();
		map.Load(("maps/" + name + ".tmx").c_str(), 0, nullptr);
		int steps = 0;
		while (map.Step() && ++steps < kMostLoadSteps) {
		}
		// As the scene of play gives a map back what it held when left.
		for (uint8_t group : remembered)
			map.SetGroupFlag(group, true);
		for (int i = 0; i < 30; i++)
			scene.Update(kFrame);
		testing::internal::GetCapturedStdout();
	}
	~LoadedMap()
	{
		map.Clear();
		GameLink::Install(nullptr);
	}

	MapObjectDef *Record(const char *name)
	{
		for (MapObjectDef &record : map.GetMapData().entityRecords)
			if (record.name.IsSet() && std::string(record.name.Get()) == name)
				return &record;
		return nullptr;
	}
	std::vector<MapObjectDef *> RecordsOfKind(uint32_t kind)
	{
		std::vector<MapObjectDef *> found;
		for (MapObjectDef &record : map.GetMapData().entityRecords)
			if (MapEntityKindFromType(record.type) == kind)
				found.push_back(&record);
		return found;
	}
	PathTile TileOf(const Entity &entity)
	{
		int16_t x = 0;
		int16_t y = 0;
		map.WorldToTile(entity.transform.position, x, y);
		return {x, y};
	}

	objecttest::ObjectLink link; // the game's record of flags
	MapEntityFactory factory;
	ObjectScriptWorld objects;
	Scene scene;
	TileMap map;
};

template <typename T>
T *EntityOf(MapObjectDef *record)
{
	return record != nullptr ? dynamic_cast<T *>(record->entity) : nullptr;
}

} // namespace

TEST(FarMountainsGates, HeddasHillGateOpensOnlyOnceTheWellRunsClear)
{
	for (bool clear : {false, true}) {
		SCOPED_TRACE(clear ? "farwell saved" : "farwell not saved");
		LoadedMap far4("far4", clear ? std::vector<const char *>{"farwell"} : std::vector<const char *>{}, {});
		auto *gate = EntityOf<PropDoor>(far4.Record("Hill gate"));
		ASSERT_NE(nullptr, gate);
		EXPECT_EQ(clear, gate->IsOpen());
		EXPECT_EQ(!clear, gate->IsLocked()) << "the hero cannot open it by hand";
		// The yard gate waits for Hedda's word, whatever the well.
		auto *yard = EntityOf<PropDoor>(far4.Record("Yard gate"));
		ASSERT_NE(nullptr, yard);
		EXPECT_FALSE(yard->IsOpen());
	}
}

TEST(FarMountainsGates, TheRocksSealThePassUntilOrrinDropsThem)
{
	for (bool open : {false, true}) {
		SCOPED_TRACE(open ? "mountainpass saved" : "mountainpass not saved");
		LoadedMap pass("mountain4", open ? std::vector<const char *>{"mountainpass"} : std::vector<const char *>{}, {});
		const std::vector<MapObjectDef *> rocks = pass.RecordsOfKind(5);
		ASSERT_EQ(2u, rocks.size());
		TilePathFinder finder(pass.map);
		for (MapObjectDef *record : rocks) {
			auto *rock = EntityOf<PropBlockRaiseLower>(record);
			ASSERT_NE(nullptr, rock);
			EXPECT_EQ(open, rock->IsLowered());
			ASSERT_NE(nullptr, rock->collider);
			EXPECT_EQ(open, rock->collider->mode == Collider::kModeIgnored);
			if (!rock->IsLowered())
				finder.Block(pass.TileOf(*rock));
		}
		// From the quarry basin to the map's north edge, where hot1 lies.
		const std::vector<PathTile> way = finder.Find({16, 20}, [](const PathTile &tile) { return tile.y == 0; });
		EXPECT_EQ(open, !way.empty()) << "a way north past the rocks";
	}
}

TEST(FarMountainsGates, PressedPlatesGetTheirWeightsBack)
{
	struct Row {
		const char *map;
		uint8_t plate;        // the switch's object id, the group it keeps
		const char *weight;   // the crate or boulder that presses it
		const char *stone;    // a block worked by it, or null
		bool rises;           // the block comes up while the plate is pressed
	};
	const Row rows[] = {
		{"far4", 30, "Yard boulder", "Sluice stone", false},
		{"far41", 5, "Hollow crate", "Alcove stone", false},
		{"mountain4", 5, "Pen crate", "Gap stone", true},
		{"mountain4", 6, "Gully boulder", nullptr, false},
	};
	for (const Row &row : rows) {
		for (bool pressed : {false, true}) {
			SCOPED_TRACE(std::string(row.map) + " " + row.weight + (pressed ? " pressed" : " not pressed"));
			LoadedMap map(row.map, {}, pressed ? std::vector<uint8_t>{row.plate} : std::vector<uint8_t>{});
			MapObjectDef *plateRecord = map.map.FindEntityRecordById(row.plate);
			auto *plate = EntityOf<PropSwitch>(plateRecord);
			ASSERT_NE(nullptr, plate);
			MapObjectDef *weightRecord = map.Record(row.weight);
			ASSERT_NE(nullptr, weightRecord);
			ASSERT_NE(nullptr, weightRecord->entity);
			const PathTile on = map.TileOf(*weightRecord->entity);
			const PathTile plateTile{plateRecord->x, plateRecord->y};
			const PathTile home{weightRecord->x, weightRecord->y};
			EXPECT_EQ(pressed ? plateTile : home, on);
			EXPECT_EQ(pressed, plate->IsOn()) << "the weight holds the plate down";
			if (row.stone != nullptr) {
				auto *stone = EntityOf<PropBlockRaiseLower>(map.Record(row.stone));
				ASSERT_NE(nullptr, stone);
				EXPECT_EQ(pressed != row.rises, stone->IsLowered());
			}
		}
	}
}

TEST(FarMountainsGates, BeatenFoesStayDownOnTheirMap)
{
	// What the map records once its last foe falls: the foes-beaten group.
	constexpr uint8_t kFoesBeatenGroup = 1;
	constexpr uint32_t kBlockLowerKind = 5;
	const std::vector<uint32_t> foeKinds = {51, 52, 53, 57, 61};
	for (const char *name : {"far2", "far3", "far4", "far41", "far6", "mountain2", "mountain4"}) {
		for (bool beaten : {false, true}) {
			SCOPED_TRACE(std::string(name) + (beaten ? " cleared before" : " not cleared"));
			LoadedMap map(name, {}, beaten ? std::vector<uint8_t>{kFoesBeatenGroup} : std::vector<uint8_t>{});
			int foes = 0;
			for (uint32_t kind : foeKinds) {
				for (MapObjectDef *record : map.RecordsOfKind(kind)) {
					auto *foe = dynamic_cast<Actor *>(record->entity);
					ASSERT_NE(nullptr, foe);
					foes++;
					EXPECT_EQ(!beaten, foe->HasHearts()) << record->name.GetOr("a foe");
				}
			}
			EXPECT_GT(foes, 0) << "every map of the region has its foes";
			// Bars that wait for a quiet map (the foothills' herders' bars)
			// stand until then and stay down after.
			for (MapObjectDef *record : map.RecordsOfKind(kBlockLowerKind)) {
				if (record->flag != kFoesBeatenGroup)
					continue;
				auto *bar = EntityOf<PropBlockRaiseLower>(record);
				ASSERT_NE(nullptr, bar);
				EXPECT_EQ(beaten, bar->IsLowered()) << record->name.GetOr("a bar");
			}
		}
	}
}
