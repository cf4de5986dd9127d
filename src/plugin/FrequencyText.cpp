#include "plugin/FrequencyText.h"

namespace quorvel {

std::string FrequencyText(std::int32_t hz) {
    if (hz == 0) return {};
    const std::int64_t value = hz;
    const std::uint64_t magnitude = static_cast<std::uint64_t>(value < 0 ? -value : value);
    const std::string sign = value < 0 ? "-" : "";
    const std::string digits = std::to_string(magnitude);
    if (magnitude < 1000000) {
        // Six places of megahertz, so that 1500 Hz does not read as 150 kHz.
        return sign + "0." + std::string(6 - digits.size(), '0') + digits;
    }
    const std::size_t mhz = digits.size() - 6;
    return sign + digits.substr(0, mhz) + "." + digits.substr(mhz, 3) + "." + digits.substr(mhz + 3);
}

std::string ShortenedText(std::string_view text, std::size_t maxLength) {
    if (text.size() <= maxLength) return std::string(text);
    return std::string(text.substr(0, maxLength > 3 ? maxLength - 3 : 0)) + "...";
}

}  // namespace quorvel
