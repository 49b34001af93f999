#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "engine/core/Input.h"
#include "map/TMXLoader.h"
#include "objects/ActorBehaviour.h"
#include "objects/ActorBird.h"
#include "objects/FXHeart.h"
#include "objects/FXSpawner.h"
#include "objects/ItemKinds.h"
#include "objects/Player.h"
#include "objects/PropEnemyTree.h"
#include "objects/PropGrass.h"
#include "support/EntityLookCheck.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace objecttest;

namespace {

class RulesObjectLink : public ObjectLink {
public:
	int Difficulty() override { return difficulty; }
	int difficulty = 1;
};

// An actor of a side with hearts that counts its own freeing; as the bird it flies.
class Fighter : public Actor {
public:
	Fighter(uint32_t kind, uint8_t side, int *freed = nullptr) : Actor(kind), freed(freed)
	{
		faction = side;
		stats.hearts = stats.maxHearts = 6;
		verticalFactor = kind == PropEnemyTree::kBirdKind ? 0.0f : 1.0f;
	}
	~Fighter() override { freed != nullptr ? ++*freed : 0; }

private:
	int *freed;
};

uint16_t MaterialKey(const char *texture) { return static_cast<uint16_t>(HashName(texture) + HashName(PropTree::kShader)); }
uint16_t ModelKey(const char *model) { return ModelReaderKey(model, model); }
bool IsFinite(const glm::quat &q) { return std::isfinite(q.x + q.y + q.z + q.w); }

// The object world with the hero at tile (1, 1); the bird maker is put back after.
class TreeTest : public testing::Test {
protected:
	~TreeTest() override { PropEnemyTree::SetBirdMaker(nullptr); }
	void Start()
	{
		world.Load();
		GameLink::Install(&link);
		player.LinkToMap(&world.map, nullptr);
		player.SetInput(&input);
		world.scene.AddEntity(&player);
		world.Frame();
		player.Setup(world.map.TilePosition(1, 1, 0.5f, 0.5f), 0);
		player.stats.maxHearts = player.stats.hearts = 8;
		world.Frame();
	}
	bool Swing(uint32_t held, MapEntity *target)
	{
		player.stats.heldKind = held;
		return player.Attack(target, 1, 1.0f);
	}
	void MakeBirds()
	{
		PropEnemyTree::SetBirdMaker([this] { return new Fighter(PropEnemyTree::kBirdKind, kFactionHostile, &birdsFreed); });
	}

