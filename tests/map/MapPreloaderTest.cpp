#include "map/MapPreloader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "engine/core/Entity.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "map/MapFiles.h"
#include "map/TileMap.h"
#include "map/EntityFactory.h"
#include "support/SharedRenderer.h"
#include "support/MissingDevice.h"

namespace {

// Counts what the tile map asks of it, per preloader step, and makes plain
// world objects that count themselves while they live.
class CountingFactory : public EntityFactory {
public:
	bool CanCreate(uint16_t type) override
	{
		(void)type;
		asked.back()++;
		return true;
	}
	Entity *Create(uint16_t type) override
	{
		(void)type;
		return new Counted(&alive);
	}
	void NextStep() { asked.push_back(0); }

	std::vector<int> asked = {0}; // CanCreate calls of each step
	int alive = 0;

private:
	class Counted : public Entity {
	public:
		explicit Counted(int *alive) : alive(alive)
		{
			kind = kMapEntityClassId;
			++*alive;
		}
		~Counted() override { --*alive; }

	private:
		int *alive;
	};
};

// Keeps the program-wide current preloader as the test found it. Loading a
// map builds its materials and shaders, which needs the GL context.
class MapPreloaderTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		Renderer *renderer = SharedStartedRenderer(whyNot);
		if (renderer == nullptr)
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		SDL_GL_MakeCurrent(renderer->GetWindow(), renderer->GetContext());
		before = MapPreloader::Instance();
		MapPreloader::SetInstance(nullptr);
	}
	void TearDown() override
	{
		MapPreloader::SetInstance(before);
	}

	static uint16_t HomeId() { return MapFileHash("maps/home.tmx"); }

	MapPreloader *before = nullptr;
};

}

// A map id that no file in "maps" has leaves nothing to load: the preloader
// is done at once with an empty map, and stepping it changes nothing.
TEST_F(MapPreloaderTest, UnknownMapIsNotLoadingAndStaysEmpty)
{
	testing::internal::CaptureStdout(); // the empty path is refused with a log line
	MapPreloader preloader(HashName("no map is called this"), MapPreloader::kBackdropFlags);
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(preloader.GetMapId(), HashName("no map is called this"));
	EXPECT_FALSE(preloader.IsLoading());
	ASSERT_NE(preloader.GetTileMap(), nullptr);
	EXPECT_EQ(preloader.GetTileMap()->GetLoadState().phase, (uint32_t)kPhaseAborted);
	preloader.Step();
	preloader.Finish();
	const TileMapData &data = preloader.GetTileMap()->GetMapData();
	EXPECT_EQ(data.width, 0);
	EXPECT_TRUE(data.tiles.empty());
	EXPECT_EQ(preloader.GetTileMap()->GetSlotMesh(0).GetVertexCount(), 0u);
}

