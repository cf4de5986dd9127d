#pragma once
#include <string>

#include "ports/Libraries.h"

namespace quorvel::linux_platform {

// Maps a host library name to this platform's file: "kvtfsys.dll" -> "kvtfsys.so".
std::string PlatformLibraryName(const std::string& name);

// dlopen by name: first beside the host executable (where the host installs its
// libraries, as Windows searches the program's folder first), then the loader path.
class TLinuxLibraryLoader final : public ILibraryLoader {
public:
    std::unique_ptr<ILibrary> Load(const std::string& name) override;
    // Loads a library by exact path.
    static std::unique_ptr<ILibrary> LoadPath(const std::string& path);
};

class TLinuxProcess final : public IProcess {
public:
    std::string ExecutablePath() const override;
    std::string ModulePath(const std::string& moduleName) const override;
};

// Path of the module (shared library or executable) that holds this address.
std::string ModulePathOf(const void* address);

}  // namespace quorvel::linux_platform