	int birdsFreed = 0; // before the world, whose map clear frees the last birds
	ObjectTestWorld world;
	RulesObjectLink link;
	Input input;
	Player player; // after the world: leaves the scene before it goes
};

TEST_F(TreeTest, LookComesFromTheGroundOrTheDefaults)
{
	// Level 1 is snow, which names its own texture and models; level 2 is
	// grass, which names none; level 0 is a hole with no surface at all.
	TileMapData &built = world.loader.built;
	built.layerIds[0] = HashName("snow");
	built.layerIds[1] = HashName("grass");
	for (int x = 5; x <= 8; x++)
		built.tiles[static_cast<size_t>(3 * ObjectTestWorld::kWidth + x)].level = x < 7 ? 2 : 0;
	struct Row {
		int x;
		uint16_t id;
		const char *model, *texture;
	};
	const Row rows[] = {
		{3, 10, "models/tree2.iqm", "mats/treesnow.png"}, // snow, x + y even: its "tree1"
		{4, 11, "models/tree4.iqm", "mats/treesnow.png"}, // snow, odd: its "tree2"
		{5, 12, PropTree::kDefaultModelEven, PropTree::kDefaultTexture},
		{6, 13, PropTree::kDefaultModelOdd, PropTree::kDefaultTexture},
		{7, 14, PropTree::kDefaultModelEven, PropTree::kDefaultTexture}, // no surface entry
		{8, 15, PropTree::kDefaultModelOdd, PropTree::kDefaultTexture},
		{-2, 16, "models/tree4.iqm", "mats/treesnow.png"}, // outside: the nearest tile's ground
	};
	for (const Row &row : rows)
		world.Place(PropTree::kKind, row.x, 3, row.id);
	world.Place(PropGrass::kKind, 7, 3, 20);
	world.Place(PropGrass::kKind, 4, 6, 21);
	Start();
	for (const Row &row : rows) {
		SCOPED_TRACE(row.id);
		auto *tree = world.Find<PropTree>(row.id);
		ASSERT_NE(tree, nullptr);
		EXPECT_EQ(tree->model.GetKey(), ModelKey(row.model));
		EXPECT_EQ(tree->model.GetMaterial().GetKey(), MaterialKey(row.texture));
		EXPECT_TRUE(NamesLookOf(*tree, tree->model));
		EXPECT_FLOAT_EQ(tree->model.GetTransform().scale.x, (row.id % 10) * 0.02f + 0.8f);
		// Trees outside the map's columns are 1.3 times bigger.
		const Vec3 at = tree->transform.position;
		const float size = 1.03f + 0.15f * (std::sin(0.08f * at.x) + std::cos(0.31f * at.z));
		EXPECT_NEAR(tree->transform.scale.y, row.x < 0 ? size * 1.3f : size, 1e-5f);
	}
	EXPECT_EQ(world.Find<PropGrass>(20)->model.GetMaterial().GetKey(), MaterialKey(PropTree::kDefaultTexture));
	EXPECT_EQ(world.Find<PropGrass>(21)->model.GetMaterial().GetKey(), MaterialKey("mats/treesnow.png"));
	for (uint16_t id : {20, 21})
		EXPECT_TRUE(NamesLookOf(*world.Find<PropGrass>(id), world.Find<PropGrass>(id)->model)) << id;
}

TEST_F(TreeTest, AxeChopsTreesAndAnythingHeldCutsGrass)
{
	const uint32_t helds[] = {0, ItemKinds::kSword, ItemKinds::kAxe, ItemKinds::kKey, ItemKinds::kFireSword};
	for (int i = 0; i < 5; i++) {
		world.Place(PropTree::kKind, 3 + i, 2, static_cast<uint16_t>(40 + i));
		world.Place(PropGrass::kKind, 3 + i, 4, static_cast<uint16_t>(50 + i));
	}
	world.Place(PropEnemyTree::kKind, 3, 6, 60);
	Start();
	for (int i = 0; i < 5; i++) {
		SCOPED_TRACE(helds[i]);
		auto *tree = world.Find<PropTree>(static_cast<uint16_t>(40 + i));
		auto *grass = world.Find<PropGrass>(static_cast<uint16_t>(50 + i));
		const bool axe = helds[i] == ItemKinds::kAxe;
		EXPECT_EQ(Swing(helds[i], tree), axe);
		EXPECT_EQ(Swing(helds[i], grass), helds[i] != 0);
		EXPECT_EQ(tree->IsChopped(), axe);
		EXPECT_EQ(grass->IsActive(), helds[i] == 0);
	}
	EXPECT_EQ(world.sounds.Count("sfx/choptree.wav"), 1u);
	EXPECT_EQ(world.sounds.Count("sfx/chopgrass.wav"), 4u);
	// The enemy tree gets its bird from the real factory; felling the tree
	// beats the bird, which stays the tree's until the tree goes.
	auto *enemy = world.Find<PropEnemyTree>(60);
	Actor *bird = enemy->GetBird();
	ASSERT_NE(dynamic_cast<ActorBird *>(bird), nullptr);
	EXPECT_TRUE(bird->HasHearts());
	EXPECT_EQ(enemy->collider->mode, Collider::kModeStatic);
	EXPECT_TRUE(Swing(ItemKinds::kAxe, enemy));
	EXPECT_FALSE(bird->HasHearts());
	EXPECT_EQ(enemy->GetBird(), bird);
	// The map remembers the felled trees, never the grass.
	EXPECT_TRUE(world.map.IsGroupEnabled(42) && world.map.IsGroupEnabled(60));
	EXPECT_FALSE(world.map.IsGroupEnabled(41) || world.map.IsGroupEnabled(51));
}

TEST_F(TreeTest, DropsBySeedDifficultyAndTheAttackersHearts)
{
	Start();
	Fighter stranger(0, kFactionHostile); // kind 0 is no actor kind
	world.scene.AddEntity(&stranger);
	world.Frame();
	struct Row {
		int seed, every, difficulty;
		bool hurt, actor;
		uint32_t drop;
	};
	const Row rows[] = {
		{0, 5, 1, true, true, kFXKindHeart},       {10, 5, 0, true, true, kFXKindHeart},
		{5, 5, 1, true, true, kFXKindChicken},     {10, 5, 1, false, true, kFXKindChicken},
		{10, 5, 2, true, true, kFXKindChicken},    {11, 5, 0, true, true, 0},
		{10, 5, 0, true, false, 0},                {14, 7, 0, true, true, kFXKindHeart},
		{10, 7, 0, true, true, 0},                 {-10, 5, 0, true, true, kFXKindHeart},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.seed * 100 + row.difficulty * 10 + row.every);
		link.difficulty = row.difficulty;
		player.stats.hearts = row.hurt ? 3 : player.stats.maxHearts;
		const MapEntity *attacker = row.actor ? static_cast<MapEntity *>(&player) : &stranger;
		EXPECT_EQ(PropTree::DropFor(attacker, row.seed, row.every), row.drop);
	}
	// Felled where its seed is 99 x 5 + 5: a heart flies out for the hurt hero.
	world.Place(PropTree::kKind, 5, 5, 7);
	world.Load();
	link.difficulty = 1;
	player.stats.hearts = 3;
	auto hearts = [&] {
		int count = 0;
		for (uint16_t i = 0; i < world.scene.GetEntityCount(); i++)
			count += dynamic_cast<FXHeart *>(world.scene.GetEntityAt(i)) != nullptr ? 1 : 0;
		return count;
	};
	const int before = hearts();
	EXPECT_TRUE(Swing(ItemKinds::kAxe, world.Find<PropTree>(7)));
	EXPECT_EQ(hearts(), before + 1);
}

