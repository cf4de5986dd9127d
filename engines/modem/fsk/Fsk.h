#pragma once
// This engine's own frequency-shift modes, all carrying the extended Varicode
// alphabet (TVaricode::Extended(): the whole code page) at 15.625 to 500 baud.
//
// Bits are sent NRZI: a 0 changes the frequency, a 1 keeps it, so the idle
// zeros between and around characters are a steady alternation the receiver
// times itself on. Characters are Varicode words followed by "00". The
// frequency follows the bits through a Gaussian filter; the signal is
// phase-continuous, opens with one second of idle and fades out after
// eight bits of idle at the end.
//
//   "GMSK":  minimum shift (h = 0.5: the two frequencies baud/2 apart),
//            Gaussian BT = 0.5;
//   "FSK":   h = 1 (shift = baud), BT = 1;
//   "FSK-W": h = 2 (shift = 2 x baud), BT = 1: wider, for drifting or
//            fading paths.
//
// The receiver brings the signal to baseband, takes its instantaneous
// frequency, integrates it over a bit, recovers the bit clock with a Gardner
// detector (ATC adds the integral term) and decides. AFC follows the mean
// frequency, which the balanced NRZI stream keeps at the carrier. A squelch
// on the eye opening keeps noise off the screen.
#include <memory>

#include "Modem.h"

namespace quorvel::modem {

struct FskShape {
    double modulationIndex;  // shift / baud
    double bt;               // Gaussian filter bandwidth x bit time
};

constexpr FskShape kGmsk{0.5, 0.5}, kFsk{1.0, 1.0}, kFskWide{2.0, 1.0};

std::unique_ptr<IModulator> MakeFskModulator(const ModemSettings& settings, FskShape shape);
std::unique_ptr<IDemodulator> MakeFskDemodulator(const ModemSettings& settings, FskShape shape);

}  // namespace quorvel::modem
