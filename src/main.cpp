#include "game/TalvexGame.h"

// Nothing is read from the command line.
int main(int argc, char **argv)
{
	(void)argc;
	(void)argv;
	TalvexGame &game = TalvexGame::Instance();
	if (game.Init() != 0)
		return 1;
	game.ShowStartup();
	while (game.RunFrame()) {
	}
	game.DropScenes();
	return 0;
}
