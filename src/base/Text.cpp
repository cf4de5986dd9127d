#include "base/Text.h"

namespace quorvel {
namespace {

constexpr const char* kBlanks = " \t\r\n";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string Trim(std::string_view text) {
    const auto b = text.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    const auto e = text.find_last_not_of(kBlanks);
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

bool StaysBelow(std::string_view path) {
    if (path.find(':') != std::string_view::npos) return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        if (path.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace quorvel
