#pragma once
// The loaders that read files players and map authors can change, each as one
// entry that takes a whole file's bytes. The fuzzers (make fuzz) call them
// with mutated files; the regression test replays every input that ever broke
// one of them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FuzzTarget {
	const char *name;          // also the folder of its regressions
	int (*run)(const uint8_t *data, size_t size);
	const char *seeds;         // the data-tree folder its seed corpus comes from
	const char *seedSuffix;    // the file ending of its seeds there
	size_t maxSize;            // longer inputs are not tried
	bool needsGL;              // runs on an OpenGL context
	const char *dictionary;    // its file of format words in tests/fuzz/dicts
};

const std::vector<FuzzTarget> &AllFuzzTargets();
const FuzzTarget *FindFuzzTarget(const char *name);

// The targets of each family, gathered by AllFuzzTargets.
void AddMapFuzzTargets(std::vector<FuzzTarget> &targets);
void AddRenderFuzzTargets(std::vector<FuzzTarget> &targets);
void AddAudioFuzzTargets(std::vector<FuzzTarget> &targets);
void AddGameFuzzTargets(std::vector<FuzzTarget> &targets);

// Writes an input to a file of the given name in this process's own scratch
// folder and returns its absolute path, for loaders that read by name.
std::string WriteFuzzFile(const char *name, const uint8_t *data, size_t size);
// The scratch folder itself (absolute, ending in '/').
const std::string &FuzzScratchFolder();
