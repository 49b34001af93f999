// texgen: paints the game's PNG textures from a recipe file, so that every
// texture in the data tree is made from text kept in the repository.
//
// Usage: texgen <output folder> <recipe file>
//
// One texture per line: "<path> <width> <height> <kind> key=value ...".
// Colours are #rrggbb or #rrggbbaa. Blank lines and lines starting with '#'
// are skipped. Kinds:
//   solid    color
//   noise    color color2 scale seed            tileable fractal value noise
//   bricks   color mortar rows cols seed        staggered courses
//   planks   color color2 count seed            vertical boards with grain
//   checker  color color2 cells
//   waves    color color2 count seed            bands for water and lava
//   dots     color color2 density seed          speckles over a base
//   gradient color color2                      top to bottom
//   cells    cols size colors labels            a tileset sheet: numbered cells
//            (each colour in the list is one cell: "#hi" plain, "#hi/#lo" split
//            on the diagonal with the high part south-east, "#hi^#lo" a slope
//            rising toward the top edge, "-" left empty and unnumbered)
//   rects    color rects base                   "x,y,w,h,#colour;..." on a plain
//            colour, or on a copy of an earlier texture of this file (base=path)
//   edge     color color2 width seed            a border band along the top
//   softmask color shape edge                   a blob that is solid in the middle
//            and fades to clear at the rim (shape circle or rect; edge = the
//            fading part of the half size, 0..1)
//   icons    cols items                         a sheet of square picture cells,
//            row by row: items "shape,#back,#ink,WORD|..." where the shape is
//            one of none tile frame disc heart half empty cooler coin sword axe
//            key dress harrow varrow tower compass, and the optional WORD
//            (A-Z, 0-9, '!', '?') is lettered over it in the ink colour
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Colour {
	float r = 0, g = 0, b = 0, a = 1;
};

