#include "plugin/ContactText.h"

#include <array>
#include <cmath>
#include <stdexcept>

#include "modem/ModemText.h"

namespace quorvel {
namespace {

struct TModeNameRow {
    std::string_view ModeText;
    std::string_view HostName;
    bool SpeedSuffix;
};

constexpr std::array<TModeNameRow, 11> kModeNames{{
    {"GMSK", "GMSK", true},
    {"FSK", "FSK", true},
    {"FSK-W", "FSK-W", true},
    {"BPSK", "BPSK", true},
    {"bpsk", "BPSK", true},
    {"rtty-L", "RTTY", false},
    {"rtty-U", "RTTY", false},
    {"mfsk-L", "MFSK", true},
    {"mfsk-U", "MFSK", true},
    {"qpsk-L", "QPSK", true},
    {"qpsk-U", "QPSK", true},
}};

}  // namespace

std::string HostModeName(std::string_view modeText, std::string_view speedText, char decimalSeparator) {
    for (const TModeNameRow& row : kModeNames) {
        if (row.ModeText != modeText) continue;
        std::string name(row.HostName);
        if (!row.SpeedSuffix || speedText.empty()) return name;
        const std::optional<double> speed = ParseSpeedText(speedText, decimalSeparator);
        if (!speed) throw std::invalid_argument("'" + std::string(speedText) + "' is not a valid floating point value");
        const double whole = std::floor(*speed);
        const double rounded = *speed - whole < 0.5 ? whole : std::ceil(*speed);
        if (std::fabs(rounded) >= 1e15) throw std::invalid_argument("'" + std::string(speedText) + "' is out of range");
        return name + std::to_string(static_cast<long long>(rounded));
    }
    return std::string(modeText);
}

}  // namespace quorvel
