#pragma once
// Radioteletype: ITA2 (Baudot) at 45.45 baud by default, 170 Hz shift.
//
// Each character is a start bit (space), five data bits, least significant
// first (1 = mark), and 1.5 stop bits (mark). LTRS and FIGS shift between the
// two halves of the alphabet; the receiver returns to letters on a space
// (unshift on space) and the sender knows it, so a figure after a space gets
// its FIGS again. Letters are sent in capitals; characters ITA2 has no code
// for are left out. The idle signal is LTRS. The figures are ITA2's, with
// the US $ ! # & on the codes ITA2 leaves unassigned.
// "rtty-L": mark is the lower audio tone (a radio on the lower sideband: the
// usual way, mark the higher radio frequency). "rtty-U": mark the higher
// tone. The carrier is midway between the two.
//
// Keying is phase-continuous with cosine-shaped frequency changes. The
// receiver compares the envelopes of one-bit matched filters on mark and
// space, frames characters from the start bit's edge, and checks the stop
// bit. AFC follows the stronger tone's phase rotation within the AFC width.
#include <memory>

#include "Modem.h"

namespace quorvel::modem {

constexpr double kRttyShiftHz = 170.0;

std::unique_ptr<IModulator> MakeRttyModulator(const ModemSettings& settings);
std::unique_ptr<IDemodulator> MakeRttyDemodulator(const ModemSettings& settings);

// The Baudot code and shift of a code-page character; false when it has none.
struct BaudotCode {
    std::uint8_t code;
    bool figures;   // needs FIGS
    bool both;      // the same in either shift (space, CR, LF)
};
bool ToBaudot(std::uint8_t c, BaudotCode& out);
// The character of a code in a shift; 0 for none (and for LTRS/FIGS).
std::uint8_t FromBaudot(std::uint8_t code, bool figures);

}  // namespace quorvel::modem
