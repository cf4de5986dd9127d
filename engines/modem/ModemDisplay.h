#pragma once
// The engines of this module, and the display table (pavo/modem-display.h)
// the display controls fetch their data through by an engine's handle.
#include "DspEngine.h"
#include "pavo/modem-display.h"

namespace quorvel::modem {

// Engines made with this registry are the ones the tables below see.
TDspEngineRegistry& ModuleEngines();
const QuorvelModemDisplay* ModuleDisplay();

}  // namespace quorvel::modem
