#include "game/ScreenOverlay.h"

namespace {

ScreenOverlay *g_overlay = nullptr;

}

ScreenOverlay::~ScreenOverlay()
{
	if (g_overlay == this)
		g_overlay = nullptr;
}

ScreenOverlay *ScreenOverlay::Instance()
{
	return g_overlay;
}

void ScreenOverlay::Start()
{
	g_overlay = this;
}
