#include "engine/core/FileAccess.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <tinyxml2.h>
#include <unistd.h>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/NameHash.h"

struct DirectoryListing {
	explicit DirectoryListing(DIR *dir) : dir(dir) {}
	~DirectoryListing() { closedir(dir); }
	DirectoryListing(const DirectoryListing &) = delete;
	DirectoryListing &operator=(const DirectoryListing &) = delete;

	DIR *dir;
};

void DirectoryListingCloser::operator()(DirectoryListing *listing) const
{
	delete listing;
}

namespace {

constexpr char kSeparator = '/';
constexpr char kForeignSeparator = '\\';   // read as '/' wherever a path is joined
constexpr size_t kBaseNameWalkLimit = 255;  // characters of a path GetFileBaseName reads
constexpr const char *kTempSuffix = ".tmp";
constexpr mode_t kNewFileMode = 0666;       // before the process umask, as fopen would
constexpr Sint64 kMaxWholeFileSize = 256 << 20; // no text file of the game comes near it

bool IsSeparator(char c)
{
	return c == kSeparator || c == kForeignSeparator;
}

std::string FindBaseDirectory()
{
	std::string directory;
	if (char *basePath = SDL_GetBasePath()) {
		directory = basePath;
		SDL_free(basePath);
	} else {
		std::error_code error;
		directory = std::filesystem::current_path(error).string();
	}
	directory = NormalizeSlashes(directory.c_str());
	if (directory.empty() || directory.back() != kSeparator)
		directory += kSeparator;
	return directory;
}

// The folder part of a resolved path, for syncing the rename itself.
void FolderOf(const std::string &path, std::string &folder)
{
	const size_t slash = path.find_last_of(kSeparator);
	if (slash == std::string::npos)
		folder.assign(".");
	else if (slash == 0)
		folder.assign("/");
	else
		folder.assign(path, 0, slash);
}

// The path with every '\' turned into '/', added to the end of out.
void AppendNormalized(std::string &out, const char *path)
{
	if (path == nullptr)
		return;
	for (const char *c = path; *c != '\0'; ++c)
		out += *c == kForeignSeparator ? kSeparator : *c;
}

// JoinPath's result added to the end of out, in one reservation.
void AppendJoined(std::string &out, const char *folder, const char *name)
{
	const size_t folderLength = folder != nullptr ? strlen(folder) : 0;
	const size_t nameLength = name != nullptr ? strlen(name) : 0;
	out.reserve(out.size() + folderLength + 1 + nameLength);
	const size_t start = out.size();
	AppendNormalized(out, folder);
	if (out.size() > start && out.back() != kSeparator)
		out += kSeparator;
	AppendNormalized(out, name);
}

bool WriteAll(int fd, const unsigned char *data, size_t size)
{
	size_t written = 0;
	while (written < size) {
		const ssize_t n = write(fd, data + written, size - written);
		if (n < 0) {
			if (errno == EINTR)
				continue;
			return false;
		}
		if (n == 0) {
			errno = EIO;
			return false;
		}
		written += static_cast<size_t>(n);
	}
	return true;
}

bool FailWrite(const char *path, const char *reason)
{
	Log("Couldn't write %s: %s\n", path, reason);
	return false;
}

}

bool IsAbsolutePath(const char *path)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	return IsSeparator(path[0]) || path[1] == ':';
}

std::string NormalizeSlashes(const char *path)
{
	std::string result = path != nullptr ? path : "";
	for (char &c : result) {
		if (c == kForeignSeparator)
			c = kSeparator;
	}
	return result;
}

std::string JoinPath(const char *folder, const char *name)
{
	std::string result;
	AppendJoined(result, folder, name);
	return result;
}

const std::string &GetBaseDirectory()
{
	static const std::string baseDirectory = FindBaseDirectory();
	return baseDirectory;
}

std::string ResolvePath(const char *path)
{
	std::string resolved;
	ResolvePathInto(path, resolved);
	return resolved;
}

void ResolvePathInto(const char *path, std::string &resolved)
{
	resolved.clear();
	if (IsAbsolutePath(path))
		resolved.append(path);
	else
		AppendJoined(resolved, GetBaseDirectory().c_str(), path);
}

SDL_RWops *OpenFile(const char *path, const char *mode)
{
	if (path == nullptr || mode == nullptr)
		return nullptr;
	return SDL_RWFromFile(ResolvePath(path).c_str(), mode);
}

size_t ReadFileData(SDL_RWops *stream, void *buffer, size_t objectSize, size_t objectCount)
{
	if (stream == nullptr || buffer == nullptr)
		return 0;
	return SDL_RWread(stream, buffer, objectSize, objectCount);
}

size_t WriteFileData(SDL_RWops *stream, const void *buffer, size_t objectSize, size_t objectCount)
{
	if (stream == nullptr || buffer == nullptr)
		return 0;
	return SDL_RWwrite(stream, buffer, objectSize, objectCount);
}

