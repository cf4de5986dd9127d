#include "plugin/FrequencyText.h"

namespace quorvel {

std::string FrequencyText(std::int32_t hz) {
    if (hz == 0) return {};
    const std::int64_t value = hz;
    const std::uint64_t magnitude = static_cast<std::uint64_t>(value < 0 ? -value : value);
    std::string s = std::to_string(magnitude);
    if (magnitude >= 1000000) {
        s.insert(std::to_string(magnitude / 1000000).size(), ".");
        s.insert(s.size() - 3, ".");
    } else {
        // Six places of megahertz, so that 1500 Hz does not read as 150 kHz.
        s.insert(0, 6 - s.size(), '0');
        s.insert(0, "0.");
    }
    if (value < 0) s.insert(0, "-");
    return s;
}

std::string ShortenedText(std::string_view text, std::size_t maxLength) {
    if (text.size() <= maxLength) return std::string(text);
    return std::string(text.substr(0, maxLength > 3 ? maxLength - 3 : 0)) + "...";
}

}  // namespace quorvel
