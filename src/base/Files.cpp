#include "base/Files.h"

#include <system_error>

#include "base/CodePage.h"

namespace quorvel {

namespace fs = std::filesystem;

bool IsPathDelimiter(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    // Relative names are written the host's way ("\Quorvel\x.xml", with '\'); they are mapped
    // to the platform's separator here, and only here.
    std::string tail(name);
    for (char& c : tail)
        if (c == '\\' || c == '/') c = PathDelim;
    if (folder.empty()) return tail;
    std::size_t end = folder.size();
    while (end > 1 && IsPathDelimiter(folder[end - 1])) --end;
    std::size_t start = 0;
    while (start < tail.size() && IsPathDelimiter(tail[start])) ++start;
    std::string out(folder.substr(0, end));
    if (!IsPathDelimiter(out.back())) out += PathDelim;
    out.append(tail, start, std::string::npos);
    return out;
}

std::string ExtractFileName(std::string_view path) {
    std::size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1])) --i;
    return std::string(path.substr(i));
}

std::string ExtractFileDir(std::string_view path) {
    std::size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1])) --i;
    if (i == 0) return std::string();
    std::size_t end = i - 1;
    if (end == 0) return std::string(1, path[0]);  // the root folder itself
    return std::string(path.substr(0, end));
}

fs::path NativePath(std::string_view path) { return fs::path(Cp1251ToUtf16(path)); }

namespace {
IFileSystem*& CurrentFileSystem() {
    static IFileSystem* current = nullptr;
    return current;
}
}  // namespace

IFileSystem& FileSystem() {
    IFileSystem* current = CurrentFileSystem();
    return current != nullptr ? *current : NativeFileSystem();
}

TFileSystemScope::TFileSystemScope(IFileSystem& fs) : previous_(CurrentFileSystem()) { CurrentFileSystem() = &fs; }
TFileSystemScope::~TFileSystemScope() { CurrentFileSystem() = previous_; }

bool FileExists(std::string_view path) {
    if (path.empty()) return false;
    return FileSystem().Status(NativePath(path)).Kind == TFileKind::File;
}

bool DirectoryExists(std::string_view path) {
    if (path.empty()) return true;
    return FileSystem().Status(NativePath(path)).Kind == TFileKind::Folder;
}

bool DeleteFile(std::string_view path) { return !FileSystem().Remove(NativePath(path)); }

std::optional<std::string> ReadFileBytes(std::string_view path, std::uintmax_t maxBytes) {
    std::string data;
    if (FileSystem().Read(NativePath(path), maxBytes, data)) return std::nullopt;
    return data;
}

fs::path TemporaryPathOf(const fs::path& target) {
    fs::path temp = target;
    temp += ".tmp";
    return temp;
}

std::error_code ReplaceFile(const fs::path& target, std::string_view data) {
    return ReplaceFile(target, data, TemporaryPathOf(target));
}

std::error_code ReplaceFile(const fs::path& target, std::string_view data, const fs::path& temp) {
    IFileSystem& files = FileSystem();
    const TFileStatus st = files.Status(target);
    if (st.Kind != TFileKind::Missing && st.Kind != TFileKind::File) return std::make_error_code(std::errc::is_a_directory);
    if (st.Kind == TFileKind::File && st.ReadOnly) return std::make_error_code(std::errc::permission_denied);
    if (files.Status(temp).Kind == TFileKind::Folder) return std::make_error_code(std::errc::is_a_directory);
    // Flushed before the rename: otherwise a crash could publish a name whose data never reached the disk.
    std::error_code ec = files.Write(temp, data);
    if (!ec) ec = files.Flush(temp);
    if (!ec) ec = files.Rename(temp, target);
    if (ec) files.Remove(temp);
    return ec;
}

bool WriteFileAtomic(std::string_view path, std::string_view data) {
    if (path.empty() || IsPathDelimiter(path.back())) return false;
    if (!DirectoryExists(ExtractFileDir(path))) return false;
    return !ReplaceFile(NativePath(path), data);
}

bool WriteFileAtomic(std::string_view path, std::string_view data, std::string_view temporary) {
    if (path.empty() || IsPathDelimiter(path.back()) || temporary.empty()) return false;
    if (!DirectoryExists(ExtractFileDir(path))) return false;
    return !ReplaceFile(NativePath(path), data, NativePath(temporary));
}

void RemoveStaleTemporary(std::string_view path) {
    if (path.empty()) return;
    const fs::path temp = TemporaryPathOf(NativePath(path));
    IFileSystem& files = FileSystem();
    if (files.Status(temp).Kind == TFileKind::File) files.Remove(temp);
}

}  // namespace quorvel
