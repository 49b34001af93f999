#include "engine/render/Texture.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>

#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/render/PngCheck.h"
#include "engine/core/LoadClock.h"

namespace {

constexpr int kMaxTextureSide = 65535; // pixels that the 16-bit size fields hold
constexpr int kBytesPerPixel = 4;
constexpr Sint64 kMaxImageFileSize = 64 << 20;

// The whole file, or nothing (with why) when it cannot be read.
bool ReadImageFile(const std::string &path, std::vector<uint8_t> &bytes, const char **reason)
{
	SDL_RWops *stream = SDL_RWFromFile(path.c_str(), "rb");
	if (stream == nullptr) {
		*reason = SDL_GetError();
		return false;
	}
	const Sint64 size = SDL_RWsize(stream);
	bool read = size > 0 && size <= kMaxImageFileSize;
	if (read) {
		bytes.resize(static_cast<size_t>(size));
		read = SDL_RWread(stream, bytes.data(), 1, bytes.size()) == bytes.size();
	}
	SDL_RWclose(stream);
	if (!read)
		*reason = "the file cannot be read whole";
	return read;
}

}

Texture::Texture(const char *name)
{
	Load(name);
}

void Texture::Load(const char *name)
{
	LoadClock::Timing timing(LoadClock::kTextures);
	id = 0;
	if (name == nullptr)
		name = "";
	std::string path = ResolvePath(name);

	// The game's textures are PNG files, and the image library is handed only
	// whole ones: a PNG cut short between its chunks would keep it reading for
	// ever, and its other readers are not the game's to vouch for.
	std::vector<uint8_t> bytes;
	const char *reason = nullptr;
	if (!ReadImageFile(path, bytes, &reason) || !IsWholePng(bytes.data(), bytes.size(), &reason)) {
		Log("Couldn't load texture %s: %s\n", name, reason);
		return;
	}
	SDL_Surface *loaded = IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), (int)bytes.size()), 1);
	if (loaded == nullptr) {
		Log("Couldn't load texture %s: %s\n", name, SDL_GetError());
		return;
	}
	// ABGR8888 lays each pixel out as the bytes R, G, B, A: what GL_RGBA with
	// unsigned bytes reads, whatever the file stored (palette, grey, RGB).
	SDL_Surface *surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ABGR8888, 0);
	SDL_FreeSurface(loaded);
	if (surface == nullptr) {
		Log("Failed to convert texture %s: %s\n", name, SDL_GetError());
		return;
	}
	if (surface->w > kMaxTextureSide || surface->h > kMaxTextureSide) {
		Log("Failed to convert texture %s: %s\n", name, "image larger than 65535 pixels");
		SDL_FreeSurface(surface);
		return;
	}
	width = (uint16_t)surface->w;
	height = (uint16_t)surface->h;
	if (SDL_GL_GetCurrentContext() == nullptr) {
		// Headless loads (a map read by a tool or a test) keep the size but
		// cannot make a GL texture; calling GL here would crash.
		SDL_FreeSurface(surface);
		return;
	}

	// Rows must be read at the surface's own pitch; SDL pads nothing for 32-bit
	// pixels today, but a padded row would otherwise shear the image.
	glPixelStorei(GL_UNPACK_ROW_LENGTH, surface->pitch / kBytesPerPixel);

	GLuint glName = 0;
	glGenTextures(1, &glName);
	id = glName;
	glBindTexture(GL_TEXTURE_2D, id);
	glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, surface->pixels);
	glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

	SDL_FreeSurface(surface);
}
