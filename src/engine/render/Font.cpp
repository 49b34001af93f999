#include "engine/render/Font.h"

#include <tinyxml2.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/render/Texture.h"
#include "engine/core/LoadClock.h"

namespace {

constexpr const char *kTextShaderName = "shaders/text.dsh";
constexpr size_t kFileNameBufferSize = 127; // a formatted page or description name keeps 126 characters

// The cache never deletes what it holds, so every font put into it is also
// kept here and freed only when the process ends. Built before the cache is
// first used, this list outlives it.
std::vector<std::unique_ptr<Font>> &OwnedFonts()
{
	static std::vector<std::unique_ptr<Font>> owned;
	return owned;
}

CacheMap<Font> &Cache()
{
	// A font gives its page material back when the list above frees it at
	// exit, so the material cache is built first and thereby outlives it.
	CacheMap<Material>::GetInstance();
	OwnedFonts();
	return CacheMap<Font>::GetInstance();
}

const Font::Handle &NullHandle()
{
	static const Font::Handle nullHandle;
	return nullHandle;
}

const FontGlyph &EmptyGlyph()
{
	static const FontGlyph empty;
	return empty;
}

unsigned ReadUnsigned(const tinyxml2::XMLElement *element, const char *name)
{
	unsigned value = 0;
	element->QueryUnsignedAttribute(name, &value);
	return value;
}

int ReadSigned(const tinyxml2::XMLElement *element, const char *name)
{
	int value = 0;
	element->QueryIntAttribute(name, &value);
	return value;
}

}

Font::Font() = default;

Font::~Font()
{
	// A font without a page never touches the material cache, which may
	// already be gone when fonts are freed at exit.
	if (material.GetKey() != 0)
		Material::Release(material);
	material = Material::Handle();
}

const Font::Handle &Font::Get(const char *name)
{
	if (name == nullptr || name[0] == '\0') {
		Log("Couldn't load font %s", "(no name)");
		return NullHandle();
	}
	const Handle &cached = Cache().FindByName(name);
	if (cached.IsValid())
		return cached;

	LoadClock::Timing timing(LoadClock::kFonts);
	std::unique_ptr<Font> font = std::make_unique<Font>();
	char pageName[kFileNameBufferSize];
	snprintf(pageName, sizeof(pageName), "%s.png", name);
	font->material = Material::Get(pageName, kTextShaderName);

	char descriptionName[kFileNameBufferSize];
	snprintf(descriptionName, sizeof(descriptionName), "%s.fnt", name);
	if (!font->ReadDescription(descriptionName))
		return NullHandle(); // the font goes; its material stays cached

	// A page that failed to load leaves the size at 0: texture coordinates
	// then divide by 1 and the text draws without a texture.
	uint16_t width = 0;
	uint16_t height = 0;
	const Material *material = font->material.Get();
	if (material != nullptr && material->GetTexture() != nullptr && material->GetTextureId() != 0) {
		width = material->GetTexture()->GetWidth();
		height = material->GetTexture()->GetHeight();
	}
	font->SetPageSize(width, height);

	if (Cache().InsertByName(name, font.get()))
		OwnedFonts().push_back(std::move(font));
	return Cache().FindByName(name);
}

const FontGlyph &Font::GetGlyph(uint32_t character) const
{
	return character < kGlyphCount ? glyphs[character] : EmptyGlyph();
}

bool Font::ReadDescription(const char *path)
{
	if (path == nullptr)
		path = "";
	tinyxml2::XMLDocument document;
	if (!LoadXmlFile(path, document) || document.Error()) {
		Log("Couldn't load font %s", path);
		return false;
	}
	const tinyxml2::XMLElement *root = document.FirstChildElement("font");
	if (root == nullptr) {
		Log("Couldn't find valid font %s", path);
		return false;
	}
	const tinyxml2::XMLElement *info = root->FirstChildElement("info");
	if (info == nullptr) {
		Log("Couldn't find info for font %s", path);
		return false;
	}
	const tinyxml2::XMLElement *common = root->FirstChildElement("common");
	if (common == nullptr) {
		Log("Couldn't find common for font %s", path);
		return false;
	}
	const tinyxml2::XMLElement *chars = root->FirstChildElement("chars");
	if (chars == nullptr) {
		Log("Couldn't find characters for font %s", path);
		return false;
	}

	// Sizes are kept in 8 bits and glyph fields in 16, as the fields are
	// declared; a description without a rendering size states its base line
	// instead, which is the same measure for the pixel faces it comes from.
	size = (uint8_t)ReadUnsigned(info, "size");
	if (size == 0)
		size = (uint8_t)ReadUnsigned(common, "base");
	lineHeight = (uint8_t)ReadUnsigned(common, "lineHeight");

	for (int i = 0; i < (int)kGlyphCount; i++)
		glyphs[i] = FontGlyph();
	for (const tinyxml2::XMLElement *element = chars->FirstChildElement(); element != nullptr;
	     element = element->NextSiblingElement()) {
		// The table has a record for the 7-bit codes only; anything else in
		// the file (a negative id reads as a huge one) names no record.
		unsigned id = ReadUnsigned(element, "id");
		if (id >= kGlyphCount)
			continue;
		FontGlyph &glyph = glyphs[id];
		glyph.x = (uint16_t)ReadUnsigned(element, "x");
		glyph.y = (uint16_t)ReadUnsigned(element, "y");
		glyph.width = (uint16_t)ReadUnsigned(element, "width");
		glyph.height = (uint16_t)ReadUnsigned(element, "height");
		glyph.xoffset = (int16_t)ReadSigned(element, "xoffset");
		glyph.yoffset = (int16_t)ReadSigned(element, "yoffset");
		glyph.xadvance = (int16_t)ReadSigned(element, "xadvance");
	}
	return true;
}

void Font::SetPageSize(uint16_t width, uint16_t height)
{
	textureWidth = width;
	textureHeight = height;
}
