#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <set>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <tinyxml2.h>
#include <unistd.h>

#include "engine/core/FileAccess.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

class FileAccessFiles : public testing::Test {
protected:
	std::string Write(const std::string &name, const std::string &text)
	{
		const std::string path = folder.Path(name);
		TempFolder::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
		return path;
	}
	static std::string Bytes(const std::string &path)
	{
		const std::vector<uint8_t> bytes = TempFolder::ReadBytes(path);
		return std::string(bytes.begin(), bytes.end());
	}

	TempFolder folder;
	const fs::path root = folder.Folder();
};

}

TEST(FilePaths, ResolvesRelativePathsBesideTheExecutable)
{
	const std::string exeFolder = fs::canonical("/proc/self/exe").parent_path().string() + "/";
	EXPECT_EQ(fs::canonical(GetBaseDirectory()).string() + "/", exeFolder);
	struct Row {
		const char *path;
		bool absolute;
		std::string resolved;
	};
	const Row rows[] = {
		{"C:\\data\\x.png", true, "C:\\data\\x.png"}, {"\\\\server\\x", true, "\\\\server\\x"},
		{"/tmp/x", true, "/tmp/x"}, {"data/x.png", false, GetBaseDirectory() + "data/x.png"},
		{"data\\x.png", false, GetBaseDirectory() + "data/x.png"}, {"", false, GetBaseDirectory()},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.path);
		EXPECT_EQ(IsAbsolutePath(row.path), row.absolute);
		EXPECT_EQ(ResolvePath(row.path), row.resolved);
	}
	EXPECT_FALSE(IsAbsolutePath(nullptr));
	EXPECT_EQ(JoinPath("a\\", "b\\c"), "a/b/c");

	// Resolved over whatever the string held, longer or shorter.
	std::string resolved = std::string(300, 'x');
	for (const Row &row : rows) {
		SCOPED_TRACE(row.path);
		ResolvePathInto(row.path, resolved);
		EXPECT_EQ(row.resolved, resolved);
	}
	ResolvePathInto(nullptr, resolved);
	EXPECT_EQ(GetBaseDirectory(), resolved);
}

TEST(FilePaths, TakesNamesApart)
{
	const std::string longName(40, 'n');
	const std::string longFile = longName + ".png";
	const std::string longFolder = longName + "/x.png";
	const std::string deepPath = std::string(250, 'a') + "/abcdefgh";
	struct Row {
		const char *path;
		std::string base;
		std::string baseWithExtension;
		std::string extension;
	};
	const Row rows[] = {
		{"maps/home.tmx", "home", "home.tmx", "tmx"},
		{"maps.old/home.tmx", "maps", "home.tmx", "tmx"},
		{"maps\\home.TMX", "home", "home.TMX", "TMX"},
		{".tmx", "", ".tmx", "tmx"},
		{"maps/a", "a", "a", ""},
		{"a.b/c", "a", "c", ""},
		{"a.tar.gz", "a", "a.tar.gz", "gz"},
		{"", "", "", ""},
		{longFile.c_str(), longName.substr(0, 31), longName.substr(0, 31), "png"},
		{longFolder.c_str(), "x", "x.png", "png"},
		{deepPath.c_str(), "abcd", "abcd", ""}, // only 255 characters are walked
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.path);
		EXPECT_EQ(GetFileBaseName(row.path, false), row.base);
		EXPECT_EQ(GetFileBaseName(row.path, true), row.baseWithExtension);
		EXPECT_EQ(GetFileExtension(row.path), row.extension);
	}
	EXPECT_TRUE(FileHasExtension("maps/home.TMX", "tmx"));
	EXPECT_FALSE(FileHasExtension("maps/home.tsx", "tmx"));
	EXPECT_FALSE(FileHasExtension("maps/home", "tmx"));
}

TEST_F(FileAccessFiles, ReadsWholeTextFiles)
{
	struct Row {
		const char *name;
		std::string content;
		std::string text;
		bool logged;
	};
	const Row rows[] = {
		{"text.txt", "hello\nworld", "hello\nworld", false},
		{"empty.txt", "", "", false},
		{"zero.bin", std::string("ab\0cd", 5), "ab", false},
		{"missing.txt", "", "", true},
		{"", "", "", true}, // the folder itself, as an empty include names it
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		const std::string path = row.logged ? (root / row.name).string() : Write(row.name, row.content);
		testing::internal::CaptureStdout();
		EXPECT_EQ(ReadWholeFile(path.c_str()), row.text);
		const std::string log = testing::internal::GetCapturedStdout();
		EXPECT_EQ(log, row.logged ? "File cannot be read: " + path + "\n" : "");
	}
}

TEST_F(FileAccessFiles, ReadsFilesItMayNotWrite)
{
	const std::string path = Write("locked.xml", "<map name=\"home\"/>");
	chmod(path.c_str(), 0444);
	fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
		fs::perms::others_read | fs::perms::others_exec);
	// Root writes anywhere; reading under another file-system identity lets
	// the test see whether the file was opened for writing too.
	const bool asRoot = geteuid() == 0;
	if (asRoot)
		setfsuid(65534);
	tinyxml2::XMLDocument document;
	const bool parsed = LoadXmlFile(path.c_str(), document);
	if (asRoot)
		setfsuid(0);
	ASSERT_TRUE(parsed);
	ASSERT_NE(document.RootElement(), nullptr);
	EXPECT_STREQ(document.RootElement()->Attribute("name"), "home");

	// An empty file leaves the document as it was.
	const std::string empty = Write("empty.xml", "");
	EXPECT_FALSE(LoadXmlFile(empty.c_str(), document));
	EXPECT_STREQ(document.RootElement()->Name(), "map");
}

