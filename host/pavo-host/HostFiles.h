#pragma once
// Reading and writing the host's files: writes go to a temporary file beside
// the target and replace it by rename, so a failed write leaves the old file.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pavohost {

// Nothing when the file cannot be read; error says why (empty when it does not exist).
// Files beyond maxBytes are refused, so a hostile file cannot exhaust memory.
inline constexpr std::uintmax_t kMaxHostFileBytes = 256u << 20;
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string& error,
                                         std::uintmax_t maxBytes = kMaxHostFileBytes);
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view content, std::string& error);
// Removes the temporary file a killed save of file left behind.
void RemoveStaleTemporary(const std::filesystem::path& file);
// Creates the folder if needed and proves that files can be written in it.
bool EnsureWritableFolder(const std::filesystem::path& folder, std::string& error);

}  // namespace pavohost
