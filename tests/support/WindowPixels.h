#pragma once
// Reading back what the renderer drew: a layer of its framebuffer as drawn
// before the post pass, or the window's back buffer after it. Places count
// from the top left, as the interface places things; GL counts rows from the
// bottom, so the rows are turned over here and nowhere else.
#include "engine/render/Renderer.h"

#include <glad/gl.h>
#include <glm/glm.hpp>

#include <algorithm>
#include <cstdint>
#include <vector>

// RGBA bytes of the width x height rectangle whose top left pixel is (x, y),
// rows from the top, out of the current read buffer of a surface
// surfaceHeight pixels tall.
inline std::vector<uint8_t> ReadRectFromTop(int surfaceHeight, int x, int y, int width, int height)
{
	std::vector<uint8_t> upward((size_t)width * height * 4, 0);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(x, surfaceHeight - y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE, upward.data());
	std::vector<uint8_t> rgba(upward.size());
	const size_t stride = (size_t)width * 4;
	for (int row = 0; row < height; row++)
		std::copy_n(&upward[(size_t)(height - 1 - row) * stride], stride, &rgba[(size_t)row * stride]);
	return rgba;
}

// A rectangle of one layer (Renderer::kLayerScene or kLayerInterface).
// Leaves the window's framebuffer bound for reading.
inline std::vector<uint8_t> ReadLayerRect(const Renderer &renderer, uint32_t layer, int x, int y, int width, int height)
{
	glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.GetFramebuffer());
	glReadBuffer(GL_COLOR_ATTACHMENT0 + layer);
	std::vector<uint8_t> rgba = ReadRectFromTop((int)renderer.GetRenderHeight(), x, y, width, height);
	glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
	return rgba;
}

inline glm::ivec4 ReadLayerPixel(const Renderer &renderer, uint32_t layer, int x, int y)
{
	std::vector<uint8_t> p = ReadLayerRect(renderer, layer, x, y, 1, 1);
	return glm::ivec4(p[0], p[1], p[2], p[3]);
}

// A rectangle of the window after the frame; windowHeight in pixels.
inline std::vector<uint8_t> ReadWindowRect(int windowHeight, int x, int y, int width, int height)
{
	glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
	glReadBuffer(GL_BACK);
	return ReadRectFromTop(windowHeight, x, y, width, height);
}

inline glm::ivec4 ReadWindowPixel(int windowHeight, int x, int y)
{
	std::vector<uint8_t> p = ReadWindowRect(windowHeight, x, y, 1, 1);
	return glm::ivec4(p[0], p[1], p[2], p[3]);
}
