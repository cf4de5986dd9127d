#include "HostFiles.h"

#include <system_error>

#include "base/Files.h"

namespace pavohost {
namespace fs = std::filesystem;
using quorvel::FileSystem;
using quorvel::TFileKind;

std::optional<std::string> ReadWholeFile(const fs::path& file, std::string& error, std::uintmax_t maxBytes) {
    error.clear();
    const TFileKind kind = FileSystem().Status(file).Kind;
    if (kind == TFileKind::Missing) return std::nullopt;
    if (kind != TFileKind::File) {
        error = file.string() + " is not a file";
        return std::nullopt;
    }
    std::string text;
    if (const std::error_code ec = FileSystem().Read(file, maxBytes, text)) {
        error = "cannot read " + file.string() + ": " + ec.message();
        return std::nullopt;
    }
    return text;
}

bool WriteFileAtomically(const fs::path& file, std::string_view content, std::string& error) {
    if (const std::error_code ec = FileSystem().CreateFolders(file.parent_path())) {
        error = "cannot create " + file.parent_path().string() + ": " + ec.message();
        return false;
    }
    if (const std::error_code ec = quorvel::ReplaceFile(file, content)) {
        error = "cannot write " + file.string() + ": " + ec.message();
        return false;
    }
    return true;
}

void RemoveStaleTemporary(const fs::path& file) {
    const fs::path temp = quorvel::TemporaryPathOf(file);
    if (FileSystem().Status(temp).Kind == TFileKind::File) FileSystem().Remove(temp);
}

bool EnsureWritableFolder(const fs::path& folder, std::string& error) {
    if (const std::error_code ec = FileSystem().CreateFolders(folder)) {
        error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    if (FileSystem().Status(folder).Kind != TFileKind::Folder) {
        error = folder.string() + " is not a folder";
        return false;
    }
    const fs::path probe = folder / ".pavo-host-probe";
    if (const std::error_code ec = FileSystem().Write(probe, {})) {
        error = "cannot write in " + folder.string() + ": " + ec.message();
        return false;
    }
    FileSystem().Remove(probe);
    return true;
}

}  // namespace pavohost
