#pragma once
// File systems for tests and fuzzers: one held in memory, and one that passes
// everything to another but fails a chosen write, flush or rename.
#include <map>
#include <set>
#include <string>

#include "ports/FileSystem.h"

namespace quorvel::sim {

// Files and folders in memory; paths are compared as given (lexically normal).
// The root and every folder added or created exist; nothing else does.
class TMemoryFileSystem final : public IFileSystem {
public:
    TMemoryFileSystem();
    void AddFile(const std::filesystem::path& path, std::string data, bool readOnly = false);
    void AddFolder(const std::filesystem::path& path);
    // The file's bytes, or nothing when there is no such file.
    const std::string* Contents(const std::filesystem::path& path) const;

    TFileStatus Status(const std::filesystem::path& path) override;
    std::error_code Read(const std::filesystem::path& path, std::uintmax_t maxBytes, std::string& out) override;
    std::error_code Write(const std::filesystem::path& path, std::string_view data) override;
    std::error_code Flush(const std::filesystem::path& path) override;
    std::error_code Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    std::error_code Remove(const std::filesystem::path& path) override;
    std::error_code CreateFolders(const std::filesystem::path& path) override;
    std::vector<std::string> List(const std::filesystem::path& folder) override;

private:
    struct TFile {
        std::string Data;
        bool ReadOnly = false;
    };
    static std::string Key(const std::filesystem::path& path);
    bool HasFolder(const std::filesystem::path& path) const;
    std::map<std::string, TFile> files_;
    std::set<std::string> folders_;
};

enum class TFileOp { Write, Flush, Rename };

class TFaultyFileSystem final : public IFileSystem {
public:
    explicit TFaultyFileSystem(IFileSystem& inner) : inner_(inner) {}
    // The nth call (from 1, counted from now) of op fails with error; 0 fails none.
    void FailAt(TFileOp op, int nth, std::errc error = std::errc::no_space_on_device);
    int Calls(TFileOp op) const { return calls_[Index(op)]; }

    TFileStatus Status(const std::filesystem::path& path) override { return inner_.Status(path); }
    std::error_code Read(const std::filesystem::path& path, std::uintmax_t maxBytes, std::string& out) override {
        return inner_.Read(path, maxBytes, out);
    }
    std::error_code Write(const std::filesystem::path& path, std::string_view data) override;
    std::error_code Flush(const std::filesystem::path& path) override;
    std::error_code Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    std::error_code Remove(const std::filesystem::path& path) override { return inner_.Remove(path); }
    std::error_code CreateFolders(const std::filesystem::path& path) override { return inner_.CreateFolders(path); }
    std::vector<std::string> List(const std::filesystem::path& folder) override { return inner_.List(folder); }

private:
    static int Index(TFileOp op) { return static_cast<int>(op); }
    bool Fails(TFileOp op);
    IFileSystem& inner_;
    int calls_[3] = {0, 0, 0};
    int failAt_[3] = {0, 0, 0};
    std::errc error_[3] = {std::errc::io_error, std::errc::io_error, std::errc::io_error};
};

}  // namespace quorvel::sim
