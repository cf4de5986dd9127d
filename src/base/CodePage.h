#pragma once
// Text inside the system is 8-bit Windows-1251 (std::string of cp1251 bytes);
// these are the only conversions, used at the edges (engine, XML, views).
#include <string>
#include <string_view>

namespace quorvel {

// One cp1251 byte to its Unicode code point (undefined 0x98 maps to U+0098).
char32_t Cp1251ToUnicode(unsigned char c);
// Unicode code point to cp1251; characters outside the code page become '?'.
char UnicodeToCp1251(char32_t u);

std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view text);
std::u16string Cp1251ToUtf16(std::string_view text);
std::string Utf16ToCp1251(std::u16string_view text);
// Whole Unicode, for edges that are not cp1251 (the engine's simulation,
// scripts); malformed input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

// Locale upper/lower case of the Russian code page: Latin, Cyrillic, Ё/ё.
char UpperCp1251(char c);
char LowerCp1251(char c);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// Source files hold the Russian captions as UTF-8 literals; this gives the
// cp1251 text the system works with.
inline std::string Ru(std::string_view utf8) { return Utf8ToCp1251(utf8); }

}  // namespace quorvel
