#pragma once
#include <cmath>
#include <cstdint>

namespace quorvel {

// The framework's Round: halves go to the even neighbour (32767.5 -> 32768),
// independent of the floating-point environment's rounding mode.
inline std::int64_t Round(double value) {
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<std::int64_t>(whole);
}

}  // namespace quorvel
