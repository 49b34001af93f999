#include "map/MapScriptCompiler.h"

#include "map/MapCommand.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

MapCommand Compile(const char *text)
{
	MapCommand command; // zero-filled, as the map reader hands it over
	CompileScriptCommand(text, &command);
	return command;
}

} // namespace

TEST(ScriptCompiler, EveryKeywordCompilesToItsCode)
{
	struct Row {
		const char *keyword;
		uint32_t code;
	};
	const Row rows[] = {
		{"say", 17}, {"message", 17}, {"then", 34}, {"if", 1}, {"if$", 2}, {"ifnot", 3},
		{"prompt", 18}, {"unlock", 6}, {"map", 4}, {"actor", 5}, {"kill", 15}, {"take", 13},
		{"take$", 14}, {"give", 7}, {"walk", 16}, {"flag", 8}, {"save", 9}, {"unsave", 10},
		{"party", 11}, {"unparty", 12}, {"dead", 19}, {"block", 20}, {"faction", 21},
		{"hold", 22}, {"music", 23}, {"model", 25}, {"texture", 26}, {"dir", 24},
		{"enter", 27}, {"hide", 28}, {"rankmeat", 30}, {"render", 29}, {"facing", 31},
		{"flee", 32}, {"way", 33},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.keyword);
		EXPECT_EQ(Compile(row.keyword).code, row.code);
		std::string upper = row.keyword;
		for (char &c : upper)
			c = static_cast<char>(toupper(c));
		EXPECT_EQ(Compile(upper.c_str()).code, row.code);
		std::string numbered = std::string("07 ") + row.keyword;
		EXPECT_EQ(Compile(numbered.c_str()).code, row.code);
	}
}

// Log lines name a code by the keyword it is written as; every code of the
// language has one that compiles back to it.
TEST(ScriptCompiler, EachCodeIsNamedByAKeywordThatCompilesBackToIt)
{
	const struct {
		uint32_t code;
		const char *keyword;
	} rows[] = {{kCmdSay, "say"}, {kCmdIfWeight, "if$"}, {kCmdTakeWeight, "take$"}, {kCmdThen, "then"},
		{kCmdNone, ""}, {kCmdThen + 1, ""}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.code);
		EXPECT_STREQ(MapCommand::KeywordOf(row.code), row.keyword);
	}
	for (uint32_t code = kCmdIf; code <= kCmdThen; code++) {
		SCOPED_TRACE(code);
		EXPECT_EQ(Compile(MapCommand::KeywordOf(code)).code, code);
	}
}

TEST(ScriptCompiler, PrefixesArgumentsTagsAndTheWindow)
{
	struct Row {
		const char *text;
		uint32_t code;
		uint8_t argument;
	};
	const Row rows[] = {
		{"if 5", 1, 5},
		{"if 1 2", 1, 12},            // every digit after the keyword counts
		{"IF$ 7", 2, 7},
		{"if_ 7", 2, 7},              // '$' and '_' are one character to the hash
		{"Ifnot 3", 3, 3},
		{"2 prompt 40", 18, 40},
		{"prompt 300", 18, 44},       // kept to 8 bits
		{"say 9", 17, 9},             // the group a line enables once it is shown
		{"01 say 18", 17, 18},
		{"Message 4", 17, 4},
		{"Message", 17, 0},
		{"04 dead 7", 19, 0},         // a foe's own group keeps it down, not a number
		{"take 9", 13, 0},            // other lines keep no number
		{"123say", 17, 0},            // three prefix digits are skipped
		{"1234say", 0, 0},            // a fourth is part of the keyword
		{"1 2say", 17, 0},            // digits and blanks mix in the prefix
		{"   say", 17, 0},
		{"    say", 0, 0},            // the fourth blank ends an empty keyword
		{"say #the sign", 17, 0},
		{"say#x", 17, 0},
		{"if #7", 1, 0},              // '#' ends the name before the number
		{"#say", 0, 0},
		{"take$", 14, 0},
		{"take", 13, 0},
		{"takes", 0, 0},
		{"if 0000000000005", 1, 5},   // 16 characters: the last digit is inside
		{"if 00000000000005", 1, 0},  // 17: it falls outside the window
		{"12 if 0000000005", 1, 5},   // the prefix counts toward the window
		{"12 if 00000000005", 1, 0},
		{"abcdefghijklmnopqrstuvwxyz", 0, 0},
		{"", 0, 0},
		{nullptr, 0, 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.text ? row.text : "(null)");
		MapCommand command = Compile(row.text);
		EXPECT_EQ(command.code, row.code);
		EXPECT_EQ(command.argument, row.argument);
		EXPECT_EQ(command.value, 0); // the value is the reader's to fill
	}
}

TEST(ScriptCompiler, DirectionsByFirstLetter)
{
	struct Row {
		const char *text;
		uint16_t direction;
	};
	const Row rows[] = {
		{"North", 1}, {"n", 1}, {"east", 2}, {"E", 2}, {"South", 3}, {"s", 3}, {"west", 4},
		{"W", 4}, {"up", 0}, {" north", 0}, {"", 0}, {nullptr, 0},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.text ? row.text : "(null)");
		EXPECT_EQ(ReadScriptDirection(row.text), row.direction);
	}
}
