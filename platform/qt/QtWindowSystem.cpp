#include "QtWindowSystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>

namespace quorvel::qt {

QWidget* FindWindowWidget(THandle window) {
    if (window == 0 || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const QVariant h = w->property(kHandleProperty);
        if (h.isValid() && h.toULongLong() == window) return w;
    }
    return nullptr;
}

TQtWindowSystem::TQtWindowSystem(IDispatcher& dispatcher) : dispatcher_(dispatcher) {}

TQtWindowSystem::~TQtWindowSystem() {
    if (!hooks_.empty()) qApp->removeEventFilter(this);
    // Owned windows go first, as their owners take them down with them.
    while (!windows_.empty()) {
        THandle last = windows_.rbegin()->first;
        DestroyWindowHandle(last);
    }
}

THandle TQtWindowSystem::Register(QWidget* widget, THandle owner, Procedure proc, bool owned) {
    const THandle h = nextHandle_;
    nextHandle_ += 4;
    Window w;
    w.widget = widget;
    if (owned) w.owned.reset(widget);
    w.owner = owner;
    w.proc = std::move(proc);
    w.zorder = ++zcounter_;
    windows_.emplace(h, std::move(w));
    byWidget_[widget] = h;
    // How a module with its own copy of this code (a plug-in's views) finds the widget.
    widget->setProperty(kHandleProperty, QVariant::fromValue<qulonglong>(h));
    widget->installEventFilter(this);
    // Destroyed by its Qt parent or by the program that lent it: the handle goes.
    connect(widget, &QObject::destroyed, this, [this, h] {
        auto it = windows_.find(h);
        if (it == windows_.end()) return;
        (void)it->second.owned.release();  // already being deleted
        Forget(h);
    });
    return h;
}

void TQtWindowSystem::Forget(THandle window) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    for (auto b = byWidget_.begin(); b != byWidget_.end();)
        b = b->second == window ? byWidget_.erase(b) : std::next(b);
    windows_.erase(it);
}

THandle TQtWindowSystem::CreateWindowHandle(THandle owner, Procedure proc) {
    QWidget* parent = Widget(owner);
    auto widget = std::make_unique<QWidget>(parent, Qt::Window);
    return Register(widget.release(), parent != nullptr ? owner : 0, std::move(proc), true);
}

THandle TQtWindowSystem::AdoptWindow(QWidget* widget, Procedure proc) {
    if (widget == nullptr) return 0;
    if (THandle known = HandleOf(widget); known != 0 && Widget(known) == widget) return known;
    return Register(widget, 0, std::move(proc), false);
}

void TQtWindowSystem::DestroyWindowHandle(THandle window) {
    if (!IsWindow(window)) return;
    std::vector<THandle> ownedWindows;
    for (const auto& [h, w] : windows_)
        if (w.owner == window) ownedWindows.push_back(h);
    for (THandle h : ownedWindows) DestroyWindowHandle(h);
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    std::unique_ptr<QWidget> owned = std::move(it->second.owned);
    if (it->second.widget) it->second.widget->removeEventFilter(this);
    Forget(window);
    owned.reset();  // an adopted window stays with its program
}

QWidget* TQtWindowSystem::Widget(THandle window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.widget.data();
}

THandle TQtWindowSystem::HandleOf(const QWidget* widget) const {
    if (widget == nullptr) return 0;
    auto it = byWidget_.find(widget->window());
    return it == byWidget_.end() ? 0 : it->second;
}

THandle TQtWindowSystem::Owner(THandle window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? 0 : it->second.owner;
}

void TQtWindowSystem::Raise(THandle window) {
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.zorder = ++zcounter_;
}

void TQtWindowSystem::SetVisible(THandle window, bool visible) {
    QWidget* w = Widget(window);
    if (w == nullptr) return;
    w->setVisible(visible);
    if (visible) Raise(window);
}

bool TQtWindowSystem::IsVisible(THandle window) const {
    QWidget* w = Widget(window);
    return w != nullptr && w->isVisible();
}

void TQtWindowSystem::SetProp(THandle window, const std::string& name, std::uintptr_t value) {
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.props[name] = value;
}

std::uintptr_t TQtWindowSystem::GetProp(THandle window, const std::string& name) const {
    auto it = windows_.find(window);
    if (it == windows_.end()) return 0;
    auto p = it->second.props.find(name);
    return p == it->second.props.end() ? 0 : p->second;
}

void TQtWindowSystem::RunHooks(const TMessage& message) {
    auto hooks = hooks_;  // a hook may remove itself
    for (auto& [id, hook] : hooks) hook(0, message);
}

