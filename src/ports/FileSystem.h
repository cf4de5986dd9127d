#pragma once
// Every file the system reads or writes goes through this port, so that tests
// can fail a chosen write, flush or rename and fuzzers can read from memory.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quorvel {

enum class TFileKind { Missing, File, Folder, Other };

struct TFileStatus {
    TFileKind Kind = TFileKind::Missing;
    bool ReadOnly = false;  // the owner may not write it
    std::uintmax_t Size = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    virtual TFileStatus Status(const std::filesystem::path& path) = 0;
    // The whole file into out; errc::file_too_large when it holds more than maxBytes.
    virtual std::error_code Read(const std::filesystem::path& path, std::uintmax_t maxBytes, std::string& out) = 0;
    // Creates or truncates the file and writes data to it.
    virtual std::error_code Write(const std::filesystem::path& path, std::string_view data) = 0;
    // Puts what was written to the file on the disk itself.
    virtual std::error_code Flush(const std::filesystem::path& path) = 0;
    // Replaces to with from in one step.
    virtual std::error_code Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // A missing file counts as removed; a folder is not removed.
    virtual std::error_code Remove(const std::filesystem::path& path) = 0;
    virtual std::error_code CreateFolders(const std::filesystem::path& path) = 0;
    // The names of the entries of a folder; none when it cannot be listed.
    virtual std::vector<std::string> List(const std::filesystem::path& folder) = 0;
};

// The operating system's files; the platform supplies it.
IFileSystem& NativeFileSystem();

// The file system in use: the native one unless a TFileSystemScope is alive.
IFileSystem& FileSystem();

// Puts another file system in use for its lifetime (tests, fuzzers).
class TFileSystemScope {
public:
    explicit TFileSystemScope(IFileSystem& fs);
    ~TFileSystemScope();
    TFileSystemScope(const TFileSystemScope&) = delete;
    TFileSystemScope& operator=(const TFileSystemScope&) = delete;

private:
    IFileSystem* previous_;
};

}  // namespace quorvel