int CloseFile(SDL_RWops *stream)
{
	if (stream == nullptr)
		return 0;
	return SDL_RWclose(stream);
}

std::string ReadWholeFile(const char *path)
{
	// A folder opens like a file on this platform, but its size reads as the
	// largest number there is: it cannot be read.
	struct stat info {};
	const bool folder = path != nullptr && stat(ResolvePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
	// "rb": the data tree may be read-only.
	SDL_RWops *stream = folder ? nullptr : OpenFile(path, "rb");
	if (stream == nullptr) {
		Log("File cannot be read: %s\n", path != nullptr ? path : "(null)");
		return std::string();
	}
	const Sint64 size = SDL_RWsize(stream);
	if (size < 0 || size > kMaxWholeFileSize) {
		CloseFile(stream);
		Log("File size error: %s\n", path);
		return std::string();
	}
	std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
	size_t total = 0;
	while (total < static_cast<size_t>(size)) {
		const size_t n = ReadFileData(stream, buffer.data() + total, 1, static_cast<size_t>(size) - total);
		if (n == 0)
			break;
		total += n;
	}
	CloseFile(stream);
	if (total != static_cast<size_t>(size)) {
		Log("File size error: %s\n", path);
		return std::string();
	}
	// The text ends at its first zero byte: this reader is for text files.
	return std::string(buffer.data());
}

bool LoadXmlFile(const char *path, tinyxml2::XMLDocument &document)
{
	const std::string text = ReadWholeFile(path);
	if (text.empty())
		return false;
	return document.Parse(text.c_str()) == tinyxml2::XML_SUCCESS;
}

bool RemoveStaleTempFile(const char *path)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	const std::string temp = ResolvePath(path) + kTempSuffix;
	struct stat info {};
	if (lstat(temp.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
		return false;
	return unlink(temp.c_str()) == 0;
}

bool WriteFileAtomic(const char *path, const void *data, size_t size)
{
	if (path == nullptr || path[0] == '\0')
		return FailWrite("(no name)", "empty file name");
	if (data == nullptr && size > 0)
		return FailWrite(path, "no data");

	// Kept from one write to the next: the game saves while it is played.
	thread_local std::string target, temp, folderPath;
	ResolvePathInto(path, target);
	temp.assign(target).append(kTempSuffix);
	const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kNewFileMode);
	if (fd < 0) {
		// Nothing was created, so nothing is removed: whatever sits at the
		// temporary name (even a folder) is not ours.
		return FailWrite(path, strerror(errno));
	}

	const char *reason = nullptr;
	if (!WriteAll(fd, static_cast<const unsigned char *>(data), size))
		reason = strerror(errno);
	else if (fsync(fd) != 0)
		reason = strerror(errno);
	if (close(fd) != 0 && reason == nullptr)
		reason = strerror(errno);
	if (reason == nullptr && rename(temp.c_str(), target.c_str()) != 0)
		reason = strerror(errno);
	if (reason != nullptr) {
		unlink(temp.c_str());
		return FailWrite(path, reason);
	}

	// Sync the folder too, so that the rename itself survives a power cut.
	// The new file is complete either way, so a failure here is not reported.
	FolderOf(target, folderPath);
	const int folder = open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (folder >= 0) {
		fsync(folder);
		close(folder);
	}
	return true;
}

std::string GetFileBaseName(const char *path, bool keepExtension)
{
	std::string name;
	if (path == nullptr)
		return name;
	for (size_t i = 0; i < kBaseNameWalkLimit && path[i] != '\0'; ++i) {
		const char c = path[i];
		if (IsSeparator(c)) {
			name.clear();
			continue;
		}
		if (c == '.' && !keepExtension)
			break;
		// Longer names are cut, but the walk goes on: a later separator
		// still starts the name anew.
		if (name.size() < kMaxBaseNameLength)
			name += c;
	}
	return name;
}

std::string GetFileExtension(const char *path)
{
	if (path == nullptr || path[0] == '\0')
		return std::string();
	for (size_t i = strlen(path); i-- > 0;) {
		if (IsSeparator(path[i]))
			return std::string();
		if (path[i] == '.')
			return std::string(path + i + 1);
	}
	return std::string();
}

bool FileHasExtension(const char *path, const char *extension)
{
	return HashName(GetFileExtension(path).c_str()) == HashName(extension);
}

DirectoryHandle OpenDirectory(const char *path)
{
	if (path == nullptr)
		return nullptr;
	DIR *dir = opendir(ResolvePath(path).c_str());
	if (dir == nullptr)
		return nullptr;
	return DirectoryHandle(new DirectoryListing(dir));
}

const char *ReadDirectoryName(DirectoryListing *listing)
{
	if (listing == nullptr)
		return nullptr;
	while (const dirent *entry = readdir(listing->dir)) {
		if (entry->d_name[0] != '.')
			return entry->d_name;
	}
	return nullptr;
}

