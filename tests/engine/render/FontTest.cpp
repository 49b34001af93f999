#include "engine/render/Font.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/CacheMap.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/render/Shader.h"
#include "engine/render/Texture.h"
#include "support/GLTestContext.h"
#include "support/TempFolder.h"

namespace {

void WriteText(const std::string &path, const std::string &text)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out << text;
}

// A description with the given attributes on "info" and "common" and the
// given elements inside "chars".
std::string Description(const std::string &info, const std::string &common, const std::string &chars)
{
	return "<?xml version=\"1.0\"?>\n<font>\n<info face=\"test\" " + info + "/>\n<common " + common +
		" scaleW=\"64\" scaleH=\"64\" pages=\"1\"/>\n<pages><page id=\"0\" file=\"ignored.png\"/></pages>\n<chars>\n" +
		chars + "</chars>\n<kernings count=\"1\"><kerning first=\"65\" second=\"66\" amount=\"-3\"/></kernings>\n</font>\n";
}

void ExpectGlyph(const FontGlyph &actual, const FontGlyph &expected)
{
	EXPECT_EQ(actual.x, expected.x);
	EXPECT_EQ(actual.y, expected.y);
	EXPECT_EQ(actual.width, expected.width);
	EXPECT_EQ(actual.height, expected.height);
	EXPECT_EQ(actual.xoffset, expected.xoffset);
	EXPECT_EQ(actual.yoffset, expected.yoffset);
	EXPECT_EQ(actual.xadvance, expected.xadvance);
}

bool IsEmpty(const FontGlyph &glyph)
{
	return glyph.x == 0 && glyph.y == 0 && glyph.width == 0 && glyph.height == 0 && glyph.xoffset == 0 &&
		glyph.yoffset == 0 && glyph.xadvance == 0;
}

// Reads the description with the log captured; returns the log.
std::string ReadLogged(Font &font, const std::string &path, bool *ok)
{
	testing::internal::CaptureStdout();
	*ok = font.ReadDescription(path.c_str());
	return testing::internal::GetCapturedStdout();
}

}

TEST(FontDescription, SizesComeFromInfoOrTheBaseLine)
{
	struct Row {
		const char *what;
		std::string info, common;
		int size, lineHeight;
	};
	const Row rows[] = {
		{"size from info", "size=\"16\"", "lineHeight=\"24\" base=\"13\"", 16, 24},
		{"no size: the base line", "bold=\"0\"", "lineHeight=\"20\" base=\"13\"", 13, 20},
		{"size 0: the base line", "size=\"0\"", "lineHeight=\"20\" base=\"11\"", 11, 20},
		{"kept in 8 bits", "size=\"300\"", "lineHeight=\"258\" base=\"9\"", 44, 2},
		{"unreadable numbers read 0", "size=\"big\"", "lineHeight=\"tall\" base=\"7\"", 7, 0},
		{"nothing at all", "", "", 0, 0},
	};
	TempFolder folder;
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		std::string path = folder.Path("sizes.fnt");
		WriteText(path, Description(row.info, row.common, ""));
		Font font;
		bool ok = false;
		std::string log = ReadLogged(font, path, &ok);
		ASSERT_TRUE(ok) << log;
		EXPECT_EQ(log, "");
		EXPECT_EQ(font.GetSize(), row.size);
		EXPECT_EQ(font.GetLineHeight(), row.lineHeight);
	}
}

