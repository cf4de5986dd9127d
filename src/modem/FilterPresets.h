#pragma once
// The filter preset file: one preset a line, "name;type;width;steepness",
// 8-bit text in the ANSI code page with CR LF line ends.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

struct TFilterPreset {
    std::string Name;  // cp1251, as typed
    int Type = 0;      // 0 low-pass, 1 high-pass, 2 band-pass
    int Width = 0;     // Hz
    int Steepness = 0;
};

// The fields of a line split at ";" outside quoted runs; quotes stay in the
// field, empty fields are dropped.
std::vector<std::string> SplitPresetLine(std::string_view line);
// A preset from a line of exactly four fields; a field that is no number reads 0.
std::optional<TFilterPreset> ParsePresetLine(std::string_view line);
// The well-formed lines of a file's text, in order.
std::vector<TFilterPreset> ParsePresets(std::string_view text);
// The file's text for the presets.
std::string FormatPresets(const std::vector<TFilterPreset>& presets);

// The preset file in the plug-ins data folder.
std::string FilterPresetsPath(std::string_view pluginsDataFolder);

// The file's contents: the presets of a file that can be read, an empty list
// for a missing one, nothing for one that exists and cannot be read (so that
// it is never written over with what little was understood of it).
std::optional<std::vector<TFilterPreset>> ReadPresetFile(std::string_view path);
// Adds one preset at the end of the file, keeping every line already there
// (those the reader skips too); false, with the file untouched, on failure.
bool AppendPresetFile(std::string_view path, const TFilterPreset& preset);
// Rewrites the file as a whole; the old file stays intact when this fails.
bool WritePresetFile(std::string_view path, const std::vector<TFilterPreset>& presets);

}  // namespace quorvel
