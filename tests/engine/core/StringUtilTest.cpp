#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "engine/core/StringUtil.h"

TEST(ParseDigits, CollectsDigitsAndNeverOverflows)
{
	const std::string past64 = std::string(63, 'x') + "12";
	struct Row {
		const char *text;
		int32_t value;
	};
	const Row rows[] = {
		{nullptr, 0}, {"", 0}, {"\n12", 0}, {"a1b2", 12}, {"007", 7}, {"1\n2", 12},
		{past64.c_str(), 1}, // only the first 64 characters count
		{"2147483647", INT32_MAX}, {"2147483648", INT32_MAX}, {"99999999999999999999", INT32_MAX},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.text != nullptr ? row.text : "(null)");
		EXPECT_EQ(ParseDigits(row.text), row.value);
	}
}

TEST(FormatDuration, WritesClockTextAndStopsAt99Hours)
{
	constexpr uint32_t kHour = 3600000;
	struct Row {
		uint32_t milliseconds;
		const char *text;
	};
	const Row rows[] = {
		{0, "00:00:00"}, {59999, "00:00:59"}, {kHour + 2 * 60000 + 3000, "01:02:03"},
		{99 * kHour + 3599999, "99:59:59"}, {100 * kHour, "99:59:59"}, {UINT32_MAX, "99:59:59"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.milliseconds);
		char buffer[kDurationTextSize + 4];
		memset(buffer, '#', sizeof(buffer));
		FormatDuration(buffer, row.milliseconds);
		EXPECT_STREQ(buffer, row.text);
		EXPECT_EQ(buffer[kDurationTextSize], '#'); // nothing past the 10 bytes it may use
	}
	char two[3];
	FormatTwoDigits(two, 255);
	EXPECT_STREQ(two, "99");
}

TEST(SplitNameAndNumber, SplitsLettersFromNumber)
{
	struct Row {
		const char *text;
		uint8_t maximum;
		uint8_t startNumber;
		const char *letters;
		uint8_t number;
	};
	const Row rows[] = {
		{"Letter12", 8, 0, "letter", 12},
		{"abcdefghij3", 8, 5, "abcdefg", 5}, // stops at the eighth letter, before the digit
		{"x-1_2", 8, 0, "x", 12},
		{"ab300", 8, 0, "ab", 44}, // 300 wraps in 8 bits
		{"A9", 8, 4, "a", 49},     // digits add to the caller's start value
		{"12345678", 3, 0, "", 123},
		{"abc", 2, 0, "a", 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.text);
		char letters[16];
		memset(letters, '#', sizeof(letters));
		uint8_t number = row.startNumber;
		SplitNameAndNumber(row.text, row.maximum, letters, &number);
		EXPECT_STREQ(letters, row.letters);
		EXPECT_EQ(number, row.number);
		EXPECT_EQ(letters[row.maximum], '#'); // letters needs only maximum bytes
	}
	char untouched[4] = "zz";
	SplitNameAndNumber(nullptr, 8, untouched, nullptr);
	EXPECT_STREQ(untouched, "zz");
}

TEST(CopyText, KeepsWhatFitsAndTerminates)
{
	struct Row {
		const char *text;
		size_t size;
		const char *expected;
	};
	const Row rows[] = {
		{"crate", 8, "crate"},
		{"crates", 6, "crate"}, // one byte goes to the terminator
		{"abc", 1, ""},
		{nullptr, 8, ""},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.text != nullptr ? row.text : "(null)");
		char field[10];
		memset(field, '#', sizeof(field));
		CopyText(field, row.size, row.text);
		EXPECT_STREQ(field, row.expected);
		EXPECT_EQ(field[row.size], '#'); // nothing written past the field
	}
	char untouched[4] = "zz";
	CopyText(untouched, 0, "long text");
	EXPECT_STREQ(untouched, "zz");
}
