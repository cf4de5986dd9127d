#pragma once
// Text helpers on bytes (ASCII case, blanks " \t\r\n"), for every folder and
// for the reference host.
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Without leading and trailing blanks.
std::string Trim(std::string_view text);
// a-z to A-Z; other bytes as they are.
std::string UpperAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Splits on the character, keeping empty parts.
std::vector<std::string> Split(std::string_view text, char separator);

// A relative path that, appended to a folder, stays below it: no ".." part
// and no drive (":"); either slash separates.
bool StaysBelow(std::string_view path);

}  // namespace quorvel
