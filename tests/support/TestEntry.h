#pragma once

#include <string>

// Runs the tests of one test program headless: video through SDL's offscreen
// driver (a real Mesa context, no window), audio through the dummy driver,
// and message boxes answered through the hook instead of blocking. Every run
// gets a temporary folder of its own, which prepare (when given) points the
// program's written files at before any test runs; the folder goes with the
// run. Returns the test run's exit code.
int RunTests(int argc, char **argv, void (*prepare)(const std::string &runFolder));
