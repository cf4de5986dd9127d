#include "HostText.h"

#include <algorithm>

#include "base/CodePage.h"

namespace pavohost {

std::string Trim(std::string_view text) {
    const auto b = text.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    const auto e = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(b, e - b + 1));
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return UpperAscii(a) == UpperAscii(b); }

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto at = text.find(separator, start);
        parts.emplace_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

std::string ToCp1251(std::string_view utf8) { return quorvel::Utf8ToCp1251(utf8); }

std::string ToUtf8(std::string_view cp1251) { return quorvel::Cp1251ToUtf8(cp1251); }

std::string Hex(std::uintptr_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + out;
}

}  // namespace pavohost
