#pragma once
// A bare OpenGL 3.3 core context on SDL's offscreen driver (Mesa), for tests of
// GL objects that do not need the whole renderer: shaders, textures, meshes.
// Derive a fixture from GLTestContext; SetUp skips the test, with the reason,
// only when the machine cannot make a context at all.
#include <gtest/gtest.h>
#include <SDL.h>
#include <cstdint>
#include <vector>

class GLTestContext : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	// Reads the RGBA pixel at (x, y) of the current read framebuffer, with y
	// counted from the bottom as GL does.
	static void ReadPixel(int x, int y, uint8_t rgba[4]);

	SDL_Window *window = nullptr;
	SDL_GLContext context = nullptr;
	static constexpr int kWidth = 64;	// pixels of the hidden window
	static constexpr int kHeight = 64;
};
