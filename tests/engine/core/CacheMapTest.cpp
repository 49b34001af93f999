#include <gtest/gtest.h>

#include "engine/core/CacheMap.h"

namespace {

struct Thing {
	int id = 0;
};

}

TEST(CacheMap, CountsUsersDownToZeroAndNoFurther)
{
	CacheMap<Thing> cache;
	Thing thing{1};
	EXPECT_FALSE(cache.Find(7).IsValid());
	EXPECT_EQ(cache.Find(7).GetKey(), 0);

	ASSERT_TRUE(cache.Insert(7, &thing));
	EXPECT_EQ(cache.GetUsers(7), 0); // inserting takes no use
	const CacheHandle<Thing> handle = cache.Find(7);
	EXPECT_EQ(handle.Get(), &thing);
	EXPECT_EQ(handle.GetKey(), 7);
	EXPECT_EQ(cache.Share(handle).Get(), &thing);
	EXPECT_EQ(cache.GetUsers(7), 2);

	testing::internal::CaptureStdout();
	const int16_t expected[] = {1, 0, 0};
	for (int16_t users : expected) {
		SCOPED_TRACE(users);
		EXPECT_TRUE(cache.Release(handle));
		EXPECT_EQ(cache.GetUsers(7), users);
	}
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
	// A released entry keeps its object for the next holder.
	EXPECT_EQ(cache.Find(7).Get(), &thing);
}

TEST(CacheMap, RefusesReplacementAndUnmanagedReleases)
{
	CacheMap<Thing> cache;
	Thing first{1}, second{2};
	EXPECT_FALSE(cache.Release(CacheHandle<Thing>(&first, 7))); // empty cache
	ASSERT_TRUE(cache.Insert(7, &first));
	cache.Find(7);

	testing::internal::CaptureStdout();
	EXPECT_FALSE(cache.Insert(7, &second));
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cache replace not allowed!\n");
	EXPECT_EQ(cache.Find(7).Get(), &first);
	EXPECT_EQ(cache.GetUsers(7), 2);

	struct Row {
		const char *name;
		CacheHandle<Thing> handle;
	};
	const Row rows[] = {
		{"key 0 marks an unmanaged object", CacheHandle<Thing>(&first, 0)},
		{"no object", CacheHandle<Thing>(nullptr, 7)},
		{"key not cached", CacheHandle<Thing>(&first, 9)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		testing::internal::CaptureStdout();
		EXPECT_FALSE(cache.Release(row.handle));
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
		EXPECT_EQ(cache.GetUsers(7), 2);
	}
}

TEST(CacheMap, NamesAndFreeKeys)
{
	CacheMap<Thing> cache;
	Thing thing;
	ASSERT_TRUE(cache.InsertByName("Font Big", &thing));
	EXPECT_EQ(cache.FindByName("  font big ").Get(), &thing);
	EXPECT_EQ(cache.GetUsers(HashName("FONTBIG")), 1);

	for (uint16_t key : {5, 6, 7, 0, 1})
		cache.Insert(key, &thing);
	struct Row {
		uint16_t from;
		uint16_t free;
	};
	const Row rows[] = {{4, 8}, {5, 8}, {7, 8}, {8, 9}, {65535, 2}, {65534, 65535}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.from);
		EXPECT_EQ(cache.NextFreeKey(CacheHandle<Thing>(&thing, row.from)), row.free);
	}

	// The program-wide cache is one: what one call caches, the next finds.
	static Thing shared; // the cache never forgets it, so it outlives the test
	ASSERT_TRUE(CacheMap<Thing>::GetInstance().Insert(4242, &shared));
	const CacheHandle<Thing> &found = CacheMap<Thing>::GetInstance().Find(4242);
	EXPECT_EQ(found.Get(), &shared);
	EXPECT_EQ(CacheMap<Thing>::GetInstance().GetUsers(4242), 1);
	EXPECT_TRUE(CacheMap<Thing>::GetInstance().Release(found));
}

TEST(CacheMap, UserCountSaturatesInsteadOfTurningNegative)
{
	CacheMap<Thing> cache;
	Thing thing;
	cache.Insert(3, &thing);
	for (int i = 0; i < 40000; ++i)
		cache.Find(3);
	EXPECT_EQ(cache.GetUsers(3), INT16_MAX);
	testing::internal::CaptureStdout();
	EXPECT_TRUE(cache.Release(cache.Find(3)));
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
	EXPECT_EQ(cache.GetUsers(3), INT16_MAX - 1);
}
