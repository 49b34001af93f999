#include "engine/render/Textbox.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/CacheMap.h"
#include "engine/core/Camera.h"
#include "engine/render/Renderer.h"
#include "engine/render/Shader.h"
#include "support/SharedRenderer.h"
#include "support/TempFolder.h"
#include "support/WindowPixels.h"

namespace {

constexpr float kTolerance = 1e-4f;

// The glyphs every layout test draws with, on a 128 x 64 page, drawn for
// size 16 so that text of size 16 shows them 1:1:
//   'A' 10 x 12 at (0, 0), 2 below the line top
//   'B'  8 x 12 at (10, 0), 2 below the line top
//   'j'  6 x 14 at (20, 16), 1 left of the pen and 2 above the line top
// Code 10 has no entry, so a line end draws an empty quad.
const char *const kGlyphs = "<char id=\"65\" x=\"0\" y=\"0\" width=\"10\" height=\"12\" xoffset=\"0\" yoffset=\"2\" xadvance=\"9\"/>"
							"<char id=\"66\" x=\"10\" y=\"0\" width=\"8\" height=\"12\" xoffset=\"0\" yoffset=\"2\" xadvance=\"7\"/>"
							"<char id=\"106\" x=\"20\" y=\"16\" width=\"6\" height=\"14\" xoffset=\"-1\" yoffset=\"-2\"/>";

// Fonts made without GL: a description read from a temporary file (no base
// line, so a size of 0 stays 0), a page size set by hand, cached under the
// name the text boxes ask for. The cache never frees what it holds, so they
// are kept here for the whole run.
const char *SyntheticFont(const char *name, const char *info, uint16_t pageWidth, uint16_t pageHeight)
{
	static std::vector<std::unique_ptr<Font>> owned;
	if (CacheMap<Font>::GetInstance().GetUsers(HashName(name)) > 0)
		return name;
	TempFolder folder;
	std::string path = folder.Path("synthetic.fnt");
	std::ofstream(path) << "<font><info " << info << "/><common lineHeight=\"24\"/><chars>" << kGlyphs
						<< "</chars></font>";
	auto font = std::make_unique<Font>();
	EXPECT_TRUE(font->ReadDescription(path.c_str()));
	font->SetPageSize(pageWidth, pageHeight);
	if (CacheMap<Font>::GetInstance().InsertByName(name, font.get())) {
		// One use that is never given back keeps later lookups on the cache.
		CacheMap<Font>::GetInstance().FindByName(name);
		owned.push_back(std::move(font));
	} else {
		ADD_FAILURE() << "a font with the hash of " << name << " is already cached";
	}
	return name;
}

const char *LayoutFont()
{
	return SyntheticFont("synthetic layout font", "size=\"16\"", 128, 64);
}

// A box in the layout font, text and size set and laid out.
void Prepare(Textbox &box, const char *text, uint8_t size)
{
	box.SetFont(LayoutFont());
	box.SetText(text);
	box.SetFontSize(size);
	box.GetLength();
}

uint32_t QuadCount(const Textbox &box)
{
	return box.GetMesh().GetVertexCount() / 4;
}

// The top left corner of quad q.
glm::vec2 QuadCorner(const Textbox &box, uint32_t q)
{
	const std::vector<glm::vec3> &positions = box.GetMesh().GetPositions();
	if (positions.size() < (q + 1) * 4)
		return glm::vec2(NAN, NAN);
	return glm::vec2(positions[q * 4]);
}

void ExpectCorner(const Textbox &box, uint32_t q, glm::vec2 expected)
{
	SCOPED_TRACE("quad " + std::to_string(q));
	glm::vec2 corner = QuadCorner(box, q);
	EXPECT_NEAR(corner.x, expected.x, kTolerance);
	EXPECT_NEAR(corner.y, expected.y, kTolerance);
}

}

