#pragma once
// Everything that lives from library load to unload: the load-time objects,
// the library's application object and the session variables.
#include <cstdint>
#include <exception>
#include <memory>

#include "pavo/host.h"
#include "plugin/HostLibraries.h"
#include "plugin/suConfig.h"
#include "settings/ClassesX.h"
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

    // False when a library the plug-in is linked with is missing: the plug-in
    // cannot run in this host, reports version 0 and its entry points do nothing.
    bool Loaded() const { return HostLibraries.Loaded(); }

    // The six entry points.
    static std::int32_t GetVersion() { return PAVO_VERSION; }
    std::int32_t ReportedVersion() const { return Loaded() ? GetVersion() : 0; }
    static void GetInfo(PavoInfo* info);
    THandle Run(HostSession* session, std::int32_t instanceValue);
    std::int32_t SendNotify(std::int32_t type, std::int32_t kind);
    void ShowOptionsDialog(THandle parent, const char* dataPath);
    void Release();

    // Posts the close signal to the host's main window.
    void PostCloseSignal();

    // The framework's standard error box for an exception nobody handled.
    void ShowException(const std::exception& e);
    void ShowException(std::exception_ptr e);

    TApplication Application;

    // Load-time objects, in initialisation order (members are built in
    // declaration order and freed in reverse): the libraries the plug-in is
    // linked with, the persisted windows' visible manager, the host
    // configuration reader (created and loaded), the plug-in settings with
    // their defaults, the host's resource library.
    THostLinkedLibraries HostLibraries;
    TVisibleManager VisibleManager{Application};
    std::unique_ptr<suConfig::TConfig> HostConfig = CreateHostConfig();
    dsConfig::TConfig Config;
    THostResources HostResources{Loaded() ? Application.Platform().Libraries : nullptr};

    // Session variables.
    std::unique_ptr<TMainForm> MainForm;
    HostSession* Host = nullptr;
    THandle HostMainWindow = 0;
    std::int32_t HostInstanceValue = 0;
    THandle SavedApplicationHandle = 0;

private:
    std::unique_ptr<suConfig::TConfig> CreateHostConfig();
};

}  // namespace quorvel
