#pragma once
// Native windows as the system sees them: handles, properties, messages,
// rectangles, the screen, the cursor and the per-thread message hook.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel {

using THandle = std::uintptr_t;  // 0 = none

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};

// A message as the hook and window procedures see it.
struct TMessage {
    THandle Window = 0;
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
};

constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;

class IWindowSystem {
public:
    using Procedure = std::function<std::intptr_t(const TMessage&)>;
    using HookId = std::uint32_t;
    using HookProc = std::function<void(int code, const TMessage&)>;
    virtual ~IWindowSystem() = default;

    // A new top-level native window owned by owner (0 = none); messages sent or
    // posted to it reach proc. Hidden until shown.
    virtual THandle CreateWindowHandle(THandle owner, Procedure proc) = 0;
    virtual void DestroyWindowHandle(THandle window) = 0;
    virtual bool IsWindow(THandle window) const = 0;
    virtual THandle Owner(THandle window) const = 0;
    virtual void SetVisible(THandle window, bool visible) = 0;
    virtual bool IsVisible(THandle window) const = 0;

    // Window properties (SetProp/GetProp); 0 when absent.
    virtual void SetProp(THandle window, const std::string& name, std::uintptr_t value) = 0;
    virtual std::uintptr_t GetProp(THandle window, const std::string& name) const = 0;

    // PostMessage queues on the UI thread; SendMessage calls the procedure now.
    // Both return false (0) for an unknown window.
    virtual bool PostMessage(THandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual std::intptr_t SendMessage(THandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;

    // Top-level windows, front to back.
    virtual std::vector<THandle> EnumWindows() const = 0;
    virtual TRect GetWindowRect(THandle window) const = 0;
    virtual void SetWindowRect(THandle window, const TRect& rect) = 0;
    virtual THandle ActiveWindow() const = 0;
    virtual void SetActiveWindow(THandle window) = 0;
    virtual THandle WindowFromPoint(TPoint p) const = 0;

    virtual TPoint ScreenSize() const = 0;
    virtual TRect WorkArea() const = 0;
    virtual TPoint CursorPos() const = 0;

    // Per-thread hook on retrieved messages: called with code 0 before a posted
    // message reaches its window.
    virtual HookId SetMessageHook(HookProc hook) = 0;
    virtual void RemoveMessageHook(HookId id) = 0;
};

}  // namespace quorvel
