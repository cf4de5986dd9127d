// Arbitrary engine events into a live main window: characters on any channel
// index (valid or not), with or without their text, the transmit state
// flipping under them, and time passing. Each four bytes are one step:
//   op channel low high
// op 0..4: OnRxChar(channel, the character or not, low|high<<8); 5: bTX flips
// (with OnTxState); 6: OnMode on the channel; 7: time passes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzWindow.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    fuzzing::TFuzzWindow w;
    if (w.engine == nullptr || w.engine->Events() == nullptr) std::abort();
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
        IModemEngineEvents* events = w.engine->Events();
        if (events == nullptr) break;  // the window went
        const std::uint8_t op = data[i] & 7;
        const auto channel = static_cast<std::int16_t>(static_cast<std::int8_t>(data[i + 1]));
        const auto code = static_cast<std::uint16_t>(data[i + 2] | data[i + 3] << 8);
        switch (op) {
        case 5:
            w.engine->Transmitting = !w.engine->Transmitting;
            events->OnTxState(w.engine->Transmitting ? 1 : 0);
            break;
        case 6:
            events->OnMode(channel, static_cast<std::int16_t>(code % 16), u"BPSK");
            break;
        case 7:
            w.sim.Dispatcher.Advance(code % 2000);
            break;
        default: {
            std::u16string text;
            if (op & 1) text.push_back(static_cast<char16_t>(code));
            if (op == 4) text += u"xy";  // a text that is not the character
            events->OnRxChar(channel, text, code);
        }
        }
    }
    return 0;
}
