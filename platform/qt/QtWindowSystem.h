#pragma once
// Native windows on Qt: each handle is a top-level QWidget, either made here
// (CreateWindowHandle) or adopted from the program that owns it (the host's
// main window). Messages go through the dispatcher; the message hook sees the
// key presses and wheel turns the window system delivers to those windows.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>

#include "ports/Dispatcher.h"
#include "ports/WindowSystem.h"

namespace quorvel::qt {

using quorvel::WM_CLOSE;
// The dynamic property that carries a window's handle on its widget.
constexpr char kHandleProperty[] = "quorvelHandle";
// The top-level widget of a handle, found through Qt alone; nullptr when none.
QWidget* FindWindowWidget(THandle window);

class TQtWindowSystem final : public QObject, public IWindowSystem {
public:
    explicit TQtWindowSystem(IDispatcher& dispatcher);
    ~TQtWindowSystem() override;

    THandle CreateWindowHandle(THandle owner, Procedure proc) override;
    void DestroyWindowHandle(THandle window) override;
    bool IsWindow(THandle window) const override { return windows_.count(window) != 0; }
    THandle Owner(THandle window) const override;
    void SetVisible(THandle window, bool visible) override;
    bool IsVisible(THandle window) const override;
    void SetProp(THandle window, const std::string& name, std::uintptr_t value) override;
    std::uintptr_t GetProp(THandle window, const std::string& name) const override;
    bool PostMessage(THandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendMessage(THandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::vector<THandle> EnumWindows() const override;
    TRect GetWindowRect(THandle window) const override;
    void SetWindowRect(THandle window, const TRect& rect) override;
    THandle ActiveWindow() const override;
    void SetActiveWindow(THandle window) override;
    THandle WindowFromPoint(TPoint p) const override;
    TPoint ScreenSize() const override;
    TRect WorkArea() const override;
    TPoint CursorPos() const override;
    HookId SetMessageHook(HookProc hook) override;
    void RemoveMessageHook(HookId id) override;

    // Gives an existing top-level widget a handle; it stays the caller's and
    // leaves the window system when it is destroyed.
    THandle AdoptWindow(QWidget* widget, Procedure proc);
    // The widget of a handle (nullptr when unknown) and the handle of the
    // top-level window a widget is in (0 when not one of ours).
    QWidget* Widget(THandle window) const;
    THandle HandleOf(const QWidget* widget) const;
    // The message hooks set; while there are any, this filters the application's events.
    std::size_t HookCount() const { return hooks_.size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Window {
        QPointer<QWidget> widget;
        std::unique_ptr<QWidget> owned;  // set for windows made here
        THandle owner = 0;
        Procedure proc;
        std::map<std::string, std::uintptr_t> props;
        std::uint64_t zorder = 0;
    };
    THandle Register(QWidget* widget, THandle owner, Procedure proc, bool owned);
    void Forget(THandle window);
    void Raise(THandle window);
    THandle HandleOfWindow(const QObject* qwindow) const;
    void RunHooks(const TMessage& message);

    IDispatcher& dispatcher_;
    std::map<THandle, Window> windows_;
    std::map<const QWidget*, THandle> byWidget_;
    THandle nextHandle_ = 0x10000;
    std::uint64_t zcounter_ = 0;
    std::map<HookId, HookProc> hooks_;
    HookId nextHook_ = 1;
};

// The Windows virtual-key code of a Qt key (0 when it has none).
std::uint32_t VirtualKey(int qtKey, bool keypad);

}  // namespace quorvel::qt
