// Reads arbitrary bytes as the host's macro packet: no crash, no leak; every
// record read can be captioned, linted and have its tags replaced.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tx/MacroTags.h"
#include "tx/MacrosesDataModule.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const auto records = ReadMacroPacket(bytes);
        for (const TMacroRecord& r : records) {
            if (MacroCaption(r).size() < r.Description.size()) std::abort();
            if (MacroHint(r).size() > 50 && r.Text.size() <= 50) std::abort();
            (void)MacroPageIndex(r.Group);
            (void)LintMacroText(r.Text);
            std::string text = r.Text;
            ReplaceTag("<CALL>", "UA3ABC", "", text);
            ReplaceTag("<NAMEX>", "", "OM", text);
        }
        if (ReadMacroPacket(bytes).size() != records.size()) std::abort();  // reading is repeatable
    } catch (const EMacroPacket&) {
    }
    return 0;
}
