// Received characters through the main window's MMVARI1RxChar into a receive pane
// with smiley substitution on, with the pane at 1 KB and at 10 MB: the cost
// of a character must not grow with the text already in the pane. Also the
// heap bytes a received character costs, counted by the allocator.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "LoopbackEngine.h"
#include "SimPlatform.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"

// ---- A counting allocator: live heap bytes of the whole program ------------

namespace {
constexpr std::size_t kHeader = alignof(std::max_align_t);
std::size_t g_liveBytes = 0;

// Out of line, so that the compiler never pairs a free() with a new it inlined.
[[gnu::noinline]] void* CountedAllocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    g_liveBytes += size;
    return block + kHeader;
}

[[gnu::noinline]] void CountedFree(void* p) {
    if (p == nullptr) return;
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    g_liveBytes -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
    void* p = CountedAllocate(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void operator delete(void* p) noexcept { CountedFree(p); }

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using namespace quorvel;

// What a station receives: calls, reports, laughter, line ends, corrections.
constexpr std::u16string_view kTraffic =
    u"cq cq de r1abc r1abc pse k\r"
    u"r1abc de ua3xyz ga om tnx fer call hi hi ur rst 599 599\r"
    u"name ivan ivan qth moskva (hi) HI! btu\r"
    u"ok ok tnx fer nice qso 73 es gl\b\bgd dx hi, cul\r\n";

// One window on the sim platform, built once; channel 0's pane is kept near
// 1 KB and channel 1's near 10 MB.
struct Station {
    Station() {
        sim.Ports().Engines = &engines;
        library = std::make_unique<TPluginLibrary>(sim.Ports());
        form = TForm::Create<TMainForm>(*library);
        library->Config.HIToSml = true;
        library->Config.SelectedRcvr = true;
        small = Fill(0, 1 << 10);
        const std::size_t before = g_liveBytes;
        const std::size_t chars = Fill(1, 10 << 20);
        bytesPerChar = static_cast<double>(g_liveBytes - before) / static_cast<double>(chars);
        large = form->RichEdit2.GetTextLen();
    }

    // Receives traffic on a channel until its pane holds at least `bytes`,
    // every fourth block as the echo of a transmission of our own (its own
    // colour and the gray line at its end); returns the characters received.
    std::size_t Fill(std::int16_t channel, int bytes) {
        form->RzPageControl1.SetActivePageIndex(channel);
        TRichEdit& pane = form->PaneForChannel(channel);
        std::size_t chars = 0;
        for (int block = 0; pane.GetTextLen() < bytes; ++block) {
            const bool echo = block % 4 == 3;
            if (echo) engines.Last->SetTxState(TxStateTransmit);
            for (char16_t c : kTraffic) {
                Receive(channel, c);
                ++chars;
            }
            if (echo) {
                engines.Last->SetTxState(TxStateReceive);
                sim.Dispatcher.Advance(0);
            }
        }
        form->RzPageControl1.SetActivePageIndex(0);
        return chars;
    }
    void Receive(std::int16_t channel, char16_t c) {
        const std::u16string s(1, c);
        form->MMVARI1RxChar(channel, s, c);
    }

    sim::TSimPlatform sim;
    TLoopbackEngineFactory engines;
    std::unique_ptr<TPluginLibrary> library;
    std::unique_ptr<TMainForm> form;
    int small = 0, large = 0;
    double bytesPerChar = 0;
};

Station& TheStation() {
    static Station station;
    return station;
}

void BM_RxCharIntoPane(benchmark::State& state, std::int16_t channel) {
    Station& s = TheStation();
    TRichEdit& pane = s.form->PaneForChannel(channel);
    const int size = pane.GetTextLen();
    std::int64_t chars = 0;
    for (auto _ : state) {
        for (char16_t c : kTraffic) s.Receive(channel, c);
        chars += static_cast<std::int64_t>(kTraffic.size());
        // Back to the size being measured, outside the timing.
        state.PauseTiming();
        pane.SetSelStart(size);
        pane.SetSelLength(pane.GetTextLen() - size);
        pane.SetSelText({});
        state.ResumeTiming();
    }
    state.SetItemsProcessed(chars);
    state.counters["pane_bytes"] = static_cast<double>(size);
    state.counters["heap_bytes_per_char"] = s.bytesPerChar;
}
BENCHMARK_CAPTURE(BM_RxCharIntoPane, pane_1KB, std::int16_t{0});
BENCHMARK_CAPTURE(BM_RxCharIntoPane, pane_10MB, std::int16_t{1});

}  // namespace
