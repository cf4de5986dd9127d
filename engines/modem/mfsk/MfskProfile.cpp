#include "Mfsk.h"

#include <cmath>
#include <stdexcept>

namespace quorvel::modem {

MfskProfile MfskProfileFor(double baud) {
    if (!std::isfinite(baud) || baud <= 0) throw std::invalid_argument("MFSK speed must be a positive number");
    struct Standard {
        double baud;
        const char* name;
    };
    static constexpr Standard kStandard[] = {{15.625, "MFSK16"}, {31.25, "MFSK32"}, {62.5, "MFSK64"}};
    MfskProfile p;
    p.baud = baud;
    p.toneSpacing = baud;
    p.interleaverDepth = baud <= 62.5 * 1.001 ? 10 : 20;
    for (const auto& s : kStandard)
        if (std::abs(baud - s.baud) < s.baud * 1e-3) p.onAirName = s.name;
    return p;
}

}  // namespace quorvel::modem
