#include "HostText.h"


#include "base/CodePage.h"

namespace pavohost {

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
