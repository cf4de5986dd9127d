// The platform of Quorvel.kpl on Linux: the process's shared desktop plus this
// module's own library loading, engine lookup and sound card (ALSA, unless
// the host simulates one).
#include "plugin/PluginPlatform.h"

#include <filesystem>

#include "AlsaMixer.h"
#include "Desktop.h"
#include "LinuxLibraries.h"
#include "LinuxShell.h"
#include "RegisteredEngines.h"

namespace quorvel {

#if !defined(QUORVEL_QT_VIEWS)
IViewFactory* PluginViews() { return nullptr; }
#endif

TPlatform PluginPlatform() {
    static linux_platform::TLinuxLibraryLoader libraries;
    static linux_platform::TLinuxProcess process;
    static linux_platform::TRegisteredEngines engines(
        std::filesystem::path(linux_platform::ModulePathOf(reinterpret_cast<const void*>(&PluginPlatform)))
            .parent_path()
            .string());
    static linux_platform::TAlsaMultimedia alsa;
    static linux_platform::TLinuxShell shell;
    const TDesktop* desktop = QuorvelDesktop();
    TPlatform p;
    p.Dispatcher = desktop->Dispatcher;
    p.Windows = desktop->Windows;
    p.Dialogs = desktop->Dialogs;
    p.Clipboard = desktop->Clipboard;
    p.Audio = desktop->Audio != nullptr ? desktop->Audio : &alsa;
    p.Libraries = &libraries;
    p.Process = &process;
    p.Engines = &engines;
    p.Views = PluginViews();
    p.Shell = &shell;
    return p;
}

}  // namespace quorvel
