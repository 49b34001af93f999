// A small program of the tests' own that starts the store service as the
// game does at start-up, with the library name the game ships with, and
// tells by its exit code what became of it: 0 the client was reached, 2 the
// start-up question was asked, 1 anything else. A test copies it into a
// folder of its own, with or without a client library beside it, to see
// where the game looks for the client.
#include <SDL.h>

#include "engine/core/Log.h"
#include "game/GameServiceSteam.h"

namespace {

int g_asked = 0;

// Counts the question and goes on without the client, as "Proceed" does.
int AnswerProceed(const SDL_MessageBoxData *data)
{
	g_asked++;
	for (int i = 0; data != nullptr && i < data->numbuttons; i++)
		if (SDL_strcmp(data->buttons[i].text, "Proceed") == 0)
			return data->buttons[i].buttonid;
	return -1;
}

}

int main(int argc, char **argv)
{
	(void)argc;
	(void)argv;
	SetMessageBoxHook(&AnswerProceed);
	GameServiceSteam &service = GameServiceSteam::Instance();
	const uint32_t result = service.Init();
	if (g_asked != 0)
		return 2;
	return result == 0 && service.IsReady() && !service.IsFailed() ? 0 : 1;
}
