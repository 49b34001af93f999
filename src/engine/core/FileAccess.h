#pragma once

#include <SDL.h>
#include <cstddef>
#include <memory>
#include <string>

namespace tinyxml2 {
class XMLDocument;
}

// Every file the game reads or writes is named relative to the directory of
// the executable; this is the one place that turns such a name into a full
// path, opens, reads and writes files, and takes file names apart. Paths are
// joined with '/', and a '\' in a data file name is read as '/'. Files that
// the game writes all go through WriteFileAtomic, so a failed write never
// leaves a half-written save or settings file behind.

// True when the first character is '/' or '\' or the second is ':'; false for
// null or empty paths.
bool IsAbsolutePath(const char *path);
// A copy with every '\' turned into '/'.
std::string NormalizeSlashes(const char *path);
// folder + '/' + name, both with their slashes normalised; no separator is
// added after an empty folder or one that already ends in '/'.
std::string JoinPath(const char *folder, const char *name);
// The directory of the executable, ending in '/'; found once, through
// SDL_GetBasePath, or the working directory when SDL cannot tell.
const std::string &GetBaseDirectory();
// An absolute path unchanged; anything else joined to the base directory.
std::string ResolvePath(const char *path);
// The same written over resolved, whose storage is used again when it is
// large enough.
void ResolvePathInto(const char *path, std::string &resolved);

// Opens ResolvePath(path) with an SDL stream mode ("rb", "wb"); null when it
// cannot be opened. The caller owns the stream until CloseFile.
SDL_RWops *OpenFile(const char *path, const char *mode);
// Returns the number of whole objects moved. Neither ever closes the stream,
// even when nothing moved: the caller closes it exactly once.
size_t ReadFileData(SDL_RWops *stream, void *buffer, size_t objectSize, size_t objectCount);
size_t WriteFileData(SDL_RWops *stream, const void *buffer, size_t objectSize, size_t objectCount);
// SDL_RWclose; closing null does nothing and returns 0.
int CloseFile(SDL_RWops *stream);

// The text of a whole file, up to its first zero byte. A missing or unreadable
// file logs one line and gives the empty text; an empty file gives the empty
// text without a log line.
std::string ReadWholeFile(const char *path);
// Parses the file's text into the document. An empty or unreadable file leaves
// the document as it was. Returns true when a text was parsed without error.
bool LoadXmlFile(const char *path, tinyxml2::XMLDocument &document);

// Writes data to "<path>.tmp", flushes and syncs it, and renames it over path
// only when every byte was written. On any failure it logs one line naming the
// file and the reason, removes the temporary file, leaves the old file
// untouched and returns false.
bool WriteFileAtomic(const char *path, const void *data, size_t size);
// Removes the "<path>.tmp" a write killed before its rename left behind; true
// when there was one. Only a regular file is removed.
bool RemoveStaleTempFile(const char *path);

constexpr size_t kMaxBaseNameLength = 31; // characters kept of a file's base name

// The last name of a path, without its extension unless keepExtension is set
// ("maps/home.tmx" gives "home"). Without the extension the name ends at the
// first '.' anywhere in the path, so "maps.old/home.tmx" gives "maps". At most
// 255 characters of the path are read; at most 31 characters are kept.
std::string GetFileBaseName(const char *path, bool keepExtension);
// The text after the last '.' of the last name ("maps/a.b" gives "b"); empty
// when that name has no '.'.
std::string GetFileExtension(const char *path);
// Compares extensions by name hash, so "home.TMX" has the extension "tmx".
bool FileHasExtension(const char *path, const char *extension);

// A listing of one directory's entries, open for as long as its handle lives.
struct DirectoryListing;
struct DirectoryListingCloser {
	void operator()(DirectoryListing *listing) const;
};
using DirectoryHandle = std::unique_ptr<DirectoryListing, DirectoryListingCloser>;
// Lists ResolvePath(path); null when the directory cannot be opened.
DirectoryHandle OpenDirectory(const char *path);
// The next entry name that does not begin with '.', or null at the end. The
// text stays valid until the next call on the same listing.
const char *ReadDirectoryName(DirectoryListing *listing);