Colour Mix(const Colour &x, const Colour &y, float t)
{
	return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Colour Scale(const Colour &c, float k)
{
	return {c.r * k, c.g * k, c.b * k, c.a};
}

bool ParseColour(const std::string &text, Colour *out)
{
	if (text.size() != 7 && text.size() != 9)
		return false;
	if (text[0] != '#')
		return false;
	char *end = nullptr;
	unsigned long value = std::strtoul(text.c_str() + 1, &end, 16);
	if (*end != '\0')
		return false;
	if (text.size() == 7)
		value = (value << 8) | 0xff;
	out->r = ((value >> 24) & 0xff) / 255.0f;
	out->g = ((value >> 16) & 0xff) / 255.0f;
	out->b = ((value >> 8) & 0xff) / 255.0f;
	out->a = (value & 0xff) / 255.0f;
	return true;
}

uint32_t HashCell(int x, int y, uint32_t seed)
{
	uint32_t h = seed * 0x9e3779b9u ^ (uint32_t)x * 0x85ebca6bu ^ (uint32_t)y * 0xc2b2ae35u;
	h ^= h >> 16;
	h *= 0x7feb352du;
	h ^= h >> 15;
	h *= 0x846ca68bu;
	h ^= h >> 16;
	return h;
}

float Hash01(int x, int y, uint32_t seed)
{
	return (HashCell(x, y, seed) & 0xffffff) / float(0xffffff);
}

int Wrap(int v, int period)
{
	int m = v % period;
	return m < 0 ? m + period : m;
}

// Value noise on a lattice of `period` cells across the texture, so that the
// picture tiles seamlessly.
float LatticeNoise(float u, float v, int period, uint32_t seed)
{
	float x = u * period, y = v * period;
	int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
	float fx = x - x0, fy = y - y0;
	fx = fx * fx * (3 - 2 * fx);
	fy = fy * fy * (3 - 2 * fy);
	float a = Hash01(Wrap(x0, period), Wrap(y0, period), seed);
	float b = Hash01(Wrap(x0 + 1, period), Wrap(y0, period), seed);
	float c = Hash01(Wrap(x0, period), Wrap(y0 + 1, period), seed);
	float d = Hash01(Wrap(x0 + 1, period), Wrap(y0 + 1, period), seed);
	return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float Fractal(float u, float v, int period, uint32_t seed)
{
	float sum = 0, amplitude = 0.5f, total = 0;
	for (int octave = 0; octave < 4; octave++) {
		sum += LatticeNoise(u, v, period << octave, seed + octave * 101) * amplitude;
		total += amplitude;
		amplitude *= 0.5f;
	}
	return sum / total;
}

// Digits 0-9 in a 3x5 pixel font, rows top to bottom, bit 2 the left column.
constexpr uint8_t kDigits[10][5] = {
	{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
	{7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

class Canvas {
public:
	Canvas(int w, int h) : width(w), height(h), pixels((size_t)w * h) {}

	void Set(int x, int y, const Colour &c)
	{
		if (x < 0 || y < 0 || x >= width || y >= height)
			return;
		pixels[(size_t)y * width + x] = c;
	}

	void Fill(int x, int y, int w, int h, const Colour &c)
	{
		for (int j = y; j < y + h; j++)
			for (int i = x; i < x + w; i++)
				Set(i, j, c);
	}

	void DrawNumber(int x, int y, int number, const Colour &c)
	{
		std::string text = std::to_string(number);
		for (size_t k = 0; k < text.size(); k++) {
			const uint8_t *glyph = kDigits[text[k] - '0'];
			for (int row = 0; row < 5; row++)
				for (int col = 0; col < 3; col++)
					if (glyph[row] & (4 >> col))
						Set(x + (int)k * 4 + col, y + row, c);
		}
	}

	// Copies a picture of the same size into the canvas; false when it cannot
	// be read or its size differs.
	bool LoadFrom(const std::string &path)
	{
		SDL_Surface *loaded = IMG_Load(path.c_str());
		if (loaded == nullptr)
			return false;
		SDL_Surface *surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
		SDL_FreeSurface(loaded);
		if (surface == nullptr)
			return false;
		const bool fits = surface->w == width && surface->h == height;
		if (fits) {
			const auto *in = static_cast<const uint8_t *>(surface->pixels);
			for (int y = 0; y < height; y++) {
				for (int x = 0; x < width; x++) {
					const uint8_t *p = in + (size_t)y * surface->pitch + (size_t)x * 4;
					pixels[(size_t)y * width + x] = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
				}
			}
		}
		SDL_FreeSurface(surface);
		return fits;
	}

	bool Save(const std::string &path) const
	{
		SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
		if (surface == nullptr)
			return false;
		auto *out = static_cast<uint8_t *>(surface->pixels);
		for (int y = 0; y < height; y++) {
			for (int x = 0; x < width; x++) {
				const Colour &c = pixels[(size_t)y * width + x];
				uint8_t *p = out + (size_t)y * surface->pitch + (size_t)x * 4;
				p[0] = ToByte(c.r);
				p[1] = ToByte(c.g);
				p[2] = ToByte(c.b);
				p[3] = ToByte(c.a);
			}
		}
		bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
		SDL_FreeSurface(surface);
		return ok;
	}

	int width, height;

private:
	static uint8_t ToByte(float v)
	{
		if (!(v > 0))
			return 0;
		if (v >= 1)
			return 255;
		return (uint8_t)std::lround(v * 255.0f);
	}

	std::vector<Colour> pixels;
};

// One cell of a tileset sheet: how a terrain tile reads in the map editor.
struct Cell {
	enum Shape { kEmpty, kPlain, kDiagonal, kSlope } shape = kEmpty;
	Colour high, low;
};

bool ParseCell(const std::string &text, Cell *out)
{
	if (text == "-") {
		out->shape = Cell::kEmpty;
		return true;
	}
	size_t split = text.find_first_of("/^");
	if (split == std::string::npos) {
		out->shape = Cell::kPlain;
		return ParseColour(text, &out->high);
	}
	out->shape = text[split] == '/' ? Cell::kDiagonal : Cell::kSlope;
	return ParseColour(text.substr(0, split), &out->high) && ParseColour(text.substr(split + 1), &out->low);
}

// The colour of a cell at (x, y) counted from its top-left pixel.
Colour CellColourAt(const Cell &cell, int x, int y, int size)
{
	switch (cell.shape) {
	case Cell::kDiagonal:
		return x + y >= size ? cell.high : cell.low;
	case Cell::kSlope:
		return Mix(cell.high, cell.low, y / float(size - 1));
	default:
		return cell.high;
	}
}

Colour InkOn(const Colour &c)
{
	float lum = c.r * 0.3f + c.g * 0.59f + c.b * 0.11f;
	return lum > 0.5f ? Colour{0, 0, 0, 1} : Colour{1, 1, 1, 1};
}

void PaintCell(Canvas &canvas, const Cell &cell, int cx, int cy, int size, int number, bool label)
{
	if (cell.shape == Cell::kEmpty)
		return;
	for (int y = 0; y < size; y++) {
		for (int x = 0; x < size; x++) {
			bool frame = x == 0 || y == 0 || x == size - 1 || y == size - 1;
			Colour c = CellColourAt(cell, x, y, size);
			canvas.Set(cx + x, cy + y, frame ? Scale(c, 0.6f) : c);
		}
	}
	if (cell.shape == Cell::kSlope) {
		// A chevron pointing up the slope, below the number.
		const int tipX = size / 2, tipY = size / 2 + 1;
		const Colour ink = InkOn(CellColourAt(cell, tipX, tipY, size));
		for (int i = 0; i < size / 4; i++) {
			canvas.Set(cx + tipX - 1 - i, cy + tipY + i, ink);
			canvas.Set(cx + tipX + i, cy + tipY + i, ink);
		}
	}
	if (label)
		canvas.DrawNumber(cx + 3, cy + 3, number, InkOn(CellColourAt(cell, 3, 3, size)));
}


// Capitals in the same 3x5 pixel font as the digits, for lettered icons.
constexpr uint8_t kLetters[26][5] = {
	{2, 5, 7, 5, 5}, {6, 5, 6, 5, 6}, {3, 4, 4, 4, 3}, {6, 5, 5, 5, 6}, {7, 4, 6, 4, 7}, {7, 4, 6, 4, 4},
	{3, 4, 5, 5, 3}, {5, 5, 7, 5, 5}, {7, 2, 2, 2, 7}, {1, 1, 1, 5, 2}, {5, 5, 6, 5, 5}, {4, 4, 4, 4, 7},
	{5, 7, 7, 5, 5}, {6, 5, 5, 5, 5}, {2, 5, 5, 5, 2}, {6, 5, 6, 4, 4}, {2, 5, 5, 6, 3}, {6, 5, 6, 5, 5},
	{3, 4, 2, 1, 6}, {7, 2, 2, 2, 2}, {5, 5, 5, 5, 7}, {5, 5, 5, 5, 2}, {5, 5, 7, 7, 5}, {5, 5, 2, 5, 5},
	{5, 5, 2, 2, 2}, {7, 1, 2, 4, 7},
};
constexpr uint8_t kBang[5] = {2, 2, 2, 0, 2};
constexpr uint8_t kQuery[5] = {7, 1, 2, 0, 2};

const uint8_t *GlyphOf(char c)
{
	if (c >= 'A' && c <= 'Z')
		return kLetters[c - 'A'];
	if (c >= '0' && c <= '9')
		return kDigits[c - '0'];
	if (c == '!')
		return kBang;
	if (c == '?')
		return kQuery;
	return nullptr;
}

// M and W need five columns to read as themselves; rows as above, bit 4 the
// left column.
constexpr uint8_t kWideM[5] = {17, 27, 21, 17, 17};
constexpr uint8_t kWideW[5] = {17, 17, 21, 27, 17};

int GlyphColumns(char c)
{
	return c == 'M' || c == 'W' ? 5 : 3;
}

int WordColumns(const std::string &word)
{
	int columns = 0;
	for (char c : word)
		columns += GlyphColumns(c) + 1;
	return columns > 0 ? columns - 1 : 0;
}

// Letters a word centred on (cx, cy), each font pixel a square of scale.
void DrawWord(Canvas &canvas, const std::string &word, int cx, int cy, int scale, const Colour &ink)
{
	const int x0 = cx - WordColumns(word) * scale / 2, y0 = cy - 5 * scale / 2;
	int column = 0;
	for (char c : word) {
		const int columns = GlyphColumns(c);
		const uint8_t *glyph = c == 'M' ? kWideM : c == 'W' ? kWideW : GlyphOf(c);
		if (glyph != nullptr)
			for (int row = 0; row < 5; row++)
				for (int col = 0; col < columns; col++)
					if (glyph[row] & ((1 << (columns - 1)) >> col))
						canvas.Fill(x0 + (column + col) * scale, y0 + row * scale, scale, scale, ink);
		column += columns + 1;
	}
}

bool InHeart(float u, float v)
{
	// u, v in -1..1, v down: the classic implicit heart, point at the bottom.
	const float x = u * 1.25f, y = -v * 1.25f + 0.25f;
	const float a = x * x + y * y - 1.0f;
	return a * a * a - x * x * y * y * y <= 0.0f;
}

bool InBox(float u, float v, float x0, float y0, float x1, float y1)
{
	return u >= x0 && u <= x1 && v >= y0 && v <= y1;
}

// Whether the shape covers (u, v) of its cell (-1..1 each, v down), and with
// which of its two colours (ink set for the second).
bool ShapeAt(const std::string &shape, float u, float v, bool *ink)
{
	*ink = false;
	const float r = std::sqrt(u * u + v * v);
	if (shape == "tile")
		return std::fabs(u) < 0.85f && std::fabs(v) < 0.85f;
	if (shape == "frame")
		return std::max(std::fabs(u), std::fabs(v)) < 0.85f && std::max(std::fabs(u), std::fabs(v)) > 0.62f;
	if (shape == "disc")
		return r < 0.85f;
	if (shape == "heart" || shape == "empty")
		return InHeart(u, v);
	if (shape == "half") {
		if (!InHeart(u, v))
			return false;
		*ink = u > 0.0f;
		return true;
	}
	if (shape == "cooler") {
		*ink = v < -0.3f || InBox(u, v, -0.3f, -0.75f, 0.3f, -0.6f);
		return InBox(u, v, -0.8f, -0.45f, 0.8f, 0.75f) || InBox(u, v, -0.3f, -0.75f, 0.3f, -0.45f);
	}
	if (shape == "coin") {
		*ink = r > 0.55f && r < 0.68f;
		return r < 0.85f;
	}
	if (shape == "sword") {
		// A blade from the lower left up to the upper right, with a guard.
		const float along = (u - v) * 0.7071f, across = (u + v) * 0.7071f;
		const bool blade = along > -0.35f && along < 1.0f && std::fabs(across) < 0.12f;
		const bool guard = std::fabs(along + 0.4f) < 0.08f && std::fabs(across) < 0.4f;
		const bool grip = along > -0.95f && along <= -0.4f && std::fabs(across) < 0.08f;
		*ink = guard || grip;
		return blade || guard || grip;
	}
	if (shape == "axe") {
		const bool handle = std::fabs(u - 0.1f) < 0.09f && v > -0.8f && v < 0.9f;
		const bool head = u < 0.05f && u > -0.75f && std::fabs(v + 0.4f) < 0.35f + u * 0.3f;
		*ink = handle && !head;
		return handle || head;
	}
	if (shape == "key") {
		const float rr = std::sqrt((u + 0.45f) * (u + 0.45f) + v * v);
		const bool ring = rr > 0.18f && rr < 0.4f;
		const bool shaft = InBox(u, v, -0.1f, -0.08f, 0.85f, 0.08f);
		const bool teeth = InBox(u, v, 0.5f, 0.08f, 0.6f, 0.35f) || InBox(u, v, 0.72f, 0.08f, 0.82f, 0.3f);
		return ring || shaft || teeth;
	}
	if (shape == "dress") {
		const bool bodice = InBox(u, v, -0.25f, -0.8f, 0.25f, -0.2f);
		const bool skirt = v >= -0.2f && v < 0.85f && std::fabs(u) < 0.25f + (v + 0.2f) * 0.55f;
		*ink = std::fabs(v + 0.2f) < 0.06f;
		return bodice || skirt;
	}
	if (shape == "harrow" || shape == "varrow") {
		const float a = shape == "harrow" ? u : v, b = shape == "harrow" ? v : u;
		const bool shaft = std::fabs(b) < 0.12f && std::fabs(a) < 0.55f;
		const float head = 0.9f - std::fabs(a);
		const bool heads = std::fabs(a) > 0.45f && std::fabs(b) < head && head > 0.0f;
		return shaft || heads;
	}
	if (shape == "tower") {
		const bool body = InBox(u, v, -0.4f, -0.5f, 0.4f, 0.85f);
		const bool merlons = v >= -0.8f && v < -0.5f && std::fabs(u) < 0.55f && ((int)std::floor((u + 0.55f) / 0.22f) % 2 == 0);
		*ink = InBox(u, v, -0.12f, 0.35f, 0.12f, 0.85f) || InBox(u, v, -0.08f, -0.25f, 0.08f, 0.0f);
		return body || merlons;
	}
	if (shape == "compass") {
		// A rose: the ring in the back colour, the north half of the needle in
		// the ink, the south half in the ring's colour.
		const bool ring = r > 0.78f && r < 0.95f;
		const bool needle = std::fabs(u) < 0.22f * (1.0f - std::fabs(v) / 0.75f) && std::fabs(v) < 0.75f;
		*ink = needle && v < 0.0f;
		return ring || needle;
	}
	return false; // "none": the word alone
}


struct Recipe {
	std::string path;
	int width = 0, height = 0;
	std::string kind;
	std::map<std::string, std::string> values;
	int line = 0;

	std::string Text(const char *key, const char *fallback = "") const
	{
		auto it = values.find(key);
		return it == values.end() ? fallback : it->second;
	}

	int Int(const char *key, int fallback) const
	{
		auto it = values.find(key);
		return it == values.end() ? fallback : std::atoi(it->second.c_str());
	}

	float Float(const char *key, float fallback) const
	{
		auto it = values.find(key);
		return it == values.end() ? fallback : (float)std::atof(it->second.c_str());
	}

	bool ColourOf(const char *key, const char *fallback, Colour *out) const
	{
		std::string text = Text(key, fallback);
		if (ParseColour(text, out))
			return true;
		std::fprintf(stderr, "texgen: line %d: bad colour %s=%s\n", line, key, text.c_str());
		return false;
	}
};

// How much of a soft mask covers a point t out from the middle (0) toward
// the rim (1): fully inside, then fading over the outer `edge` of the way,
// eased at both ends so the blob has no visible ring.
float MaskCover(float t, float edge)
{
	float inside = std::clamp((1.0f - t) / std::max(edge, 1e-3f), 0.0f, 1.0f);
	return inside * inside * (3.0f - 2.0f * inside);
}

struct Recipe;
bool PaintIcons(const Recipe &r, Canvas &canvas);

bool Paint(const Recipe &r, Canvas &canvas, const std::string &root)
{
	Colour c1, c2;
	if (!r.ColourOf("color", "#808080", &c1) || !r.ColourOf("color2", "#404040", &c2))
		return false;
	const uint32_t seed = (uint32_t)r.Int("seed", 1);
	const int w = canvas.width, h = canvas.height;

	if (r.kind == "solid") {
		canvas.Fill(0, 0, w, h, c1);
	} else if (r.kind == "noise" || r.kind == "dots") {
		const int period = std::max(1, r.Int("scale", 4));
		const float density = r.Float("density", 0.08f);
		for (int y = 0; y < h; y++) {
			for (int x = 0; x < w; x++) {
				float n = Fractal((x + 0.5f) / w, (y + 0.5f) / h, period, seed);
				Colour c = r.kind == "noise" ? Mix(c1, c2, n) : Scale(c1, 0.9f + 0.2f * n);
				if (r.kind == "dots" && Hash01(x, y, seed + 7) < density)
					c = c2;
				canvas.Set(x, y, c);
			}
		}
	} else if (r.kind == "bricks") {
		Colour mortar;
		if (!r.ColourOf("mortar", "#303030", &mortar))
			return false;
		const int rows = std::max(1, r.Int("rows", 4)), cols = std::max(1, r.Int("cols", 2));
		const int bh = std::max(2, h / rows), bw = std::max(2, w / cols);
		for (int y = 0; y < h; y++) {
			int row = y / bh;
			int offset = (row % 2) * bw / 2;
			for (int x = 0; x < w; x++) {
				int bx = (x + offset) % w;
				int col = bx / bw;
				bool joint = (y % bh) == 0 || (bx % bw) == 0;
				float shade = 0.85f + 0.3f * Hash01(col, row, seed);
				float grain = 0.92f + 0.16f * Fractal((x + 0.5f) / w, (y + 0.5f) / h, 8, seed);
				canvas.Set(x, y, joint ? mortar : Scale(c1, shade * grain));
			}
		}
	} else if (r.kind == "planks") {
		const int count = std::max(1, r.Int("count", 4));
		const int pw = std::max(1, w / count);
		for (int y = 0; y < h; y++) {
			for (int x = 0; x < w; x++) {
				int plank = x / pw;
				float grain = LatticeNoise((x + 0.5f) / w * 4.0f, (y + 0.5f) / h, 4, seed + plank);
				Colour c = Mix(c1, c2, grain * 0.6f);
				if (x % pw == 0)
					c = Scale(c2, 0.6f);
				canvas.Set(x, y, c);
			}
		}
	} else if (r.kind == "checker") {
		const int cells = std::max(1, r.Int("cells", 8));
		for (int y = 0; y < h; y++)
			for (int x = 0; x < w; x++)
				canvas.Set(x, y, ((x * cells / w) + (y * cells / h)) % 2 ? c2 : c1);
	} else if (r.kind == "waves") {
		const int count = std::max(1, r.Int("count", 3));
		for (int y = 0; y < h; y++) {
			for (int x = 0; x < w; x++) {
				float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
				float n = Fractal(u, v, 4, seed);
				float band = 0.5f + 0.5f * std::sin((v * count + n * 0.8f) * 6.2831853f);
				canvas.Set(x, y, Mix(c1, c2, band * band));
			}
		}
	} else if (r.kind == "gradient") {
		for (int y = 0; y < h; y++)
			for (int x = 0; x < w; x++)
				canvas.Set(x, y, Mix(c1, c2, h > 1 ? y / float(h - 1) : 0.0f));
	} else if (r.kind == "edge") {
		const int band = std::max(1, r.Int("width", h / 4));
		for (int y = 0; y < h; y++) {
			for (int x = 0; x < w; x++) {
				float n = Fractal((x + 0.5f) / w, (y + 0.5f) / h, 4, seed);
				int limit = band + (int)((n - 0.5f) * band);
				canvas.Set(x, y, y < limit ? c2 : Mix(c1, c2, n * 0.25f));
			}
		}
	} else if (r.kind == "cells") {
		const int cols = std::max(1, r.Int("cols", 8));
		const int size = std::max(4, r.Int("size", 32));
		const bool labels = r.Int("labels", 1) != 0;
		std::vector<Cell> cells;
		std::stringstream list(r.Text("colors"));
		std::string item;
		while (std::getline(list, item, ',')) {
			Cell cell;
			if (!ParseCell(item, &cell)) {
				std::fprintf(stderr, "texgen: line %d: bad colour in list: %s\n", r.line, item.c_str());
				return false;
			}
			cells.push_back(cell);
		}
		canvas.Fill(0, 0, w, h, Colour{0, 0, 0, 0});
		for (size_t i = 0; i < cells.size(); i++)
			PaintCell(canvas, cells[i], (int)(i % cols) * size, (int)(i / cols) * size, size, (int)i, labels);
	} else if (r.kind == "softmask") {
		const std::string shape = r.Text("shape", "circle");
		if (shape != "circle" && shape != "rect") {
			std::fprintf(stderr, "texgen: line %d: unknown mask shape %s\n", r.line, shape.c_str());
			return false;
		}
		const float edge = r.Float("edge", 0.4f);
		for (int y = 0; y < h; y++) {
			for (int x = 0; x < w; x++) {
				// -1..1 across the texture, through pixel centres.
				const float u = (x + 0.5f) / w * 2.0f - 1.0f, v = (y + 0.5f) / h * 2.0f - 1.0f;
				float cover = shape == "circle" ? MaskCover(std::sqrt(u * u + v * v), edge)
				                                : MaskCover(std::fabs(u), edge) * MaskCover(std::fabs(v), edge);
				canvas.Set(x, y, Colour{c1.r, c1.g, c1.b, c1.a * cover});
			}
		}
	} else if (r.kind == "rects") {
		canvas.Fill(0, 0, w, h, c1);
		const std::string base = r.Text("base");
		if (!base.empty() && !canvas.LoadFrom(root + "/" + base)) {
			std::fprintf(stderr, "texgen: line %d: cannot use %s as a base of this size\n", r.line, base.c_str());
			return false;
		}
		std::stringstream list(r.Text("rects"));
		std::string item;
		while (std::getline(list, item, ';')) {
			int x = 0, y = 0, rw = 0, rh = 0;
			char colour[16] = {};
			if (std::sscanf(item.c_str(), "%d,%d,%d,%d,%15s", &x, &y, &rw, &rh, colour) != 5) {
				std::fprintf(stderr, "texgen: line %d: bad rectangle: %s\n", r.line, item.c_str());
				return false;
			}
			Colour c;
			if (!ParseColour(colour, &c)) {
				std::fprintf(stderr, "texgen: line %d: bad colour: %s\n", r.line, colour);
				return false;
			}
			canvas.Fill(x, y, rw, rh, c);
		}
	} else if (r.kind == "icons") {
		return PaintIcons(r, canvas);
	} else {
		std::fprintf(stderr, "texgen: line %d: unknown kind %s\n", r.line, r.kind.c_str());
		return false;
	}
	return true;
}


bool PaintIcons(const Recipe &r, Canvas &canvas)
{
	const int cols = std::max(1, r.Int("cols", 1));
	const int size = canvas.width / cols;
	canvas.Fill(0, 0, canvas.width, canvas.height, Colour{0, 0, 0, 0});
	std::stringstream list(r.Text("items"));
	std::string item;
	int index = 0;
	while (std::getline(list, item, '|')) {
		std::stringstream fields(item);
		std::string shape, back, inkText, word;
		std::getline(fields, shape, ',');
		std::getline(fields, back, ',');
		std::getline(fields, inkText, ',');
		std::getline(fields, word, ',');
		Colour colour, ink;
		if (!ParseColour(back, &colour) || !ParseColour(inkText, &ink)) {
			std::fprintf(stderr, "texgen: line %d: bad colours in icon %d: %s\n", r.line, index, item.c_str());
			return false;
		}
		const int cx = (index % cols) * size, cy = (index / cols) * size;
		for (int y = 0; y < size; y++) {
			for (int x = 0; x < size; x++) {
				const float u = (x + 0.5f) / size * 2.0f - 1.0f, v = (y + 0.5f) / size * 2.0f - 1.0f;
				bool second = false;
				if (ShapeAt(shape, u, v, &second))
					canvas.Set(cx + x, cy + y, second ? ink : colour);
			}
		}
		if (!word.empty()) {
			const int fit = (size * 7 / 8) / std::max(1, WordColumns(word));
			const int scale = std::clamp(fit, 1, std::max(1, size / 12));
			// The word gets a dark rim so that it reads on any ground.
			const Colour rim{0, 0, 0, 1};
			for (int dy = -1; dy <= 1; dy++)
				for (int dx = -1; dx <= 1; dx++)
					if (dx != 0 || dy != 0)
						DrawWord(canvas, word, cx + size / 2 + dx, cy + size / 2 + dy, scale, rim);
			DrawWord(canvas, word, cx + size / 2, cy + size / 2, scale, ink);
		}
		index++;
	}
	return true;
}

}

int main(int argc, char **argv)
{
	if (argc != 3) {
		std::fprintf(stderr, "usage: texgen <output folder> <recipe file>\n");
		return 2;
	}
	std::ifstream file(argv[2]);
	if (!file) {
		std::fprintf(stderr, "texgen: cannot read %s\n", argv[2]);
		return 1;
	}
	const std::string root = argv[1];
	std::string text;
	int lineNumber = 0, failures = 0, made = 0;
	while (std::getline(file, text)) {
		lineNumber++;
		std::stringstream words(text);
		Recipe recipe;
		recipe.line = lineNumber;
		if (!(words >> recipe.path) || recipe.path[0] == '#')
			continue;
		if (!(words >> recipe.width >> recipe.height >> recipe.kind) || recipe.width <= 0 ||
		    recipe.height <= 0 || recipe.width > 4096 || recipe.height > 4096) {
			std::fprintf(stderr, "texgen: line %d: expected <path> <width> <height> <kind>\n", lineNumber);
			failures++;
			continue;
		}
		std::string pair;
		while (words >> pair) {
			size_t eq = pair.find('=');
			if (eq == std::string::npos) {
				std::fprintf(stderr, "texgen: line %d: expected key=value, got %s\n", lineNumber, pair.c_str());
				failures++;
				continue;
			}
			recipe.values[pair.substr(0, eq)] = pair.substr(eq + 1);
		}
		Canvas canvas(recipe.width, recipe.height);
		std::string out = root + "/" + recipe.path;
		std::error_code ignored;
		std::filesystem::create_directories(std::filesystem::path(out).parent_path(), ignored);
		if (!Paint(recipe, canvas, root) || !canvas.Save(out)) {
			std::fprintf(stderr, "texgen: could not make %s\n", out.c_str());
			failures++;
			continue;
		}
		made++;
	}
	std::printf("texgen: %d textures\n", made);
	return failures == 0 ? 0 : 1;
}
