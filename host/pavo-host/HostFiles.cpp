#include "HostFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace pavohost {
namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const fs::path& file, std::string& error) {
    error.clear();
    std::error_code ec;
    if (!fs::exists(file, ec)) return std::nullopt;
    if (!fs::is_regular_file(file, ec)) {
        error = file.string() + " is not a file";
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read " + file.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    return text.str();
}

bool WriteFileAtomically(const fs::path& file, std::string_view content, std::string& error) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) {
        error = "cannot create " + file.parent_path().string() + ": " + ec.message();
        return false;
    }
    const fs::path temporary = file.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot write " + temporary.string() + ": " + std::strerror(errno);
            return false;
        }
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            error = "cannot write " + temporary.string();
            out.close();
            fs::remove(temporary, ec);
            return false;
        }
    }
    fs::rename(temporary, file, ec);
    if (ec) {
        error = "cannot replace " + file.string() + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool EnsureWritableFolder(const fs::path& folder, std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    if (!fs::is_directory(folder, ec)) {
        error = folder.string() + " is not a folder";
        return false;
    }
    const fs::path probe = folder / ".pavo-host-probe";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot write in " + folder.string() + ": " + std::strerror(errno);
            return false;
        }
    }
    fs::remove(probe, ec);
    return true;
}

}  // namespace pavohost
