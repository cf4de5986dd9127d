#include "ui/Forms.h"

namespace quorvel {

TForm::TForm(TApplication& app, THandle parentWindow) : app_(app), parentWindow_(parentWindow) {}

TForm::~TForm() {
    if (handle_ != 0 && Platform().Windows) Platform().Windows->DestroyWindowHandle(handle_);
}

THandle TForm::Handle() {
    if (handle_ == 0 && Platform().Windows) {
        handle_ = Platform().Windows->CreateWindowHandle(parentWindow_,
                                                         [this](const TMessage& m) { return WndProc(m); });
        Platform().Windows->SetWindowRect(handle_, TRect{Left, Top, Left + Width, Top + Height});
    }
    return handle_;
}

void TForm::Show() {
    const THandle h = Handle();
    if (visible_) return;
    visible_ = true;
    if (Platform().Windows) Platform().Windows->SetVisible(h, true);
    FormShow();
}

void TForm::Hide() {
    if (!visible_) return;
    visible_ = false;
    if (handle_ != 0 && Platform().Windows) Platform().Windows->SetVisible(handle_, false);
    FormHide();
}

void TForm::Close() {
    TCloseAction action = TCloseAction::caHide;
    FormClose(action);
    switch (action) {
        case TCloseAction::caNone: break;
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: WindowState = TWindowState::wsMinimized; break;
        case TCloseAction::caFree: Hide(); Release(); break;
    }
}

std::intptr_t TForm::WndProc(const TMessage&) { return 0; }

}  // namespace quorvel
