#include "engine/core/Scene.h"
#include "game/TalvexGame.h"

// Nothing is read from the command line.
int main(int argc, char **argv)
{
	(void)argc;
	(void)argv;
	TalvexGame &game = TalvexGame::Instance();
	if (game.Init() != 0)
		return 1;
	// No screen is built yet, so the game shows an empty scene.
	game.SetScene(new Scene());
	while (game.RunFrame()) {
	}
	return 0;
}
