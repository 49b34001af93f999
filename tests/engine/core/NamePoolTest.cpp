#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/core/NamePool.h"
#include "engine/core/Random.h"

TEST(NamePool, PrintsNumberedNamesFromOne)
{
	const std::string longPattern = std::string(40, 'p') + "%d";
	const std::string longName(31, 'p');
	struct Row {
		const char *pattern;
		uint8_t count;
		std::vector<const char *> names; // nullptr: no name at that index
	};
	const Row rows[] = {
		{"sfx/hit%d.wav", 3, {"sfx/hit1.wav", "sfx/hit2.wav", "sfx/hit3.wav"}},
		{"", 2, {nullptr, nullptr}},
		{longPattern.c_str(), 1, {longName.c_str()}},
		{"x", 0, {}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.pattern);
		NamePool pool(row.pattern, row.count);
		EXPECT_EQ(pool.GetCount(), row.count);
		for (size_t i = 0; i < row.names.size(); ++i) {
			if (row.names[i] == nullptr)
				EXPECT_EQ(pool.Get(static_cast<uint8_t>(i)), nullptr);
			else
				EXPECT_STREQ(pool.Get(static_cast<uint8_t>(i)), row.names[i]);
		}
		EXPECT_EQ(pool.Get(row.count), nullptr);
		EXPECT_EQ(pool.Get(255), nullptr);
	}
}

TEST(NamePool, RegenerateWithFewerNamesStartsAgainFromOne)
{
	NamePool pool("sfx/step%d.wav", 5);
	pool.Generate("sfx/thuda%d.wav", 2);
	EXPECT_EQ(pool.GetCount(), 2);
	EXPECT_STREQ(pool.Get(0), "sfx/thuda1.wav");
	EXPECT_STREQ(pool.Get(1), "sfx/thuda2.wav");
	EXPECT_EQ(pool.Get(2), nullptr);
}

TEST(NamePool, RandomPicksComeFromThePool)
{
	NamePool empty;
	Random generator;
	EXPECT_EQ(empty.PickRandom(nullptr), nullptr);
	EXPECT_EQ(empty.PickRandom(&generator), nullptr);

	NamePool pool("sfx/hit%d.wav", 3);
	Random reference;
	std::set<std::string> seen;
	for (int i = 0; i < 300; ++i) {
		// With a generator the pick follows its sequence exactly.
		EXPECT_STREQ(pool.PickRandom(&generator), pool.Get(static_cast<uint8_t>(reference.Next() % 3)));
		const char *name = pool.PickRandom(nullptr);
		ASSERT_NE(name, nullptr);
		seen.insert(name);
	}
	EXPECT_EQ(seen, std::set<std::string>({"sfx/hit1.wav", "sfx/hit2.wav", "sfx/hit3.wav"}));
	EXPECT_EQ(RandomBelow(&generator, 0), 0u);
	EXPECT_EQ(RandomBelow(nullptr, 10), 0u);
}
