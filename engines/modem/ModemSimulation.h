#pragma once
// The engine module's live engines and the table a host drives its
// simulated band through (the table layout of LoopbackSimulation.h, so a
// host drives either engine the same way).
#include "LoopbackSimulation.h"
#include "ModemDisplay.h"

namespace quorvel::modem {

const QuorvelLoopbackSimulation* ModuleSimulation();

}  // namespace quorvel::modem
