#pragma once
// Constants and checks both ends of the MFSK modem share.
#include "Mfsk.h"

#include <cmath>
#include <stdexcept>

namespace quorvel::modem::mfsk {

constexpr int kTones = 16;
// Tone-0 burst at the start: a tuning aid and the far end's first timing.
constexpr int kPreambleSymbols = 16;
// Zero bits after the closing NUL beyond the interleaver's own span, so that
// a receiver's Viterbi decoder has decided the last character.
constexpr int kFlushMarginSymbols = 24;
// Rise and fall of the keying envelope at the ends of a transmission.
constexpr double kRampSeconds = 0.004;

inline ModemSettings CheckedSettings(const ModemSettings& s) {
    if (!std::isfinite(s.sampleRate) || s.sampleRate <= 0)
        throw std::invalid_argument("MFSK sample rate must be a positive number");
    if (!std::isfinite(s.carrier)) throw std::invalid_argument("MFSK carrier must be a number");
    const auto profile = MfskProfileFor(s.baud);
    if (kTones * profile.toneSpacing >= s.sampleRate / 2)
        throw std::invalid_argument("MFSK speed too high for the sample rate");
    return s;
}

}  // namespace quorvel::modem::mfsk
