// kvtlibb: key filters for the contact fields and the text to send.
//
// Russian letters become the Latin letters of the Russian telegraph code
// (MTK-2, the RTTY alphabet, which also matches Russian Morse for most
// letters): one key, one character, so a typed text keeps its length and
// reads back unambiguously. The five letters that code lacks take the digits
// Russian operators write for them in Latin text.
#define PAVO_HOSTLIBS_BUILD
#include "pavo/hostlibs.h"

namespace {

// Latin upper-case letter for cp1251 0xC0 (А) .. 0xDF (Я).
constexpr char kUpper[32] = {
    'A', 'B', 'W', 'G', 'D', 'E', 'V', 'Z',  // А Б В Г Д Е Ж З
    'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',  // И Й К Л М Н О П
    'R', 'S', 'T', 'U', 'F', 'H', 'C', '4',  // Р С Т У Ф Х Ц Ч
    '6', '6', 'X', 'Y', 'X', 'E', 'U', 'Q',  // Ш Щ Ъ Ы Ь Э Ю Я
};

char Latin(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0xC0 && u <= 0xDF) return kUpper[u - 0xC0];
    if (u >= 0xE0) {
        const char l = kUpper[u - 0xE0];
        return l >= 'A' && l <= 'Z' ? static_cast<char>(l - 'A' + 'a') : l;
    }
    if (u == 0xA8) return 'E';  // Ё
    if (u == 0xB8) return 'e';  // ё
    return c;
}

}  // namespace

extern "C" {

PAVO_HOSTLIB_API int32_t PAVO_CALL lbReplaceChar(char c, char* out) {
    if (out == nullptr) return 0;
    *out = Latin(c);
    return *out != c ? 1 : 0;
}

PAVO_HOSTLIB_API int32_t PAVO_CALL lbReplaceIntegerChar(char c, char* out) {
    if (out == nullptr) return 0;
    const auto u = static_cast<unsigned char>(c);
    // Editing keys (backspace, paste, ...) arrive as control characters.
    *out = (c >= '0' && c <= '9') || u < 0x20 ? c : '\0';
    return *out != '\0' ? 1 : 0;
}
}
