#pragma once
// Everything that lives from library load to unload: the load-time objects,
// the library's application object and the session variables.
#include <cstdint>
#include <memory>

#include "pavo/host.h"
#include "settings/dsConfig.h"
#include "ui/Application.h"

namespace quorvel {

class TMainForm;

class TPluginLibrary {
public:
    // Runs the library-load initialisers in their order.
    explicit TPluginLibrary(const TPlatform& platform);
    // Unloading: a window still open is torn down, then the initialisers undone.
    ~TPluginLibrary();
    TPluginLibrary(const TPluginLibrary&) = delete;
    TPluginLibrary& operator=(const TPluginLibrary&) = delete;

    // The six entry points.
    static std::int32_t GetVersion() { return PAVO_VERSION; }
    static void GetInfo(PavoInfo* info);
    THandle Run(HostSession* session, std::int32_t instanceValue);
    std::int32_t SendNotify(std::int32_t type, std::int32_t kind);
    void ShowOptionsDialog(THandle parent, const char* dataPath);
    void Release();

    // Posts the close signal to the host's main window.
    void PostCloseSignal();

    TApplication Application;

    // Load-time objects, in initialisation order (members are built in
    // declaration order and freed in reverse): the host configuration reader
    // first, then the plug-in settings with their defaults.
    dsConfig::TConfig Config;

    // Session variables.
    std::unique_ptr<TMainForm> MainForm;
    HostSession* Host = nullptr;
    THandle HostMainWindow = 0;
    std::int32_t HostInstanceValue = 0;
    THandle SavedApplicationHandle = 0;
};

}  // namespace quorvel
