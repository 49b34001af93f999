#include "support/TestEntry.h"

#include <gtest/gtest.h>
#include <SDL.h>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/core/Log.h"


// Any undefined behaviour stops the test with a stack trace.
extern "C" const char *__ubsan_default_options()
{
	return "print_stacktrace=1:halt_on_error=1";
}

namespace {

// Answers every box with its last button ("Abort" for the proceed-or-abort
// question) without showing anything; tests that care install their own hook.
int AnswerWithoutShowing(const SDL_MessageBoxData *data)
{
	if (data == nullptr || data->numbuttons <= 0)
		return -1;
	return data->buttons[data->numbuttons - 1].buttonid;
}

// The GL driver leaks a little by design and SDL unloads it when a context
// goes; once unloaded, the leak checker cannot name it and so cannot suppress
// it. Keeping the driver libraries resident lets the suppression file match
// them, while every leak of the game's own code is still reported.
void KeepGLDriverResident()
{
	const char *libraries[] = {
		"libEGL.so.1", "libEGL_mesa.so.0", "libGLX_mesa.so.0",
		"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
	};
	for (const char *library : libraries)
		dlopen(library, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}

}

int RunTests(int argc, char **argv, void (*prepare)(const std::string &runFolder))
{
	KeepGLDriverResident();
	setenv("SDL_VIDEODRIVER", "offscreen", 0);
	setenv("SDL_AUDIODRIVER", "dummy", 0);
	// Software GL draws on the calling thread alone: no driver worker threads
	// are left running while the leak checker stops the process at exit, and
	// parallel test processes do not fight over cores.
	setenv("LP_NUM_THREADS", "0", 0);
	SetMessageBoxHook(&AnswerWithoutShowing);
	const std::filesystem::path runFolder =
		std::filesystem::temp_directory_path() / ("talvex-run-" + std::to_string(getpid()));
	std::filesystem::create_directories(runFolder);
	if (prepare != nullptr)
		prepare(runFolder.string());
	testing::InitGoogleTest(&argc, argv);
	const int result = RUN_ALL_TESTS();
	std::error_code ignored;
	std::filesystem::remove_all(runFolder, ignored);
	return result;
}
