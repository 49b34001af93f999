#include "engine/render/Texture.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "support/GLFolderContext.h"

namespace {

// Six pixels in file order; the last one half transparent.
const uint8_t kPixels[6][4] = {
	{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}, {10, 20, 30, 255}, {200, 100, 50, 128},
};

// Writes the six pixels as a width x height PNG, 32-bit RGBA or 8-bit palette.
bool SavePng(const std::string &path, int width, int height, bool palette)
{
	SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, palette ? 8 : 32,
	                                                      palette ? SDL_PIXELFORMAT_INDEX8 : SDL_PIXELFORMAT_ABGR8888);
	if (surface == nullptr)
		return false;
	for (int i = 0; i < width * height; i++) {
		uint8_t *row = (uint8_t *)surface->pixels + (i / width) * surface->pitch;
		if (palette) {
			const uint8_t *p = kPixels[i];
			SDL_Color color = {p[0], p[1], p[2], p[3]};
			SDL_SetPaletteColors(surface->format->palette, &color, i, 1);
			row[i % width] = (uint8_t)i;
		} else {
			memcpy(row + (i % width) * 4, kPixels[i], 4);
		}
	}
	bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
	SDL_FreeSurface(surface);
	return saved;
}

class TextureFiles : public GLFolderContext {};

}

// PNG files of either layout arrive as RGBA bytes in file order, with their
// size, and sample nearest and repeating so pixel art stays sharp and tiles.
TEST_F(TextureFiles, LoadsPngFilesAsRgba)
{
	struct Row {
		const char *what;
		bool palette;
		int width, height;
	};
	const Row rows[] = {
		{"RGBA, wide", false, 3, 2},
		{"RGBA, tall", false, 2, 3},
		{"palette", true, 3, 2},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		std::string path = folder + "/" + row.what + ".png";
		ASSERT_TRUE(SavePng(path, row.width, row.height, row.palette)) << SDL_GetError();
		testing::internal::CaptureStdout();
		Texture texture(path.c_str());
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
		ASSERT_NE(texture.GetId(), 0u);
		EXPECT_EQ(texture.GetWidth(), row.width);
		EXPECT_EQ(texture.GetHeight(), row.height);
		GLint bound = 0;
		glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
		EXPECT_EQ((uint32_t)bound, texture.GetId()) << "the new texture stays bound";

		uint8_t read[6][4] = {};
		glPixelStorei(GL_PACK_ALIGNMENT, 1);
		glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read);
		EXPECT_EQ(memcmp(read, kPixels, sizeof(read)), 0);

		const GLenum parameters[][2] = {
			{GL_TEXTURE_MIN_FILTER, GL_NEAREST},
			{GL_TEXTURE_MAG_FILTER, GL_NEAREST},
			{GL_TEXTURE_WRAP_S, GL_REPEAT},
			{GL_TEXTURE_WRAP_T, GL_REPEAT},
		};
		for (const auto &parameter : parameters) {
			GLint value = 0;
			glGetTexParameteriv(GL_TEXTURE_2D, parameter[0], &value);
			EXPECT_EQ((GLenum)value, parameter[1]) << "parameter 0x" << std::hex << parameter[0];
		}
	}
}

// Files that cannot be loaded leave an empty texture and log the name asked
// for (not the resolved path) with SDL's reason.
TEST_F(TextureFiles, UnloadableFilesLeaveNoTexture)
{
	std::string notPng = folder + "/text.png";
	std::ofstream(notPng) << "this is not an image";
	const std::string names[] = {folder + "/missing.png", "mats/talvex-no-such-texture.png", notPng};
	for (const std::string &name : names) {
		SCOPED_TRACE(name);
		testing::internal::CaptureStdout();
		Texture texture(name.c_str());
		std::string log = testing::internal::GetCapturedStdout();
		EXPECT_EQ(texture.GetId(), 0u);
		EXPECT_EQ(texture.GetWidth(), 0);
		EXPECT_EQ(texture.GetHeight(), 0);
		std::string prefix = "Couldn't load texture " + name + ": ";
		EXPECT_EQ(log.rfind(prefix, 0), 0u) << log;
		EXPECT_GT(log.size(), prefix.size() + 1) << "SDL's reason is missing";
		EXPECT_EQ(log.back(), '\n');
	}
}
