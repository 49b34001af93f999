#include "BenchRenderer.h"

#include <SDL.h>
#include <cstdlib>

#include "engine/core/Log.h"
#include "engine/render/Renderer.h"

namespace {

int NoBox(const SDL_MessageBoxData *)
{
	return -1;
}

} // namespace

Renderer *BenchRenderer()
{
	static Renderer *renderer = nullptr;
	static bool tried = false;
	if (!tried) {
		tried = true;
		setenv("SDL_VIDEODRIVER", "offscreen", 0);
		setenv("SDL_AUDIODRIVER", "dummy", 0);
		SetMessageBoxHook(&NoBox);
		renderer = new Renderer();
		if (renderer->Startup("benchmark") != 0 || renderer->GetContext() == nullptr) {
			delete renderer;
			renderer = nullptr;
		}
	}
	return renderer;
}
