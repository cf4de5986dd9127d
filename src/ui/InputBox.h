#pragma once
// The input box: a prompt, one edit line and "&ОК" / "Отм&ена", built at run
// time. The platform's dialogs show it; the layout is computed here so that
// every view lays it out alike.
#include <string>

#include "ports/WindowSystem.h"
#include "ui/Application.h"

namespace quorvel {

constexpr std::size_t kInputBoxMaxLength = 255;

// True with the edited text (at most 255 characters) on OK; text is left
// alone on cancel.
bool InputBox(TApplication& app, const std::string& caption, const std::string& prompt, bool useOwnerCentre,
              std::string& text);

// Layout in dialog units of the dialog's font. lettersWidth: pixel width of
// the 52 letters A-Z and a-z; textHeight: the font's text height; the prompt's
// and the edit's pixel heights as the view measures them (the prompt wraps
// within PromptMaxWidth).
struct TInputBoxLayout {
    int ClientWidth = 0, ClientHeight = 0;
    int PromptMaxWidth = 0;
    TRect Prompt, Edit, OkButton, CancelButton;
};
TInputBoxLayout LayoutInputBox(int lettersWidth, int textHeight, int promptHeight, int editHeight);

}  // namespace quorvel
