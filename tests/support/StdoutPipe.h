#pragma once
// Catches what the program prints to standard output through a pipe rather
// than a file, for tests that limit the size of files a write may make: the
// log flushes every line at once, and a captured file would be held to the
// same limit as the file under test. Meant for a few lines, well inside what
// a pipe holds without a reader.
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

class StdoutPipe {
public:
	StdoutPipe()
	{
		fflush(stdout);
		if (pipe(ends) != 0)
			return;
		fcntl(ends[0], F_SETFL, O_NONBLOCK);
		saved = dup(STDOUT_FILENO);
		dup2(ends[1], STDOUT_FILENO);
	}
	~StdoutPipe() { Release(); }
	StdoutPipe(const StdoutPipe &) = delete;
	StdoutPipe &operator=(const StdoutPipe &) = delete;

	// Puts standard output back and returns what was printed meanwhile.
	std::string Release()
	{
		if (saved < 0)
			return text;
		fflush(stdout);
		dup2(saved, STDOUT_FILENO);
		close(saved);
		saved = -1;
		close(ends[1]);
		char chunk[256];
		ssize_t got;
		while ((got = read(ends[0], chunk, sizeof(chunk))) > 0)
			text.append(chunk, static_cast<size_t>(got));
		close(ends[0]);
		return text;
	}

private:
	int ends[2] = {-1, -1};
	int saved = -1;
	std::string text;
};
