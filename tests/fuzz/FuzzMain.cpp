// The libFuzzer entry: the target a run fuzzes is named by TALVEX_FUZZ_TARGET
// in its environment, and TALVEX_FUZZ_LIST=1 prints every target (name, seed
// folder, seed ending, dictionary) and exits. The process runs headless:
// SDL's offscreen video driver with an OpenGL 3.3 core context for the
// targets that draw, and the dummy audio driver.
#include <glad/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzTargets.h"

namespace {

const FuzzTarget *target = nullptr;

bool MakeContext()
{
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
	SDL_Window *window = SDL_CreateWindow("fuzz", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
	if (window == nullptr)
		return false;
	SDL_GLContext context = SDL_GL_CreateContext(window);
	if (context == nullptr || SDL_GL_MakeCurrent(window, context) != 0)
		return false;
	return gladLoadGL((GLADloadfunc)SDL_GL_GetProcAddress) != 0;
}

}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
	setenv("SDL_VIDEODRIVER", "offscreen", 0);
	setenv("SDL_AUDIODRIVER", "dummy", 0);
	if (const char *list = getenv("TALVEX_FUZZ_LIST"); list != nullptr && list[0] == '1') {
		for (const FuzzTarget &each : AllFuzzTargets())
			printf("%s %s %s %s\n", each.name, each.seeds[0] != '\0' ? each.seeds : ".", each.seedSuffix,
				each.dictionary != nullptr ? each.dictionary : "-");
		exit(0);
	}
	const char *name = getenv("TALVEX_FUZZ_TARGET");
	target = FindFuzzTarget(name);
	if (target == nullptr) {
		fprintf(stderr, "No fuzz target named %s (TALVEX_FUZZ_LIST=1 lists them)\n", name != nullptr ? name : "(none)");
		exit(2);
	}
	if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 || (target->needsGL && !MakeContext())) {
		fprintf(stderr, "The %s fuzzer cannot start: %s\n", target->name, SDL_GetError());
		exit(2);
	}
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size > target->maxSize)
		return -1; // not added to the corpus
	return target->run(data, size);
}
