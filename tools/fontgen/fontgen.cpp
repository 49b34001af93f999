// fontgen: draws the game's bitmap fonts from the pixel alphabet in Glyphs.h.
// Each face is the same alphabet at its own scale, optionally emboldened (ink
// smeared to the right) and outlined (a dark ring around the ink), packed onto
// one page PNG and described in a BMFont XML file beside it.
//
// Usage: fontgen <output folder>
// Writes <output folder>/fonts/<face>.png and <face>.fnt for every face below.
//
// The text box advances the pen by a glyph's rectangle width scaled to the
// text size, tightened by a tenth of the size. The rectangles are therefore
// padded on the right by that tightening, so that at the face's own size the
// ink of two neighbours stays exactly one alphabet pixel apart.
#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Glyphs.h"

namespace {

struct Face {
	const char *name;
	int size;    // pixels the face is drawn for (the text size that shows it 1:1)
	int scale;   // page pixels per alphabet pixel
	int bold;    // extra page pixels of ink to the right of each ink pixel
	int outline; // page pixels of dark ring around the ink
};

// A face drawn for a size above the one it is shown at is scaled down by the
// text box: the menus' headings (32) and the quest list's names (14) are laid
// out for letters narrower than the alphabet at 4 and 2 page pixels, so those
// faces are drawn for a larger size, and the longest heading and name fit the
// room the layout gives them.
constexpr Face kFaces[] = {
	{"pixel", 8, 1, 0, 0},  // the engine's default: the alphabet as drawn
	{"body", 16, 2, 0, 0},  // plain running text
	{"body2", 18, 2, 0, 1}, // the game's text: outlined to read on any background
	{"ui", 24, 2, 1, 0},    // menus and labels: emboldened, narrow at their sizes 12 to 16
	{"title", 36, 3, 1, 2}, // headings: large, bold and outlined; 32 on the screen
};

constexpr int kFirstCode = 32; // blank
constexpr int kLastCode = 126; // '~'
constexpr int kBlankColumns = 3; // alphabet pixels of a blank's advance
constexpr int kPageSpacing = 1;  // page pixels between glyph rectangles
constexpr int kMinPageSide = 64;
constexpr int kMaxPageSide = 2048;
constexpr float kTighteningFactor = 0.1f; // the text box's tightening, a factor of the size
constexpr float kLineHeightFactor = 1.5f; // the text box's line step, a factor of the size

enum Texel : uint8_t { kClear, kInk, kOutline };

struct Glyph {
	int code = 0;
	int width = 0;  // rectangle on the page
	int height = 0;
	int x = 0;
	int y = 0;
	int xoffset = 0;
	int yoffset = 0;
	int xadvance = 0;
	std::vector<uint8_t> texels; // width x height Texel values
};

const GlyphBitmap *FindBitmap(int code)
{
	for (const GlyphBitmap &bitmap : kGlyphBitmaps)
		if (bitmap.code == code)
			return &bitmap;
	return nullptr;
}

bool IsInk(const GlyphBitmap &bitmap, int column, int row)
{
	return bitmap.rows[row][column] == '#';
}

// Checks that every row of the alphabet has its full width of '#' and '.'.
bool CheckAlphabet()
{
	for (const GlyphBitmap &bitmap : kGlyphBitmaps) {
		for (int row = 0; row < kGlyphRows; row++) {
			const char *text = bitmap.rows[row];
			int length = 0;
			while (text[length] == '#' || text[length] == '.')
				length++;
			if (length != kGlyphColumns || text[length] != '\0') {
				std::fprintf(stderr, "fontgen: glyph '%c' row %d is not %d columns of '#' and '.'\n", bitmap.code,
					row, kGlyphColumns);
				return false;
			}
		}
	}
	return true;
}

int Tightening(const Face &face)
{
	return (int)std::ceil(kTighteningFactor * (float)face.size);
}

int TopMargin(const Face &face)
{
	int capHeight = kGlyphBaseRow * face.scale;
	return face.size > capHeight ? (face.size - capHeight) / 2 : 0;
}

Glyph DrawGlyph(const Face &face, int code)
{
	Glyph glyph;
	glyph.code = code;
	const int gap = face.scale; // one alphabet pixel between neighbours
	const GlyphBitmap *bitmap = FindBitmap(code);
	if (bitmap == nullptr) {
		// A blank: no rectangle, only an advance.
		glyph.xadvance = kBlankColumns * face.scale + gap;
		return glyph;
	}

	int first = kGlyphColumns;
	int last = -1;
	for (int column = 0; column < kGlyphColumns; column++)
		for (int row = 0; row < kGlyphRows; row++)
			if (IsInk(*bitmap, column, row)) {
				first = column < first ? column : first;
				last = column > last ? column : last;
			}
	if (last < first) {
		glyph.xadvance = kBlankColumns * face.scale + gap;
		return glyph;
	}

	const int o = face.outline;
	const int inkWidth = (last - first + 1) * face.scale + face.bold;
	const int inkHeight = kGlyphRows * face.scale;
	glyph.width = inkWidth + gap + Tightening(face);
	glyph.height = inkHeight + 2 * o;
	glyph.xoffset = -o;
	glyph.yoffset = TopMargin(face) - o;
	glyph.xadvance = inkWidth + gap;
	glyph.texels.assign((size_t)glyph.width * glyph.height, kClear);

	auto at = [&glyph](int x, int y) -> uint8_t & { return glyph.texels[(size_t)y * glyph.width + x]; };
	for (int row = 0; row < kGlyphRows; row++) {
		for (int column = first; column <= last; column++) {
			if (!IsInk(*bitmap, column, row))
				continue;
			const int left = o + (column - first) * face.scale;
			const int top = o + row * face.scale;
			for (int y = top; y < top + face.scale; y++)
				for (int x = left; x < left + face.scale + face.bold; x++)
					at(x, y) = kInk;
		}
	}
	if (o > 0) {
		std::vector<uint8_t> ink = glyph.texels;
		for (int y = 0; y < glyph.height; y++) {
			for (int x = 0; x < glyph.width; x++) {
				if (ink[(size_t)y * glyph.width + x] == kInk)
					continue;
				bool near = false;
				for (int dy = -o; dy <= o && !near; dy++)
					for (int dx = -o; dx <= o && !near; dx++) {
						int nx = x + dx;
						int ny = y + dy;
						near = nx >= 0 && ny >= 0 && nx < glyph.width && ny < glyph.height &&
						       ink[(size_t)ny * glyph.width + nx] == kInk;
					}
				if (near)
					at(x, y) = kOutline;
			}
		}
	}
	return glyph;
}

// Places the rectangles in rows on the narrowest square-ish page that holds
// them; false when none up to kMaxPageSide does.
bool Pack(std::vector<Glyph> &glyphs, int *pageWidth, int *pageHeight)
{
	for (int width = kMinPageSide; width <= kMaxPageSide; width *= 2) {
		int x = kPageSpacing;
		int y = kPageSpacing;
		int rowHeight = 0;
		bool fits = true;
		for (Glyph &glyph : glyphs) {
			if (glyph.width == 0)
				continue;
			if (glyph.width + 2 * kPageSpacing > width) {
				fits = false;
				break;
			}
			if (x + glyph.width + kPageSpacing > width) {
				x = kPageSpacing;
				y += rowHeight + kPageSpacing;
				rowHeight = 0;
			}
			glyph.x = x;
			glyph.y = y;
			x += glyph.width + kPageSpacing;
			rowHeight = glyph.height > rowHeight ? glyph.height : rowHeight;
		}
		int used = y + rowHeight + kPageSpacing;
		int height = kMinPageSide;
		while (height < used)
			height *= 2;
		if (fits && height <= width) {
			*pageWidth = width;
			*pageHeight = height;
			return true;
		}
	}
	return false;
}

bool WritePage(const std::string &path, const std::vector<Glyph> &glyphs, int width, int height)
{
	SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
	if (surface == nullptr)
		return false;
	auto *pixels = static_cast<uint8_t *>(surface->pixels);
	for (int y = 0; y < height; y++)
		for (int x = 0; x < width; x++) {
			uint8_t *p = pixels + (size_t)y * surface->pitch + (size_t)x * 4;
			p[0] = p[1] = p[2] = p[3] = 0;
		}
	for (const Glyph &glyph : glyphs) {
		for (int y = 0; y < glyph.height; y++) {
			for (int x = 0; x < glyph.width; x++) {
				uint8_t texel = glyph.texels[(size_t)y * glyph.width + x];
				if (texel == kClear)
					continue;
				uint8_t *p = pixels + (size_t)(glyph.y + y) * surface->pitch + (size_t)(glyph.x + x) * 4;
				uint8_t level = texel == kInk ? 255 : 0; // white ink takes the text colour; outlines stay black
				p[0] = p[1] = p[2] = level;
				p[3] = 255;
			}
		}
	}
	bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
	SDL_FreeSurface(surface);
	return ok;
}

bool WriteDescription(const std::string &path, const Face &face, const std::vector<Glyph> &glyphs, int pageWidth,
	int pageHeight)
{
	FILE *file = std::fopen(path.c_str(), "wb");
	if (file == nullptr)
		return false;
	const int lineHeight = (int)std::lround(kLineHeightFactor * (float)face.size);
	const int base = TopMargin(face) + kGlyphBaseRow * face.scale;
	bool ok = std::fprintf(file, "<?xml version=\"1.0\"?>\n<font>\n") > 0;
	ok = ok && std::fprintf(file,
				   "\t<info face=\"%s\" size=\"%d\" bold=\"%d\" italic=\"0\" charset=\"\" unicode=\"0\" "
				   "stretchH=\"100\" smooth=\"0\" aa=\"1\" padding=\"0,0,0,0\" spacing=\"%d,%d\" outline=\"%d\"/>\n",
				   face.name, face.size, face.bold > 0 ? 1 : 0, kPageSpacing, kPageSpacing, face.outline) > 0;
	ok = ok && std::fprintf(file,
				   "\t<common lineHeight=\"%d\" base=\"%d\" scaleW=\"%d\" scaleH=\"%d\" pages=\"1\" packed=\"0\"/>\n",
				   lineHeight, base, pageWidth, pageHeight) > 0;
	ok = ok && std::fprintf(file, "\t<pages>\n\t\t<page id=\"0\" file=\"%s.png\"/>\n\t</pages>\n", face.name) > 0;
	ok = ok && std::fprintf(file, "\t<chars count=\"%zu\">\n", glyphs.size()) > 0;
	for (const Glyph &glyph : glyphs) {
		ok = ok && std::fprintf(file,
					   "\t\t<char id=\"%d\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" xoffset=\"%d\" "
					   "yoffset=\"%d\" xadvance=\"%d\" page=\"0\" chnl=\"15\"/>\n",
					   glyph.code, glyph.x, glyph.y, glyph.width, glyph.height, glyph.xoffset, glyph.yoffset,
					   glyph.xadvance) > 0;
	}
	ok = ok && std::fprintf(file, "\t</chars>\n</font>\n") > 0;
	ok = std::fclose(file) == 0 && ok;
	return ok;
}

bool MakeFace(const std::string &folder, const Face &face)
{
	std::vector<Glyph> glyphs;
	for (int code = kFirstCode; code <= kLastCode; code++)
		glyphs.push_back(DrawGlyph(face, code));
	int pageWidth = 0;
	int pageHeight = 0;
	if (!Pack(glyphs, &pageWidth, &pageHeight)) {
		std::fprintf(stderr, "fontgen: %s does not fit on a %d pixel page\n", face.name, kMaxPageSide);
		return false;
	}
	const std::string base = folder + "/" + face.name;
	if (!WritePage(base + ".png", glyphs, pageWidth, pageHeight)) {
		std::fprintf(stderr, "fontgen: could not write %s.png: %s\n", base.c_str(), SDL_GetError());
		return false;
	}
	if (!WriteDescription(base + ".fnt", face, glyphs, pageWidth, pageHeight)) {
		std::fprintf(stderr, "fontgen: could not write %s.fnt\n", base.c_str());
		return false;
	}
	return true;
}

}

int main(int argc, char **argv)
{
	if (argc != 2) {
		std::fprintf(stderr, "usage: fontgen <output folder>\n");
		return 2;
	}
	if (!CheckAlphabet())
		return 1;
	const std::string folder = std::string(argv[1]) + "/fonts";
	std::error_code error;
	std::filesystem::create_directories(folder, error);
	if (error) {
		std::fprintf(stderr, "fontgen: cannot make %s: %s\n", folder.c_str(), error.message().c_str());
		return 1;
	}
	int made = 0;
	for (const Face &face : kFaces)
		if (MakeFace(folder, face))
			made++;
	std::printf("fontgen: %d fonts\n", made);
	return made == (int)(sizeof(kFaces) / sizeof(kFaces[0])) ? 0 : 1;
}