TEST(FontDescription, GlyphsTakeEveryFieldOfTheirEntry)
{
	TempFolder folder;
	std::string path = folder.Path("glyphs.fnt");
	WriteText(path,
		Description("size=\"16\"", "lineHeight=\"24\" base=\"13\"",
			"<char id=\"65\" x=\"3\" y=\"5\" width=\"10\" height=\"12\" xoffset=\"1\" yoffset=\"2\" xadvance=\"11\"/>\n"
			"<char id=\"106\" x=\"20\" y=\"40\" width=\"6\" height=\"14\" xoffset=\"-2\" yoffset=\"-3\" xadvance=\"-1\"/>\n"
			"<char id=\"66\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"/>\n"
			"<char id=\"66\" x=\"30\" width=\"9\"/>\n"        // a later entry replaces an earlier one
			"<glyph id=\"67\" x=\"7\" width=\"8\" height=\"9\"/>\n" // any element name counts
			"<char x=\"4\" width=\"2\"/>\n"                      // no id: code 0
			"<char id=\"127\" x=\"60\" y=\"61\" width=\"3\" height=\"4\" xadvance=\"5\"/>\n"
			"<char id=\"70\" x=\"70000\" y=\"65536\" width=\"-3\" xoffset=\"40000\" yoffset=\"-40000\"/>\n"));
	Font font;
	bool ok = false;
	std::string log = ReadLogged(font, path, &ok);
	ASSERT_TRUE(ok) << log;

	struct Row {
		uint32_t code;
		FontGlyph expected;
	};
	const Row rows[] = {
		{'A', {3, 5, 10, 12, 1, 2, 11}},
		{'j', {20, 40, 6, 14, -2, -3, -1}},
		{'B', {30, 0, 9, 0, 0, 0, 0}},
		{'C', {7, 0, 8, 9, 0, 0, 0}},
		{0, {4, 0, 2, 0, 0, 0, 0}},
		{127, {60, 61, 3, 4, 0, 0, 5}},
		// Fields are kept in their 16 bits as declared.
		{'F', {4464, 0, 65533, 0, -25536, 25536, 0}},
		{'D', {}},                    // no entry: all zero
		{' ', {}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.code);
		ExpectGlyph(font.GetGlyph(row.code), row.expected);
	}
}

// Entries and characters outside 0 to 127 have no record: the entries are
// skipped rather than wrapped onto a code inside the table, and the fields
// after the table keep their values.
TEST(FontDescription, EntriesPastTheTableAreSkipped)
{
	TempFolder folder;
	std::string path = folder.Path("hostile.fnt");
	std::string chars;
	const char *ids[] = {"128", "200", "255", "256", "321", "65601", "4294967295", "-1", "-63", "99999999999"};
	for (const char *id : ids)
		chars += std::string("<char id=\"") + id + "\" x=\"9\" y=\"9\" width=\"9\" height=\"9\" xadvance=\"9\"/>\n";
	// A flood of entries for one code: the last one stands.
	for (int i = 0; i < 5000; i++)
		chars += "<char id=\"90\" x=\"" + std::to_string(i) + "\" width=\"4\"/>\n";
	WriteText(path, Description("size=\"12\"", "lineHeight=\"17\"", chars));

	Font font;
	bool ok = false;
	std::string log = ReadLogged(font, path, &ok);
	ASSERT_TRUE(ok) << log;
	for (uint32_t code = 0; code < Font::kGlyphCount; code++) {
		SCOPED_TRACE(code);
		if (code == 'Z')
			ExpectGlyph(font.GetGlyph(code), {4999, 0, 4, 0, 0, 0, 0});
		else
			EXPECT_TRUE(IsEmpty(font.GetGlyph(code)));
	}
	const uint32_t outside[] = {128, 200, 255, 256, 65601, 0xFFFFFFFFu};
	for (uint32_t code : outside) {
		SCOPED_TRACE(code);
		EXPECT_TRUE(IsEmpty(font.GetGlyph(code)));
	}
	EXPECT_EQ(font.GetSize(), 12);
	EXPECT_EQ(font.GetLineHeight(), 17);
	EXPECT_FALSE(font.GetMaterial().IsValid());
	EXPECT_EQ(font.GetMaterial().GetKey(), 0);
	EXPECT_EQ(font.GetTextureWidth(), 1);
	EXPECT_EQ(font.GetTextureHeight(), 1);
}

