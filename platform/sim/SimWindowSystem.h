#pragma once
// In-process native windows for tests and the headless host: handles, props,
// messages through the dispatcher, rectangles, a fixed screen and a cursor.
#include <map>
#include <string>
#include <vector>

#include "ports/Dispatcher.h"
#include "ports/WindowSystem.h"

namespace quorvel::sim {

class TSimWindowSystem final : public IWindowSystem {
public:
    explicit TSimWindowSystem(IDispatcher& dispatcher) : dispatcher_(dispatcher) {}

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
    THandle ActiveWindow() const override { return active_; }
    void SetActiveWindow(THandle window) override { active_ = IsWindow(window) ? window : 0; }
    THandle WindowFromPoint(TPoint p) const override;
    TPoint ScreenSize() const override { return screen_; }
    TRect WorkArea() const override { return workArea_; }
    TPoint CursorPos() const override { return cursor_; }
    HookId SetMessageHook(HookProc hook) override;
    void RemoveMessageHook(HookId id) override;

    void SetScreenSize(TPoint size);
    void SetCursorPos(TPoint p) { cursor_ = p; }
    std::size_t HookCount() const { return hooks_.size(); }

private:
    struct Window {
        THandle owner = 0;
        Procedure proc;
        bool visible = false;
        TRect rect;
        std::map<std::string, std::uintptr_t> props;
        std::uint64_t zorder = 0;
    };
    IDispatcher& dispatcher_;
    std::map<THandle, Window> windows_;
    std::map<HookId, HookProc> hooks_;
    THandle nextHandle_ = 0x1000;
    HookId nextHook_ = 1;
    std::uint64_t zcounter_ = 0;
    THandle active_ = 0;
    TPoint screen_{1280, 1024};
    TRect workArea_{0, 0, 1280, 994};
    TPoint cursor_{};
};

}  // namespace quorvel::sim
