// Reads arbitrary bytes as a filter preset file: no crash, and every preset
// that was read is written and read back unchanged, the way the dialog's save
// rewrites the list.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "modem/FilterPresets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto presets = ParsePresets(text);
    const auto again = ParsePresets(FormatPresets(presets));
    if (again.size() != presets.size()) std::abort();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const TFilterPreset& a = presets[i];
        const TFilterPreset& b = again[i];
        if (a.Name != b.Name || a.Type != b.Type || a.Width != b.Width || a.Steepness != b.Steepness) std::abort();
    }
    return 0;
}
