// pavo-host: loads a Pavo plug-in by path, checks its version and prints its
// information record.
#include <cstdio>
#include <cstring>
#include <string>

#include "LinuxLibraries.h"
#include "base/CodePage.h"
#include "pavo/pavo.h"

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "";
    if (path.empty()) {
        const std::string exe = quorvel::linux_platform::TLinuxProcess().ExecutablePath();
        path = exe.substr(0, exe.find_last_of('/') + 1) + "Quorvel.kpl";
    }
    auto library = quorvel::linux_platform::TLinuxLibraryLoader::LoadPath(path);
    if (!library) {
        std::fprintf(stderr, "pavo-host: cannot load %s\n", path.c_str());
        return 2;
    }
    auto getVersion = reinterpret_cast<PavoGetVersionFn>(library->Symbol("PavoGetVersion"));
    auto getInfo = reinterpret_cast<PavoGetInfoFn>(library->Symbol("PavoGetInfo"));
    if (getVersion == nullptr || getInfo == nullptr) {
        std::fprintf(stderr, "pavo-host: %s is not a Pavo plug-in (PavoGetVersion/PavoGetInfo missing)\n",
                     path.c_str());
        return 2;
    }
    const int32_t version = getVersion();
    if (version != PAVO_VERSION) {
        std::fprintf(stderr, "pavo-host: %s has interface version %d, expected %d\n", path.c_str(), version,
                     PAVO_VERSION);
        return 2;
    }
    PavoInfo info;
    std::memset(&info, 0, sizeof info);
    getInfo(&info);
    std::printf("Plug-in: %s\nVersion: %d\nName: %s\nFlag: %d\nDescription:\n%s\n", path.c_str(), version,
                quorvel::Cp1251ToUtf8(info.Name ? info.Name : "").c_str(), info.Flag,
                quorvel::Cp1251ToUtf8(info.Description ? info.Description : "").c_str());
    return 0;
}
