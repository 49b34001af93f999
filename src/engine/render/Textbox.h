#pragma once

#include <cstdint>

#include <glm/glm.hpp>

#include "engine/core/Entity.h"
#include "engine/core/Log.h"
#include "engine/render/Font.h"
#include "engine/render/Mesh.h"
#include "engine/render/MeshRenderer.h"

// The process-wide text defaults. The name is the font a text box loads when
// it joins a container without one ("fonts/pixel" until the game sets its
// own); it is kept to kMaxDefaultFontNameLength characters and always ends in
// its terminator. The size (16 until set) is for game code to read back: text
// boxes themselves start at size 0.
constexpr size_t kMaxDefaultFontNameLength = 126;
void SetDefaultFontName(const char *name);
const char *GetDefaultFontName();
void SetDefaultFontSize(uint8_t size);
uint8_t GetDefaultFontSize();

// One line of a laid-out text: its width in text units and the index of the
// character at which the next line starts.
struct TextLine {
	float width = 0.0f;
	uint16_t breakIndex = 0;
};

// A line of up to 255 characters in a bitmap font, shown on the interface
// layer: the menus, message boxes and HUD labels are made of these. The box
// lays its text out into one textured quad per glyph in a mesh of its own and
// draws that mesh with a mesh renderer of its own at the entity's transform.
// Layout waits: setters only mark the box dirty when a value really changes,
// and the layout runs at the next draw or length query. It wraps at blanks
// past a width, breaks at line ends, gives blanks and tabs fixed widths,
// shifts the text by an anchor, can hold back characters for a typing effect,
// and hands a wave strength to the text shader. Text space has x to the
// right and y downward. The box holds one use of its font's page material
// through its mesh; fonts themselves are never given back. Bytes of 128 and
// above take their place in the text but draw nothing.
class Textbox : public Entity {
public:
	static constexpr uint32_t kMaxTextLength = 255;   // characters kept of a text
	static constexpr uint32_t kTextBufferSize = kMaxTextLength + 1;
	static constexpr uint32_t kMaxWrappedLines = 8;   // no wrap starts a line past this many
	// Line ends break however many there are, so the table has room for a
	// break at every character.
	static constexpr uint32_t kLineTableSize = kTextBufferSize;

	Textbox();
	~Textbox() override;

	// Takes the default font when none is set, and draws with the interface
	// matrix from now on.
	void Init() override;
	void Render() override;

	// Takes the named font; logs a line and keeps no font when it cannot be
	// loaded.
	void SetFont(const char *name);
	// Null or "" empties the box; at most kMaxTextLength characters are kept.
	void SetText(const char *text);
	void SetTextFormat(const char *format, ...) TALVEX_PRINTF_FORMAT(2, 3);
	// The fraction of each line's width and of the text's height by which
	// the text is shifted left and up: (0.5, 0) centres every line on the
	// entity, (0, 1) ends the block at the entity's y.
	void SetAnchor(const glm::vec2 &value);
	void SetColor(const glm::vec3 &value);
	// Text size in interface pixels.
	void SetFontSize(uint8_t value);
	// 0 or less: no wrapping.
	void SetWrapWidth(float value);
	void SetLineSpacing(float value);
	void SetLetterSpacing(float value);
	// Stops the text after a number of characters, for typing effects; 0
	// shows everything. Requests beyond the last layout's character count
	// are lowered to it.
	void SetVisibleChars(uint16_t value);

	// Lays out when dirty and returns the number of characters laid out.
	uint16_t GetLength();
	// Builds the glyph quads from the current text, font and settings.
	void Layout();

	// Outputs of the last layout, in text units.
	float GetWidth() const { return width; }
	float GetHeight() const { return height; }
	const TextLine &GetLine(uint32_t index) const;
	uint32_t GetLineCount() const { return lineCount; }

	const char *GetText() const { return text; }
	const Font::Handle &GetFont() const { return font; }
	const glm::vec3 &GetColor() const { return color; }
	uint16_t GetVisibleChars() const { return visibleChars; }
	bool IsDirty() const { return dirty; }
	int32_t GetWavinessLocation() const { return wavinessLocation; }
	const Mesh &GetMesh() const { return mesh; }
	// Game code may set another mode to draw the text in the world.
	MeshRenderer &GetMeshRenderer() { return meshRenderer; }

	// How strongly the text shader waves the glyphs, in interface pixels;
	// game code sets it freely.
	float waviness = 0.0f;

private:
	// Sets the shader's "WAVINESS" with the font's program bound, which is
	// where the uniform lives.
	void SendWaviness(float value) const;

	Font::Handle font;
	MeshRenderer meshRenderer;
	Mesh mesh;
	char text[kTextBufferSize];
	glm::vec2 anchor = glm::vec2(0.0f);
	glm::vec3 color = glm::vec3(1.0f);
	uint8_t size = 0;
	float wrapWidth = 0.0f;
	float width = 0.0f;
	float height = 0.0f;
	float lineSpacing = 1.0f;
	float letterSpacing = 1.0f;
	bool dirty = true;
	uint16_t characterCount = 0;
	uint16_t visibleChars = 0;
	int32_t wavinessLocation = -1;
	TextLine lines[kLineTableSize];
	uint32_t lineCount = 0;
};
