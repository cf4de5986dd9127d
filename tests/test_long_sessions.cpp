// Many run/release cycles with shows, closes and notifications in between:
// nothing the window made outlives it, and the heap stays flat.
// QUORVEL_LONG_CYCLES sets the number of cycles (the long run takes 10000).
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "PluginFixture.h"
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
        // What the fakes record grows by design; only the plug-in's own memory counts.
        received.clear();
        host.transceiver.calls.clear();
        host.transceiver.registered.clear();
        host.transceiver.tunes.clear();
        host.newQso.enables.clear();
        host.awards.set.clear();
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

}  // namespace
}  // namespace quorvel::testing
