#pragma once
// A Pavo plug-in library loaded by path, its exports checked.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "pavo/pavo.h"

namespace pavohost {

// Exit codes of pavo-host.
constexpr int kExitSessionFailed = 1;  // a step of the session failed
constexpr int kExitUsage = 2;          // bad option or script
constexpr int kExitPlugin = 3;         // the library is not a usable plug-in
constexpr int kExitData = 4;           // the data folder cannot be used

// A failure the host reports with a clear message and its exit code.
class THostError : public std::runtime_error {
public:
    THostError(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
    int ExitCode() const { return exitCode_; }

private:
    int exitCode_;
};

class TPluginModule {
public:
    // Loads and checks the library: the required exports present and the
    // interface version PAVO_VERSION. Throws THostError(kExitPlugin).
    explicit TPluginModule(const std::string& path);
    ~TPluginModule();  // unloads
    TPluginModule(const TPluginModule&) = delete;
    TPluginModule& operator=(const TPluginModule&) = delete;

    const std::string& Path() const { return path_; }
    std::int32_t Version() const { return version_; }
    // cp1251, static data of the library: valid while it is loaded.
    const PavoInfo& Info() const { return info_; }

    PavoRunFn Run = nullptr;
    PavoSendNotifyFn SendNotify = nullptr;             // optional
    PavoShowOptionsDialogFn ShowOptionsDialog = nullptr;  // optional
    PavoReleaseFn Release = nullptr;

private:
    std::string path_;
    void* handle_ = nullptr;
    std::int32_t version_ = 0;
    PavoInfo info_{};
};

}  // namespace pavohost
