// What the game remembers of the trees and grass of a map: in the real
// in-game scene, a felled tree is still a stump when the hero walks back in
// after another map, because its map's groups go into the progress record;
// cut grass is not remembered and has grown back.
#include "engine/collision/Collider.h"
#include "objects/ItemKinds.h"
#include "objects/PropGrass.h"
#include "objects/PropTree.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"

#include <gtest/gtest.h>

namespace {

void Plant(TileMapData &data, uint32_t kind, uint16_t id, int x, int y)
{
	MapObjectDef record;
	record.kind = kObjectEntity;
	record.type = static_cast<uint8_t>(kind - kEntityKindFromTypeOffset);
	record.id = id;
	record.x = static_cast<uint16_t>(x);
	record.y = static_cast<uint16_t>(y);
	data.entityRecords.push_back(record);
}

TEST(TreeProgress, FelledTreeIsAStumpOnTheWayBackAndGrassHasGrown)
{
	GameSceneTestWorld world;
	std::string whyNot;
	if (!world.Prepare(whyNot))
		SKIP_FOR_MISSING_DEVICE() << whyNot;
	world.book.AddFlat("home", 12, 10, [](TileMapData &data) {
		MapBook::AddObject(data, kObjectExit, "town", 11, 3, 1, 3);
		Plant(data, PropTree::kKind, 20, 5, 5);
		Plant(data, PropGrass::kKind, 21, 7, 5);
	});
	world.book.AddFlat("town", 16, 12, [](TileMapData &data) { MapBook::AddObject(data, kObjectExit, "home", 5, 0, 3, 1); });
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(2);
	auto entity = [&](uint16_t id) { return scene.GetMap().FindEntityRecordById(id)->entity; };
	Player &hero = scene.GetPlayer();
	hero.stats.heldKind = ItemKinds::kAxe;
	ASSERT_TRUE(hero.Attack(static_cast<MapEntity *>(entity(20)), 1, 1.0f));
	ASSERT_TRUE(hero.Attack(static_cast<MapEntity *>(entity(21)), 1, 1.0f));

	for (const char *link : {"town", "home"}) {
		world.Frames(40);
		hero.SetPosition(link[0] == 't' ? world.TileCentre(11, 4) : world.TileCentre(6, 0));
		world.Frame();
		hero.EnterMapLink(scene.GetMap().FindObjectByKey(HashName(link)));
		ASSERT_TRUE(world.UntilOn(link));
		world.Frames(2);
	}
	auto *tree = dynamic_cast<PropTree *>(entity(20));
	ASSERT_NE(tree, nullptr);
	EXPECT_TRUE(tree->IsChopped());
	EXPECT_EQ(tree->model.GetKey(), ModelReaderKey(PropTree::kStumpModel, PropTree::kStumpModel));
	EXPECT_FLOAT_EQ(tree->model.GetTransform().scale.x, PropTree::kStumpScale * 0.8f); // id 20
	EXPECT_EQ(tree->collider->mode, Collider::kModeIgnored);
	EXPECT_FLOAT_EQ(tree->shadowSize, 0.0f);
	ASSERT_NE(entity(21), nullptr);
	EXPECT_TRUE(entity(21)->IsActive());
}

} // namespace
