#include "SimWindowSystem.h"

#include <algorithm>

namespace quorvel::sim {

THandle TSimWindowSystem::CreateWindowHandle(THandle owner, Procedure proc) {
    const THandle h = nextHandle_;
    nextHandle_ += 4;
    Window w;
    w.owner = owner;
    w.proc = std::move(proc);
    w.zorder = ++zcounter_;
    windows_.emplace(h, std::move(w));
    return h;
}

void TSimWindowSystem::DestroyWindowHandle(THandle window) {
    windows_.erase(window);
    if (active_ == window) active_ = 0;
}

THandle TSimWindowSystem::Owner(THandle window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? 0 : it->second.owner;
}

void TSimWindowSystem::SetVisible(THandle window, bool visible) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    it->second.visible = visible;
    if (visible) it->second.zorder = ++zcounter_;
}

bool TSimWindowSystem::IsVisible(THandle window) const {
    auto it = windows_.find(window);
    return it != windows_.end() && it->second.visible;
}

void TSimWindowSystem::SetProp(THandle window, const std::string& name, std::uintptr_t value) {
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.props[name] = value;
}

std::uintptr_t TSimWindowSystem::GetProp(THandle window, const std::string& name) const {
    auto it = windows_.find(window);
    if (it == windows_.end()) return 0;
    auto p = it->second.props.find(name);
    return p == it->second.props.end() ? 0 : p->second;
}

bool TSimWindowSystem::PostMessage(THandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!IsWindow(window)) return false;
    dispatcher_.Post([this, m = TMessage{window, msg, wParam, lParam}] {
        // Hooks see the message first; it still reaches its window afterwards.
        auto hooks = hooks_;
        for (auto& [id, hook] : hooks) hook(0, m);
        auto it = windows_.find(m.Window);
        if (it != windows_.end() && it->second.proc) it->second.proc(m);
    });
    return true;
}

std::intptr_t TSimWindowSystem::SendMessage(THandle window, std::uint32_t msg, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
    auto it = windows_.find(window);
    if (it == windows_.end() || !it->second.proc) return 0;
    auto proc = it->second.proc;  // the procedure may destroy its window
    return proc(TMessage{window, msg, wParam, lParam});
}

std::vector<THandle> TSimWindowSystem::EnumWindows() const {
    std::vector<std::pair<std::uint64_t, THandle>> order;
    for (const auto& [h, w] : windows_) order.emplace_back(w.zorder, h);
    std::sort(order.rbegin(), order.rend());
    std::vector<THandle> out;
    for (auto& [z, h] : order) out.push_back(h);
    return out;
}

TRect TSimWindowSystem::GetWindowRect(THandle window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? TRect{} : it->second.rect;
}

void TSimWindowSystem::SetWindowRect(THandle window, const TRect& rect) {
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.rect = rect;
}

THandle TSimWindowSystem::WindowFromPoint(TPoint p) const {
    for (THandle h : EnumWindows()) {
        const auto& w = windows_.at(h);
        if (w.visible && p.X >= w.rect.Left && p.X < w.rect.Right && p.Y >= w.rect.Top && p.Y < w.rect.Bottom)
            return h;
    }
    return 0;
}

IWindowSystem::HookId TSimWindowSystem::SetMessageHook(HookProc hook) {
    const HookId id = nextHook_++;
    hooks_.emplace(id, std::move(hook));
    return id;
}

void TSimWindowSystem::RemoveMessageHook(HookId id) { hooks_.erase(id); }

void TSimWindowSystem::SetScreenSize(TPoint size) {
    screen_ = size;
    workArea_ = TRect{0, 0, size.X, size.Y - 30};
}

}  // namespace quorvel::sim
