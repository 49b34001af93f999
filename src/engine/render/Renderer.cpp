#include "engine/render/Renderer.h"

namespace {
Renderer *g_renderer = nullptr;
}

void Renderer::SetDrawBuffer(uint32_t layer)
{
	drawBuffer = layer;
}

Renderer *GetRenderer()
{
	return g_renderer;
}