TEST_F(TreeTest, ShakeLeansAwayFromTheBlowAndNeverTurnsToNaN)
{
	world.Place(PropTree::kKind, 4, 4, 7);
	Start();
	auto *tree = world.Find<PropTree>(7);
	auto rustles = [&] { return world.sounds.Count("sfx/tree1.wav") + world.sounds.Count("sfx/tree2.wav"); };
	Camera *kept = Camera::Get();
	Camera::SetCurrent(nullptr); // the scene's camera gone: the blows still land
	const Vec3 directions[] = {Vec3(1, 0, 0), Vec3(0, 0, -1), Vec3(0, -1, 0), Vec3(0), Vec3(std::nanf(""), 0, 0)};
	for (const Vec3 &direction : directions) {
		SCOPED_TRACE(direction.x + direction.y * 10 + direction.z * 100);
		world.Frames(10); // the hurt guard runs out
		const size_t before = rustles();
		tree->PlayHitSound(direction);
		tree->PlayHitSound(direction); // guarded: heard once
		EXPECT_EQ(rustles(), before + 1);
		EXPECT_FLOAT_EQ(tree->shakeTimer, 1.0f);
		world.Frames(3);
		EXPECT_TRUE(IsFinite(tree->transform.rotation));
		const bool leans = (direction.x != 0.0f && std::isfinite(direction.x)) || direction.z != 0.0f;
		EXPECT_EQ(std::fabs(glm::dot(tree->transform.rotation, tree->restRotation)) < 0.999999f, leans);
		world.Frames(20); // swaying again
		EXPECT_TRUE(IsFinite(tree->transform.rotation));
	}
	Camera::SetCurrent(kept);
}

