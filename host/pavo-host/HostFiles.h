#pragma once
// Reading and writing the host's files: writes go to a temporary file beside
// the target and replace it by rename, so a failed write leaves the old file.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pavohost {

// Nothing when the file cannot be read; error says why (empty when it does not exist).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string& error);
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view content, std::string& error);
// Creates the folder if needed and proves that files can be written in it.
bool EnsureWritableFolder(const std::filesystem::path& folder, std::string& error);

}  // namespace pavohost
