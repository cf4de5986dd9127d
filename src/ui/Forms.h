#pragma once
// A top-level window of the form model: caption, bounds, a native handle made
// on demand, and the create / show / close / destroy events with the
// framework's order. Derived windows override the Form* handlers.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ports/Views.h"
#include "ports/WindowSystem.h"
#include "ui/Application.h"
#include "ui/Automation.h"

namespace quorvel {

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// Modal results.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2;
enum class TWindowState { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

// A proposed placement, announced before it takes effect (the system's
// position-changing notification). Handlers may change X, Y, CX and CY; they
// are meaningful only without NoMove / NoSize.
struct TWindowPos {
    int X = 0, Y = 0, CX = 0, CY = 0;
    bool NoMove = false, NoSize = false;
    bool ShowWindow = false, HideWindow = false;
};

class TForm {
public:
    // Constructs a form of type T and runs its create event, as the framework's
    // constructor does after every field is in place.
    template <class T, class... Args>
    static std::unique_ptr<T> Create(Args&&... args) {
        auto form = std::make_unique<T>(std::forward<Args>(args)...);
        static_cast<TForm*>(form.get())->AfterConstruction();
        return form;
    }

    TForm(TApplication& app, THandle parentWindow);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    TApplication& Application() const { return app_; }
    const TPlatform& Platform() const { return app_.Platform(); }

    std::string Name;     // component name
    std::string Caption;  // cp1251
    int Left = 0, Top = 0, Width = 600, Height = 400;
    int Tag = 0;
    int BorderStyle = 2;  // 0 none, 1 single, 2 sizeable, 3 dialog, 4 tool window, 5 sizeable tool window
    TWindowState WindowState = TWindowState::wsNormal;
    bool ScreenSnap = false;  // snap to the work area's edges when moved
    int SnapBuffer = 10;      // pixels
    bool AlphaBlend = false;
    std::uint8_t AlphaBlendValue = 255;  // 0 transparent ... 255 opaque
    bool Modal = false;       // true while the window runs modally

    bool HandleAllocated() const { return handle_ != 0; }
    // The native window, created on first use (owned by the parent window).
    THandle Handle();
    bool Visible() const { return visible_; }
    void Show();
    void Hide();
    // Moves and sizes the window; the new placement is announced first.
    void SetBounds(int left, int top, int width, int height);
    // Runs the close event; the action it leaves decides what happens.
    void Close();
    // Shows the window modally: the platform runs it (the operator, or a
    // script, works its controls) until a modal result is set; then the
    // window is hidden. A run the platform ends without one is a cancel.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    // A result other than mrNone ends the modal run.
    void SetModalResult(int result);
    // The platform's modal loop listens here for the end of the run.
    std::function<void()> OnModalResult;

    // The view the platform gave the window at its first show, if any.
    IFormView* View() const { return view_.get(); }

    // What the window offers to automation (pavo/automation.h); the form
    // itself gives its name, caption and visibility and the verb "close".
    TAutomation Automation;

protected:
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormHide() {}
    virtual void FormClose(TCloseAction& /*action*/) {}
    // The framework's close handling: runs the close handler.
    virtual void DoClose(TCloseAction& action) { FormClose(action); }
    // Placement about to change; the framework aligns the window to the
    // work area's edges within SnapBuffer when ScreenSnap is on.
    virtual void WindowPosChanging(TWindowPos& pos);
    // Messages sent or posted to the native window.
    virtual std::intptr_t WndProc(const TMessage& message);
    virtual void AfterConstruction() { FormCreate(); }
    // Called when the close action is caFree; the owner decides how to free.
    virtual void Release() {}
    // Drops the view. A window with controls of its own calls it first in its
    // destructor, while the controls the view shows still exist.
    void ReleaseView() { view_.reset(); }

private:
    TApplication& app_;
    THandle parentWindow_;
    THandle handle_ = 0;
    bool visible_ = false;
    int modalResult_ = mrNone;
    std::unique_ptr<IFormView> view_;
};

}  // namespace quorvel
