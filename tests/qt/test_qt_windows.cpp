// Native windows on Qt: handles and their widgets, messages, geometry, the
// screen, and the message hook that sees keys and wheel turns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>
#include <memory>
#include <vector>

#include "QtDispatcher.h"
#include "QtTestSupport.h"
#include "QtWindowSystem.h"

namespace quorvel::testing {
namespace {

using qt::TQtDispatcher;
using qt::TQtWindowSystem;

class QtWindows : public ::testing::Test {
protected:
    THandle Make(THandle owner = 0) {
        return windows.CreateWindowHandle(owner, [this](const TMessage& m) {
            received.push_back(m);
            return std::intptr_t{42};
        });
    }
    std::vector<TMessage> hooked;
    void Hook() {
        windows.SetMessageHook([this](int code, const TMessage& m) {
            EXPECT_EQ(code, 0);
            hooked.push_back(m);
        });
    }

    TQtDispatcher dispatcher;
    TQtWindowSystem windows{dispatcher};
    std::vector<TMessage> received;
};

TEST_F(QtWindows, HandlesAreTopLevelWidgetsWithOwnersAndProps) {
    const THandle owner = Make();
    const THandle owned = Make(owner);
    ASSERT_NE(owner, 0u);
    ASSERT_NE(owned, owner);
    EXPECT_TRUE(windows.IsWindow(owned));
    EXPECT_EQ(windows.Owner(owned), owner);
    EXPECT_EQ(windows.Owner(owner), 0u);
    ASSERT_NE(windows.Widget(owned), nullptr);
    EXPECT_TRUE(windows.Widget(owned)->isWindow());
    EXPECT_EQ(windows.HandleOf(windows.Widget(owned)), owned);

    windows.SetProp(owner, "{8E5FED65-0336-4379-92FD-0E509B91320F}", 2);
    EXPECT_EQ(windows.GetProp(owner, "{8E5FED65-0336-4379-92FD-0E509B91320F}"), 2u);
    EXPECT_EQ(windows.GetProp(owner, "other"), 0u);
    EXPECT_EQ(windows.GetProp(owned, "{8E5FED65-0336-4379-92FD-0E509B91320F}"), 0u);

    // Destroying an owner takes its owned windows down with it.
    windows.DestroyWindowHandle(owner);
    EXPECT_FALSE(windows.IsWindow(owner));
    EXPECT_FALSE(windows.IsWindow(owned));
    EXPECT_EQ(windows.GetProp(owner, "{8E5FED65-0336-4379-92FD-0E509B91320F}"), 0u);
    windows.DestroyWindowHandle(owner);  // twice is harmless
}

TEST_F(QtWindows, AdoptedWindowsLeaveWhenTheirProgramDeletesThem) {
    auto hostMain = std::make_unique<QWidget>();
    const THandle host = windows.AdoptWindow(hostMain.get(), [this](const TMessage& m) {
        received.push_back(m);
        return std::intptr_t{0};
    });
    EXPECT_EQ(windows.AdoptWindow(hostMain.get(), nullptr), host);  // adopted once
    const THandle plugin = Make(host);
    EXPECT_EQ(windows.Owner(plugin), host);
    QWidget* pluginWidget = windows.Widget(plugin);
    ASSERT_NE(pluginWidget, nullptr);
    EXPECT_EQ(pluginWidget->parentWidget(), hostMain.get());

    hostMain.reset();  // deletes the owned plug-in window too
    EXPECT_FALSE(windows.IsWindow(host));
    EXPECT_FALSE(windows.IsWindow(plugin));
    EXPECT_FALSE(windows.PostMessage(host, 1156, 0, 0));
}

TEST_F(QtWindows, SendRunsNowPostRunsOnTheNextTurnAndOnlyForLiveWindows) {
    const THandle a = Make();
    const THandle b = Make();
    EXPECT_EQ(windows.SendMessage(a, 1160, 7, -3), 42);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].Window, a);
    EXPECT_EQ(received[0].Msg, 1160u);
    EXPECT_EQ(received[0].WParam, 7u);
    EXPECT_EQ(received[0].LParam, -3);

