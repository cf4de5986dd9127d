#pragma once
// MFSK: 16 tones one baud apart, rectangular continuous-phase keying, the
// IZ8BLY varicode, the K=7 rate-1/2 code and the diagonal interleaver.
//
// At 15.625 baud this is the on-air MFSK16, at 31.25 MFSK32 and at 62.5
// MFSK64 (interleaver depth 10 each). Every other speed of the speed list
// runs the same scheme scaled: tones one baud apart, depth 10 up to 62.5 baud
// and 20 above. Speeds whose 16 tones do not fit below half the sample rate
// are refused.
//
// Sideband::Upper puts tone 0 lowest in the audio ("mfsk-U"), Lower highest
// ("mfsk-L"); the carrier is the centre of the 16 tones.
//
// A transmission opens with a burst of tone 0 (the coder's response to zero
// bits, which also primes the far interleaver), sends NUL while the queue is
// empty and closes with a NUL and enough zero bits to flush the far
// interleaver and decoder; NUL is never reported as received.
//
// The receiver reads the tones with a symbol-long DFT at 16 timing phases a
// symbol and follows the phase with the most energy in its strongest tone;
// ATC adds the sender's clock rate (ClockErrorPpm). AFC pulls the tones onto
// their bins and, on the steady tone of a preamble, puts tone 0 there; its
// level is the tone's energy over the noise in one tone bin. Text is shown
// only while one pairing of the coded bits fits the code clearly better than
// the other, which noise never does for long.
#include "modem/Modem.h"

#include <memory>
#include <string>

namespace quorvel::modem {

struct MfskProfile {
    double baud = 15.625;
    double toneSpacing = 15.625;  // Hz
    int interleaverDepth = 10;
    std::string onAirName;  // "MFSK16", "MFSK32", "MFSK64"; empty for the scaled speeds
};

// Throws std::invalid_argument for a speed that is not a positive number.
MfskProfile MfskProfileFor(double baud);

// Both throw std::invalid_argument for settings the mode cannot run with
// (sample rate or speed not positive, or the tones not fitting).
std::unique_ptr<IModulator> MakeMfskModulator(const ModemSettings& settings);
std::unique_ptr<IDemodulator> MakeMfskDemodulator(const ModemSettings& settings);

}  // namespace quorvel::modem