// The backdrop is loaded a phase per step, and its entity phase handles at
// most five placements per step; with the no-actors flag, actor placements
// are passed over without asking the factory.
TEST_F(MapPreloaderTest, LoadsAPhasePerStepAndFiveEntitiesAtMost)
{
	struct Row {
		const char *name;
		uint16_t flags;
	};
	const Row rows[] = {
		{"no scripts", 1},
		{"backdrop: no scripts, no actors", MapPreloader::kBackdropFlags},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		MapPreloader preloader(HomeId(), row.flags);
		TileMap *map = preloader.GetTileMap();
		// The first step ran inside: the old map is gone, the new one not
		// yet built.
		EXPECT_TRUE(preloader.IsLoading());
		EXPECT_EQ(map->GetLoadState().phase, (uint32_t)kPhaseBuild);
		EXPECT_TRUE(preloader.GetScene()->HasEntity(map));
		CountingFactory factory;
		map->SetEntityFactory(&factory);

		preloader.Step();
		EXPECT_EQ(map->GetLoadState().phase, (uint32_t)kPhaseEntities);
		EXPECT_EQ(map->GetMapData().width, 24);
		const std::vector<MapObjectDef> &records = map->GetMapData().entityRecords;
		ASSERT_GE(records.size(), 6u) << "the map needs more placements than one step takes";

		// What each step of the entity phase should ask the factory.
		std::vector<int> expected;
		for (size_t start = 0; start < records.size(); start += MapPreloader::kEntitiesPerStep) {
			size_t end = std::min(records.size(), start + MapPreloader::kEntitiesPerStep);
			int asked = 0;
			for (size_t i = start; i < end; i++)
				if ((row.flags & TileMapLoadState::kNoActors) == 0 || !IsActorKind(MapEntityKindFromType(records[i].type)))
					asked++;
			expected.push_back(asked);
		}
		factory.asked.clear();
		int steps = 0;
		while (map->GetLoadState().phase == kPhaseEntities) {
			factory.NextStep();
			preloader.Step();
			steps++;
			ASSERT_LE(steps, (int)records.size()) << "the entity phase does not end";
		}
		EXPECT_EQ(factory.asked, expected);
		EXPECT_EQ(factory.alive, std::accumulate(expected.begin(), expected.end(), 0));

		EXPECT_TRUE(preloader.IsLoading());
		preloader.Step();
		EXPECT_FALSE(preloader.IsLoading());
		EXPECT_EQ(map->GetLoadState().phase, (uint32_t)kPhaseLoaded);

		// Further steps leave the map as it is.
		uint32_t tops = map->GetSlotMesh(0).GetVertexCount();
		EXPECT_GT(tops, 0u);
		factory.NextStep();
		preloader.Step();
		preloader.Finish();
		EXPECT_EQ(factory.asked.back(), 0);
		EXPECT_EQ(map->GetLoadState().phase, (uint32_t)kPhaseLoaded);
		EXPECT_EQ(map->GetSlotMesh(0).GetVertexCount(), tops);

		// The preloader outlives the factory given here.
		preloader.Discard();
		EXPECT_EQ(factory.alive, 0);
	}
}

// The first preloader becomes the current one and a later one does not
// replace it; discarding empties the map, destroys its entities and leaves
// no preloader current; a preloader that goes is never left current.
TEST_F(MapPreloaderTest, CurrentPreloaderFollowsCreationDiscardAndDeletion)
{
	MapPreloader *first = new MapPreloader(HomeId(), MapPreloader::kBackdropFlags);
	EXPECT_EQ(MapPreloader::Instance(), first);
	MapPreloader second(HashName("town"), MapPreloader::kBackdropFlags);
	EXPECT_EQ(MapPreloader::Instance(), first);

	CountingFactory factory;
	first->GetTileMap()->SetEntityFactory(&factory);
	first->Finish();
	EXPECT_FALSE(first->IsLoading());
	EXPECT_GT(factory.alive, 0);
	EXPECT_EQ(first->GetTileMap()->GetMapData().width, 24);

	first->Discard();
	EXPECT_EQ(MapPreloader::Instance(), nullptr);
	EXPECT_FALSE(first->IsLoading());
	EXPECT_EQ(factory.alive, 0);
	EXPECT_TRUE(first->GetTileMap()->GetMapData().tiles.empty());
	EXPECT_EQ(first->GetTileMap()->GetSlotMesh(0).GetVertexCount(), 0u);

	MapPreloader::SetInstance(first);
	delete first;
	EXPECT_EQ(MapPreloader::Instance(), nullptr);

	// Deleting a preloader that is not the current one leaves the current.
	MapPreloader::SetInstance(&second);
	{
		MapPreloader third(HomeId(), MapPreloader::kBackdropFlags);
	}
	EXPECT_EQ(MapPreloader::Instance(), &second);
}

// The title screen takes the finished tile map into a scene of its own; the
// preloader still owns it and, when it goes, clears it, destroys its entities
// and takes it out of that scene.
TEST_F(MapPreloaderTest, TileMapTakenByAnotherSceneIsClearedWithThePreloader)
{
	Scene title;
	CountingFactory factory;
	TileMap *map = nullptr;
	{
		MapPreloader preloader(HomeId(), MapPreloader::kBackdropFlags);
		preloader.GetTileMap()->SetEntityFactory(&factory);
		preloader.Finish();
		map = preloader.GetTileMap();
		title.AddEntity(map);
		EXPECT_TRUE(title.HasEntity(map));
		EXPECT_FALSE(preloader.GetScene()->HasEntity(map));
		EXPECT_GT(factory.alive, 0);
	}
	EXPECT_EQ(factory.alive, 0);
	EXPECT_FALSE(title.HasEntity(map));
}