// Widths follow the glyph rectangles scaled to the text size, tightened by a
// tenth of the size per glyph; blanks and tabs have fixed widths; line ends
// add a line step to the height; bytes of 128 and above hold their place but
// add nothing.
TEST(TextboxLayout, MeasuresTextFromGlyphsBlanksAndTabs)
{
	struct Row {
		const char *what;
		const char *text;
		uint8_t size;
		float letterSpacing, lineSpacing;
		float width, height;
		uint16_t count;
		uint32_t quads;
	};
	const Row rows[] = {
		{"two glyphs at the font's size", "AB", 16, 1, 1, 14, 16, 2, 2},
		{"twice the size", "AB", 32, 1, 1, 28, 32, 2, 2},
		{"half the size", "AB", 8, 1, 1, 7, 8, 2, 2},
		{"a blank between", "A B", 16, 1, 1, 22, 16, 3, 2},
		{"a tab between", "A\tB", 16, 1, 1, 52.4f, 16, 3, 2},
		{"only blanks", "  ", 16, 1, 1, 16, 16, 2, 0},
		{"wider letter spacing tightens more", "AB", 16, 2, 1, 10, 16, 2, 2},
		{"letter spacing widens blanks", "A B", 16, 2, 1, 26, 16, 3, 2},
		{"a line end: the widest line", "A\nBB", 16, 1, 1, 12, 40, 4, 4},
		{"line spacing stretches the step", "A\nB", 16, 1, 2, 8, 64, 3, 3},
		{"bytes past 127 draw nothing", "A\xC3\xA9" "B\x80\xFF", 16, 1, 1, 14, 16, 6, 2},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Textbox box;
		box.SetLetterSpacing(row.letterSpacing);
		box.SetLineSpacing(row.lineSpacing);
		Prepare(box, row.text, row.size);
		EXPECT_EQ(box.GetLength(), row.count);
		EXPECT_NEAR(box.GetWidth(), row.width, kTolerance);
		EXPECT_NEAR(box.GetHeight(), row.height, kTolerance);
		EXPECT_EQ(QuadCount(box), row.quads);
		EXPECT_FALSE(box.IsDirty());
	}
}

// Each quad is the glyph's rectangle scaled from the pen, with texture
// corners on the page and the box's colour.
TEST(TextboxLayout, QuadsCarryRectangleTextureAndColour)
{
	struct Row {
		const char *what;
		const char *font;
		glm::vec2 uvA0, uvA1, uvJ0, uvJ1;
		float scale, tightening;
	};
	const Row rows[] = {
		{"a 128 x 64 page", LayoutFont(), {0, 0}, {10 / 128.0f, 12 / 64.0f}, {20 / 128.0f, 16 / 64.0f},
			{26 / 128.0f, 30 / 64.0f}, 2, -4},
		{"no page: coordinates in pixels", SyntheticFont("synthetic pageless font", "size=\"16\"", 0, 0), {0, 0},
			{10, 12}, {20, 16}, {26, 30}, 2, -4},
		{"no size: taken as 1", SyntheticFont("synthetic sizeless font", "size=\"0\"", 128, 64), {0, 0},
			{10 / 128.0f, 12 / 64.0f}, {20 / 128.0f, 16 / 64.0f}, {26 / 128.0f, 30 / 64.0f}, 32, -4},
	};
	const glm::vec3 color(1.0f, 0.5f, 0.25f);
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Textbox box;
		box.SetFont(row.font);
		box.SetColor(color);
		box.SetText("Aj");
		box.SetFontSize(32);
		ASSERT_EQ(box.GetLength(), 2);
		const Mesh &mesh = box.GetMesh();
		ASSERT_EQ(mesh.GetVertexCount(), 8u);
		float k = row.scale;
		float jLeft = 10 * k + row.tightening - 1 * k;
		const glm::vec3 corners[] = {
			{0, 2 * k, 0}, {10 * k, 2 * k, 0}, {10 * k, 14 * k, 0}, {0, 14 * k, 0},
			{jLeft, -2 * k, 0}, {jLeft + 6 * k, -2 * k, 0}, {jLeft + 6 * k, 12 * k, 0}, {jLeft, 12 * k, 0},
		};
		const glm::vec2 uvs[] = {
			row.uvA0, {row.uvA1.x, row.uvA0.y}, row.uvA1, {row.uvA0.x, row.uvA1.y},
			row.uvJ0, {row.uvJ1.x, row.uvJ0.y}, row.uvJ1, {row.uvJ0.x, row.uvJ1.y},
		};
		for (int v = 0; v < 8; v++) {
			SCOPED_TRACE("vertex " + std::to_string(v));
			EXPECT_NEAR(mesh.GetPositions()[v].x, corners[v].x, kTolerance);
			EXPECT_NEAR(mesh.GetPositions()[v].y, corners[v].y, kTolerance);
			EXPECT_EQ(mesh.GetPositions()[v].z, 0.0f);
			EXPECT_NEAR(mesh.GetUVs()[v].x, uvs[v].x, kTolerance);
			EXPECT_NEAR(mesh.GetUVs()[v].y, uvs[v].y, kTolerance);
			EXPECT_EQ(mesh.GetColors()[v], color);
		}
	}
}

