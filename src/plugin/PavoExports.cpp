// The six exports of Quorvel.kpl. The library object is built when the
// library is loaded (its initialisers run in order) and freed at unload.
//
// No exception crosses into the host: whatever escapes an entry point is
// shown in the standard error box here and the export returns its neutral
// result (0, no window).
#define PAVO_PLUGIN_BUILD
#include "pavo/pavo.h"
#include "plugin/PluginPlatform.h"
#include "plugin/Session.h"

namespace {

quorvel::TPluginLibrary& Library() {
    static quorvel::TPluginLibrary library(quorvel::PluginPlatform());
    return library;
}

// Load time, not first call: the initialisers must run before any export.
[[maybe_unused]] const bool kLoaded = (Library(), true);

template <class Result, class Call>
Result Guarded(Result fallback, Call&& call) noexcept {
    try {
        return call();
    } catch (...) {
        try {
            Library().ShowException(std::current_exception());
        } catch (...) {
            // Not even the message box could be shown; the host carries on.
        }
        return fallback;
    }
}

}  // namespace

extern "C" {

PAVO_EXPORT int32_t PAVO_CALL PavoGetVersion(void) { return Library().ReportedVersion(); }

PAVO_EXPORT void PAVO_CALL PavoGetInfo(PavoInfo* info) { quorvel::TPluginLibrary::GetInfo(info); }

PAVO_EXPORT PavoHandle PAVO_CALL PavoRun(HostSession* session, int32_t instanceValue) {
    return Guarded<PavoHandle>(0, [&] { return Library().Run(session, instanceValue); });
}

PAVO_EXPORT int32_t PAVO_CALL PavoSendNotify(int32_t type, int32_t kind) {
    return Guarded<int32_t>(0, [&] { return Library().SendNotify(type, kind); });
}

PAVO_EXPORT void PAVO_CALL PavoShowOptionsDialog(PavoHandle parent, const char* dataPath) {
    Guarded(0, [&] {
        Library().ShowOptionsDialog(parent, dataPath);
        return 0;
    });
}

PAVO_EXPORT void PAVO_CALL PavoRelease(void) {
    Guarded(0, [&] {
        Library().Release();
        return 0;
    });
}
}
