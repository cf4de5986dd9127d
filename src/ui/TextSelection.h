#pragma once
// The selection of a text control (edits, memos, rich edits): start and
// length in bytes, kept within the text. One home for what every text
// control does with its selection.
#include <algorithm>
#include <cstddef>
#include <string>

namespace quorvel {

struct TTextSelection {
    int Start = 0, Length = 0;

    // The caret at start (within the text), nothing selected.
    void SetStart(int start, int textLength) {
        Start = std::clamp(start, 0, textLength);
        Length = 0;
    }
    void SetLength(int length, int textLength) { Length = std::clamp(length, 0, textLength - Start); }
    void All(int textLength) {
        Start = 0;
        Length = textLength;
    }
    std::string Of(const std::string& text) const {
        return text.substr(static_cast<std::size_t>(Start), static_cast<std::size_t>(Length));
    }
};

}  // namespace quorvel
