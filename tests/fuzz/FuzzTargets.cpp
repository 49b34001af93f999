#include "fuzz/FuzzTargets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

const std::vector<FuzzTarget> &AllFuzzTargets()
{
	static const std::vector<FuzzTarget> targets = [] {
		std::vector<FuzzTarget> all;
		AddMapFuzzTargets(all);
		AddRenderFuzzTargets(all);
		AddAudioFuzzTargets(all);
		AddGameFuzzTargets(all);
		return all;
	}();
	return targets;
}

const FuzzTarget *FindFuzzTarget(const char *name)
{
	for (const FuzzTarget &target : AllFuzzTargets())
		if (name != nullptr && strcmp(target.name, name) == 0)
			return &target;
	return nullptr;
}

namespace {

void RemoveScratchFolder()
{
	std::error_code error;
	std::filesystem::remove_all(FuzzScratchFolder(), error);
}

}

const std::string &FuzzScratchFolder()
{
	// Never destroyed, so that it still names the folder when the exit
	// handler removes it.
	static const std::string *folder = [] {
		std::error_code error;
		std::filesystem::path path = std::filesystem::temp_directory_path(error);
		if (error)
			path = "/tmp";
		path /= "talvex-fuzz-" + std::to_string(getpid());
		std::filesystem::create_directories(path, error);
		std::atexit(RemoveScratchFolder);
		return new std::string(path.string() + "/");
	}();
	return *folder;
}

std::string WriteFuzzFile(const char *name, const uint8_t *data, size_t size)
{
	const std::string path = FuzzScratchFolder() + name;
	if (FILE *file = fopen(path.c_str(), "wb")) {
		if (size > 0)
			fwrite(data, 1, size, file);
		fclose(file);
	}
	return path;
}
