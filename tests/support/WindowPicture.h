#pragma once
// The renderer's 600 x 360 window after the post pass, read back for tests
// that check colours at known places of a drawn map and keep the picture as a
// PNG beside the test binary for a person to look at.
#include "support/WindowPixels.h"

#include <glm/glm.hpp>

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
	int r = 0, g = 0, b = 0;
	int Sum() const { return r + g + b; }
};

struct WindowPicture {
	static constexpr int kWidth = 600; // the renderer's window as created
	static constexpr int kHeight = 360;

	explicit WindowPicture(int sampleSize) : sample(sampleSize) {}

	// Where a world point lands in the window, from the top left; false
	// when it lies behind the eye.
	static bool ToPixel(const glm::mat4 &matrix, const glm::vec3 &point, int &x, int &y)
	{
		glm::vec4 clip = matrix * glm::vec4(point, 1.0f);
		if (clip.w <= 0.0f)
			return false;
		x = (int)std::lround((clip.x / clip.w + 1.0f) * 0.5f * kWidth);
		y = (int)std::lround((1.0f - clip.y / clip.w) * 0.5f * kHeight);
		return true;
	}

	void ReadWindow() { rgba = ReadWindowRect(kHeight, 0, 0, kWidth, kHeight); }

	// The mean colour of the sample x sample square around a pixel counted
	// from the top left; false when the square leaves the picture.
	bool Average(int cx, int cy, Rgb &out) const
	{
		if (cx - sample / 2 < 0 || cy - sample / 2 < 0 || cx + sample / 2 >= kWidth || cy + sample / 2 >= kHeight)
			return false;
		int sum[3] = {0, 0, 0};
		for (int y = cy - sample / 2; y <= cy + sample / 2; y++)
			for (int x = cx - sample / 2; x <= cx + sample / 2; x++)
				for (int c = 0; c < 3; c++)
					sum[c] += rgba[((size_t)y * kWidth + x) * 4 + c];
		const int n = sample * sample;
		out = {sum[0] / n, sum[1] / n, sum[2] / n};
		return true;
	}

	bool Save(const std::string &path) const
	{
		SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ABGR8888);
		if (surface == nullptr)
			return false;
		for (int y = 0; y < kHeight; y++) {
			uint8_t *row = (uint8_t *)surface->pixels + (size_t)y * surface->pitch;
			for (int x = 0; x < kWidth; x++) {
				const uint8_t *p = &rgba[((size_t)y * kWidth + x) * 4];
				row[x * 4 + 0] = p[0];
				row[x * 4 + 1] = p[1];
				row[x * 4 + 2] = p[2];
				row[x * 4 + 3] = 255; // the window has no use for alpha
			}
		}
		const bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
		SDL_FreeSurface(surface);
		return saved;
	}

	int sample;
	std::vector<uint8_t> rgba;
};
