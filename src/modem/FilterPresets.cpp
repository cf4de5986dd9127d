#include "modem/FilterPresets.h"

#include <charconv>
#include <cstdint>

#include "base/Files.h"

namespace quorvel {
namespace {

// Well beyond any list an operator keeps, and small enough to read at once.
constexpr std::uintmax_t kMaxPresetFileBytes = 64u * 1024u * 1024u;

int NumberOrZero(std::string_view field) {
    int value = 0;
    const char* const end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    return ec == std::errc() && ptr == end ? value : 0;
}

}  // namespace

std::vector<std::string> SplitPresetLine(std::string_view line) {
    std::vector<std::string> fields;
    std::string field;
    char quote = 0;
    for (const char c : line) {
        if (quote != 0) {
            if (c == quote) quote = 0;
            field += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            field += c;
        } else if (c == ';') {
            if (!field.empty()) fields.push_back(std::move(field));
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty()) fields.push_back(std::move(field));
    return fields;
}

std::optional<TFilterPreset> ParsePresetLine(std::string_view line) {
    // Four fields at most are worth keeping: a line with more is skipped.
    std::vector<std::string> fields = SplitPresetLine(line);
    if (fields.size() != 4) return std::nullopt;
    TFilterPreset p;
    p.Name = std::move(fields[0]);
    p.Type = NumberOrZero(fields[1]);
    p.Width = NumberOrZero(fields[2]);
    p.Steepness = NumberOrZero(fields[3]);
    return p;
}

std::vector<TFilterPreset> ParsePresets(std::string_view text) {
    std::vector<TFilterPreset> presets;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (auto p = ParsePresetLine(line)) presets.push_back(std::move(*p));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return presets;
}

std::string FormatPresets(const std::vector<TFilterPreset>& presets) {
    std::string text;
    for (const TFilterPreset& p : presets) {
        text += p.Name;
        text += ';';
        text += std::to_string(p.Type);
        text += ';';
        text += std::to_string(p.Width);
        text += ';';
        text += std::to_string(p.Steepness);
        text += "\r\n";
    }
    return text;
}

std::string FilterPresetsPath(std::string_view pluginsDataFolder) {
    return JoinPath(pluginsDataFolder, "Quorvel", "filters.list");
}

std::optional<std::vector<TFilterPreset>> ReadPresetFile(std::string_view path) {
    RemoveStaleTemporary(path);
    if (!FileExists(path)) return std::vector<TFilterPreset>{};
    const std::optional<std::string> bytes = ReadFileBytes(path, kMaxPresetFileBytes);
    if (!bytes) return std::nullopt;
    return ParsePresets(*bytes);
}

bool AppendPresetFile(std::string_view path, const TFilterPreset& preset) {
    std::string text;
    if (FileExists(path)) {
        std::optional<std::string> bytes = ReadFileBytes(path, kMaxPresetFileBytes);
        if (!bytes) return false;
        text = std::move(*bytes);
        if (!text.empty() && text.back() != '\n') text += "\r\n";
    }
    text += FormatPresets({preset});
    return WriteFileAtomic(path, text);
}

bool WritePresetFile(std::string_view path, const std::vector<TFilterPreset>& presets) {
    return WriteFileAtomic(path, FormatPresets(presets));
}

}  // namespace quorvel
