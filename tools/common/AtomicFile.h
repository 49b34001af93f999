#pragma once
// Writing one finished asset into the data tree. The bytes go to a temporary
// file beside the target ("<path>.tmp"), which is renamed over the target only
// once every byte is out and the file is closed, so a tool that fails part way
// (a full disk, a killed build) leaves the old file in place instead of half a
// sound or module that the game would trip over later.
#include <cstdint>
#include <string>
#include <vector>

// Makes the parent folders first. On failure removes the temporary file, sets
// *error to one line naming the file that could not be written, and returns
// false; the target is then untouched.
bool WriteFileAtomically(const std::string &path, const std::vector<uint8_t> &bytes, std::string *error);
