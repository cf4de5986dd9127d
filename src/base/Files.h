#pragma once
// Paths and files. Paths inside the system are cp1251 text with the
// platform's separator; every path is built with JoinPath so that a folder
// from the host and the names of our files meet with exactly one separator.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "ports/FileSystem.h"

namespace quorvel {

#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

// True for the platform's separators ('\' and '/' on Windows, '/' elsewhere).
bool IsPathDelimiter(char c);

// folder + separator + name, with separators at the seam collapsed to one.
// An empty folder gives the name unchanged.
std::string JoinPath(std::string_view folder, std::string_view name);
template <class... Names>
std::string JoinPath(std::string_view folder, std::string_view name, Names&&... more) {
    return JoinPath(JoinPath(folder, name), std::forward<Names>(more)...);
}

// The part after the last separator, and the part before it (no trailing separator).
std::string ExtractFileName(std::string_view path);
std::string ExtractFileDir(std::string_view path);

// The file-system path of a cp1251 path.
std::filesystem::path NativePath(std::string_view path);

bool FileExists(std::string_view path);       // a file, not a folder
bool DirectoryExists(std::string_view path);  // an empty path is the current folder
// Removes a file; false when it could not be removed (a missing file counts as removed).
bool DeleteFile(std::string_view path);

// The whole file, or nothing when it cannot be read or is larger than maxBytes.
std::optional<std::string> ReadFileBytes(std::string_view path, std::uintmax_t maxBytes);

// Replaces the file at path with data: written to a temporary file beside it,
// then renamed over it, so the old file stays intact on any failure. Fails
// without writing when the folder is missing or the file is write-protected;
// creates no folder.
bool WriteFileAtomic(std::string_view path, std::string_view data);
// The same through a temporary file of the caller's choosing (on the same disk).
bool WriteFileAtomic(std::string_view path, std::string_view data, std::string_view temporary);

// The same for a native path, creating nothing; says why it failed.
std::error_code ReplaceFile(const std::filesystem::path& target, std::string_view data);
std::error_code ReplaceFile(const std::filesystem::path& target, std::string_view data,
                            const std::filesystem::path& temp);
// The temporary file a replacement of target writes first.
std::filesystem::path TemporaryPathOf(const std::filesystem::path& target);
// Removes the temporary file a save of path killed half-way left behind
// (only a file: anything else is not ours).
void RemoveStaleTemporary(std::string_view path);

}  // namespace quorvel
