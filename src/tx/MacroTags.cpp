#include "tx/MacroTags.h"

#include <ctime>

#include "base/CodePage.h"

namespace quorvel {
namespace {

bool Digits(std::string_view s) {
    if (s.empty() || s.size() > 2) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int Number(std::string_view s) {
    int n = 0;
    for (char c : s) n = n * 10 + (c - '0');
    return n;
}

// The hour of "H:mm" or "H:mm:ss", or -1.
int HourOf(std::string_view t) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    std::string_view parts[3];
    std::size_t count = 0;
    while (count < 3) {
        const auto colon = t.find(':');
        parts[count++] = t.substr(0, colon);
        if (colon == std::string_view::npos) break;
        t.remove_prefix(colon + 1);
        if (count == 3) return -1;  // a fourth part
    }
    if (count < 2) return -1;
    for (std::size_t i = 0; i < count; ++i)
        if (!Digits(parts[i])) return -1;
    const int h = Number(parts[0]), m = Number(parts[1]), s = count == 3 ? Number(parts[2]) : 0;
    return h < 24 && m < 60 && s < 60 ? h : -1;
}

// Tags are ASCII, so folding ASCII letters is all their matching needs.
std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

bool IsUpperTag(std::string_view tag) {
    for (char c : tag)
        if (c >= 'a' && c <= 'z') return false;
    return true;
}

}  // namespace

void ReplaceTag(std::string_view tag, std::string_view value, std::string_view emptyValue, std::string& text) {
    if (tag.empty() || text.size() < tag.size()) return;
    const std::string key = AsciiLower(tag);
    if (text.find(key.front()) == std::string::npos) return;
    const std::string lowered = AsciiLower(text);
    const std::string_view with = value.empty() ? emptyValue : value;
    std::size_t at = lowered.find(key);
    if (at == std::string::npos) return;
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (; at != std::string::npos; at = lowered.find(key, from)) {
        out.append(text, from, at - from);
        out.append(with);
        from = at + key.size();
    }
    out.append(text, from, std::string::npos);
    text = std::move(out);
}

std::string GreetingFor(std::string_view time) {
    if (time.empty()) return {};
    const int h = HourOf(time);
    if (h < 0) throw EConvertError("'" + std::string(time) + "' is not a valid time");
    if (h >= 4 && h <= 12) return "GM";
    if (h >= 13 && h <= 17) return "GA";
    return "GE";
}

std::string LongTimeText(int secondsOfDay) {
    secondsOfDay = ((secondsOfDay % 86400) + 86400) % 86400;
    const int h = secondsOfDay / 3600, m = secondsOfDay / 60 % 60, s = secondsOfDay % 60;
    std::string out = std::to_string(h) + ":";
    out += static_cast<char>('0' + m / 10);
    out += static_cast<char>('0' + m % 10);
    out += ':';
    out += static_cast<char>('0' + s / 10);
    out += static_cast<char>('0' + s % 10);
    return out;
}

int LocalSecondsOfDay() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);  // the UI thread is the only caller
    if (local == nullptr) return 0;
    return local->tm_hour * 3600 + local->tm_min * 60 + local->tm_sec;
}

std::vector<TMacroTagWarning> LintMacroText(std::string_view text) {
    std::vector<TMacroTagWarning> warnings;
    for (std::size_t open = text.find('<'); open != std::string_view::npos; open = text.find('<', open + 1)) {
        const std::size_t close = text.find_first_of("<>", open + 1);
        if (close == std::string_view::npos || text[close] != '>' || close == open + 1) continue;
        const std::string_view tag = text.substr(open, close - open + 1);
        if (tag.find_first_of(" \r\n\t") != std::string_view::npos) continue;  // text, not a tag
        const std::string upper = UpperCase(tag);
        bool known = false;
        std::size_t index = 0;
        for (; index < std::size(kMacroTags); ++index)
            if (kMacroTags[index] == upper) {
                known = true;
                break;
            }
        if (!known)
            warnings.push_back({std::string(tag), true});
        else if (index >= std::size(kMacroTags) - kMacroControlTags && !IsUpperTag(tag))
            warnings.push_back({std::string(tag), false});
    }
    return warnings;
}

}  // namespace quorvel
