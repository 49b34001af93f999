#pragma once
// Helpers for the tests of the asset tools: the absolute path of a file in
// the assembled data tree beside the test executable (where the build put the
// tools' output and the tools themselves), and a way to run a tool on files a
// test wrote, capturing its exit code and everything it printed.
#include <SDL.h>
#include <sys/wait.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// The absolute path of `name` beside the test executable.
inline std::string BesideExecutable(const std::string &name)
{
	char *base = SDL_GetBasePath();
	std::string path = base != nullptr ? base : "./";
	SDL_free(base);
	return path + name;
}

struct ToolRun {
	int exitCode = -1;
	std::string output; // stdout and stderr together
};

// Runs the tool built beside the test executable with the given arguments
// (each quoted), sending its output to `logPath`.
inline ToolRun RunAssetTool(const std::string &tool, const std::string &arguments, const std::string &logPath)
{
	const std::string command = "\"" + BesideExecutable(tool) + "\" " + arguments + " > \"" + logPath + "\" 2>&1";
	ToolRun run;
	int status = std::system(command.c_str());
	run.exitCode = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	std::ifstream log(logPath);
	std::stringstream text;
	text << log.rdbuf();
	run.output = text.str();
	return run;
}

inline void WriteTextFile(const std::string &path, const std::string &text)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out << text;
}

inline std::string Quoted(const std::string &text)
{
	return "\"" + text + "\"";
}
