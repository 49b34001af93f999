#include "engine/render/PostMode.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Stands in for the shader table: every program name gets a non-zero
// program, except names containing "broken", which fail to build.
uint32_t FakeProgram(const char *name)
{
	return strstr(name, "broken") != nullptr ? 0 : 100 + (uint32_t)strlen(name);
}

struct Expected {
	std::string name;
	uint16_t width, height;
	uint8_t upscale;
	bool ortho, selectable, hasProgram;
};

struct Parsed {
	bool ok = false;
	std::vector<PostMode> table;
	std::string log;
};

Parsed Read(const std::string &xml)
{
	tinyxml2::XMLDocument document;
	// An empty file never reaches the parser: the document stays without a
	// root, as the file loader leaves it.
	if (!xml.empty())
		document.Parse(xml.c_str());
	Parsed result;
	testing::internal::CaptureStdout();
	result.ok = PostMode::ReadTable(document, result.table, &FakeProgram);
	result.log = testing::internal::GetCapturedStdout();
	return result;
}

}

TEST(PostModeFile, ReadsModesAndTheirFlags)
{
	const std::string longName(300, 'n');
	struct Row {
		const char *what;
		std::string xml;
		std::vector<Expected> expected;
	};
	const Row rows[] = {
		{"defaults of a bare mode", "<post><mode program='a'/></post>", {{"", 0, 0, 1, false, true, true}}},
		{"every attribute given",
			"<post><mode name='Pixel' width='320' height='192' upscale='3' ortho='1' selectable='1' program='p'/></post>",
			{{"Pixel", 320, 192, 3, true, true, true}}},
		{"only the value 1 is ortho or selectable",
			"<post><mode name='a' ortho='2' selectable='0' program='p'/><mode name='b' ortho='0' selectable='2' program='p'/>"
			"<mode name='c' ortho='1' program='p'/></post>",
			{{"a", 0, 0, 1, false, false, true}, {"b", 0, 0, 1, false, false, true}, {"c", 0, 0, 1, true, true, true}}},
		{"a mode without program is overwritten by the next",
			"<post><mode name='one' program='p'/><mode name='two'/><mode name='three' program='q'/></post>",
			{{"one", 0, 0, 1, false, true, true}, {"three", 0, 0, 1, false, true, true}}},
		{"a mode whose program fails is overwritten, flags and all",
			"<post><mode name='one' program='p'/><mode name='two' ortho='1' width='9' selectable='0' program='broken'/>"
			"<mode name='three' program='q'/></post>",
			{{"one", 0, 0, 1, false, true, true}, {"three", 0, 0, 1, false, true, true}}},
		{"only the last record can lack a program",
			"<post><mode name='one' program='p'/><mode name='last' program='broken'/></post>",
			{{"one", 0, 0, 1, false, true, true}, {"last", 0, 0, 1, false, true, false}}},
		{"siblings of any name after the first mode are modes, earlier ones are not",
			"<anything><intro name='skipped' program='p'/><mode name='first' program='p'/>"
			"<style name='second' program='p'/><mode name='third' program='p'/></anything>",
			{{"first", 0, 0, 1, false, true, true}, {"second", 0, 0, 1, false, true, true},
				{"third", 0, 0, 1, false, true, true}}},
		{"sizes that are not numbers or do not fit 16 bits are no size",
			"<post><mode name='a' width='abc' height='-4' program='p'/>"
			"<mode name='b' width='70000' height='65535' program='p'/></post>",
			{{"a", 0, 0, 1, false, true, true}, {"b", 0, 65535, 1, false, true, true}}},
		{"a long name keeps its first 255 characters",
			"<post><mode name='" + longName + "' program='p'/><mode name='" + longName.substr(0, 255) + "' program='p'/></post>",
			{{longName.substr(0, 255), 0, 0, 1, false, true, true}, {longName.substr(0, 255), 0, 0, 1, false, true, true}}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Parsed parsed = Read(row.xml);
		EXPECT_TRUE(parsed.ok);
		EXPECT_EQ(parsed.log, "");
		ASSERT_EQ(parsed.table.size(), row.expected.size());
		for (size_t i = 0; i < row.expected.size(); i++) {
			SCOPED_TRACE("record " + std::to_string(i));
			const PostMode &mode = parsed.table[i];
			const Expected &expected = row.expected[i];
			EXPECT_EQ(std::string(mode.name), expected.name);
			EXPECT_EQ(mode.width, expected.width);
			EXPECT_EQ(mode.height, expected.height);
			EXPECT_EQ(mode.upscale, expected.upscale);
			EXPECT_EQ(mode.ortho, expected.ortho);
			EXPECT_EQ(mode.selectable, expected.selectable);
			EXPECT_EQ(mode.program != 0, expected.hasProgram);
			// Nothing is looked up yet: every location reads "not found".
			for (int32_t location : mode.uniforms)
				EXPECT_EQ(location, -1);
		}
	}
}

TEST(PostModeFile, BrokenFilesFailWithTheirMessage)
{
	struct Row {
		const char *what, *xml, *log;
	};
	const Row rows[] = {
		{"empty file", "", "Couldn't find post mode\n"},
		{"only a declaration", "<?xml version='1.0'?>", "Couldn't find post mode\n"},
		{"root without modes", "<post><style name='x' program='p'/></post>", "Couldn't find post mode\n"},
		{"modes only below another element", "<post><group><mode program='p'/></group></post>",
			"Couldn't find post mode\n"},
		{"unclosed element", "<post><mode name='a' program='p'></post>", "Couldn't load post XML\nCouldn't find post mode\n"},
		{"not XML at all", "mode = standard", "Couldn't load post XML\nCouldn't find post mode\n"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Parsed parsed = Read(row.xml);
		EXPECT_FALSE(parsed.ok);
		EXPECT_EQ(parsed.log, row.log);
		EXPECT_TRUE(parsed.table.empty());
	}
}
