#pragma once
// A bare GL context and a fresh temporary folder whose name the process has
// never used before, removed with everything in it when the test ends. For
// tests of the process-wide texture and material caches: the paths of files
// written there are new keys to those caches, however often the tests run.
#include "support/GLTestContext.h"

#include <cstdlib>
#include <filesystem>
#include <string>

class GLFolderContext : public GLTestContext {
protected:
	void SetUp() override
	{
		GLTestContext::SetUp();
		char pattern[] = "/tmp/talvex-gl-XXXXXX";
		if (!IsSkipped() && mkdtemp(pattern) != nullptr)
			folder = pattern;
	}
	void TearDown() override
	{
		if (!folder.empty())
			std::filesystem::remove_all(folder);
		folder.clear();
		GLTestContext::TearDown();
	}

	// Ends without a separator; empty when the test was skipped.
	std::string folder;
};
