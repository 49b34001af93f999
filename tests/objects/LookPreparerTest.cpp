#include "objects/LookPreparer.h"

#include "engine/render/Material.h"
#include "engine/render/Model3D.h"
#include "objects/FXParticles.h"
#include "objects/FXSpawner.h"
#include "objects/PropCrate.h"
#include "objects/PropHut.h"
#include "objects/PropTree.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <vector>

using namespace objecttest;

namespace {

// Whether the cache holds the key, without keeping a use of it.
template <class T> bool Cached(uint16_t key)
{
	CacheMap<T> &cache = CacheMap<T>::GetInstance();
	const CacheHandle<T> found = cache.Find(key);
	cache.Release(found);
	return found.IsValid();
}

TEST(LookPreparer, ReadiesTheLooksOfEntitiesStillToStartAndTheBurstsAndTouchesNothingElse)
{
	ObjectTestWorld world;
	world.Place(PropTree::kKind, 2, 2, 1);
	world.Place(PropHut::kKind, 6, 2, 2, "hutstore");
	world.Place(PropCrate::kKind, 4, 6, 3);
	world.LoadUnstarted();
	std::vector<EntityLook> looks;
	for (uint16_t id : {1, 2, 3})
		world.EntityOf(id)->AddLooks(looks);
	ASSERT_EQ(looks.size(), 4u); // the hut's square shadow too
	for (const EntityLook &look : looks)
		ASSERT_FALSE(Cached<ModelReader>(ModelReaderKey(look.model.c_str(), look.animations.c_str()))) << look.model;
	// The clippings of cut grass, one of the bursts.
	const uint16_t clippings = static_cast<uint16_t>(HashName("mats/clipping.png") + HashName(FXParticles::kDefaultShader));
	ASSERT_FALSE(Cached<Material>(clippings));
	const size_t listed = FXSpawner::ListedCount();
	const FXPool *grassPool = FXSpawner::FindPool(kFXKindGrass);

	LookPreparer preparer;
	preparer.Restart();
	// The map's layers, three steps a look, then a step a kind of burst; more
	// steps find nothing. A frame that draws nothing holds nothing up.
	for (int step = 0; step < TileMap::kLayerSlotCount + 3 * 4 + static_cast<int>(kFXKindLast) + 5; step++) {
		preparer.Step(world.scene);
		if (step % 2 == 0)
			preparer.Draw(world.map);
	}
	for (const EntityLook &look : looks) {
		SCOPED_TRACE(look.model);
		EXPECT_TRUE(Cached<ModelReader>(ModelReaderKey(look.model.c_str(), look.animations.c_str())));
		EXPECT_TRUE(Cached<Material>(static_cast<uint16_t>(HashName(look.texture.c_str()) + HashName(look.shader.c_str()))));
	}
	EXPECT_TRUE(Cached<Material>(clippings));
	// No effect was spawned, listed or pooled.
	EXPECT_EQ(FXSpawner::ListedCount(), listed);
	EXPECT_EQ(FXSpawner::FindPool(kFXKindGrass), grassPool);
	for (uint16_t id : {1, 2, 3})
		EXPECT_TRUE(world.EntityOf(id)->IsStartPending()) << id;
	EXPECT_FALSE(world.Find<PropHut>(2)->model.IsLoaded());
	// Their start then finds the same files.
	world.Frame();
	EXPECT_EQ(world.Find<PropHut>(2)->model.GetKey(), ModelReaderKey("models/hutstore.iqm", "models/hutstore.iqm"));
	EXPECT_FALSE(world.EntityOf(1)->IsStartPending());
}

} // namespace
