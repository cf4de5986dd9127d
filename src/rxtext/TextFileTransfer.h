#pragma once
// Text files over the air: the frame a file is sent in, and the receiver's
// watch for it in the received text.
//
//   "!ZQHWBSTS" CR LF, name CR LF, each body line CR LF, CR LF, "!ZQHWBENS"
//
// The receiver looks for each marker only where it can complete, at the end
// of the text, and keeps no more than that while idle.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

inline constexpr std::string_view kFileStartMarker = "!ZQHWBSTS";
inline constexpr std::string_view kFileEndMarker = "!ZQHWBENS";

// The frame of a file called name (no folders) holding lines.
std::string BuildFileFrame(std::string_view name, const std::vector<std::string>& lines);

// Lines ended by CR, LF or CR LF; an end of line at the very end adds no
// empty line.
std::vector<std::string> SplitLines(std::string_view text);

enum class TFileFrameEvent { None, Started, Ended };

// Appends c to the buffer and tells whether a marker is now complete:
// Started while idle (the caller starts receiving and empties the buffer),
// Ended while receiving (the buffer then ends with the end marker). Only a
// marker at the very end can be new, so this fires at the same character as
// a search of the whole buffer would; while idle the buffer keeps just the
// characters that may still begin a start marker.
TFileFrameEvent FeedFileFrame(std::string& buffer, bool receiving, char c);

struct TReceivedFile {
    std::string Name;                // as announced, before any renaming
    std::vector<std::string> Lines;  // written each with CR LF
};

// What a completed frame holds (the buffer without the end marker): blank
// lines before the name line are skipped; nothing when no line is left.
std::optional<TReceivedFile> ParseReceivedFile(std::string_view body);

// The received file's bytes on disk.
std::string ReceivedFileText(const std::vector<std::string>& lines);

// Stores text as the file name (already made plain) in the received-files
// folder; false when it cannot be stored, and then nothing on disk changed.
// It is written first as "<folder>.tmp" beside the folder, so a reception
// killed half-way never leaves a temporary among the received files under a
// name a peer could also have sent.
bool StoreReceivedFile(std::string_view folder, std::string_view name, std::string_view text);

// Removes what a reception killed half-way left behind.
void RemoveStaleReceivedFile(std::string_view folder);

}  // namespace quorvel
