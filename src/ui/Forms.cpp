#include "ui/Forms.h"

#include "pavo/automation.h"
#include "ports/Dialogs.h"

namespace quorvel {

TForm::TForm(TApplication& app, THandle parentWindow) : app_(app), parentWindow_(parentWindow) {
    Automation.AddDescriber([this](pugi::xml_node window) {
        TAutomation::SetAttribute(window, "name", Name);
        TAutomation::SetAttribute(window, "caption", Caption);
        window.append_attribute("visible").set_value(visible_ ? 1 : 0);
    });
    Automation.AddVerb("close", [this](const std::string&, const std::string&) {
        Close();
        return TAutomation::Done();
    });
}

TForm::~TForm() {
    view_.reset();  // before the native window it lives in
    if (handle_ != 0 && Platform().Windows) Platform().Windows->DestroyWindowHandle(handle_);
}

THandle TForm::Handle() {
    if (handle_ == 0 && Platform().Windows) {
        // Automation is answered ahead of the window's own procedure, which
        // derived windows replace.
        handle_ = Platform().Windows->CreateWindowHandle(parentWindow_, [this](const TMessage& m) {
            return m.Msg == PAVO_MSG_AUTOMATION ? Automation.Handle(m) : WndProc(m);
        });
        Platform().Windows->SetWindowRect(handle_, TRect{Left, Top, Left + Width, Top + Height});
    }
    return handle_;
}

void TForm::Show() {
    const THandle h = Handle();
    if (visible_) return;
    if (!view_ && Platform().Views != nullptr) view_ = Platform().Views->CreateView(*this);
    TWindowPos pos;
    pos.NoMove = pos.NoSize = pos.ShowWindow = true;
    WindowPosChanging(pos);
    visible_ = true;
    if (Platform().Windows) Platform().Windows->SetVisible(h, true);
    FormShow();
}

void TForm::Hide() {
    if (!visible_) return;
    TWindowPos pos;
    pos.NoMove = pos.NoSize = pos.HideWindow = true;
    WindowPosChanging(pos);
    visible_ = false;
    if (handle_ != 0 && Platform().Windows) Platform().Windows->SetVisible(handle_, false);
    FormHide();
}

int TForm::ShowModal() {
    modalResult_ = mrNone;
    {
        TModalScope scope(app_);
        Modal = true;
        Show();
        if (IDialogs* dialogs = Platform().Dialogs; dialogs != nullptr && modalResult_ == mrNone)
            dialogs->RunModalForm(*this);
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        Modal = false;
    }
    Hide();
    return modalResult_;
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    if (result != mrNone && OnModalResult) OnModalResult();
}

void TForm::SetBounds(int left, int top, int width, int height) {
    TWindowPos pos{left, top, width, height};
    WindowPosChanging(pos);
    if (!pos.NoMove) {
        Left = pos.X;
        Top = pos.Y;
    }
    if (!pos.NoSize) {
        Width = pos.CX;
        Height = pos.CY;
    }
    if (handle_ != 0 && Platform().Windows)
        Platform().Windows->SetWindowRect(handle_, TRect{Left, Top, Left + Width, Top + Height});
}

void TForm::WindowPosChanging(TWindowPos& pos) {
    if (!ScreenSnap || pos.NoMove || Platform().Windows == nullptr) return;
    const TRect area = Platform().Windows->WorkArea();
    const int cx = pos.NoSize ? Width : pos.CX;
    const int cy = pos.NoSize ? Height : pos.CY;
    auto near = [this](int a, int b) { return a - b < SnapBuffer && b - a < SnapBuffer; };
    if (near(pos.X, area.Left)) pos.X = area.Left;
    else if (near(pos.X + cx, area.Right)) pos.X = area.Right - cx;
    if (near(pos.Y, area.Top)) pos.Y = area.Top;
    else if (near(pos.Y + cy, area.Bottom)) pos.Y = area.Bottom - cy;
}

void TForm::Close() {
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    switch (action) {
        case TCloseAction::caNone: break;
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: WindowState = TWindowState::wsMinimized; break;
        case TCloseAction::caFree: Hide(); Release(); break;
    }
}

// The close box and Alt+F4 reach the window as a close request: the same
// close the window's own operations run.
std::intptr_t TForm::WndProc(const TMessage& message) {
    if (message.Msg == WM_CLOSE) Close();
    return 0;
}

}  // namespace quorvel
