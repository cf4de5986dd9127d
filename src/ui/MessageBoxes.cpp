#include "ui/MessageBoxes.h"

#include "ports/Dialogs.h"

namespace quorvel {

int AppMessageBox(TApplication& app, const std::string& text, int flags) {
    return AppMessageBoxCaption(app, text, app.Title, flags);
}

int AppMessageBoxCaption(TApplication& app, const std::string& text, const std::string& caption, int flags) {
    IDialogs* dialogs = app.Platform().Dialogs;
    if (dialogs == nullptr) return IDOK;
    TModalScope modal(app);
    return dialogs->MessageBox(caption, text, flags | MB_TOPMOST);
}

}  // namespace quorvel