bool TQtWindowSystem::PostMessage(THandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!IsWindow(window)) return false;
    dispatcher_.Post([this, m = TMessage{window, msg, wParam, lParam}] {
        RunHooks(m);
        auto it = windows_.find(m.Window);
        if (it == windows_.end() || !it->second.proc) return;
        auto proc = it->second.proc;  // the procedure may destroy its window
        proc(m);
    });
    return true;
}

std::intptr_t TQtWindowSystem::SendMessage(THandle window, std::uint32_t msg, std::uintptr_t wParam,
                                           std::intptr_t lParam) {
    auto it = windows_.find(window);
    if (it == windows_.end() || !it->second.proc) return 0;
    auto proc = it->second.proc;
    return proc(TMessage{window, msg, wParam, lParam});
}

std::vector<THandle> TQtWindowSystem::EnumWindows() const {
    std::vector<std::pair<std::uint64_t, THandle>> order;
    for (const auto& [h, w] : windows_) order.emplace_back(w.zorder, h);
    std::sort(order.rbegin(), order.rend());
    std::vector<THandle> out;
    for (const auto& [z, h] : order) out.push_back(h);
    return out;
}

TRect TQtWindowSystem::GetWindowRect(THandle window) const {
    QWidget* w = Widget(window);
    if (w == nullptr) return {};
    const QRect r = w->frameGeometry();
    return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void TQtWindowSystem::SetWindowRect(THandle window, const TRect& rect) {
    QWidget* w = Widget(window);
    if (w == nullptr) return;
    // The rectangle includes the frame; Qt sizes the client area.
    const QSize frame = w->frameGeometry().size() - w->geometry().size();
    w->move(rect.Left, rect.Top);
    w->resize(std::max(0, rect.Width() - frame.width()), std::max(0, rect.Height() - frame.height()));
}

THandle TQtWindowSystem::ActiveWindow() const { return HandleOf(QApplication::activeWindow()); }

void TQtWindowSystem::SetActiveWindow(THandle window) {
    QWidget* w = Widget(window);
    if (w == nullptr) return;
    w->raise();
    w->activateWindow();
    Raise(window);
}

THandle TQtWindowSystem::WindowFromPoint(TPoint p) const {
    for (THandle h : EnumWindows()) {
        QWidget* w = Widget(h);
        if (w != nullptr && w->isVisible() && w->frameGeometry().contains(p.X, p.Y)) return h;
    }
    return 0;
}

TPoint TQtWindowSystem::ScreenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    return TPoint{screen->geometry().width(), screen->geometry().height()};
}

TRect TQtWindowSystem::WorkArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    const QRect r = screen->availableGeometry();
    return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

TPoint TQtWindowSystem::CursorPos() const {
    const QPoint p = QCursor::pos();
    return TPoint{p.x(), p.y()};
}

IWindowSystem::HookId TQtWindowSystem::SetMessageHook(HookProc hook) {
    if (hooks_.empty()) qApp->installEventFilter(this);
    const HookId id = nextHook_++;
    hooks_.emplace(id, std::move(hook));
    return id;
}

void TQtWindowSystem::RemoveMessageHook(HookId id) {
    if (hooks_.erase(id) != 0 && hooks_.empty()) qApp->removeEventFilter(this);
}

THandle TQtWindowSystem::HandleOfWindow(const QObject* qwindow) const {
    for (const auto& [h, w] : windows_)
        if (w.widget && w.widget->windowHandle() == qwindow) return h;
    return 0;
}

bool TQtWindowSystem::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Close: {
            // The close box asks the window's procedure, which decides; a
            // window made here never closes behind the system's back.
            auto it = byWidget_.find(qobject_cast<QWidget*>(watched));
            if (it == byWidget_.end() || !windows_.at(it->second).owned) break;
            event->ignore();
            SendMessage(it->second, WM_CLOSE, 0, 0);
            return true;
        }
        case QEvent::WindowActivate: {
            auto it = byWidget_.find(qobject_cast<QWidget*>(watched));
            if (it != byWidget_.end()) Raise(it->second);
            break;
        }
        case QEvent::KeyPress: {
            // Input reaches a window first, then its focused widget: seen once here.
            if (hooks_.empty() || !watched->isWindowType()) break;
            const THandle h = HandleOfWindow(watched);
            if (h == 0) break;
            const auto* key = static_cast<QKeyEvent*>(event);
            const std::uint32_t vk = VirtualKey(key->key(), (key->modifiers() & Qt::KeypadModifier) != 0);
            if (vk == 0) break;
            std::intptr_t lParam = 1 | static_cast<std::intptr_t>((key->nativeScanCode() & 0xFF) << 16);
            if (key->isAutoRepeat()) lParam |= std::intptr_t{1} << 30;
            RunHooks(TMessage{h, WM_KEYDOWN, vk, lParam});
            break;
        }
        case QEvent::Wheel: {
            if (hooks_.empty() || !watched->isWindowType()) break;
            const THandle h = HandleOfWindow(watched);
            if (h == 0) break;
            const auto* wheel = static_cast<QWheelEvent*>(event);
            const int delta = wheel->angleDelta().y();
            if (delta == 0) break;
            const QPoint at = wheel->globalPosition().toPoint();
            const auto wParam = static_cast<std::uintptr_t>(static_cast<std::uint16_t>(delta)) << 16;
            const auto lParam = static_cast<std::intptr_t>((static_cast<std::uint32_t>(at.y() & 0xFFFF) << 16) |
                                                           static_cast<std::uint32_t>(at.x() & 0xFFFF));
            RunHooks(TMessage{h, WM_MOUSEWHEEL, wParam, lParam});
            break;
        }
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

