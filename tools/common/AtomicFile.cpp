#include "AtomicFile.h"

#include <cstdio>
#include <filesystem>

bool WriteFileAtomically(const std::string &path, const std::vector<uint8_t> &bytes, std::string *error)
{
	std::error_code failure;
	std::filesystem::create_directories(std::filesystem::path(path).parent_path(), failure);
	const std::string temp = path + ".tmp";
	FILE *file = std::fopen(temp.c_str(), "wb");
	if (file == nullptr) {
		*error = "cannot write " + temp;
		return false;
	}
	bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
	ok = std::fclose(file) == 0 && ok;
	if (ok)
		std::filesystem::rename(temp, path, failure);
	if (!ok || failure) {
		*error = "cannot write " + path;
		std::filesystem::remove(temp, failure);
		return false;
	}
	return true;
}
