// Run/release cycles with the real window: shown, painted, closed, shown
// again, notified, released. Nothing the window made outlives it and the heap
// stays flat. QUORVEL_LONG_CYCLES sets the number of cycles (the long run
// takes 2000 or more).
#include <gtest/gtest.h>
#include <malloc.h>

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "FakeHost.h"
#include "FakeHostLibraries.h"
#include "LoopbackEngine.h"
#include "QtDesktop.h"
#include "SimPlatform.h"
#include "plugin/PluginPlatform.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = false;  // the sanitizer's allocator does not report through mallinfo
constexpr int kDefaultCycles = 30;     // slow there, and LeakSanitizer needs no more
#else
constexpr bool kOwnAllocator = true;
constexpr int kDefaultCycles = 100;
#endif

int Cycles() {
    const char* n = std::getenv("QUORVEL_LONG_CYCLES");
    return n != nullptr ? std::max(1, std::atoi(n)) : kDefaultCycles;
}

std::size_t LiveHeap() { return mallinfo2().uordblks; }

// What Qt holds on to by the application's side: windows, their children,
// the objects hung on the application, timers of the UI thread.
struct QtObjects {
    qsizetype topLevels = 0, onHostWindow = 0, onApplication = 0;
    std::size_t timers = 0, hooks = 0, handles = 0;
    bool operator==(const QtObjects&) const = default;
};

void PrintTo(const QtObjects& o, std::ostream* os) {
    *os << "{top-level widgets " << o.topLevels << ", on the host window " << o.onHostWindow
        << ", on the application " << o.onApplication << ", timers " << o.timers << ", hooks " << o.hooks
        << ", handles " << o.handles << "}";
}

// The widgets shown as windows while it lives.
class TShownWindows final : public QObject {
public:
    TShownWindows() { qApp->installEventFilter(this); }
    ~TShownWindows() override { qApp->removeEventFilter(this); }
    std::map<const QObject*, QString> windows;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            windows[watched] = QString::fromLatin1(watched->metaObject()->className()) + ' ' + watched->objectName();
        return false;
    }
};

class QtLongSessions : public ::testing::Test {
protected:
    QtLongSessions() {
        hostMain.setWindowTitle("Tarvik");
        host.application.mainWindow.handle =
            desktop.Windows.AdoptWindow(&hostMain, [](const TMessage&) { return std::intptr_t{0}; });
        host.config.dataFolder = temp.Folder();
        std::filesystem::create_directories(temp.Path("Quorvel"));
        host.OpenNewQso();
        RegisterHostLibraries(sim.Libraries);
        TPlatform ports = sim.Ports();
        ports.Dispatcher = &desktop.Dispatcher;
        ports.Windows = &desktop.Windows;
        ports.Dialogs = &desktop.Dialogs;
        ports.Clipboard = &desktop.Clipboard;
        ports.Engines = &engines;
        ports.Views = PluginViews();
        ports.Audio = nullptr;  // no sound card: the first start opens no wizard
        library = std::make_unique<TPluginLibrary>(ports);
    }
    ~QtLongSessions() override { library.reset(); }

    static void Turn() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QtObjects Objects() const {
        QtObjects o;
        o.topLevels = QApplication::topLevelWidgets().size();
        o.onHostWindow = hostMain.findChildren<QObject*>().size();
        o.onApplication = qApp->findChildren<QObject*>().size();
        o.timers = desktop.Dispatcher.ActiveTimers();
        o.hooks = desktop.Windows.HookCount();
        o.handles = desktop.Windows.EnumWindows().size();
        return o;
    }

