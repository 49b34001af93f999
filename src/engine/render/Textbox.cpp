#include "engine/render/Textbox.h"

#include <glad/gl.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/render/Renderer.h"
#include "engine/render/Shader.h"

namespace {

constexpr uint8_t kInitialDefaultFontSize = 16; // pixels
constexpr const char *kWavinessUniform = "WAVINESS";

// Layout proportions, each a factor of the text size.
constexpr float kTighteningFactor = -0.1f;  // glyphs sit this much closer than their rectangles
constexpr float kLineStepFactor = 1.5f;     // from one line's top to the next
constexpr float kBlankAdvanceFactor = 0.5f; // width of a blank
constexpr float kTabAdvanceFactor = 2.4f;   // width of a tab

constexpr uint16_t kLastLineBreak = 256; // break index of the last line: past every character
constexpr uint32_t kQuadCorners = 4;     // vertices of one glyph quad

constexpr char kBlank = ' ';
constexpr char kTab = '\t';
constexpr char kLineEnd = '\n';

char defaultFontName[kMaxDefaultFontNameLength + 1] = "fonts/pixel"; // the engine's own face
uint8_t defaultFontSize = kInitialDefaultFontSize;

}

void SetDefaultFontName(const char *name)
{
	if (name == nullptr)
		return;
	// The copy is cut one short of the storage, so the terminator always
	// survives a long name.
	snprintf(defaultFontName, sizeof(defaultFontName), "%s", name);
}

const char *GetDefaultFontName()
{
	return defaultFontName;
}

void SetDefaultFontSize(uint8_t size)
{
	defaultFontSize = size;
}

uint8_t GetDefaultFontSize()
{
	return defaultFontSize;
}

Textbox::Textbox()
{
	drawLayer = kInterfaceLayer;
	memset(text, 0, sizeof(text));
}

Textbox::~Textbox() = default;

void Textbox::Init()
{
	if (!font.IsValid())
		SetFont(GetDefaultFontName());
	meshRenderer.SetMode(Renderer::kMatrixInterface);
	dirty = true;
}

void Textbox::SetFont(const char *name)
{
	font = Font::Get(name);
	if (!font.IsValid()) {
		Log("Couldn't set font on textbox: %s\n", name != nullptr ? name : "(no name)");
		return;
	}
	const Material::Handle &page = font.Get()->GetMaterial();
	const Shader *shader = page.IsValid() ? page.Get()->GetShader() : nullptr;
	wavinessLocation = shader != nullptr ? shader->GetUniformLocation(kWavinessUniform) : -1;
	// The mesh gives its material back when it goes, so it gets a use of its
	// own rather than a copy of the font's.
	mesh.SetMaterial(page.IsValid() ? Material::Share(page) : page);
	dirty = true;
}

void Textbox::SetText(const char *value)
{
	if (value == nullptr || value[0] == '\0') {
		if (text[0] != '\0') {
			text[0] = '\0';
			dirty = true;
		}
		return;
	}
	if (strncmp(value, text, kTextBufferSize) == 0)
		return;
	// memmove: the caller may hand in a part of this box's own text.
	size_t length = strnlen(value, kMaxTextLength);
	memmove(text, value, length);
	text[length] = '\0';
	dirty = true;
}

void Textbox::SetTextFormat(const char *format, ...)
{
	char buffer[kTextBufferSize];
	va_list args;
	va_start(args, format);
	vsnprintf(buffer, sizeof(buffer), format, args);
	va_end(args);
	SetText(buffer);
}

void Textbox::SetAnchor(const glm::vec2 &value)
{
	if (value.x != anchor.x || value.y != anchor.y) {
		anchor = value;
		dirty = true;
	}
}

void Textbox::SetColor(const glm::vec3 &value)
{
	if (value.x != color.x || value.y != color.y || value.z != color.z) {
		color = value;
		dirty = true;
	}
}

void Textbox::SetFontSize(uint8_t value)
{
	if (value != size) {
		size = value;
		dirty = true;
	}
}

void Textbox::SetWrapWidth(float value)
{
	if (value != wrapWidth) {
		wrapWidth = value;
		dirty = true;
	}
}

void Textbox::SetLineSpacing(float value)
{
	if (value != lineSpacing) {
		lineSpacing = value;
		dirty = true;
	}
}

void Textbox::SetLetterSpacing(float value)
{
	if (value != letterSpacing) {
		letterSpacing = value;
		dirty = true;
	}
}

void Textbox::SetVisibleChars(uint16_t value)
{
	if (value > characterCount)
		value = characterCount;
	if (value != visibleChars) {
		visibleChars = value;
		dirty = true;
	}
}

uint16_t Textbox::GetLength()
{
	if (dirty)
		Layout();
	return characterCount;
}

const TextLine &Textbox::GetLine(uint32_t index) const
{
	static const TextLine none;
	return index < lineCount ? lines[index] : none;
}

