#include "SimFileSystem.h"

namespace quorvel::sim {

namespace fs = std::filesystem;

namespace {
std::error_code Error(std::errc e) { return std::make_error_code(e); }
}  // namespace

TMemoryFileSystem::TMemoryFileSystem() { folders_.insert(Key(fs::path("/"))); }

std::string TMemoryFileSystem::Key(const fs::path& path) {
    std::string key = path.lexically_normal().generic_string();
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    return key;
}

bool TMemoryFileSystem::HasFolder(const fs::path& path) const {
    const std::string key = Key(path);
    return key.empty() || key == "." || folders_.count(key) != 0;
}

void TMemoryFileSystem::AddFile(const fs::path& path, std::string data, bool readOnly) {
    AddFolder(path.parent_path());
    files_[Key(path)] = TFile{std::move(data), readOnly};
}

void TMemoryFileSystem::AddFolder(const fs::path& path) {
    for (fs::path p = path.lexically_normal(); !p.empty(); p = p.parent_path()) {
        folders_.insert(Key(p));
        if (p == p.parent_path()) break;
    }
}

const std::string* TMemoryFileSystem::Contents(const fs::path& path) const {
    const auto it = files_.find(Key(path));
    return it == files_.end() ? nullptr : &it->second.Data;
}

TFileStatus TMemoryFileSystem::Status(const fs::path& path) {
    TFileStatus out;
    if (const auto it = files_.find(Key(path)); it != files_.end()) {
        out.Kind = TFileKind::File;
        out.ReadOnly = it->second.ReadOnly;
        out.Size = it->second.Data.size();
    } else if (HasFolder(path)) {
        out.Kind = TFileKind::Folder;
    }
    return out;
}

std::error_code TMemoryFileSystem::Read(const fs::path& path, std::uintmax_t maxBytes, std::string& out) {
    out.clear();
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return Error(HasFolder(path) ? std::errc::is_a_directory : std::errc::no_such_file_or_directory);
    if (it->second.Data.size() > maxBytes) return Error(std::errc::file_too_large);
    out = it->second.Data;
    return {};
}

std::error_code TMemoryFileSystem::Write(const fs::path& path, std::string_view data) {
    if (!HasFolder(path.parent_path())) return Error(std::errc::no_such_file_or_directory);
    if (HasFolder(path)) return Error(std::errc::is_a_directory);
    TFile& f = files_[Key(path)];
    if (f.ReadOnly) return Error(std::errc::permission_denied);
    f.Data.assign(data);
    return {};
}

std::error_code TMemoryFileSystem::Flush(const fs::path& path) {
    return files_.count(Key(path)) != 0 ? std::error_code{} : Error(std::errc::no_such_file_or_directory);
}

std::error_code TMemoryFileSystem::Rename(const fs::path& from, const fs::path& to) {
    const auto it = files_.find(Key(from));
    if (it == files_.end()) return Error(std::errc::no_such_file_or_directory);
    if (HasFolder(to)) return Error(std::errc::is_a_directory);
    if (!HasFolder(to.parent_path())) return Error(std::errc::no_such_file_or_directory);
    TFile moved = std::move(it->second);
    files_.erase(it);
    files_[Key(to)] = std::move(moved);
    return {};
}

std::error_code TMemoryFileSystem::Remove(const fs::path& path) {
    if (HasFolder(path)) return Error(std::errc::is_a_directory);
    files_.erase(Key(path));
    return {};
}

std::error_code TMemoryFileSystem::CreateFolders(const fs::path& path) {
    if (files_.count(Key(path)) != 0) return Error(std::errc::file_exists);
    AddFolder(path);
    return {};
}

std::vector<std::string> TMemoryFileSystem::List(const fs::path& folder) {
    std::vector<std::string> names;
    const std::string key = Key(folder);
    auto inside = [&key](const std::string& k) { return fs::path(k).parent_path().generic_string() == key && k != key; };
    for (const auto& [k, f] : files_)
        if (inside(k)) names.push_back(fs::path(k).filename().string());
    for (const auto& k : folders_)
        if (inside(k)) names.push_back(fs::path(k).filename().string());
    return names;
}

void TFaultyFileSystem::FailAt(TFileOp op, int nth, std::errc error) {
    calls_[Index(op)] = 0;
    failAt_[Index(op)] = nth;
    error_[Index(op)] = error;
}

bool TFaultyFileSystem::Fails(TFileOp op) { return ++calls_[Index(op)] == failAt_[Index(op)]; }

std::error_code TFaultyFileSystem::Write(const fs::path& path, std::string_view data) {
    if (!Fails(TFileOp::Write)) return inner_.Write(path, data);
    // A full disk takes part of the data before it refuses the rest.
    inner_.Write(path, data.substr(0, data.size() / 2));
    return Error(error_[Index(TFileOp::Write)]);
}

std::error_code TFaultyFileSystem::Flush(const fs::path& path) {
    if (Fails(TFileOp::Flush)) return Error(error_[Index(TFileOp::Flush)]);
    return inner_.Flush(path);
}

std::error_code TFaultyFileSystem::Rename(const fs::path& from, const fs::path& to) {
    if (Fails(TFileOp::Rename)) return Error(error_[Index(TFileOp::Rename)]);
    return inner_.Rename(from, to);
}

}  // namespace quorvel::sim