    // Runs the plug-in, which shows its window: that one window, no control
    // of it on its own. What the style caches of the window's icons and
    // scroll bars is keyed by their identity: a window opened again brings
    // the same ones, or the cache gains entries nobody finds again.
    void Show(int i) {
        TShownWindows shown;
        ASSERT_NE(library->Run(&host.session, i), 0u);
        Turn();  // shown and painted
        QWidget* window = desktop.Windows.Widget(library->MainForm->Handle());
        ASSERT_NE(window, nullptr);
        for (const auto& [widget, name] : shown.windows)
            EXPECT_EQ(widget, window) << name.toStdString() << " shown as a window, cycle " << i;
        std::set<qint64> icons, bars;
        for (QAction* action : window->findChildren<QAction*>())
            if (!action->icon().isNull()) icons.insert(action->icon().cacheKey());
        for (QScrollBar* bar : window->findChildren<QScrollBar*>()) bars.insert(bar->palette().cacheKey());
        if (firstIcons.empty()) {
            ASSERT_FALSE(icons.empty());
            ASSERT_FALSE(bars.empty());
            firstIcons = icons;
            firstBars = bars;
        }
        EXPECT_EQ(icons, firstIcons) << "cycle " << i;
        EXPECT_EQ(bars, firstBars) << "cycle " << i;
    }

    void OneCycle(int i) {
        Show(i);
        if (HasFatalFailure()) return;
        library->SendNotify(2, 1);   // the new-QSO window opens
        library->SendNotify(1, 26);  // the appearance changes
        library->SendNotify(1, 44);
        library->SendNotify(2, 6);
        TMainForm& form = *library->MainForm;
        form.Memo1.SetText("CQ CQ de UA3ABC");
        form.Edit1.SetText("DL1ABC");
        form.mnuStatusBar.Click();  // hidden and shown again
        Turn();
        form.mnuStatusBar.Click();
        Turn();
        form.Close();
        Turn();
        Show(i);  // again
        if (HasFatalFailure()) return;
        library->SendNotify(3, 6);
        library->SendNotify(3, 1);
        library->Release();
        Turn();
        // Only the plug-in's own memory counts.
        host.ForgetRecords();
        sim.Dialogs.Messages.clear();
        sim.Dialogs.Modals.clear();
    }

    qt::TQtDesktop desktop;
    sim::TSimPlatform sim;  // libraries, process and sound card
    TLoopbackEngineFactory engines;
    FakeHost host;
    TempFolder temp;
    QWidget hostMain;
    std::unique_ptr<TPluginLibrary> library;
    std::set<qint64> firstIcons, firstBars;
};

TEST_F(QtLongSessions, RunReleaseCyclesLeaveNoWidgetTimerFilterOrHeapBehind) {
    hostMain.show();
    Turn();
    const QtObjects before = Objects();
    const int cycles = Cycles();
    // Qt's own caches fill in the first cycles; the heap counts from here, and
    // only over a run long enough for its average to mean something.
    constexpr int warmUp = 20;
    std::size_t heapAfterWarmUp = 0;
    QtObjects afterFirst;
    for (int i = 0; i < cycles; ++i) {
        OneCycle(i);
        if (HasFatalFailure() || HasFailure()) return;
        ASSERT_EQ(library->MainForm, nullptr);
        const QtObjects now = Objects();
        ASSERT_EQ(now.topLevels, before.topLevels) << "cycle " << i;
        ASSERT_EQ(now.onHostWindow, before.onHostWindow) << "cycle " << i;
        ASSERT_EQ(now.timers, 0u) << "cycle " << i;
        ASSERT_EQ(now.hooks, 0u) << "cycle " << i;
        ASSERT_EQ(now.handles, before.handles) << "cycle " << i;
        // Qt hangs its style and gesture manager on the application the first time a window shows.
        if (i == 0) afterFirst = now;
        ASSERT_EQ(now, afterFirst) << "cycle " << i;
        if (i + 1 == warmUp) heapAfterWarmUp = LiveHeap();
    }
    if (kOwnAllocator && cycles >= 3 * warmUp) {
        const std::size_t end = LiveHeap();
        const std::size_t grown = end > heapAfterWarmUp ? end - heapAfterWarmUp : 0;
        const std::size_t perCycle = grown / static_cast<std::size_t>(cycles - warmUp);
        RecordProperty("HeapGrowthBytesPerCycle", std::to_string(perCycle));
        std::printf("%d cycles with the window: live heap %zu -> %zu bytes (%zu per cycle)\n", cycles,
                    heapAfterWarmUp, end, perCycle);
        // What a window leaves behind is kilobytes a cycle; caches settling
        // over a short run are a few hundred bytes.
        EXPECT_LT(perCycle, 1024u) << grown << " bytes over " << cycles - warmUp << " cycles";
    }
}

}  // namespace
}  // namespace quorvel::testing
