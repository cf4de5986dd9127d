// The DSP modem engine as a loadable module: the plug-in finds it through the
// engine registration file beside it; a host drives its simulated band
// through the simulation table; the display controls fetch their data
// through the display table.
#include "ModemSimulation.h"
#include "pavo/modem-engine.h"

QUORVEL_MODEM_ENGINE_EXPORT_VERSION()

extern "C" __attribute__((visibility("default"))) quorvel::TModemEngine* QuorvelCreateModemEngine(
    quorvel::IDispatcher* dispatcher) {
    if (dispatcher == nullptr) return nullptr;
    return std::make_unique<quorvel::modem::TDspModemEngine>(*dispatcher, &quorvel::modem::ModuleEngines()).release();
}

extern "C" __attribute__((visibility("default"))) const QuorvelLoopbackSimulation* QuorvelGetLoopbackSimulation() {
    return quorvel::modem::ModuleSimulation();
}

extern "C" __attribute__((visibility("default"))) const QuorvelModemDisplay* QuorvelGetModemDisplay() {
    return quorvel::modem::ModuleDisplay();
}