void Textbox::Layout()
{
	dirty = false;
	mesh.Clear();
	meshRenderer.Release();
	const Font *face = font.Get();
	if (face == nullptr || text[0] == '\0')
		return;

	const float s = (float)size;
	const float pageWidth = face->GetTextureWidth() < 1 ? 1.0f : (float)face->GetTextureWidth();
	const float pageHeight = face->GetTextureHeight() < 1 ? 1.0f : (float)face->GetTextureHeight();
	const float fontSize = face->GetSize() == 0 ? 1.0f : (float)face->GetSize();
	const float k = s / fontSize;
	const float tightening = std::floor(kTighteningFactor * s) * letterSpacing;
	const float lineStep = kLineStepFactor * s * lineSpacing;
	const float blankAdvance = kBlankAdvanceFactor * s * letterSpacing;
	const float tabAdvance = kTabAdvanceFactor * s * letterSpacing;

	// Measuring: where the lines break and how wide each one is.
	uint32_t n = 0;
	auto addLine = [this, &n](float lineWidth, uint16_t breakIndex) {
		if (n < kLineTableSize) {
			lines[n].width = lineWidth;
			lines[n].breakIndex = breakIndex;
			n++;
		}
	};
	float w = 0.0f;
	float textHeight = s;
	uint16_t count = 0;
	float lastBlank = 0.0f;
	uint16_t lastBlankIndex = 0;
	for (uint16_t i = 0; i < kTextBufferSize && text[i] != '\0'; i++) {
		const unsigned char c = (unsigned char)text[i];
		count++;
		if (c == kBlank || c == kTab) {
			lastBlank = w;
			lastBlankIndex = i;
			w += c == kBlank ? blankAdvance : tabAdvance;
		} else if (c == kLineEnd) {
			addLine(w, i);
			w = 0.0f;
			lastBlank = 0.0f;
			textHeight += lineStep;
		} else if (c < Font::kGlyphCount) {
			w += face->GetGlyph(c).width * k + tightening;
			// A wrap must break after the previous break: the building pass
			// walks the breaks in order, so one that points back would never
			// be reached, and every break after it would be lost with it. A
			// word longer than the wrap width therefore runs on past it.
			bool breaksForward = n == 0 || lastBlankIndex > lines[n - 1].breakIndex;
			if (wrapWidth > 0.0f && w > wrapWidth && n < kMaxWrappedLines - 1 && breaksForward) {
				addLine(lastBlank, lastBlankIndex);
				w -= lastBlank;
				textHeight += lineStep;
				lastBlank = 0.0f;
			}
		}
		// A byte of 128 or more has no glyph: it holds its place and nothing else.
	}
	addLine(w, kLastLineBreak);
	lineCount = n;

	float widest = lines[0].width;
	for (uint32_t j = 1; j < lineCount; j++)
		widest = lines[j].width > widest ? lines[j].width : widest;
	width = widest;
	height = textHeight;
	characterCount = count;

	// Building: one quad per glyph, each line shifted by its anchor share.
	uint32_t j = 0;
	float x = 0.0f;
	float lineOffset = -anchor.x * lines[0].width;
	float y = -anchor.y * height;
	for (uint16_t i = 0; i < characterCount; i++) {
		if (j + 1 < lineCount && i == lines[j].breakIndex) {
			x = 0.0f;
			y += lineStep;
			j++;
			lineOffset = -anchor.x * lines[j].width;
		}
		const unsigned char c = (unsigned char)text[i];
		if (c == kBlank) {
			x += blankAdvance;
			continue;
		}
		if (c == kTab) {
			x += tabAdvance;
			continue;
		}
		if (c < Font::kGlyphCount) {
			const FontGlyph &g = face->GetGlyph(c);
			const float left = x + lineOffset + g.xoffset * k;
			const float top = y + g.yoffset * k;
			const float right = left + g.width * k;
			const float bottom = top + g.height * k;
			const float uvLeft = g.x / pageWidth;
			const float uvTop = g.y / pageHeight;
			mesh.AddQuad(glm::vec3(left, top, 0.0f), glm::vec3(right, bottom, 0.0f), glm::vec2(uvLeft, uvTop),
				glm::vec2(uvLeft + g.width / pageWidth, uvTop + g.height / pageHeight), color);
			x += g.width * k + tightening;
		}
		if (visibleChars != 0 && i > visibleChars)
			break;
	}
}

void Textbox::SendWaviness(float value) const
{
	const Material *page = font.IsValid() ? font.Get()->GetMaterial().Get() : nullptr;
	const Shader *shader = page != nullptr ? page->GetShader() : nullptr;
	uint32_t program = shader != nullptr ? shader->GetProgram(0) : 0;
	if (program == 0)
		return;
	glUseProgram(program);
	glUniform1f(wavinessLocation, value);
}

void Textbox::Render()
{
	if (dirty)
		Layout();
	if (!font.IsValid() || text[0] == '\0' || mesh.GetVertexCount() < kQuadCorners)
		return;
	if (wavinessLocation != -1)
		SendWaviness(waviness);
	glm::mat4 model = transform.GetMatrix();
	// Text space runs y downward and the world y upward: a half turn about
	// z stands the text upright for the world camera.
	if (meshRenderer.GetMode() == 0)
		model = glm::scale(model, glm::vec3(-1.0f, -1.0f, 1.0f));
	meshRenderer.Draw(&mesh, model);
	if (wavinessLocation != -1)
		SendWaviness(0.0f);
}
