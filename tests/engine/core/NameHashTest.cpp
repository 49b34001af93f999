#include <gtest/gtest.h>

#include "engine/core/NameHash.h"

TEST(NameHash, KnownNamesHashToFixedValues)
{
	struct Row {
		const char *text;
		uint16_t hash;
	};
	const Row rows[] = {
		{"A", 48494}, {"ab", 43296}, {"abc", 62051}, {"ABC", 62051}, {"a b\tc\r\n", 62051},
		{"ABC # a comment", 62051}, {"a-b", 62311}, {"a_b", 62311}, {"#", 5381}, {"   ", 5381},
		{"", 0}, {nullptr, 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.text != nullptr ? row.text : "(null)");
		EXPECT_EQ(HashName(row.text), row.hash);
		EXPECT_TRUE(NameHashEquals(row.hash, row.text));
	}
}

TEST(NameHash, NamesCompareByHash)
{
	struct Row {
		const char *a;
		const char *b;
		bool equal;
	};
	const Row rows[] = {
		{"Old Mill", "OLDMILL", true},
		{"a\xE9", "a_", true}, // bytes above 127 count as punctuation
		{"a.b", "a!b", true},
		{"abc", "abd", false},
		{"ab", "ba", false},
		{"#", "", false}, // a name that is only a comment still starts the hash
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
		EXPECT_EQ(NameEquals(row.a, row.b), row.equal);
	}
}

TEST(NameHash, CombinedHashesAreNotReducedTo16Bits)
{
	EXPECT_EQ(CombineNameHashes("abc", "abc"), 124102);
	EXPECT_EQ(CombineNameHashes(nullptr, "A"), 48494);
}
