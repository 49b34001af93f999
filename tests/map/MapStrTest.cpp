#include "map/MapStr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

TEST(MapStr, EachKindCutsToItsCapacity)
{
	struct Row {
		const char *kind;
		size_t sourceLength;
		size_t keptLength;
		uint16_t capacity;
	};
	const Row rows[] = {
		{"name", 20, 15, 16}, {"name", 15, 15, 16}, {"name", 1, 1, 16},
		{"path", 70, 63, 64}, {"path", 63, 63, 64},
		{"message", 300, 255, 256}, {"message", 255, 255, 256},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::string(row.kind) + " from " + std::to_string(row.sourceLength));
		std::string source;
		for (size_t i = 0; i < row.sourceLength; i++)
			source += static_cast<char>('a' + i % 26);
		MapStr str;
		if (strcmp(row.kind, "name") == 0)
			str = MapName(source.c_str());
		else if (strcmp(row.kind, "path") == 0)
			str = MapPath(source.c_str());
		else
			str = MapMessage(source.c_str());
		ASSERT_NE(str.Get(), nullptr);
		EXPECT_EQ(std::string(str.Get()), source.substr(0, row.keptLength));
		EXPECT_EQ(str.Length(), row.capacity);
	}
}

TEST(MapStr, EmptyAndNullSourcesHoldNothing)
{
	const char *sources[] = {nullptr, ""};
	for (const char *source : sources) {
		SCOPED_TRACE(source ? "empty" : "null");
		MapMessage str(source);
		EXPECT_EQ(str.Get(), nullptr);
		EXPECT_EQ(str.Length(), 0);
		EXPECT_FALSE(str.IsSet());
		EXPECT_STREQ(str.GetOr("fallback"), "fallback");
		MapMessage copy(str);
		EXPECT_EQ(copy.Get(), nullptr);
	}
	EXPECT_STREQ(MapStr::GetOr(nullptr, "fallback"), "fallback");
	EXPECT_FALSE(MapStr::IsSet(nullptr));
	MapName set("Maren");
	EXPECT_STREQ(MapStr::GetOr(&set, "fallback"), "Maren");
	EXPECT_TRUE(MapStr::IsSet(&set));
}

TEST(MapStr, CopiesOwnTheirTextAndKeepTheSourceCapacity)
{
	std::string longText(200, 'x');
	MapMessage message(longText.c_str());
	MapName name("short");
	MapStr &base = name;
	base = message; // a name that receives a message keeps all of it
	EXPECT_EQ(name.Length(), 256);
	EXPECT_EQ(std::string(name.Get()), longText);
	EXPECT_NE(name.Get(), message.Get());

	MapName original("Bess");
	MapName copy(original);
	EXPECT_NE(copy.Get(), original.Get());
	original = MapName("Maren");
	EXPECT_STREQ(copy.Get(), "Bess");

	// Assigning a string to itself keeps it (and reads no freed memory).
	MapName &alias = copy;
	copy = alias;
	EXPECT_STREQ(copy.Get(), "Bess");

	// Assigning an empty string clears.
	copy = MapName();
	EXPECT_EQ(copy.Get(), nullptr);
	EXPECT_EQ(copy.Length(), 0);

	MapName moved(std::move(original));
	EXPECT_STREQ(moved.Get(), "Maren");
	EXPECT_EQ(original.Get(), nullptr); // NOLINT: a moved-from string is empty
}
