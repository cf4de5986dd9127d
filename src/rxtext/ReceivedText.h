#pragma once
// The pieces of the received-text pipeline that need no window: which engine
// characters are let through, how characters wait while the operator clicks in
// a pane, and what one character does to a pane (line ends, backspace, the
// "hi" smiley). The window's OnRxChar handler puts them together.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/RichEdit.h"

namespace quorvel {

// Selective reception: the cp1251 codes let through, tested upper-cased.
inline constexpr std::array<unsigned char, 103> AllowedRxChars = {
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9',                                   //
    8, 9, 10, 13,                                                                       //
    '!', '"', '\'', '@', '#', '$', '%', '&', '(', ')', ',', ':', ';', '{', '}',         //
    '[', ']', '?', '=', '+', '|', '\\', '/', '.', ' ', '-', '~', '^', '*', '_',         //
    'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',     //
    'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z',                                   //
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0xA8};

// Whether selective reception lets c through (its upper case is allowed).
bool IsAllowedRxChar(char c);

// The engine's one-character UTF-16 string as one cp1251 character; nothing
// when the string is empty.
std::optional<char> RxCharToCp1251(std::u16string_view strChar);

// Receive panes: 1 to 4 are the extra channels' panes, anything else the main one.
inline int PaneIndexForChannel(int channel) { return channel >= 1 && channel <= 4 ? channel : 0; }

// Where a received character came from: its channel, and whether it was the
// echo of the station's own transmission (bTX when it arrived).
struct TRxOrigin {
    std::int16_t Channel = 0;
    bool Echo = false;
};

// Characters received while the operator holds the mouse button in a pane
// (HeldText), each with its origin, so that it is later shown in its own pane
// and colour.
class THeldText {
public:
    const std::string& Text() const { return text_; }
    bool Empty() const { return text_.empty(); }
    void Add(char c, TRxOrigin origin) {
        text_ += c;
        origins_.push_back(origin);
    }
    // Hands every held character to process(c, origin) in arrival order and
    // empties the list. A character whose processing throws counts as done;
    // the ones after it stay held for the next flush.
    template <class F>
    void Flush(F&& process) {
        std::string text;
        std::vector<TRxOrigin> origins;
        text.swap(text_);
        origins.swap(origins_);
        std::size_t i = 0;
        try {
            for (; i < text.size(); ++i) process(text[i], origins[i]);
        } catch (...) {
            // Whatever arrived meanwhile goes behind the ones still waiting.
            text_ = text.substr(i + 1) + text_;
            origins_.insert(origins_.begin(), origins.begin() + static_cast<std::ptrdiff_t>(i + 1), origins.end());
            throw;
        }
    }

private:
    std::string text_;
    std::vector<TRxOrigin> origins_;
};

// Shows one character at the end of a receive pane in the given colour: a line
// feed shows nothing, a backspace removes the last character (a whole line
// break), a carriage return becomes a line break; with smileys on, a "hi"
// between delimiters becomes the picture. The caret ends at the newest text.
void ShowRxChar(TRichEdit& pane, char c, TColor color, bool smileys, int smileyPictureId);

// Removes the last character of the pane, or the whole CR LF it ends.
void DeleteLastFromPane(TRichEdit& pane);

// Appends text at the end of the pane in its insertion colour, caret after it.
void AppendToPane(TRichEdit& pane, std::string_view text);

// Looks one character behind the end for a delimited "hi" (any case) and
// replaces the two letters by the picture. True when it did.
bool ReplaceSmiley(TRichEdit& pane, int smileyPictureId);

}  // namespace quorvel
