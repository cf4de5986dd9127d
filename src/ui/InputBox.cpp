#include "ui/InputBox.h"

#include "ports/Dialogs.h"

namespace quorvel {

bool InputBox(TApplication& app, const std::string& caption, const std::string& prompt, bool useOwnerCentre,
              std::string& text) {
    IDialogs* dialogs = app.Platform().Dialogs;
    if (dialogs == nullptr) return false;
    std::string edited = text.substr(0, kInputBoxMaxLength);
    bool ok = false;
    {
        TModalScope modal(app);
        ok = dialogs->InputBox(caption, prompt, useOwnerCentre, edited);
    }
    if (!ok) return false;
    if (edited.size() > kInputBoxMaxLength) edited.resize(kInputBoxMaxLength);
    text = std::move(edited);
    return true;
}

TInputBoxLayout LayoutInputBox(int lettersWidth, int textHeight, int promptHeight, int editHeight) {
    const int unitX = lettersWidth / 52;  // average character width
    const int unitY = textHeight;
    auto dx = [unitX](int units) { return units * unitX / 4; };
    auto dy = [unitY](int units) { return units * unitY / 8; };
    TInputBoxLayout l;
    l.ClientWidth = dx(180);
    l.PromptMaxWidth = dx(164);
    l.Prompt = {dx(8), dy(8), dx(8) + l.PromptMaxWidth, dy(8) + promptHeight};
    const int editTop = l.Prompt.Bottom + 5;
    l.Edit = {dx(8), editTop, dx(8) + dx(164), editTop + editHeight};
    const int buttonTop = l.Edit.Bottom + 15;
    const int buttonWidth = dx(50), buttonHeight = dy(14);
    l.OkButton = {dx(38), buttonTop, dx(38) + buttonWidth, buttonTop + buttonHeight};
    l.CancelButton = {dx(92), buttonTop, dx(92) + buttonWidth, buttonTop + buttonHeight};
    l.ClientHeight = l.OkButton.Bottom + 13;
    return l;
}

}  // namespace quorvel
