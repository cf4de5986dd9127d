#pragma once
// Loading libraries by name and facts about the running process.
#include <memory>
#include <string>

namespace quorvel {

class ILibrary {
public:
    virtual ~ILibrary() = default;  // unloads
    // Address of an exported symbol, nullptr when missing.
    virtual void* Symbol(const char* name) const = 0;
};

class ILibraryLoader {
public:
    virtual ~ILibraryLoader() = default;
    // name is the host's library name ("kvtfsys.dll"); the platform maps it to
    // its own file name. nullptr when the library cannot be loaded.
    virtual std::unique_ptr<ILibrary> Load(const std::string& name) = 0;
};

class IProcess {
public:
    virtual ~IProcess() = default;
    // Full path of the host executable ("C:\Tarvik\host.exe" or "/usr/bin/pavo-host").
    virtual std::string ExecutablePath() const = 0;
    // Full path of a loaded module by file name; empty when not loaded.
    virtual std::string ModulePath(const std::string& moduleName) const = 0;
};

}  // namespace quorvel
