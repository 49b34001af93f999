#pragma once

#include <cstdint>

#include "engine/core/CacheMap.h"
#include "engine/render/Material.h"

// Where one character sits on a font's page and how it is placed: the
// rectangle in page pixels, the offset at which it is drawn from the pen, and
// the pen advance the description declares.
struct FontGlyph {
	uint16_t x = 0;
	uint16_t y = 0;
	uint16_t width = 0;
	uint16_t height = 0;
	int16_t xoffset = 0;
	int16_t yoffset = 0;
	int16_t xadvance = 0;
};

// A bitmap font: one page image with every glyph on it, drawn through a
// material on the text shader, and a table of glyph rectangles for the
// character codes 0 to 127 read from an AngelCode BMFont XML description.
// A font named "fonts/body" is the page "fonts/body.png" described by
// "fonts/body.fnt". Fonts are shared through CacheMap<Font> under the hash of
// their name and live until the process ends; holders never give them back.
// Codes of 128 and above have no glyph: the description's entries for them
// are skipped and GetGlyph answers them with an empty glyph.
class Font {
public:
	using Handle = CacheHandle<Font>;

	static constexpr uint32_t kGlyphCount = 128; // character codes with a glyph record

	Font();
	// Gives back the page material.
	virtual ~Font();
	Font(const Font &) = delete;
	Font &operator=(const Font &) = delete;

	// The cached font of the name, loaded on first request, with one user
	// counted for the caller (copy the handle). The null handle, after one
	// log line, when the description cannot be read; nothing is cached then.
	static const Handle &Get(const char *name);

	// The glyph of a character code; an all-zero glyph for codes that no
	// description entry named and for codes of 128 and above.
	const FontGlyph &GetGlyph(uint32_t character) const;

	// Reads a BMFont XML description (path relative to the executable's
	// directory, or absolute) into the glyph table, size and line height.
	// The whole file is checked for its "font", "info", "common" and "chars"
	// elements before anything is taken; on failure one line naming the file
	// is logged (without a line end), false is returned and the font is left
	// as it was.
	bool ReadDescription(const char *path);
	// The page texture's size in pixels, which texture coordinates divide by.
	void SetPageSize(uint16_t width, uint16_t height);

	const Material::Handle &GetMaterial() const { return material; }
	uint8_t GetSize() const { return size; }
	uint8_t GetLineHeight() const { return lineHeight; }
	uint16_t GetTextureWidth() const { return textureWidth; }
	uint16_t GetTextureHeight() const { return textureHeight; }

private:
	FontGlyph glyphs[kGlyphCount];
	Material::Handle material;
	uint8_t size = 1;       // pixels the glyphs were drawn at
	uint8_t lineHeight = 1; // pixels
	uint16_t textureWidth = 1;
	uint16_t textureHeight = 1;
};
