#pragma once
// The engine's modes in the order it lists them, and their modems.
#include <array>
#include <memory>
#include <string_view>

#include "Modem.h"

namespace quorvel::modem {

enum class ModeId : std::int16_t { Gmsk, Fsk, FskW, BpskRu, Bpsk, RttyL, RttyU, MfskL, MfskU, QpskL, QpskU };

struct ModeInfo {
    std::string_view name;
    double defaultBaud;
    Sideband sideband;
};

constexpr std::array<ModeInfo, 11> kModes = {{
    {"GMSK", 31.25, Sideband::Upper},
    {"FSK", 31.25, Sideband::Upper},
    {"FSK-W", 31.25, Sideband::Upper},
    {"BPSK", 31.25, Sideband::Upper},
    {"bpsk", 31.25, Sideband::Upper},
    {"rtty-L", 45.45, Sideband::Lower},
    {"rtty-U", 45.45, Sideband::Upper},
    {"mfsk-L", 15.625, Sideband::Lower},
    {"mfsk-U", 15.625, Sideband::Upper},
    {"qpsk-L", 31.25, Sideband::Lower},
    {"qpsk-U", 31.25, Sideband::Upper},
}};

// -1 when name is no mode of the engine (exact, case-sensitive: "BPSK" and
// "bpsk" are different modes).
int ModeIndex(std::string_view name);

// The settings for a mode index: its sideband, the given rate, carrier, baud.
ModemSettings SettingsFor(int mode, double sampleRate, double carrier, double baud);

// nullptr for a mode this build has no modem for, or an index out of range.
std::unique_ptr<IModulator> MakeModulator(int mode, const ModemSettings& settings);
std::unique_ptr<IDemodulator> MakeDemodulator(int mode, const ModemSettings& settings);

}  // namespace quorvel::modem
