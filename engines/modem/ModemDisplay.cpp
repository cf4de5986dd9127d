#include "ModemDisplay.h"

namespace quorvel::modem {
namespace {

TDspModemEngine* ByHandle(std::int32_t handle) {
    for (TDspModemEngine* e : ModuleEngines().Engines())
        if (e->dwHandle() == handle) return e;
    return nullptr;
}

bool ValidChannel(std::int32_t channel) { return channel >= 0 && channel < TDspModemEngine::kChannels; }

std::int32_t Frame(std::int32_t handle, std::int32_t channel, QuorvelModemDisplayFrame* out) {
    TDspModemEngine* e = ByHandle(handle);
    if (e == nullptr || out == nullptr || !ValidChannel(channel)) return 0;
    return e->DisplayFrame(static_cast<std::int16_t>(channel), *out) ? 1 : 0;
}

std::int32_t Tune(std::int32_t handle, std::int32_t channel, std::int32_t hz) {
    TDspModemEngine* e = ByHandle(handle);
    // The carrier editors go to 3000 Hz; so does a click.
    if (e == nullptr || !ValidChannel(channel) || hz < 0 || hz > 3000) return 0;
    e->set_RxCarrier(static_cast<std::int16_t>(channel), static_cast<std::uint16_t>(hz));
    return 1;
}

constexpr QuorvelModemDisplay kDisplay{QUORVEL_MODEM_DISPLAY_VERSION, &Frame, &Tune};

}  // namespace

TDspEngineRegistry& ModuleEngines() {
    static TDspEngineRegistry registry;
    return registry;
}

const QuorvelModemDisplay* ModuleDisplay() { return &kDisplay; }

}  // namespace quorvel::modem
