#pragma once
#include <cstdint>

// One image file uploaded to a GL 2D texture, with nearest filtering and
// repeating coordinates so that pixel art stays sharp and tiles. Materials
// create and keep their textures; a texture is never deleted from GL while the
// game runs. An id of 0 means nothing was uploaded (the load failed), which
// drawing treats as "no texture".
class Texture {
public:
	// Loads the file at once (see Load).
	explicit Texture(const char *name);

	// name: a file path with its extension, relative to the executable's
	// directory or absolute. On failure logs a line and leaves id at 0.
	// Leaves the new texture bound to GL_TEXTURE_2D.
	void Load(const char *name);

	uint32_t GetId() const { return id; }
	uint16_t GetWidth() const { return width; }
	uint16_t GetHeight() const { return height; }

private:
	uint32_t id = 0;
	uint16_t width = 0;	// pixels; 0 until an image is uploaded
	uint16_t height = 0;
};
