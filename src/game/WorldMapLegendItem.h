#pragma once

#include <cstdint>

#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"

// One line of the world-map screen's legend: an atlas cell and its word.
struct WorldMapLegendItem {
	uint32_t frame = 0;
	char label[20] = {};
	Sprite icon;
	Textbox text;
};
