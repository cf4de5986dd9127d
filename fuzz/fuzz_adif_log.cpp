// Reads arbitrary bytes as the host's ADIF log: no crash, and every record
// read is written and read back with the same fields (an empty field is an
// absent one, and is not written).
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "Adif.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavohost;
    const TAdifFile log = ParseAdi(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string again = FormatAdifHeader("1.0");
    for (const TAdifRecord& r : log.Records) again += FormatAdifRecord(r) + "\n";
    const TAdifFile reread = ParseAdi(again);
    std::size_t written = 0;  // a record of empty fields only is written as nothing
    for (const TAdifRecord& r : log.Records)
        for (const auto& f : r.Fields)
            if (!f.Value.empty()) {
                ++written;
                break;
            }
    if (reread.Records.size() != written) std::abort();
    auto present = [](const TAdifRecord& r) {
        std::vector<TAdifField> out;
        for (const auto& f : r.Fields)
            if (!f.Value.empty()) out.push_back(f);
        return out;
    };
    for (std::size_t i = 0, k = 0; i < log.Records.size(); ++i) {
        const auto a = present(log.Records[i]);
        if (a.empty()) continue;
        const auto b = present(reread.Records[k++]);
        if (a.size() != b.size()) std::abort();
        for (std::size_t k = 0; k < a.size(); ++k)
            if (a[k].Name != b[k].Name || a[k].Value != b[k].Value) std::abort();
    }
    return 0;
}
