// The operating system's files. A write is flushed to the disk before the
// rename that publishes it, and the rename itself is flushed with its folder,
// so a crash or power loss leaves the old file or the new one, never a torn one.
#include <cerrno>
#include <fstream>

#include "ports/FileSystem.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quorvel {
namespace {

namespace fs = std::filesystem;

std::error_code LastError() { return {errno, std::generic_category()}; }

#ifdef _WIN32
int OpenForWrite(const fs::path& p) { return ::_wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE); }
int OpenForFlush(const fs::path& p) { return ::_wopen(p.c_str(), _O_WRONLY | _O_BINARY); }
long WriteSome(int fd, const char* data, std::size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(size > 0x40000000u ? 0x40000000u : size));
}
int SyncFile(int fd) { return ::_commit(fd); }
int CloseFile(int fd) { return ::_close(fd); }
void SyncFolder(const fs::path&) {}  // NTFS journals the rename itself
#else
int OpenForWrite(const fs::path& p) { return ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666); }
int OpenForFlush(const fs::path& p) { return ::open(p.c_str(), O_WRONLY | O_CLOEXEC); }
long WriteSome(int fd, const char* data, std::size_t size) { return static_cast<long>(::write(fd, data, size)); }
int SyncFile(int fd) { return ::fsync(fd); }
int CloseFile(int fd) { return ::close(fd); }
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: some file systems refuse it on folders
    ::close(fd);
}
#endif

class TNativeFileSystem final : public IFileSystem {
public:
    TFileStatus Status(const fs::path& path) override {
        TFileStatus out;
        std::error_code ec;
        const fs::file_status st = fs::status(path, ec);
        if (ec || !fs::exists(st)) return out;
        if (fs::is_regular_file(st)) {
            out.Kind = TFileKind::File;
            out.Size = fs::file_size(path, ec);
        } else {
            out.Kind = fs::is_directory(st) ? TFileKind::Folder : TFileKind::Other;
        }
        out.ReadOnly = (st.permissions() & fs::perms::owner_write) == fs::perms::none;
        return out;
    }

    std::error_code Read(const fs::path& path, std::uintmax_t maxBytes, std::string& out) override {
        out.clear();
        std::ifstream in(path, std::ios::binary);
        if (!in) return LastError();
        // Read in pieces rather than trusting the size: the file may change under us.
        char buffer[64 * 1024];
        while (in) {
            in.read(buffer, sizeof buffer);
            const auto got = static_cast<std::size_t>(in.gcount());
            if (out.size() + got > maxBytes) {
                out.clear();
                return std::make_error_code(std::errc::file_too_large);
            }
            out.append(buffer, got);
        }
        if (in.bad()) return std::make_error_code(std::errc::io_error);
        return {};
    }

    std::error_code Write(const fs::path& path, std::string_view data) override {
        const int fd = OpenForWrite(path);
        if (fd < 0) return LastError();
        std::error_code ec;
        while (!data.empty()) {
            const long n = WriteSome(fd, data.data(), data.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ec = n < 0 ? LastError() : std::make_error_code(std::errc::no_space_on_device);
                break;
            }
            data.remove_prefix(static_cast<std::size_t>(n));
        }
        if (CloseFile(fd) != 0 && !ec) ec = LastError();
        return ec;
    }

    std::error_code Flush(const fs::path& path) override {
        const int fd = OpenForFlush(path);
        if (fd < 0) return LastError();
        std::error_code ec;
        if (SyncFile(fd) != 0) ec = LastError();
        if (CloseFile(fd) != 0 && !ec) ec = LastError();
        return ec;
    }

    std::error_code Rename(const fs::path& from, const fs::path& to) override {
        std::error_code ec;
        fs::rename(from, to, ec);
        if (!ec) SyncFolder(to.parent_path());
        return ec;
    }

    std::error_code Remove(const fs::path& path) override {
        std::error_code ec;
        if (fs::is_directory(path, ec)) return std::make_error_code(std::errc::is_a_directory);
        fs::remove(path, ec);
        return ec;
    }

    std::error_code CreateFolders(const fs::path& path) override {
        std::error_code ec;
        fs::create_directories(path, ec);
        return ec;
    }

    std::vector<std::string> List(const fs::path& folder) override {
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            names.push_back(it->path().filename().string());
        return names;
    }
};

}  // namespace

IFileSystem& NativeFileSystem() {
    static TNativeFileSystem native;
    return native;
}

}  // namespace quorvel
