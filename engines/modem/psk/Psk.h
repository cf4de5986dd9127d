#pragma once
// Phase-shift keying with the Varicode alphabet, 31.25 to 500 baud.
//
// "bpsk": standard BPSK31/63/125/250/500. A 0 bit is a phase reversal, a 1
//   none; characters are Varicode words followed by "00". Reversals are
//   cosine-shaped over one symbol, so the occupied bandwidth is about the
//   baud rate. A transmission opens with reversals (idle zeros) and closes
//   with unmodulated carrier, faded out over one symbol.
//   It carries codes 0-127; others are left out (but echoed).
// "BPSK": the same signal carrying TVaricode::Extended(), this engine's
//   alphabet for the whole code page (Cyrillic included).
// "qpsk-U"/"qpsk-L": QPSK31 and faster, standard alphabet. The bit stream goes through the
//   rate-1/2 K=5 code (polynomials 0x17 and 0x19) and each pair of code bits
//   picks the phase change of one symbol: 00 180 degrees, 01 +90, 10 -90,
//   11 none; the lower sideband turns the +-90 the other way. It closes with
//   a run of zeros that flushes the receiver's decoder, then fades out.
//
// The receiver mixes the carrier to baseband, decimates to about 16 samples
// a symbol, applies the matched (cosine) filter, and recovers the symbol
// clock with a Gardner detector; ATC adds the integral term that follows the
// sender's clock. AFC has two steps: a spectrum search within the AFC width
// that jumps to a station it finds, and a fine loop on the squared (BPSK) or
// fourth-power (QPSK) phase change. A squelch on the symbols' constant
// envelope keeps noise from printing, and characters are held back by the
// squelch's own window so that the noise after a signal ends never prints.
#include <memory>

#include "Modem.h"
#include "Varicode.h"

namespace quorvel::modem {

enum class PskKind : std::uint8_t { Bpsk, Qpsk };

std::unique_ptr<IModulator> MakePskModulator(const ModemSettings& settings, PskKind kind, const TVaricode& alphabet);
std::unique_ptr<IDemodulator> MakePskDemodulator(const ModemSettings& settings, PskKind kind,
                                                 const TVaricode& alphabet);

}  // namespace quorvel::modem
