// Reads arbitrary bytes as the host's ADIF log: no crash, and every record
// read is written and read back with the same fields, as the ADI file holds
// them: values in their ASCII form, _INTL fields left out, and an empty
// field counted as an absent one.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "Adif.h"

namespace {

using namespace pavohost;

std::vector<TAdifField> AsWritten(const TAdifRecord& r) {
    std::vector<TAdifField> out;
    for (const auto& f : r.Fields) {
        if (f.Value.empty() || IsIntlField(f.Name)) continue;
        TAdifField ascii = f;
        ascii.Value = AdifAscii(f.Value);
        if (!ascii.Value.empty()) out.push_back(std::move(ascii));
    }
    return out;
}

std::vector<TAdifField> Present(const TAdifRecord& r) {
    std::vector<TAdifField> out;
    for (const auto& f : r.Fields)
        if (!f.Value.empty()) out.push_back(f);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TAdifFile log = ParseAdi(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string again = FormatAdifHeader("1.0");
    for (const TAdifRecord& r : log.Records) again += FormatAdifRecord(r) + "\n";
    const TAdifFile reread = ParseAdi(again);
    std::vector<std::vector<TAdifField>> expected, got;
    for (const TAdifRecord& r : log.Records)
        if (auto fields = AsWritten(r); !fields.empty()) expected.push_back(std::move(fields));
    for (const TAdifRecord& r : reread.Records)
        if (auto fields = Present(r); !fields.empty()) got.push_back(std::move(fields));
    if (expected.size() != got.size()) std::abort();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].size() != got[i].size()) std::abort();
        for (std::size_t k = 0; k < expected[i].size(); ++k)
            if (expected[i][k].Name != got[i][k].Name || expected[i][k].Value != got[i][k].Value) std::abort();
    }
    return 0;
}