// Wrapping breaks at the last blank once a line passes the wrap width; the
// broken line keeps the width up to that blank and the next line starts with
// the blank's advance.
TEST(TextboxLayout, WrapsAtTheLastBlank)
{
	struct Row {
		const char *what;
		const char *text;
		float wrap;
		uint32_t lines;
		float width, height;
		TextLine first;
		uint32_t probeQuad;
		glm::vec2 probeCorner;
	};
	const Row rows[] = {
		{"no wrap width", "AB AB", 0, 1, 36, 16, {36, 256}, 2, {22, 2}},
		{"exactly at the width", "AB AB", 36, 1, 36, 16, {36, 256}, 2, {22, 2}},
		{"just past the width", "AB AB", 35.9f, 2, 22, 40, {14, 2}, 2, {8, 26}},
		{"the word moves down", "AB AB", 25, 2, 22, 40, {14, 2}, 2, {8, 26}},
		{"a first word past the width starts a line lower", "AB", 10, 2, 14, 40, {0, 0}, 0, {0, 26}},
		// A line never breaks before its own start: the breaks after it
		// (here the second line end) still move the text down.
		{"no blank on the line since a line end", "A B\nBBBBB\nA", 20, 4, 30, 88, {8, 1}, 9, {-2, 74}},
		{"a word longer than the width runs on", "AB ABABABAB\nA", 25, 3, 64, 64, {14, 2}, 11, {-2, 50}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Textbox box;
		box.SetWrapWidth(row.wrap);
		Prepare(box, row.text, 16);
		EXPECT_EQ(box.GetLineCount(), row.lines);
		EXPECT_NEAR(box.GetWidth(), row.width, kTolerance);
		EXPECT_NEAR(box.GetHeight(), row.height, kTolerance);
		EXPECT_NEAR(box.GetLine(0).width, row.first.width, kTolerance);
		EXPECT_EQ(box.GetLine(0).breakIndex, row.first.breakIndex);
		ExpectCorner(box, row.probeQuad, row.probeCorner);
	}
}

// Wrapping stops after seven breaks and the rest stays on the last line;
// line ends break however many there are, and never write past the line
// table.
TEST(TextboxLayout, LineCountsStayInsideTheTable)
{
	std::string manyWords;
	for (int i = 0; i < 16; i++)
		manyWords += i == 0 ? "A" : " A";
	std::string twentyLines;
	for (int i = 0; i < 20; i++)
		twentyLines += "A\n";
	twentyLines += "B";
	const std::string allLineEnds(255, '\n');
	const std::string endsThenWords = std::string(8, '\n') + "AB AB AB";

	struct Row {
		const char *what;
		std::string text;
		float wrap;
		uint32_t lines;
		float height;
		float lastQuadTop; // NAN: not checked
	};
	const Row rows[] = {
		{"seven wraps at most", manyWords, 5, 8, 16 + 7 * 24, 7 * 24 + 2},
		{"twenty line ends", twentyLines, 0, 21, 16 + 20 * 24, 20 * 24 + 2},
		// Only the first line can wrap: it has no blank, so the text starts
		// a line lower; the others have no blank after their start.
		{"twenty line ends, wrapping on", twentyLines, 5, 22, 16 + 21 * 24, 21 * 24 + 2},
		{"a text of line ends", allLineEnds, 0, 256, 16 + 255 * 24, 255 * 24},
		{"no wraps after seven line ends", endsThenWords, 5, 9, 16 + 8 * 24, 8 * 24 + 2},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Textbox box;
		box.SetWrapWidth(row.wrap);
		Prepare(box, row.text.c_str(), 16);
		EXPECT_EQ(box.GetLength(), row.text.size());
		EXPECT_EQ(box.GetLineCount(), row.lines);
		EXPECT_NEAR(box.GetHeight(), row.height, kTolerance);
		EXPECT_EQ(box.GetLine(row.lines - 1).breakIndex, 256);
		ASSERT_GT(QuadCount(box), 0u);
		EXPECT_NEAR(QuadCorner(box, QuadCount(box) - 1).y, row.lastQuadTop, kTolerance);
		// The fields beside the table are intact.
		EXPECT_EQ(box.GetVisibleChars(), 0);
		EXPECT_EQ(box.GetWavinessLocation(), -1);
	}
}

// The anchor shifts each line left by its share of that line's width and the
// whole text up by its share of the height.
TEST(TextboxLayout, AnchorShiftsEveryLine)
{
	struct Row {
		glm::vec2 anchor;
		glm::vec2 firstLine, secondLine; // top left of each line's first glyph
	};
	// "AB AB" wrapped at 25: lines 14 and 22 wide, 40 high; the second line
	// starts with the blank's 8.
	const Row rows[] = {
		{{0, 0}, {0, 2}, {8, 26}},
		{{0.5f, 0}, {-7, 2}, {-3, 26}},
		{{1, 0}, {-14, 2}, {-14, 26}},
		{{0, 1}, {0, -38}, {8, -14}},
		{{0.5f, 0.5f}, {-7, -18}, {-3, 6}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(testing::Message() << "anchor " << row.anchor.x << ", " << row.anchor.y);
		Textbox box;
		box.SetWrapWidth(25);
		box.SetAnchor(row.anchor);
		Prepare(box, "AB AB", 16);
		ExpectCorner(box, 0, row.firstLine);
		ExpectCorner(box, 2, row.secondLine);
	}
}

// Visible characters hold the text back for typing: drawing stops after the
// first glyph whose index passes the limit, and requests never exceed the
// last layout's character count.
TEST(TextboxVisibleChars, TypingRevealsTheText)
{
	struct Row {
		const char *text;
		uint16_t request;
		uint16_t stored;
		uint32_t quads;
	};
	const Row rows[] = {
		{"ABABA", 0, 0, 5}, {"ABABA", 1, 1, 3}, {"ABABA", 2, 2, 4}, {"ABABA", 3, 3, 5},
		{"ABABA", 4, 4, 5}, {"ABABA", 9, 5, 5}, {"AB AB", 2, 2, 3}, {"AB AB", 1, 1, 3},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(testing::Message() << row.text << " showing " << row.request);
		Textbox box;
		Prepare(box, row.text, 16);
		box.SetVisibleChars(row.request);
		EXPECT_EQ(box.GetVisibleChars(), row.stored);
		EXPECT_EQ(box.GetLength(), 5);
		EXPECT_EQ(QuadCount(box), row.quads);
	}

	// Before any layout there is nothing to show, so every request is 0.
	Textbox fresh;
	fresh.SetFont(LayoutFont());
	fresh.SetText("ABABA");
	fresh.SetVisibleChars(3);
	EXPECT_EQ(fresh.GetVisibleChars(), 0);
}

// Setters mark the box dirty only on a real change; the layout clears it.
TEST(TextboxSetters, OnlyChangesMarkTheBoxDirty)
{
	struct Row {
		const char *what;
		std::function<void(Textbox &)> change;
		bool dirty;
	};
	const Row rows[] = {
		{"same text", [](Textbox &b) { b.SetText("AB"); }, false},
		{"other text", [](Textbox &b) { b.SetText("BA"); }, true},
		{"same text formatted", [](Textbox &b) { b.SetTextFormat("%c%c", 'A', 'B'); }, false},
		{"other text formatted", [](Textbox &b) { b.SetTextFormat("%d", 7); }, true},
		{"emptied", [](Textbox &b) { b.SetText(""); }, true},
		{"emptied by null", [](Textbox &b) { b.SetText(nullptr); }, true},
		{"same anchor", [](Textbox &b) { b.SetAnchor({0, 0}); }, false},
		{"other anchor", [](Textbox &b) { b.SetAnchor({0, 0.5f}); }, true},
		{"anchor that is not a number", [](Textbox &b) { b.SetAnchor({NAN, 0}); }, true},
		{"same colour", [](Textbox &b) { b.SetColor({1, 1, 1}); }, false},
		{"other colour", [](Textbox &b) { b.SetColor({1, 1, 0.5f}); }, true},
		{"same size", [](Textbox &b) { b.SetFontSize(16); }, false},
		{"other size", [](Textbox &b) { b.SetFontSize(17); }, true},
		{"same wrap width", [](Textbox &b) { b.SetWrapWidth(0); }, false},
		{"other wrap width", [](Textbox &b) { b.SetWrapWidth(100); }, true},
		{"same line spacing", [](Textbox &b) { b.SetLineSpacing(1); }, false},
		{"other line spacing", [](Textbox &b) { b.SetLineSpacing(1.5f); }, true},
		{"same letter spacing", [](Textbox &b) { b.SetLetterSpacing(1); }, false},
		{"other letter spacing", [](Textbox &b) { b.SetLetterSpacing(0.5f); }, true},
		{"same visible characters", [](Textbox &b) { b.SetVisibleChars(0); }, false},
		{"other visible characters", [](Textbox &b) { b.SetVisibleChars(1); }, true},
		{"waviness is not layout", [](Textbox &b) { b.waviness = 2; }, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Textbox box;
		Prepare(box, "AB", 16);
		ASSERT_FALSE(box.IsDirty());
		row.change(box);
		EXPECT_EQ(box.IsDirty(), row.dirty);
	}

	Textbox empty;
	empty.GetLength();
	empty.SetText("");
	empty.SetText(nullptr);
	EXPECT_FALSE(empty.IsDirty());
}

// Texts are kept to 255 characters however they arrive, and a text may be
// set from a part of the box's own.
TEST(TextboxText, TextsAreCutTo255Characters)
{
	const std::string longText(300, 'A');
	struct Row {
		const char *what;
		std::function<void(Textbox &)> set;
		std::string expected;
	};
	const Row rows[] = {
		{"plain", [&](Textbox &b) { b.SetText(longText.c_str()); }, std::string(255, 'A')},
		{"formatted", [&](Textbox &b) { b.SetTextFormat("%s-%d", longText.c_str(), 5); }, std::string(255, 'A')},
		{"formatted short", [](Textbox &b) { b.SetTextFormat("%s %03d", "B", 7); }, "B 007"},
		{"from its own text", [](Textbox &b) {
			 b.SetText("ABjAB");
			 b.SetText(b.GetText() + 2);
		 },
			"jAB"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Textbox box;
		box.SetFont(LayoutFont());
		box.SetFontSize(16);
		row.set(box);
		EXPECT_EQ(std::string(box.GetText()), row.expected);
		EXPECT_EQ(box.GetLength(), row.expected.size());
	}
}

// Without a font or a text the layout builds nothing and keeps its previous
// measures, and drawing needs no GL.
TEST(TextboxLayout, NothingToLayOutKeepsThePreviousMeasures)
{
	Textbox fontless;
	fontless.SetText("AB");
	EXPECT_EQ(fontless.GetLength(), 0);
	Textbox box;
	Prepare(box, "AB", 16);
	box.SetText("");
	EXPECT_EQ(box.GetLength(), 2);
	EXPECT_NEAR(box.GetWidth(), 14, kTolerance);
	EXPECT_EQ(box.GetMesh().GetVertexCount(), 0u);
	box.Render();
	fontless.Render();
}

// Joining a container gives a fontless box the default font and the
// interface matrix; a box with a font keeps it.
TEST(TextboxDefaults, InitTakesTheDefaultFont)
{
	const std::string previous = GetDefaultFontName();
	SetDefaultFontName(LayoutFont());
	Textbox box;
	EXPECT_EQ(box.drawLayer, 100);
	box.Init();
	EXPECT_EQ(box.GetFont().Get(), CacheMap<Font>::GetInstance().FindByName(LayoutFont()).Get());
	EXPECT_EQ(box.GetMeshRenderer().GetMode(), 1u);
	EXPECT_TRUE(box.IsDirty());

	const char *other = SyntheticFont("synthetic pageless font", "size=\"16\"", 0, 0);
	Textbox chosen;
	chosen.SetFont(other);
	chosen.Init();
	EXPECT_EQ(chosen.GetFont().Get(), CacheMap<Font>::GetInstance().FindByName(other).Get());
	SetDefaultFontName(previous.c_str());
}

// The default font name is stored with room for its terminator, however long
// the name given; the default size is kept for game code.
TEST(TextDefaults, NamesKeepTheirTerminator)
{
	const std::string previousName = GetDefaultFontName();
	const uint8_t previousSize = GetDefaultFontSize();
	struct Row {
		std::string name;
		std::string stored;
	};
	const Row rows[] = {
		{"fonts/body2", "fonts/body2"},
		{std::string(126, 'x'), std::string(126, 'x')},
		{std::string(127, 'y'), std::string(126, 'y')},
		{std::string(400, 'z'), std::string(126, 'z')},
		{"", ""},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name.size());
		SetDefaultFontName(row.name.c_str());
		EXPECT_EQ(std::string(GetDefaultFontName()), row.stored);
	}
	SetDefaultFontName(nullptr); // ignored
	EXPECT_STREQ(GetDefaultFontName(), "");
	SetDefaultFontSize(18);
	EXPECT_EQ(GetDefaultFontSize(), 18);
	SetDefaultFontName(previousName.c_str());
	SetDefaultFontSize(previousSize);
}

namespace {

using Rgba = glm::ivec4;
const Rgba kNothing(0, 0, 0, 0); // the interface layer where nothing was drawn
constexpr const char *kTextShader = "shaders/text.dsh";

class TextboxDrawing : public SharedRendererTest {
protected:
	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		Camera::SetCurrent(nullptr);
		// The shader table outlives every context, and tests before this one
		// may have built the text shader in a context that has gone since.
		testing::internal::CaptureStdout();
		Shader::Get(kTextShader)->LoadDsh(kTextShader);
		testing::internal::GetCapturedStdout();
		fontName = WriteFont();
	}

	// A 16 x 8 page drawn for size 8: 'A' is a solid 8 x 8 block, 'B' an
	// 8 x 8 rectangle whose left half only is inked.
	std::string WriteFont()
	{
		std::string base = folder.Path("blocks");
		SDL_Surface *page = SDL_CreateRGBSurfaceWithFormat(0, 16, 8, 32, SDL_PIXELFORMAT_ABGR8888);
		SDL_FillRect(page, nullptr, 0x00000000);
		SDL_Rect a = {0, 0, 12, 8}; // 'A' and the inked half of 'B'
		SDL_FillRect(page, &a, 0xFFFFFFFF);
		EXPECT_EQ(IMG_SavePNG(page, (base + ".png").c_str()), 0) << SDL_GetError();
		SDL_FreeSurface(page);
		std::ofstream(base + ".fnt") << "<font><info size=\"8\"/><common lineHeight=\"12\" base=\"8\"/><chars>"
									 << "<char id=\"65\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"/>"
									 << "<char id=\"66\" x=\"8\" y=\"0\" width=\"8\" height=\"8\"/>"
									 << "</chars></font>";
		return base;
	}

	void BeginInterface()
	{
		renderer->BeginFrame();
		renderer->SetDrawBuffer(Renderer::kLayerInterface);
	}

	// A pixel of the interface layer, counted from the top left.
	Rgba LayerPixel(int x, int y) const
	{
		return ReadLayerPixel(*renderer, Renderer::kLayerInterface, x, y);
	}

	static void ExpectColor(Rgba actual, Rgba expected)
	{
		constexpr int kColorTolerance = 3; // 8-bit steps of rounding the GPU may add
		for (int i = 0; i < 4; i++)
			EXPECT_NEAR(actual[i], expected[i], kColorTolerance) << "channel " << i;
	}

	// A box of "AB" at size 16 (each glyph 16 x 16, the second 14 further
	// on), added to nothing but initialised as a container would.
	void SetUpBox(Textbox &box, glm::vec3 position, glm::vec3 color, glm::vec2 anchor)
	{
		testing::internal::CaptureStdout();
		box.SetFont(fontName.c_str());
		std::string log = testing::internal::GetCapturedStdout();
		ASSERT_TRUE(box.GetFont().IsValid()) << log;
		box.Init();
		box.SetText("AB");
		box.SetFontSize(16);
		box.SetColor(color);
		box.SetAnchor(anchor);
		box.transform.SetPosition(position);
	}

	TempFolder folder;
	std::string fontName;
};

}

// The glyphs land on the interface screen where the box's position and
// anchor put them, in the box's colour, and the page's clear texels leave
// the layer untouched.
TEST_F(TextboxDrawing, LineOfTextLandsInPlaceAndColour)
{
	struct Sample {
		int x, y;
		bool inked;
	};
	struct Row {
		const char *what;
		glm::vec3 position, color;
		glm::vec2 anchor;
		std::vector<Sample> samples;
	};
	const Row rows[] = {
		{"left aligned, red", {100, 50, 0}, {1, 0, 0}, {0, 0},
			{{108, 58, true}, {118, 58, true}, {126, 58, false}, {108, 46, false}, {96, 58, false}, {108, 70, false}}},
		{"right aligned, green", {300, 100, 0}, {0, 1, 0}, {1, 0},
			{{280, 108, true}, {290, 108, true}, {298, 108, false}, {268, 108, false}, {305, 108, false}}},
		{"bottom anchored, blue", {400, 300, 0}, {0, 0, 1}, {0, 1},
			{{408, 292, true}, {408, 304, false}, {408, 282, false}}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		BeginInterface();
		Textbox box;
		SetUpBox(box, row.position, row.color, row.anchor);
		box.Render();
		ASSERT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
		Rgba ink(row.color.r * 255, row.color.g * 255, row.color.b * 255, 255);
		for (const Sample &sample : row.samples) {
			SCOPED_TRACE(testing::Message() << "at " << sample.x << ", " << sample.y);
			ExpectColor(LayerPixel(sample.x, sample.y), sample.inked ? ink : kNothing);
		}
	}
}

// Waviness reaches the text program while the box draws, whatever program
// was in use before, and is put back to 0 afterwards.
TEST_F(TextboxDrawing, WavinessWavesOnlyItsOwnDraw)
{
	Textbox box;
	SetUpBox(box, {100, 50, 0}, {1, 1, 1}, {0, 0});
	ASSERT_GE(box.GetWavinessLocation(), 0);
	const Shader *shader = box.GetFont().Get()->GetMaterial().Get()->GetShader();
	const GLuint program = shader->GetProgram(0);
	const int probes[] = {101, 108, 115}; // across the first glyph

	struct Row {
		float waviness;
		bool allProbesInked;
	};
	// Waves far taller than the screen tear the glyph away from its place at
	// some probe whatever the time, since the wave's phase differs across it.
	const Row rows[] = {{0, true}, {10000, false}, {0, true}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.waviness);
		BeginInterface();
		while (glGetError() != GL_NO_ERROR) {
		}
		glUseProgram(0); // whatever drew last left no text program bound
		box.waviness = row.waviness;
		box.Render();
		EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
		bool allInked = true;
		for (int x : probes)
			allInked = allInked && LayerPixel(x, 58) != kNothing;
		EXPECT_EQ(allInked, row.allProbesInked);
		GLfloat after = -1.0f;
		glGetUniformfv(program, box.GetWavinessLocation(), &after);
		EXPECT_EQ(after, 0.0f);
	}
}
