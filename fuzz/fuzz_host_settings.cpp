// Loads arbitrary bytes as the reference host's settings file, from memory:
// no crash, and what was loaded survives a save and a second load.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "HostSettings.h"
#include "SimFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    sim::TMemoryFileSystem files;
    TFileSystemScope scope(files);
    pavohost::THostFolders folders;
    folders.AppData = "/data";
    folders.HostData = "/data/Zentavo/pavo-host";
    folders.ProfileName = "Default";
    folders.ProfilePath = "\\Profiles\\Default";
    folders.Profile = folders.HostData / "Profiles" / "Default";
    folders.SettingsFile = folders.Profile / "settings.xml";
    files.AddFile(folders.SettingsFile, std::string(reinterpret_cast<const char*>(data), size));

    pavohost::THostSettings loaded(folders);
    loaded.Load();
    std::string error;
    if (!loaded.Save(error)) std::abort();
    pavohost::THostSettings again(folders);
    if (!again.Load()) std::abort();
    for (const auto& p : loaded.Properties())
        if (again.Get(p.Name) != loaded.Get(p.Name)) std::abort();
    return 0;
}
