// Entry point of the whole game's test suite.
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "support/TestEntry.h"

namespace {

// The earned achievements and the saves of a test run go to the run's own
// folder, never beside the executable; tests that read them set their own.
void KeepWrittenFilesInTheRunFolder(const std::string &runFolder)
{
	Achievements::SetStateFolder(runFolder.c_str());
	GameProgress::SetSaveFolder(runFolder.c_str());
}

} // namespace

int main(int argc, char **argv)
{
	return RunTests(argc, argv, &KeepWrittenFilesInTheRunFolder);
}