    EXPECT_TRUE(windows.PostMessage(a, 1156, 1, 2));
    EXPECT_TRUE(windows.PostMessage(b, 1161, 3, 4));
    EXPECT_EQ(received.size(), 1u);
    windows.DestroyWindowHandle(b);  // its message is dropped
    dispatcher.ProcessMessages();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].Msg, 1156u);

    EXPECT_FALSE(windows.PostMessage(b, 1, 0, 0));
    EXPECT_EQ(windows.SendMessage(b, 1, 0, 0), 0);
    EXPECT_FALSE(windows.PostMessage(0, 1, 0, 0));
}

TEST_F(QtWindows, PostedMessagesPassTheHookFirst) {
    const THandle a = Make();
    std::vector<std::string> order;
    windows.SetMessageHook([&](int, const TMessage& m) { order.push_back("hook " + std::to_string(m.Msg)); });
    windows.CreateWindowHandle(0, nullptr);
    const THandle logged = windows.CreateWindowHandle(0, [&](const TMessage& m) {
        order.push_back("window " + std::to_string(m.Msg));
        return std::intptr_t{0};
    });
    windows.PostMessage(logged, 1162, 0, 0);
    windows.SendMessage(a, 5, 0, 0);  // sent messages bypass the hook
    dispatcher.ProcessMessages();
    EXPECT_EQ(order, (std::vector<std::string>{"hook 1162", "window 1162"}));
}

TEST_F(QtWindows, RectanglesIncludeTheFrameAndRoundTrip) {
    const THandle a = Make();
    windows.SetWindowRect(a, TRect{40, 30, 440, 330});
    EXPECT_EQ(windows.GetWindowRect(a), (TRect{40, 30, 440, 330}));
    windows.SetVisible(a, true);
    EXPECT_TRUE(windows.IsVisible(a));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(windows.Widget(a)));
    windows.SetWindowRect(a, TRect{10, 20, 310, 220});
    EXPECT_EQ(windows.GetWindowRect(a), (TRect{10, 20, 310, 220}));
    windows.SetVisible(a, false);
    EXPECT_FALSE(windows.IsVisible(a));
    EXPECT_EQ(windows.GetWindowRect(999), TRect{});
}

TEST_F(QtWindows, ScreenComesFromTheDesktop) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(windows.ScreenSize(), (TPoint{screen->geometry().width(), screen->geometry().height()}));
    const QRect work = screen->availableGeometry();
    EXPECT_EQ(windows.WorkArea(), (TRect{work.left(), work.top(), work.right() + 1, work.bottom() + 1}));
    QCursor::setPos(123, 45);
    EXPECT_EQ(windows.CursorPos(), (TPoint{123, 45}));
}

TEST_F(QtWindows, ZOrderAndHitTestingFollowShowingAndActivation) {
    const THandle back = Make();
    const THandle front = Make();
    for (THandle h : {back, front}) windows.SetWindowRect(h, TRect{0, 0, 200, 200});
    windows.SetVisible(back, true);
    windows.SetVisible(front, true);
    EXPECT_EQ(windows.EnumWindows().front(), front);
    EXPECT_EQ(windows.WindowFromPoint(TPoint{50, 50}), front);
    windows.SetActiveWindow(back);
    EXPECT_EQ(windows.EnumWindows().front(), back);
    EXPECT_EQ(windows.WindowFromPoint(TPoint{50, 50}), back);
    EXPECT_TRUE(SpinUntil([&] { return windows.ActiveWindow() == back; }));
    windows.SetVisible(back, false);
    EXPECT_EQ(windows.WindowFromPoint(TPoint{50, 50}), front);
    EXPECT_EQ(windows.WindowFromPoint(TPoint{500, 500}), 0u);
}

TEST_F(QtWindows, TheCloseBoxAsksTheWindowProcedure) {
    const THandle a = Make();
    windows.SetVisible(a, true);
    windows.Widget(a)->close();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].Msg, qt::WM_CLOSE);
    EXPECT_TRUE(windows.IsVisible(a));  // the procedure decides; this one did nothing
    EXPECT_TRUE(windows.IsWindow(a));
}

