#include "rxtext/TextFileTransfer.h"

#include <algorithm>

#include "base/Files.h"

namespace quorvel {

std::string BuildFileFrame(std::string_view name, const std::vector<std::string>& lines) {
    std::size_t size = kFileStartMarker.size() + name.size() + 6 + kFileEndMarker.size();
    for (const std::string& line : lines) size += line.size() + 2;
    std::string frame;
    frame.reserve(size);
    frame.append(kFileStartMarker).append("\r\n").append(name).append("\r\n");
    for (const std::string& line : lines) frame.append(line).append("\r\n");
    frame.append("\r\n").append(kFileEndMarker);
    return frame;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

TFileFrameEvent FeedFileFrame(std::string& buffer, bool receiving, char c) {
    buffer += c;
    if (receiving) return buffer.ends_with(kFileEndMarker) ? TFileFrameEvent::Ended : TFileFrameEvent::None;
    if (buffer.ends_with(kFileStartMarker)) return TFileFrameEvent::Started;
    // Idle text before the last 8 characters can no longer be part of a marker.
    constexpr std::size_t keep = kFileStartMarker.size() - 1;
    if (buffer.size() > keep) buffer.erase(0, buffer.size() - keep);
    return TFileFrameEvent::None;
}

namespace {

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

std::optional<TReceivedFile> ParseReceivedFile(std::string_view body) {
    std::vector<std::string> lines = SplitLines(body);
    const auto first = std::find_if_not(lines.begin(), lines.end(), [](const std::string& l) { return IsBlank(l); });
    if (first == lines.end()) return std::nullopt;
    TReceivedFile file;
    file.Name = *first;
    file.Lines.assign(std::make_move_iterator(first + 1), std::make_move_iterator(lines.end()));
    return file;
}

std::string ReceivedFileText(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) text.append(line).append("\r\n");
    return text;
}

namespace {

std::string ReceivedFileTemporary(std::string_view folder) {
    return std::string(folder) + ".tmp";
}

}  // namespace

bool StoreReceivedFile(std::string_view folder, std::string_view name, std::string_view text) {
    if (folder.empty() || IsPathDelimiter(folder.back())) return false;
    const std::string path = JoinPath(folder, name);
    // A name that still climbs out of the folder is refused, not followed.
    if (ExtractFileDir(path) != folder) return false;
    return WriteFileAtomic(path, text, ReceivedFileTemporary(folder));
}

void RemoveStaleReceivedFile(std::string_view folder) {
    if (folder.empty() || IsPathDelimiter(folder.back())) return;
    const std::string temp = ReceivedFileTemporary(folder);
    if (FileExists(temp)) DeleteFile(temp);
}

}  // namespace quorvel
