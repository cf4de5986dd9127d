// Reads arbitrary bytes as the host's ADIF log: no crash, and every record
// read is written and read back with the same fields.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Adif.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavohost;
    const TAdifFile log = ParseAdi(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string again = FormatAdifHeader("1.0");
    for (const TAdifRecord& r : log.Records) again += FormatAdifRecord(r) + "\n";
    const TAdifFile reread = ParseAdi(again);
    if (reread.Records.size() != log.Records.size()) std::abort();
    for (std::size_t i = 0; i < log.Records.size(); ++i) {
        const auto& a = log.Records[i].Fields;
        const auto& b = reread.Records[i].Fields;
        if (a.size() != b.size()) std::abort();
        for (std::size_t k = 0; k < a.size(); ++k)
            if (a[k].Name != b[k].Name || a[k].Value != b[k].Value) std::abort();
    }
    return 0;
}
