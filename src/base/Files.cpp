#include "base/Files.h"

#include <fstream>
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

bool FileExists(std::string_view path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::is_regular_file(NativePath(path), ec);
}

bool DirectoryExists(std::string_view path) {
    if (path.empty()) return true;
    std::error_code ec;
    return fs::is_directory(NativePath(path), ec);
}

bool DeleteFile(std::string_view path) {
    std::error_code ec;
    const fs::path p = NativePath(path);
    if (fs::is_directory(p, ec)) return false;
    fs::remove(p, ec);
    return !ec;
}

std::optional<std::string> ReadFileBytes(std::string_view path, std::uintmax_t maxBytes) {
    const fs::path p = NativePath(path);
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(p, ec);
    if (ec || size > maxBytes) return std::nullopt;
    std::ifstream in(p, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data(static_cast<std::size_t>(size), '\0');
    in.read(data.data(), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) return std::nullopt;
    return data;
}

bool WriteFileAtomic(std::string_view path, std::string_view data) {
    if (path.empty() || IsPathDelimiter(path.back())) return false;
    const fs::path target = NativePath(path);
    const std::string folder = ExtractFileDir(path);
    if (!DirectoryExists(folder)) return false;
    std::error_code ec;
    const fs::file_status st = fs::status(target, ec);
    if (fs::exists(st)) {
        if (!fs::is_regular_file(st)) return false;
        if ((st.permissions() & fs::perms::owner_write) == fs::perms::none) return false;
    }
    fs::path temp = target;
    temp += ".tmp";
    bool ok = false;
    bool created = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            created = true;
            out.write(data.data(), static_cast<std::streamsize>(data.size()));
            out.flush();
            ok = static_cast<bool>(out);
            out.close();
            ok = ok && !out.fail();
        }
    }
    if (ok) {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok && created) fs::remove(temp, ec);
    return ok;
}

}  // namespace quorvel
