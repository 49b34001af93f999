// Leaks inside system libraries that the game cannot free: the GL driver, its
// LLVM back end, the window-system and audio layers. Nothing of the game's
// own is listed, and neither are SDL, SDL_image and SDL_mixer: what the game
// allocates through them is the game's to free, so such a leak must show.
// Built into each binary so that every way of starting it (ctest, by hand,
// a debugger, a fuzzer) applies the same list.
extern "C" const char *__lsan_default_suppressions()
{
	return
		"leak:libGLX_mesa\n"
		"leak:libGL.so\n"
		"leak:libGLX.so\n"
		"leak:libEGL\n"
		"leak:libgallium\n"
		"leak:swrast_dri\n"
		"leak:kms_swrast_dri\n"
		"leak:libLLVM\n"
		"leak:libdrm\n"
		"leak:libglapi\n"
		"leak:libX11\n"
		"leak:libxcb\n"
		"leak:libdbus\n"
		"leak:libasound\n"
		"leak:libpulse\n"
		"leak:libfontconfig\n"
		"leak:libwayland\n"
		;
}
