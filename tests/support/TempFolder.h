#pragma once
// A fresh folder in the system's temporary directory for one test, removed
// with everything in it when the test ends, and small helpers to put bytes in
// files there and read them back. Tests that write files keep them here, never
// beside the executable.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

class TempFolder {
public:
	TempFolder()
	{
		const testing::TestInfo *info = testing::UnitTest::GetInstance()->current_test_info();
		std::string name = "talvex-" + std::to_string(getpid());
		if (info != nullptr)
			name += std::string("-") + info->test_suite_name() + "-" + info->name();
		for (char &c : name)
			if (c == '/')
				c = '_';
		root = std::filesystem::temp_directory_path() / name;
		std::filesystem::remove_all(root);
		std::filesystem::create_directories(root);
	}
	~TempFolder()
	{
		std::error_code ignored;
		std::filesystem::remove_all(root, ignored);
	}
	TempFolder(const TempFolder &) = delete;
	TempFolder &operator=(const TempFolder &) = delete;

	// The folder itself, ending without a separator.
	std::string Folder() const { return root.string(); }
	// The absolute path of name inside the folder.
	std::string Path(const std::string &name) const { return (root / name).string(); }

	static void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes)
	{
		std::ofstream out(path, std::ios::binary | std::ios::trunc);
		out.write(reinterpret_cast<const char *>(bytes.data()), (std::streamsize)bytes.size());
	}
	static std::vector<uint8_t> ReadBytes(const std::string &path)
	{
		std::ifstream in(path, std::ios::binary);
		return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
	}
	static bool Exists(const std::string &path) { return std::filesystem::exists(path); }

private:
	std::filesystem::path root;
};

// While alive, no file of this process may grow beyond limitBytes: writes
// past it fail as on a full disk (EFBIG; the signal that would end the
// process is ignored). Works for every user, root included, unlike a
// read-only folder.
class FileSizeLimit {
public:
	explicit FileSizeLimit(rlim_t limitBytes)
	{
		previousHandler = signal(SIGXFSZ, SIG_IGN);
		getrlimit(RLIMIT_FSIZE, &previous);
		rlimit limited = previous;
		limited.rlim_cur = limitBytes;
		setrlimit(RLIMIT_FSIZE, &limited);
	}
	~FileSizeLimit()
	{
		setrlimit(RLIMIT_FSIZE, &previous);
		signal(SIGXFSZ, previousHandler);
	}
	FileSizeLimit(const FileSizeLimit &) = delete;
	FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
	rlimit previous{};
	void (*previousHandler)(int) = SIG_DFL;
};
