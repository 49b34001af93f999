#include "game/TalvexGame.h"
#include "objects/FXSpawner.h"

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
	// The effect pools hold models, materials and GL buffers: they go while
	// the context and the caches are still there.
	FXSpawner::ReleaseAll();
	return 0;
}
