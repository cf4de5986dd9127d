// The text-file watch on idle traffic: every received character is checked
// for a start marker. After 1 KB and after 100 MB of traffic without a frame
// a character must cost the same, and the watch must hold the same few bytes.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "rxtext/TextFileTransfer.h"

namespace {

using namespace quorvel;

// Chatter full of near misses: marker letters, a marker cut short, one with
// a wrong letter.
constexpr std::string_view kIdleTraffic =
    "cq cq de r1abc pse k\r\n!ZQHWB tnx fer call!ZQHWBSTX 599 ZQHWBSTS !ZQ\r\n73 es gl !ZQHWBST5";

void FileWatchOnIdleTraffic(benchmark::State& state) {
    const auto history = static_cast<std::size_t>(state.range(0));
    std::string buffer;
    for (std::size_t i = 0; i < history; ++i) {
        // A complete marker would start a reception: the near miss stays one.
        const char c = kIdleTraffic[i % kIdleTraffic.size()];
        if (FeedFileFrame(buffer, false, c) != TFileFrameEvent::None) buffer.clear();
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const char c = kIdleTraffic[i++ % kIdleTraffic.size()];
        TFileFrameEvent e = FeedFileFrame(buffer, false, c);
        if (e != TFileFrameEvent::None) buffer.clear();
        benchmark::DoNotOptimize(e);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["buffer_bytes"] = static_cast<double>(buffer.capacity());
}
BENCHMARK(FileWatchOnIdleTraffic)->Arg(1 << 10)->Arg(1 << 20)->Arg(100 << 20);

}  // namespace
