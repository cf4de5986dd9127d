// The six exports of Quorvel.kpl. The library object is built when the
// library is loaded (its initialisers run in order) and freed at unload.
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

}  // namespace

extern "C" {

PAVO_EXPORT int32_t PAVO_CALL PavoGetVersion(void) { return quorvel::TPluginLibrary::GetVersion(); }

PAVO_EXPORT void PAVO_CALL PavoGetInfo(PavoInfo* info) { quorvel::TPluginLibrary::GetInfo(info); }

PAVO_EXPORT PavoHandle PAVO_CALL PavoRun(HostSession* session, int32_t instanceValue) {
    return Library().Run(session, instanceValue);
}

PAVO_EXPORT int32_t PAVO_CALL PavoSendNotify(int32_t type, int32_t kind) { return Library().SendNotify(type, kind); }

PAVO_EXPORT void PAVO_CALL PavoShowOptionsDialog(PavoHandle parent, const char* dataPath) {
    Library().ShowOptionsDialog(parent, dataPath);
}

PAVO_EXPORT void PAVO_CALL PavoRelease(void) { Library().Release(); }

}
