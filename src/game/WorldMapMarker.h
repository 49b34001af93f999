#pragma once

#include <cstdint>

#include "engine/core/MathUtil.h"
#include "engine/render/Sprite.h"

struct WorldMapLocation;

// One icon of the world-map board: a sprite showing one cell of the board's
// atlas, with the place it belongs to (not owned; the world-map list keeps
// it), where it sits in panel units, its size, and the arrow it points.
class WorldMapMarker : public Sprite {
public:
	static constexpr uint32_t kNoFrame = 23; // never drawn

	// Back to a new marker's place, cell, arrow and transform, so that a
	// rebuilt board can take it again; the board sets the sprite's cell,
	// size, pivot and material anew each time it adds a marker.
	void Reset()
	{
		location = nullptr;
		basePosition = Vec3(0.0f);
		markerScale = Vec3(1.0f);
		arrowX = 0;
		arrowY = 0;
		frame = kNoFrame;
		visited = 0;
		reached = 0;
		transform = Transform();
	}

	const WorldMapLocation *location = nullptr;
	Vec3 basePosition = Vec3(0.0f);
	Vec3 markerScale = Vec3(1.0f);
	int16_t arrowX = 0;
	int16_t arrowY = 0;
	uint32_t frame = kNoFrame; // cell of the atlas
	uint8_t visited = 0;
	uint8_t reached = 0;
};