std::uint32_t VirtualKey(int qtKey, bool keypad) {
    if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 0x60 + static_cast<std::uint32_t>(qtKey - Qt::Key_0);
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return static_cast<std::uint32_t>(qtKey);  // the same codes as ASCII
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 0x70 + static_cast<std::uint32_t>(qtKey - Qt::Key_F1);
    // Letters of the Russian layout give the codes of the keys they sit on.
    // А..Я in code-point order.
    static constexpr std::uint8_t kRussianKeys[32] = {
        'F', 0xBC, 'D', 'U', 'L', 'T', 0xBA, 'P', 'B', 'Q', 'R', 'K', 'V', 'Y', 'J', 'G',
        'H', 'C', 'N', 'E', 'A', 0xDB, 'W', 'X', 'I', 'O', 0xDD, 'S', 'M', 0xDE, 0xBE, 'Z'};
    if (qtKey >= 0x0410 && qtKey <= 0x042F) return kRussianKeys[qtKey - 0x0410];
    if (qtKey == 0x0401) return 0xC0;  // Ё
    if (keypad) {
        switch (qtKey) {
            case Qt::Key_Asterisk: return 0x6A;
            case Qt::Key_Plus: return 0x6B;
            case Qt::Key_Minus: return 0x6D;
            case Qt::Key_Period: return 0x6E;
            case Qt::Key_Slash: return 0x6F;
            default: break;
        }
    }
    switch (qtKey) {
        // Shifted digits of the main keyboard.
        case Qt::Key_Exclam: return '1';
        case Qt::Key_At: return '2';
        case Qt::Key_NumberSign: return '3';
        case Qt::Key_Dollar: return '4';
        case Qt::Key_Percent: return '5';
        case Qt::Key_AsciiCircum: return '6';
        case Qt::Key_Ampersand: return '7';
        case Qt::Key_Asterisk: return '8';
        case Qt::Key_ParenLeft: return '9';
        case Qt::Key_ParenRight: return '0';
        case Qt::Key_Backspace: return 0x08;
        case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
        case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
        case Qt::Key_Shift: return 0x10;
        case Qt::Key_Control: return 0x11;
        case Qt::Key_Alt: return 0x12;
        case Qt::Key_Pause: return 0x13;
        case Qt::Key_CapsLock: return 0x14;
        case Qt::Key_Escape: return 0x1B;
        case Qt::Key_Space: return 0x20;
        case Qt::Key_PageUp: return 0x21;
        case Qt::Key_PageDown: return 0x22;
        case Qt::Key_End: return 0x23;
        case Qt::Key_Home: return 0x24;
        case Qt::Key_Left: return 0x25;
        case Qt::Key_Up: return 0x26;
        case Qt::Key_Right: return 0x27;
        case Qt::Key_Down: return 0x28;
        case Qt::Key_Print: return 0x2C;
        case Qt::Key_Insert: return 0x2D;
        case Qt::Key_Delete: return 0x2E;
        case Qt::Key_Meta: return 0x5B;
        case Qt::Key_Menu: return 0x5D;
        case Qt::Key_NumLock: return 0x90;
        case Qt::Key_ScrollLock: return 0x91;
        case Qt::Key_Semicolon: case Qt::Key_Colon: return 0xBA;
        case Qt::Key_Equal: case Qt::Key_Plus: return 0xBB;
        case Qt::Key_Comma: case Qt::Key_Less: return 0xBC;
        case Qt::Key_Minus: case Qt::Key_Underscore: return 0xBD;
        case Qt::Key_Period: case Qt::Key_Greater: return 0xBE;
        case Qt::Key_Slash: case Qt::Key_Question: return 0xBF;
        case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 0xC0;
        case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 0xDB;
        case Qt::Key_Backslash: case Qt::Key_Bar: return 0xDC;
        case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 0xDD;
        case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 0xDE;
        default: return 0;
    }
}

}  // namespace quorvel::qt
