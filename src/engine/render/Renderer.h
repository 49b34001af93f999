#pragma once
// The one renderer: window, GL context, offscreen targets and the frame
// brackets. Only the part other subsystems need today is declared here; the
// renderer's owner completes it.
#include <SDL.h>
#include <cstdint>

class Renderer {
public:
	// Directs drawing to layer 0 (scene) or 1 (interface).
	void SetDrawBuffer(uint32_t layer);
	uint32_t GetDrawBuffer() const { return drawBuffer; }
	bool IsCurrentPostModeOrtho() const { return false; }
	SDL_Window *GetWindow() const { return window; }
	uint32_t GetWidth() const { return 600; }
	uint32_t GetHeight() const { return 360; }

private:
	SDL_Window *window = nullptr;
	uint32_t drawBuffer = 0;
};

// The renderer that started first; null while none has.
Renderer *GetRenderer();