TEST_F(QtWindows, TheHookSeesEachKeyPressOnceAsAVirtualKey) {
    const THandle a = Make();
    auto* edit = new QWidget(windows.Widget(a));  // a focused child, owned by the window
    edit->setFocusPolicy(Qt::StrongFocus);
    windows.SetVisible(a, true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(windows.Widget(a)));
    edit->setFocus();
    Hook();
    QWindow* native = windows.Widget(a)->windowHandle();
    ASSERT_NE(native, nullptr);
    auto press = [native](int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(native, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(native, &up);
    };
    press(Qt::Key_F5, Qt::NoModifier, {});
    press(Qt::Key_A, Qt::ShiftModifier, "A");
    press(0x0424, Qt::NoModifier, QString::fromUtf8("ф"));  // Ф sits on A
    press(Qt::Key_7, Qt::KeypadModifier, "7");
    press(Qt::Key_Exclam, Qt::ShiftModifier, "!");
    std::vector<std::uintptr_t> keys;
    for (const auto& m : hooked) {
        EXPECT_EQ(m.Msg, WM_KEYDOWN);
        EXPECT_EQ(m.Window, a);
        keys.push_back(m.WParam);
    }
    EXPECT_EQ(keys, (std::vector<std::uintptr_t>{0x74, 'A', 'A', 0x67, '1'}));
}

TEST_F(QtWindows, TheHookSeesWheelTurnsWithTheirDeltaAndIgnoresOtherWindows) {
    const THandle a = Make();
    windows.SetWindowRect(a, TRect{0, 0, 300, 200});
    windows.SetVisible(a, true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(windows.Widget(a)));
    QWidget foreign;
    foreign.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&foreign));
    Hook();
    auto turn = [](QWindow* w, int delta) {
        QWheelEvent wheel(QPointF(10, 20), QPointF(110, 120), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &wheel);
    };
    turn(windows.Widget(a)->windowHandle(), -120);
    turn(windows.Widget(a)->windowHandle(), 240);
    turn(foreign.windowHandle(), 120);
    QTest::keyClick(foreign.windowHandle(), Qt::Key_F1);
    ASSERT_EQ(hooked.size(), 2u);
    EXPECT_EQ(hooked[0].Msg, WM_MOUSEWHEEL);
    EXPECT_EQ(static_cast<std::int16_t>(hooked[0].WParam >> 16), -120);
    EXPECT_EQ(static_cast<std::int16_t>(hooked[1].WParam >> 16), 240);
    EXPECT_EQ(hooked[0].LParam & 0xFFFF, 110);
    EXPECT_EQ((hooked[0].LParam >> 16) & 0xFFFF, 120);
}

TEST_F(QtWindows, ARemovedHookHearsNothingMore) {
    const THandle a = Make();
    windows.SetVisible(a, true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(windows.Widget(a)));
    int calls = 0;
    const auto id = windows.SetMessageHook([&](int, const TMessage&) { ++calls; });
    QTest::keyClick(windows.Widget(a)->windowHandle(), Qt::Key_F2);
    windows.RemoveMessageHook(id);
    QTest::keyClick(windows.Widget(a)->windowHandle(), Qt::Key_F2);
    windows.PostMessage(a, 1, 0, 0);
    dispatcher.ProcessMessages();
    EXPECT_EQ(calls, 1);
    windows.RemoveMessageHook(id);
}

TEST(QtVirtualKeys, MapLikeTheWindowsKeyboard) {
    using qt::VirtualKey;
    EXPECT_EQ(VirtualKey(Qt::Key_Return, false), 0x0Du);
    EXPECT_EQ(VirtualKey(Qt::Key_Enter, true), 0x0Du);
    EXPECT_EQ(VirtualKey(Qt::Key_Escape, false), 0x1Bu);
    EXPECT_EQ(VirtualKey(Qt::Key_F12, false), 0x7Bu);
    EXPECT_EQ(VirtualKey(Qt::Key_Z, false), static_cast<std::uint32_t>('Z'));
    EXPECT_EQ(VirtualKey(Qt::Key_Plus, true), 0x6Bu);
    EXPECT_EQ(VirtualKey(0x042F, false), static_cast<std::uint32_t>('Z'));  // Я
    EXPECT_EQ(VirtualKey(0x0416, false), 0xBAu);                            // Ж
    EXPECT_EQ(VirtualKey(0x0401, false), 0xC0u);                            // Ё
    EXPECT_EQ(VirtualKey(Qt::Key_unknown, false), 0u);
}

}  // namespace
}  // namespace quorvel::testing
