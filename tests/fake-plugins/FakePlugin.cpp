// Plug-ins that a host must handle: one that records what the host calls, one
// built for another interface version, one without PavoRun.
#include <string>

#include "pavo/host.h"

#ifndef FAKE_VERSION
#define FAKE_VERSION PAVO_VERSION
#endif

namespace {

std::string& Calls() {
    static std::string calls;
    return calls;
}

HostSession* gSession = nullptr;

}  // namespace

extern "C" {

PAVO_EXPORT int32_t PAVO_CALL PavoGetVersion(void) { return FAKE_VERSION; }

PAVO_EXPORT void PAVO_CALL PavoGetInfo(PavoInfo* info) {
    info->Name = "Fake";
    info->Description = "A plug-in that records its calls";
    info->Flag = 1;
}

#ifndef FAKE_NO_RUN
PAVO_EXPORT PavoHandle PAVO_CALL PavoRun(HostSession* session, int32_t instanceValue) {
    gSession = session;
    Calls() += "run " + std::to_string(instanceValue) + ";";
    return 0x4242;
}
#endif

PAVO_EXPORT int32_t PAVO_CALL PavoSendNotify(int32_t type, int32_t kind) {
    Calls() += "notify " + std::to_string(type) + "/" + std::to_string(kind);
    if (gSession != nullptr) {
        Calls() += gSession->NewQso != nullptr ? " qso" : " no-qso";
        Calls() += gSession->Awards != nullptr ? " awards" : " no-awards";
    }
    Calls() += ";";
    return 0;
}

PAVO_EXPORT void PAVO_CALL PavoShowOptionsDialog(PavoHandle, const char* dataPath) {
    Calls() += std::string("options ") + (dataPath != nullptr ? dataPath : "") + ";";
}

PAVO_EXPORT void PAVO_CALL PavoRelease(void) {
    Calls() += "release;";
    gSession = nullptr;
}

PAVO_EXPORT const char* FakePluginCalls(void) { return Calls().c_str(); }
}
