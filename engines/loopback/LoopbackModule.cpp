// The loopback engine as a loadable module: the plug-in finds it through the
// engine registration file beside it and calls this entry point.
#include "LoopbackEngine.h"

extern "C" __attribute__((visibility("default"))) quorvel::TModemEngine* QuorvelCreateModemEngine(
    quorvel::IDispatcher* dispatcher) {
    if (dispatcher == nullptr) return nullptr;
    return std::make_unique<quorvel::TLoopbackEngine>(*dispatcher).release();
}