TEST_F(FileAccessFiles, StreamsStayOpenUntilClosedOnce)
{
	const std::string path = Write("data.bin", "abcd");
	SDL_RWops *stream = OpenFile(path.c_str(), "rb");
	ASSERT_NE(stream, nullptr);
	char buffer[8] = {};
	EXPECT_EQ(ReadFileData(stream, buffer, 4, 1), 1u);
	EXPECT_EQ(ReadFileData(stream, buffer, 4, 1), 0u); // at the end: nothing read
	// The stream must still be open and usable after the empty read.
	EXPECT_EQ(SDL_RWseek(stream, 1, RW_SEEK_SET), 1);
	EXPECT_EQ(ReadFileData(stream, buffer, 1, 3), 3u);
	EXPECT_EQ(std::string(buffer, 3), "bcd");
	EXPECT_EQ(CloseFile(stream), 0);
	EXPECT_EQ(OpenFile((root / "missing").c_str(), "rb"), nullptr);

	// A stream whose size cannot be told (a pipe) is refused, not read past.
	const std::string fifo = (root / "pipe").string();
	ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
	const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
	ASSERT_GE(writer, 0);
	ASSERT_EQ(write(writer, "xyz", 3), 3);
	testing::internal::CaptureStdout();
	EXPECT_EQ(ReadWholeFile(fifo.c_str()), "");
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "File size error: " + fifo + "\n");
	close(writer);
}

TEST_F(FileAccessFiles, AtomicWriteReplacesOnlyWhenComplete)
{
	const std::string target = Write("settings.dat", "old settings");
	ASSERT_TRUE(WriteFileAtomic(target.c_str(), "new", 3));
	EXPECT_EQ(Bytes(target), "new");
	EXPECT_FALSE(fs::exists(target + ".tmp"));

	const std::string old = "old save, byte for byte";
	const std::string save = Write("Save_1.sav", old);
	const std::string big(64 * 1024, 's');
	fs::create_directory(root / "blocked.sav.tmp");
	const std::string blocked = Write("blocked.sav", old);
	fs::create_directory(root / "folder.sav");
	struct Row {
		const char *name;
		std::string path;
		bool limitFileSize; // the disk "fills up" part way through the write
	};
	const Row rows[] = {
		{"file size limit", save, true},
		{"temporary name taken by a folder", blocked, false},
		{"target is a folder", (root / "folder.sav").string(), false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		testing::internal::CaptureStdout();
		bool written = true;
		if (row.limitFileSize) {
			FileSizeLimit limit(4096);
			written = WriteFileAtomic(row.path.c_str(), big.data(), big.size());
		} else {
			written = WriteFileAtomic(row.path.c_str(), big.data(), big.size());
		}
		const std::string log = testing::internal::GetCapturedStdout();

		EXPECT_FALSE(written);
		EXPECT_EQ(log.rfind("Couldn't write " + row.path + ": ", 0), 0u) << log;
		EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
		if (fs::is_regular_file(row.path)) {
			EXPECT_EQ(Bytes(row.path), old);
		}
	}
	EXPECT_FALSE(fs::exists(save + ".tmp"));
	EXPECT_FALSE(fs::exists(root / "folder.sav.tmp"));
	EXPECT_TRUE(fs::is_directory(root / "blocked.sav.tmp"));
	EXPECT_TRUE(fs::is_empty(root / "folder.sav"));
}

// Writes one after another, to names long and short, each land whole in
// their own file and leave no temporary file behind.
TEST_F(FileAccessFiles, AtomicWritesInTurnEachLandInTheirOwnFile)
{
	fs::create_directory(root / "a folder with a rather long name");
	const std::string names[] = {
		(root / "a folder with a rather long name" / "a save file with a long name.sav").string(),
		(root / "s.sav").string(),
		(root / "a folder with a rather long name" / "t.sav").string(),
	};
	for (int round = 0; round < 2; round++) {
		for (const std::string &name : names) {
			SCOPED_TRACE(name);
			const std::string text = name + " " + std::to_string(round);
			ASSERT_TRUE(WriteFileAtomic(name.c_str(), text.data(), text.size()));
			EXPECT_EQ(text, Bytes(name));
			EXPECT_FALSE(fs::exists(name + ".tmp"));
		}
	}
	std::set<std::string> left;
	for (const auto &entry : fs::recursive_directory_iterator(root))
		left.insert(entry.path().string());
	EXPECT_EQ((std::set<std::string>{(root / "a folder with a rather long name").string(), names[0], names[1], names[2]}), left);
}

TEST_F(FileAccessFiles, ListsDirectoriesWithoutDotNames)
{
	Write("a.tmx", "a");
	Write("b.tmx", "b");
	Write(".hidden", "h");
	fs::create_directory(root / "sub");
	DirectoryHandle listing = OpenDirectory(root.c_str());
	ASSERT_NE(listing, nullptr);
	std::set<std::string> names;
	while (const char *name = ReadDirectoryName(listing.get()))
		names.insert(name);
	EXPECT_EQ(names, std::set<std::string>({"a.tmx", "b.tmx", "sub"}));
	EXPECT_EQ(OpenDirectory((root / "missing").c_str()), nullptr);
}