// Each broken file is refused with its own line, naming the file and ending
// without a line end, and the font keeps what it had.
TEST(FontDescription, BrokenFilesAreRefusedWithTheirOwnLine)
{
	struct Row {
		const char *what;
		const char *file; // null: the file does not exist
		const char *line;
	};
	const Row rows[] = {
		{"missing file", nullptr, "Couldn't load font "},
		{"empty file", "", "Couldn't load font "},
		{"not XML", "\x89PNG\r\n\x1a\n garbage", "Couldn't load font "},
		{"cut short", "<font><info size=\"8\"/><common lineHeight=\"9\"/><chars><char id=\"65\"", "Couldn't load font "},
		{"mismatched elements", "<font><info></common></font>", "Couldn't load font "},
		{"other root", "<fnt><info/><common/><chars/></fnt>", "Couldn't find valid font "},
		{"font nested deeper", "<doc><font><info/><common/><chars/></font></doc>", "Couldn't find valid font "},
		{"no info", "<font><common/><chars/></font>", "Couldn't find info for font "},
		{"no common", "<font><info size=\"9\"/><chars/></font>", "Couldn't find common for font "},
		{"no chars", "<font><info size=\"9\"/><common/></font>", "Couldn't find characters for font "},
		{"chars outside font", "<font><info size=\"9\"/><common/></font><chars/>", "Couldn't find characters for font "},
	};
	TempFolder folder;
	std::string good = folder.Path("good.fnt");
	WriteText(good, Description("size=\"20\"", "lineHeight=\"30\"",
						"<char id=\"65\" x=\"1\" y=\"2\" width=\"3\" height=\"4\" xadvance=\"5\"/>"));
	int index = 0;
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Font font;
		bool ok = false;
		ReadLogged(font, good, &ok);
		ASSERT_TRUE(ok);

		std::string path = folder.Path("broken" + std::to_string(index++) + ".fnt");
		if (row.file != nullptr)
			WriteText(path, row.file);
		std::string log = ReadLogged(font, path, &ok);
		EXPECT_FALSE(ok);
		std::string expected = std::string(row.line) + path + "\n";
		ASSERT_GE(log.size(), expected.size()) << log;
		// A missing file is also reported by the file reader, on its own line before.
		EXPECT_EQ(log.substr(log.size() - expected.size()), expected);
		EXPECT_EQ(font.GetSize(), 20);
		EXPECT_EQ(font.GetLineHeight(), 30);
		ExpectGlyph(font.GetGlyph('A'), {1, 2, 3, 4, 0, 0, 5});
	}
}

namespace {

constexpr const char *kTextShader = "shaders/text.dsh";

// Loading needs a GL context for the page texture and the text shader, but
// no renderer. The shader table outlives every context, so the text shader
// is rebuilt in this test's own context before anything uses it.
class FontLoading : public GLTestContext {
protected:
	void SetUp() override
	{
		GLTestContext::SetUp();
		if (IsSkipped())
			return;
		testing::internal::CaptureStdout();
		Shader::Get(kTextShader)->LoadDsh(kTextShader);
		testing::internal::GetCapturedStdout();
	}

	// A page of the given size beside the description "<name>.fnt" in the
	// temporary folder; returns the font name (the path without extension).
	std::string WriteFont(const std::string &name, int pageWidth, int pageHeight, const std::string &chars)
	{
		std::string base = folder.Path(name);
		WriteText(base + ".fnt", Description("size=\"10\"", "lineHeight=\"15\" base=\"8\"", chars));
		if (pageWidth > 0) {
			SDL_Surface *page = SDL_CreateRGBSurfaceWithFormat(0, pageWidth, pageHeight, 32, SDL_PIXELFORMAT_RGBA32);
			SDL_FillRect(page, nullptr, 0xFFFFFFFF);
			EXPECT_EQ(IMG_SavePNG(page, (base + ".png").c_str()), 0) << SDL_GetError();
			SDL_FreeSurface(page);
		}
		return base;
	}

	static int16_t Users(const std::string &name) { return CacheMap<Font>::GetInstance().GetUsers(HashName(name.c_str())); }

	TempFolder folder;
};

}

// Every face the game names is made by the build, loads with its page, and
// places each printable glyph inside that page.
TEST_F(FontLoading, ShippedFacesLoadWithTheirPages)
{
	struct Row {
		const char *name;
		int size;
	};
	const Row rows[] = {{"fonts/pixel", 8}, {"fonts/body", 16}, {"fonts/body2", 18}, {"fonts/ui", 24}, {"fonts/title", 36}};
	Shader *textShader = Shader::Get(kTextShader);
	ASSERT_EQ(textShader->GetPassCount(), 1);
	EXPECT_EQ(textShader->GetPass(0)->renderMode, ShaderPass::kModeDepthless);
	EXPECT_GE(textShader->GetUniformLocation("WAVINESS"), 0);
	EXPECT_GE(textShader->GetPass(0)->GetUniform(kUniformSampler), 0);
	EXPECT_GE(textShader->GetPass(0)->GetUniform(kUniformMVP), 0);

	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		testing::internal::CaptureStdout();
		Font::Handle font = Font::Get(row.name);
		std::string log = testing::internal::GetCapturedStdout();
		ASSERT_TRUE(font.IsValid()) << log;
		EXPECT_EQ(font.GetKey(), HashName(row.name));
		const Font *face = font.Get();
		EXPECT_EQ(face->GetSize(), row.size);
		EXPECT_EQ(face->GetLineHeight(), row.size * 3 / 2);
		ASSERT_TRUE(face->GetMaterial().IsValid());
		EXPECT_EQ(face->GetMaterial().Get()->GetShader(), textShader);
		EXPECT_NE(face->GetMaterial().Get()->GetTextureId(), 0u);
		ASSERT_GT(face->GetTextureWidth(), 1);
		ASSERT_GT(face->GetTextureHeight(), 1);
		EXPECT_EQ(face->GetTextureWidth(), face->GetMaterial().Get()->GetTexture()->GetWidth());
		for (uint32_t code = '!'; code <= '~'; code++) {
			SCOPED_TRACE(code);
			const FontGlyph &glyph = face->GetGlyph(code);
			EXPECT_GT(glyph.width, 0);
			EXPECT_GT(glyph.height, 0);
			EXPECT_LE(glyph.x + glyph.width, face->GetTextureWidth());
			EXPECT_LE(glyph.y + glyph.height, face->GetTextureHeight());
		}
		// Wider letters get wider glyphs: the faces are proportional.
		EXPECT_GT(face->GetGlyph('M').width, face->GetGlyph('i').width);
		EXPECT_GT(face->GetGlyph(' ').xadvance, 0);
	}
}

