#include "base/CodePage.h"

#include <array>

namespace quorvel {
namespace {

// Code points of cp1251 bytes 0x80-0xBF; 0xC0-0xFF are U+0410-U+044F.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void AppendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Calls emit with each code point of s; a malformed sequence gives kInvalid
// and decoding resumes at the next byte.
template <class Emit>
void DecodeUtf8(std::string_view s, Emit&& emit) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra = 0;
        char32_t u = 0;
        if (b < 0x80) { u = b; }
        else if ((b & 0xE0) == 0xC0) { u = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { u = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { u = b & 0x07; extra = 3; }
        else { emit(kInvalid); ++i; continue; }  // stray continuation or invalid lead byte
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            u = (u << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        // An overlong form is malformed too: it would smuggle in a NUL or a
        // character that checks on the shortest form never see.
        static constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || u < kShortest[extra] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) {
            emit(kInvalid);
            ++i;
            continue;
        }
        emit(u);
        i += extra + 1;
    }
}

}  // namespace

char32_t Cp1251ToUnicode(unsigned char c) {
    if (c < 0x80) return c;
    if (c >= 0xC0) return 0x0410 + (c - 0xC0);
    return kHigh[c - 0x80];
}

char UnicodeToCp1251(char32_t u) {
    if (u < 0x80) return static_cast<char>(u);
    if (u >= 0x0410 && u <= 0x044F) return static_cast<char>(0xC0 + (u - 0x0410));
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u) return static_cast<char>(0x80 + i);
    return '?';
}

std::string Utf8ToCp1251(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    DecodeUtf8(s, [&](char32_t u) { out += u == kInvalid ? '?' : UnicodeToCp1251(u); });
    return out;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    DecodeUtf8(s, [&](char32_t u) {
        if (u == kInvalid) {
            out += u'\uFFFD';
        } else if (u >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(u);
        }
    });
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;  // an unpaired surrogate is no character
        }
        AppendUtf8(out, u);
    }
    return out;
}

std::string Cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) AppendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::u16string Cp1251ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text) out += static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf16ToCp1251(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {  // a pair is one character
            ++i;
            out += '?';
            continue;
        }
        out += UnicodeToCp1251(c);
    }
    return out;
}

char UpperCp1251(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
    if (b >= 0xE0) return static_cast<char>(b - 32);  // а-я
    switch (b) {
        case 0xB8: return static_cast<char>(0xA8);  // ё
        case 0x90: return static_cast<char>(0x80);  // ђ
        case 0x83: return static_cast<char>(0x81);  // ѓ
        case 0x9A: return static_cast<char>(0x8A);  // љ
        case 0x9C: return static_cast<char>(0x8C);  // њ
        case 0x9D: return static_cast<char>(0x8D);  // ќ
        case 0x9E: return static_cast<char>(0x8E);  // ћ
        case 0x9F: return static_cast<char>(0x8F);  // џ
        case 0xA2: return static_cast<char>(0xA1);  // ў
        case 0xBC: return static_cast<char>(0xA3);  // ј
        case 0xB4: return static_cast<char>(0xA5);  // ґ
        case 0xBA: return static_cast<char>(0xAA);  // є
        case 0xBF: return static_cast<char>(0xAF);  // ї
        case 0xB3: return static_cast<char>(0xB2);  // і
        case 0xBE: return static_cast<char>(0xBD);  // ѕ
        default: return c;
    }
}

char LowerCp1251(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
    if (b >= 0xC0 && b <= 0xDF) return static_cast<char>(b + 32);
    // The few non-Russian Cyrillic letters: invert the upper-case mapping.
    for (int i = 0x80; i < 0xC0; ++i)
        if (i != b && UpperCp1251(static_cast<char>(i)) == c) return static_cast<char>(i);
    return c;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperCp1251(c);
    return out;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerCp1251(c);
    return out;
}

}  // namespace quorvel
