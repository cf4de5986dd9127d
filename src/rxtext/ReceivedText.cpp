#include "rxtext/ReceivedText.h"

#include <bitset>

#include "base/CodePage.h"

namespace quorvel {
namespace {

std::bitset<256> AllowedTable() {
    std::bitset<256> table;
    for (unsigned char c : AllowedRxChars) table.set(c);
    return table;
}

bool IsOpeningDelimiter(char c) { return c == '\n' || c == ' ' || c == '('; }

bool IsClosingDelimiter(char c) { return c == '!' || c == '.' || c == ',' || c == ')' || c == ' '; }

}  // namespace

bool IsAllowedRxChar(char c) {
    static const std::bitset<256> table = AllowedTable();
    return table.test(static_cast<unsigned char>(UpperCp1251(c)));
}

std::optional<char> RxCharToCp1251(std::u16string_view strChar) {
    if (strChar.empty()) return std::nullopt;
    const char16_t first = strChar[0];
    if (first < 0x80) return static_cast<char>(first);
    return Utf16ToCp1251(strChar).front();
}

void AppendToPane(TRichEdit& pane, std::string_view text) {
    pane.SetSelStart(pane.GetTextLen());
    pane.SetSelText(text);
}

void DeleteLastFromPane(TRichEdit& pane) {
    const int length = pane.GetTextLen();
    if (length == 0) return;
    int count = 1;
    if (pane.Text()[static_cast<std::size_t>(length) - 1] == '\n' && length >= 2) count = 2;
    pane.SetSelStart(length - count);
    pane.SetSelLength(count);
    pane.SetSelText({});
}

bool ReplaceSmiley(TRichEdit& pane, int smileyPictureId) {
    const int length = pane.GetTextLen();
    if (length < 5) return false;  // no room for a delimiter before the "hi"
    const std::string& text = pane.Text();
    const auto at = static_cast<std::size_t>(length - 5);
    if (!IsOpeningDelimiter(text[at]) || !IsClosingDelimiter(text[at + 3])) return false;
    if (LowerCp1251(text[at + 1]) != 'h' || LowerCp1251(text[at + 2]) != 'i') return false;
    pane.SetSelStart(length - 4);
    pane.SetSelLength(2);
    pane.SetSelText({});
    pane.InsertPicture(smileyPictureId);
    return true;
}

void ShowRxChar(TRichEdit& pane, char c, TColor color, bool smileys, int smileyPictureId) {
    // The caret goes to the end before the colour is set, so that the colour
    // never repaints text the operator has selected.
    pane.SetSelStart(pane.GetTextLen());
    pane.SetInsertColor(color);
    if (c == '\n') return;
    if (c == '\b') {
        DeleteLastFromPane(pane);
        return;
    }
    const char text[1] = {c};
    AppendToPane(pane, std::string_view(text, 1));
    if (smileys) ReplaceSmiley(pane, smileyPictureId);
    pane.SetSelLength(0);
}

}  // namespace quorvel
