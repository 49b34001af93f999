#include "support/GLTestContext.h"
#include "support/MissingDevice.h"

#include <glad/gl.h>

void GLTestContext::SetUp()
{
	if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
		SKIP_FOR_MISSING_DEVICE() << "no video driver: " << SDL_GetError();
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
	window = SDL_CreateWindow("test", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
	if (window == nullptr)
		SKIP_FOR_MISSING_DEVICE() << "no GL window: " << SDL_GetError();
	context = SDL_GL_CreateContext(window);
	if (context == nullptr)
		SKIP_FOR_MISSING_DEVICE() << "no GL 3.3 core context: " << SDL_GetError();
	SDL_GL_MakeCurrent(window, context);
	if (gladLoadGL((GLADloadfunc)SDL_GL_GetProcAddress) == 0)
		SKIP_FOR_MISSING_DEVICE() << "GL entry points could not be loaded";
	glViewport(0, 0, kWidth, kHeight);
}

void GLTestContext::TearDown()
{
	if (context != nullptr)
		SDL_GL_DeleteContext(context);
	if (window != nullptr)
		SDL_DestroyWindow(window);
	context = nullptr;
	window = nullptr;
	SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void GLTestContext::ReadPixel(int x, int y, uint8_t rgba[4])
{
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}