TEST_F(TreeTest, EnemyTreeBirdPerchesWatchesSwoopsAndSettles)
{
	MakeBirds();
	world.Place(PropEnemyTree::kKind, 4, 8, 7);
	Start();
	auto *tree = world.Find<PropEnemyTree>(7);
	Actor *bird = tree->GetBird();
	ASSERT_NE(bird, nullptr);
	EXPECT_EQ(bird->mapObject->x, 4);
	EXPECT_EQ(bird->mapObject->y, 8);
	world.Frames(61); // its first look around comes after 3 s
	EXPECT_NEAR(bird->transform.position.y - tree->transform.position.y, 4.4f * tree->transform.scale.y, 1e-4f);
	EXPECT_EQ(tree->GetBirdTarget(), &player); // watched far up the map, not swooped at
	EXPECT_TRUE(tree->IsPerched());
	player.Setup(world.map.TilePosition(8, 8, 0.5f, 0.5f), 0); // along the tree's row
	world.Frame();
	EXPECT_FALSE(tree->IsPerched());
	EXPECT_EQ(bird->GetTarget(), &player);
	bird->SetTarget(nullptr); // lost, back at the perch: it settles
	bird->SetPosition(tree->PerchPoint());
	world.Frame();
	EXPECT_TRUE(tree->IsPerched());
	EXPECT_EQ(birdsFreed, 0);
}

TEST_F(TreeTest, BirdFallsWithItsTreeAndGoesWithIt)
{
	MakeBirds();
	world.Place(PropEnemyTree::kKind, 4, 4, 7);
	world.Place(PropEnemyTree::kKind, 6, 4, 8);
	Start();
	Actor *bird = world.Find<PropEnemyTree>(8)->GetBird();
	EXPECT_TRUE(Swing(ItemKinds::kAxe, world.Find<PropEnemyTree>(8)));
	EXPECT_FALSE(bird->HasHearts());
	// Taken off the map: the bird leaves the scene with its tree and is freed.
	bird = world.Find<PropEnemyTree>(7)->GetBird();
	world.Find<PropEnemyTree>(7)->Remove();
	world.Frame();
	EXPECT_EQ(birdsFreed, 1);
	EXPECT_FALSE(world.scene.HasEntity(bird));
	// The next load clears the map: the stump's beaten bird goes, and a
	// remembered stump grows no new one.
	world.Load();
	EXPECT_EQ(birdsFreed, 2);
	EXPECT_EQ(world.Find<PropEnemyTree>(8)->GetBird(), nullptr);
	EXPECT_NE(world.Find<PropEnemyTree>(7)->GetBird(), nullptr);
}

TEST(TreeMaps, OrchardGrowsTreesGrassAndAnEnemyTreeInBothEditions)
{
	for (const char *path : {"maps/orchard.tmx", "mapo/orchard.tmx"}) {
		TileMapData data;
		testing::internal::CaptureStdout();
		ASSERT_TRUE(TMXLoader().Load(path, data, 0)) << path;
		testing::internal::GetCapturedStdout();
		int counts[64] = {}; // by kind; the drop seed's multiples of 5 in slot 0
		for (const MapObjectDef &record : data.entityRecords) {
			const uint32_t kind = MapEntityKindFromType(record.type) % 64;
			counts[kind]++;
			counts[0] += kind == PropTree::kKind && PropTree::PlacementSeed(record) % PropTree::kDropEvery == 0;
		}
		for (uint32_t kind : {0u, PropTree::kKind, PropGrass::kKind, PropEnemyTree::kKind})
			EXPECT_GE(counts[kind], 1) << path << " kind " << kind;
	}
}

} // namespace
