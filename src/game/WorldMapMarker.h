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
	const WorldMapLocation *location = nullptr;
	Vec3 basePosition = Vec3(0.0f);
	Vec3 markerScale = Vec3(1.0f);
	int16_t arrowX = 0;
	int16_t arrowY = 0;
	uint32_t frame = 23; // cell of the atlas; 23 is never drawn
	uint8_t visited = 0;
	uint8_t reached = 0;
};
