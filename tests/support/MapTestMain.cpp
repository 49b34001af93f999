// Entry point of the map layer's own tests, which link the engine, the audio
// and the map layer alone: the game above is a test's fake, and nothing of it
// writes files.
#include "support/TestEntry.h"

int main(int argc, char **argv)
{
	return RunTests(argc, argv, nullptr);
}