// A font loads with its page's size (0 without a page, whose material then
// binds no texture). The description is read once: a second request hands
// out the cached font with one more user, even when the file has gone since.
TEST_F(FontLoading, LoadedFontsAreSharedWithTheirPageSize)
{
	struct Row {
		const char *name;
		int pageWidth, pageHeight;
	};
	const Row rows[] = {{"paged", 32, 16}, {"pageless", 0, 0}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		std::string name = WriteFont(row.name, row.pageWidth, row.pageHeight,
			"<char id=\"65\" x=\"2\" y=\"3\" width=\"4\" height=\"5\"/>");
		testing::internal::CaptureStdout();
		Font::Handle first = Font::Get(name.c_str());
		std::string log = testing::internal::GetCapturedStdout();
		ASSERT_TRUE(first.IsValid()) << log;
		EXPECT_EQ(Users(name), 1);
		EXPECT_EQ(first.Get()->GetTextureWidth(), row.pageWidth);
		EXPECT_EQ(first.Get()->GetTextureHeight(), row.pageHeight);
		EXPECT_EQ(first.Get()->GetMaterial().Get()->GetTextureId() != 0, row.pageWidth > 0);
		EXPECT_EQ(first.Get()->GetSize(), 10);

		std::remove((name + ".fnt").c_str());
		Font::Handle second = Font::Get(name.c_str());
		EXPECT_EQ(second.Get(), first.Get());
		EXPECT_EQ(Users(name), 2);
		ExpectGlyph(second.Get()->GetGlyph('A'), {2, 3, 4, 5, 0, 0, 0});
	}
}

// A failed load caches nothing, so the name loads once its file exists; the
// page material it took stays cached. Over-long names are cut, not overrun.
TEST_F(FontLoading, FailedLoadsCacheNothing)
{
	struct Row {
		const char *what;
		std::string name;
		std::string expectedFile; // as the failure line names it
	};
	std::string longName = folder.Path(std::string(200, 'n'));
	std::string cut = (longName + ".fnt").substr(0, 126);
	const Row rows[] = {
		{"missing description", folder.Path("late"), folder.Path("late") + ".fnt"},
		{"over-long name", longName, cut},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		testing::internal::CaptureStdout();
		Font::Handle font = Font::Get(row.name.c_str());
		std::string log = testing::internal::GetCapturedStdout();
		EXPECT_FALSE(font.IsValid());
		EXPECT_EQ(Users(row.name), 0);
		std::string expected = "Couldn't load font " + row.expectedFile + "\n";
		ASSERT_GE(log.size(), expected.size()) << log;
		EXPECT_EQ(log.substr(log.size() - expected.size()), expected);
		// The page material was taken before the description failed, and stays.
		std::string pageName = (row.name + ".png").substr(0, 126);
		uint16_t pageKey = (uint16_t)(HashName(pageName.c_str()) + HashName(kTextShader));
		Material::Handle page = Material::Share(Material::Handle(nullptr, pageKey));
		EXPECT_TRUE(page.IsValid());
		Material::Release(page);
	}

	WriteFont("late", 8, 8, "<char id=\"67\" width=\"3\"/>");
	testing::internal::CaptureStdout();
	Font::Handle font = Font::Get(folder.Path("late").c_str());
	std::string log = testing::internal::GetCapturedStdout();
	ASSERT_TRUE(font.IsValid()) << log;
	EXPECT_EQ(font.Get()->GetGlyph('C').width, 3);
}
