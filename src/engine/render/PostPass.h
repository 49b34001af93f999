#pragma once

#include "engine/render/PostMode.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

class RenderTargets;

// The post-processing pass that ends every frame: it draws one full-window
// quad through the current post mode's program, which composes the scene
// layer, the interface layer and the depth of the render targets into the
// window. It keeps the table of modes read from "post.xml", which one is
// current, and the values the program reads besides the layers: the fade,
// the colour grade and the overlay mode. The renderer owns the one pass.
// The pass never owns a mode's program (the shader table does) and never
// frees its quad on its own: Release needs the context the quad was made in.
class PostPass {
public:
	// Reads the mode file into the table. Without a context no program is
	// built and the table falls back to the one built-in "Default" mode, as it
	// does when the file is unreadable, malformed or has no "mode"; false then.
	bool Load(const char *path, bool hasContext);
	// The file Load is given by the renderer; null sets back "post.xml".
	void SetFile(const char *path) { file = path != nullptr ? path : kDefaultFile; }
	const std::string &File() const { return file; }
	// Mode 0 exists and has a program of its own.
	bool FirstModeHasProgram() const { return !modes.empty() && modes[0].program != 0; }
	// Gives mode 0 (made when the table is empty) the built-in copy program,
	// so frames still reach the window. Needs a context.
	void FallBackToBuiltInCopy();

	// The mode that frames go through; null draws straight to the window.
	const PostMode *Current() const { return index < modes.size() ? &modes[index] : nullptr; }
	// Null when index is past the table.
	const PostMode *Mode(uint16_t at) const { return at < modes.size() ? &modes[at] : nullptr; }
	uint16_t Count() const { return (uint16_t)modes.size(); }
	uint16_t Index() const { return index; }
	// An index past the table, or of a mode without a program, selects mode 0.
	void SetIndex(uint8_t at);
	// False past the table and for a mode without a program.
	bool IsSelectable(uint16_t at) const;
	// False for mode 0 and past the table.
	bool IsOrtho(uint8_t at) const;
	bool IsCurrentOrtho() const;
	// A mode past 0 with a width of its own.
	bool IsCurrentSized() const;

	// Fade direction (radians) and amount (1 = fully faded), colour grade (an
	// unused first value, contrast, saturation) and the overlay mode ("MODE").
	void SetFade(float angle, float amount);
	void SetColorGrade(float first, float contrast, float saturation);
	void SetOverlayMode(uint16_t mode) { overlayMode = mode; }
	float FadeAngle() const { return fadeAngle; }
	float FadeAmount() const { return fadeAmount; }
	uint16_t OverlayMode() const { return overlayMode; }

	// The window size, the overlay mode and the resolution on the current
	// mode's program, which it leaves current. Nothing for a mode without a
	// program. Needs a context.
	void SetWindowUniforms(uint32_t windowWidth, uint32_t windowHeight) const;
	// Makes and fills the quad's buffers the first time; later calls keep
	// them.
	void CreateQuad();
	// Composes the targets into the window (framebuffer 0) through mode.
	void Run(const PostMode &mode, const RenderTargets &targets, uint32_t windowWidth, uint32_t windowHeight) const;
	// Needs the GL context the quad was made in.
	void Release();

private:
	static constexpr const char *kDefaultFile = "post.xml";

	std::vector<PostMode> modes;
	uint16_t index = 0;
	std::string file = kDefaultFile;
	uint16_t overlayMode = 0;
	float fadeAngle = 0.0f;
	float fadeAmount = 0.0f;
	glm::vec3 colorGrade = glm::vec3(1.0f, 1.0f, 1.0f);
	uint32_t quadPositionBuffer = 0;
	uint32_t quadUVBuffer = 0;
};
