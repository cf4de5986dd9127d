#pragma once
// The reference host: its settings, log, rig and new-QSO window, and one
// plug-in session driven through the exports. Front ends (the headless
// session runner, later the GUI) own a desktop and drive this object.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EngineSimulation.h"
#include "HostClock.h"
#include "HostInterfaces.h"
#include "HostSettings.h"
#include "LogBook.h"
#include "MacroTable.h"
#include "PluginModule.h"
#include "RigPort.h"
#include "SupportLibraries.h"
#include "pavo/host.h"
#include "ports/Dispatcher.h"
#include "ports/WindowSystem.h"

namespace pavohost {

struct THostEnvironment {
    quorvel::IWindowSystem& Windows;
    quorvel::IDispatcher& Dispatcher;
    THostFolders Folders;
    IHostEvents& Events;
    std::string Version;  // the host's version text
    // Where the host's support libraries are installed (its executable's folder).
    std::filesystem::path LibraryFolder;
    std::string Title = "pavo-host";
    // The rig to drive; none given: the one the host's settings name.
    std::optional<TRigChoice> Rig = std::nullopt;
};

class THost {
public:
    // Prepares the data folder (settings written on first use, log opened).
    // Throws THostError(kExitData) when it cannot be used.
    explicit THost(THostEnvironment env);
    ~THost();
    THost(const THost&) = delete;
    THost& operator=(const THost&) = delete;

    // Throws THostError(kExitPlugin).
    void LoadPlugin(const std::string& path);
    const TPluginModule* Plugin() const { return plugin_.get(); }
    TEngineSimulation* Engines() { return engines_.get(); }

    // PavoRun; the plug-in's window handle, 0 when it opened none.
    PavoHandle Run(std::int32_t instanceValue);
    // PavoRelease, when a window is open.
    void Release();
    bool PluginWindowOpen() const { return pluginWindow_ != 0; }
    PavoHandle PluginWindow() const { return pluginWindow_; }

    // The host's own state changes, each told to the plug-in.
    void OpenNewQso();
    void CloseNewQso();
    bool NewQsoOpen() const { return session_.NewQso != nullptr; }
    void SetAwardsAvailable(bool available);
    bool SetToolbarStyle(int style, std::string& error);
    void MoveCursor(int x, int y);
    bool SetStation(const std::string& key, const std::string& utf8, std::string& error);
    // The host's menu command for the plug-in's options.
    void ShowOptions();
    // The host's macro editor saves a macro table for the loaded plug-in:
    // {plug-ins data}/{plug-in name}/macroses.config.xml. The file's path, or
    // empty with the reason.
    std::string SaveMacros(const std::vector<TMacro>& macros, std::string& error);

    // The operator's keys go to the plug-in's window: it becomes the active
    // one, and a key-down message goes to it past the thread's message hook.
    bool ActivatePluginWindow();
    bool PostKeyDown(std::uint16_t virtualKey);

    // One automation request to the plug-in's window (pavo/automation.h);
    // strings UTF-8. Returns the plug-in's result code.
    int Automate(const std::string& verb, const std::string& target, const std::string& argument,
                 std::string& reply);

    // Releases an open window and unloads the plug-in and the engine module.
    void Shutdown();

    THostSettings& Settings() { return settings_; }
    TLogBook& Log() { return log_; }
    THostTransceiver& Transceiver() { return transceiver_; }
    IRigPort& RigPort() { return *rig_; }
    // The rig the host's settings name (saved), used from the next start.
    bool SaveRigChoice(const TRigChoice& choice, std::string& error);
    // The host's rig settings: saved and used at once. False with the reason
    // (an unknown model, settings that cannot be written); the rig stays.
    bool ChangeRig(const TRigChoice& choice, std::string& error);
    TRigChoice SavedRigChoice() const;
    TNewQsoWindow& NewQso() { return newQso_; }
    THostClock& Clock() { return clock_; }
    HostSession& Session() { return session_; }
    const THostFolders& Folders() const { return env_.Folders; }
    TSupportLibraries& SupportLibraries() { return libraries_; }
    quorvel::THandle MainWindowHandle() const { return mainWindowHandle_; }
    quorvel::THandle NewQsoWindowHandle() const { return newQsoHandle_; }
    // The operator closes the host's main window (its close box).
    std::function<void()> OnMainWindowClose;

private:
    void Notify(std::int32_t type, std::int32_t kind, const char* what);
    void StartRigDelivery();
    std::intptr_t MainWindowProc(const quorvel::TMessage& message);
    std::intptr_t NewQsoWindowProc(const quorvel::TMessage& message);

    THostEnvironment env_;
    THostClock clock_;
    TSupportLibraries libraries_;
    THostSettings settings_;
    TLogBook log_;
    quorvel::THandle mainWindowHandle_ = 0, applicationHandle_ = 0, newQsoHandle_ = 0;
    THostWindowObject mainWindow_;
    THostApplicationObject applicationObject_;
    THostConfig config_;
    THostLog hostLog_;
    std::unique_ptr<IRigPort> rig_;
    quorvel::IDispatcher::TimerId rigDelivery_ = 0;
    THostTransceiver transceiver_;
    THostApplication application_;
    TNewQsoWindow newQso_;
    THostAwards awards_;
    HostSession session_{};

    std::unique_ptr<TEngineSimulation> engines_;
    std::unique_ptr<TPluginModule> plugin_;
    PavoHandle pluginWindow_ = 0;
    std::int32_t instanceValue_ = 0;
};

}  // namespace pavohost
