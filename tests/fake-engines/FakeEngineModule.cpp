// Modem-engine modules the plug-in must refuse: one of another interface
// version (FAKE_ENGINE_VERSION), one without the version export
// (FAKE_ENGINE_NO_VERSION). Neither makes an engine.
#include <cstdint>

#include "pavo/modem-engine.h"

#ifndef FAKE_ENGINE_NO_VERSION
extern "C" __attribute__((visibility("default"))) std::int32_t QuorvelModemEngineVersion() {
    return FAKE_ENGINE_VERSION;
}
#endif

extern "C" __attribute__((visibility("default"))) quorvel::TModemEngine* QuorvelCreateModemEngine(
    quorvel::IDispatcher*) {
    return nullptr;
}
