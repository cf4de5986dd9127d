// Many run/release cycles with shows, closes and notifications in between:
// nothing the window made outlives it, and the heap stays flat.
// QUORVEL_LONG_CYCLES sets the number of cycles (the long run takes 10000).
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "PluginFixture.h"
#include "modem/EngineEvents.h"
#include "rxtext/TextFileTransfer.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

int Cycles() {
    const char* n = std::getenv("QUORVEL_LONG_CYCLES");
    return n != nullptr ? std::max(1, std::atoi(n)) : 150;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = false;  // the sanitizer's allocator does not report through mallinfo
#else
constexpr bool kOwnAllocator = true;
#endif

std::size_t LiveHeap() { return mallinfo2().uordblks; }

class LongSessions : public PluginFixture {
protected:
    void OneCycle(int i) {
        const THandle h = library->Run(&host.session, i);
        ASSERT_NE(h, 0u);
        library->SendNotify(2, 1);   // the new-QSO window opens
        library->SendNotify(1, 26);  // the appearance changes
        library->SendNotify(1, 44);
        library->SendNotify(2, 6);
        library->MainForm->Memo1.SetText("CQ CQ de UA3ABC");
        library->MainForm->Edit1.SetText("DL1ABC");
        library->MainForm->Close();
        sim.Dispatcher.Advance(10);
        library->Run(&host.session, i);  // shown again
        library->SendNotify(3, 6);
        library->SendNotify(3, 1);
        library->Release();
        sim.Dispatcher.Advance(10);
        // Only the plug-in's own memory counts.
        received.clear();
        host.ForgetRecords();
        sim.Dialogs.Messages.clear();
        sim.Dialogs.Modals.clear();
    }
};

TEST_F(LongSessions, RunReleaseCyclesLeaveNoWindowTimerHookOrHeapBehind) {
    TempFolder data;
    host.config.dataFolder = data.Folder();
    host.OpenNewQso();
    const std::size_t windows = sim.Windows.EnumWindows().size();
    const std::size_t hooks = sim.Windows.HookCount();
    const int cycles = Cycles();
    const int warmUp = std::min(20, cycles / 2);
    std::size_t heapAfterWarmUp = 0;
    for (int i = 0; i < cycles; ++i) {
        OneCycle(i);
        if (HasFatalFailure()) return;
        ASSERT_EQ(library->MainForm, nullptr);
        ASSERT_EQ(sim.Windows.EnumWindows().size(), windows) << "cycle " << i;
        ASSERT_EQ(sim.Windows.HookCount(), hooks) << "cycle " << i;
        ASSERT_EQ(sim.Dispatcher.ActiveTimers(), 0u) << "cycle " << i;
        if (i + 1 == warmUp) heapAfterWarmUp = LiveHeap();
    }
    if (kOwnAllocator && cycles > warmUp) {
        const std::size_t grown = LiveHeap() > heapAfterWarmUp ? LiveHeap() - heapAfterWarmUp : 0;
        const std::size_t perCycle = grown / static_cast<std::size_t>(cycles - warmUp);
        RecordProperty("HeapGrowthBytesPerCycle", std::to_string(perCycle));
        std::printf("%d cycles: live heap %zu -> %zu bytes (%zu per cycle)\n", cycles, heapAfterWarmUp, LiveHeap(),
                    perCycle);
        // A window's worth of leaked state is kilobytes; allocator noise is not.
        EXPECT_LT(perCycle, 256u) << grown << " bytes over " << cycles - warmUp << " cycles";
    }
}

// QUORVEL_LONG_EVENTS_MB sets how many megabytes of random engine events go
// in (four bytes an event; the long run takes 100).
std::size_t EventBytes() {
    const char* n = std::getenv("QUORVEL_LONG_EVENTS_MB");
    return (n != nullptr ? static_cast<std::size_t>(std::max(1, std::atoi(n))) : 1) << 20;
}

TEST_F(LongSessions, RandomEngineEventsKeepMemoryOutsideThePanesBounded) {
    TempFolder data;
    host.config.dataFolder = data.Folder();
    ASSERT_NE(library->Run(&host.session, 0), 0u);
    TMainForm& form = *library->MainForm;
    TMainFormEngineEvents events(form);
    std::mt19937 random(28);
    const std::size_t total = EventBytes() / 4;
    const std::size_t warmUp = total / 10;
    std::size_t heapAfterWarmUp = 0, highest = 0;
    auto clearPanes = [&] {
        for (int ch = 0; ch < 5; ++ch) form.PaneForChannel(ch).Clear();
    };
    for (std::size_t i = 0; i < total; ++i) {
        const std::uint32_t r = random();
        const auto channel = static_cast<std::int16_t>(static_cast<std::int8_t>(r >> 8) % 7);
        const auto code = static_cast<std::uint16_t>(r >> 16);
        switch (r & 15) {
        case 0:
            events.OnTxState(static_cast<std::int16_t>(code % 3));
            break;
        case 1:
            events.OnRxCarrier(channel, code % 4000);
            break;
        case 2:
            events.OnMode(channel, static_cast<std::int16_t>(code % 12), u"BPSK");
            break;
        case 3:
            sim.Dispatcher.Advance(code % 50);
            break;
        default:  // mostly characters, printable or not
            events.OnRxChar(channel, std::u16string(1, static_cast<char16_t>(code % 300)), code % 300);
        }
        // The panes hold what arrived by design; the operator clears them now and then.
        if (i % 65536 == 65535) {
            clearPanes();
            if (kOwnAllocator) {
                if (i >= warmUp && heapAfterWarmUp == 0) heapAfterWarmUp = LiveHeap();
                highest = std::max(highest, LiveHeap());
            }
        }
    }
    clearPanes();
    library->Release();
    if (kOwnAllocator && heapAfterWarmUp > 0) {
        const std::size_t above = highest > heapAfterWarmUp ? highest - heapAfterWarmUp : 0;
        RecordProperty("HeapAboveWarmUpBytes", std::to_string(above));
        std::printf("%zu MB of events: live heap after warm-up %zu, highest %zu bytes\n", EventBytes() >> 20,
                    heapAfterWarmUp, highest);
        EXPECT_LT(above, 1u << 20);
    }
}

// A file frame that never ends keeps what it received, by design: the
// buffer is the only thing that grows, and it is reported on its own.
TEST_F(LongSessions, AFileFrameThatNeverEndsGrowsOnlyItsBuffer) {
    TempFolder data;
    host.config.dataFolder = data.Folder();
    ASSERT_NE(library->Run(&host.session, 0), 0u);
    TMainForm& form = *library->MainForm;
    TMainFormEngineEvents events(form);
    auto rx = [&](std::string_view text) {
        for (char c : text) events.OnRxChar(0, std::u16string(1, static_cast<char16_t>(c)), static_cast<unsigned char>(c));
    };
    rx(std::string(kFileStartMarker) + "\r\nendless.txt\r\n");
    ASSERT_TRUE(form.Rx.FileReceiving);
    const std::size_t total = EventBytes() / 4;
    const std::size_t before = LiveHeap();
    std::mt19937 random(43);
    std::string line;
    for (std::size_t i = 0; i < total; i += line.size()) {
        line.assign(1 + random() % 70, static_cast<char>('a' + random() % 26));
        line += "\r\n";
        rx(line);
        if (i % 65536 < line.size()) form.PaneForChannel(0).Clear();
    }
    form.PaneForChannel(0).Clear();
    ASSERT_TRUE(form.Rx.FileReceiving);
    const std::size_t buffer = form.Rx.FileRxBuffer.capacity();
    EXPECT_GE(form.Rx.FileRxBuffer.size(), total);
    if (kOwnAllocator) {
        const std::size_t grown = LiveHeap() > before ? LiveHeap() - before : 0;
        const std::size_t outside = grown > buffer ? grown - buffer : 0;
        RecordProperty("FileBufferBytes", std::to_string(buffer));
        std::printf("%zu characters in an endless file frame: buffer %zu bytes, the rest of the heap grew %zu bytes\n",
                    form.Rx.FileRxBuffer.size(), buffer, outside);
        EXPECT_LT(outside, 256u * 1024u);
    }
    library->Release();
}

}  // namespace
}  // namespace quorvel::testing
