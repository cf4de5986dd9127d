// The live capture path: what it adds between audio arriving from the sound
// card and the character event, beyond the demodulator's own delay.
//
// The capture thread's ring, the engine's 50 ms tick and the conversion from
// the device's 11025 Hz to the calibrated rate, against the same signal fed
// to a demodulator sample by sample as it arrives.
//   quorvel_bench --benchmark_filter=CapturePath
// "added_ms" is the mean added latency per character; items_per_second the
// device samples the path takes per second of processing.
#include <benchmark/benchmark.h>

#include <numeric>

#include "Modes.h"
#include "SoundCard.h"

namespace {

using namespace quorvel::modem;

constexpr double kDeviceRate = kNominalSampleRate;
constexpr std::size_t kTick = static_cast<std::size_t>(kDeviceRate * 0.05);

std::vector<float> Signal(int mode, const std::string& text) {
    auto tx = MakeModulator(mode, SettingsFor(mode, kDeviceRate, 1500, 31.25));
    for (char c : text) tx->PutChar(static_cast<std::uint8_t>(c));
    tx->Finish();
    std::vector<float> audio(static_cast<std::size_t>(kDeviceRate * 0.3), 0.0f), block(512);
    while (!tx->Finished()) {
        const std::size_t n = tx->Generate(block);
        audio.insert(audio.end(), block.begin(), block.begin() + static_cast<long>(n));
    }
    audio.resize(audio.size() + static_cast<std::size_t>(kDeviceRate), 0.0f);
    return audio;
}

// When (seconds of device audio) each character is raised.
std::vector<double> DirectTimes(int mode, const std::vector<float>& audio) {
    auto rx = MakeDemodulator(mode, SettingsFor(mode, kDeviceRate, 1500, 31.25));
    std::vector<double> times;
    std::size_t at = 0;
    rx->OnDecoded([&](std::uint8_t) { times.push_back(static_cast<double>(at) / kDeviceRate); });
    for (; at < audio.size(); at += 32) rx->Process(std::span<const float>(audio).subspan(at, std::min<std::size_t>(32, audio.size() - at)));
    return times;
}

void CapturePath(benchmark::State& state) {
    const double engineRate = static_cast<double>(state.range(0));
    const int mode = ModeIndex("bpsk");
    const auto audio = Signal(mode, "CQ CQ de DL1ABC pse k");
    const auto direct = DirectTimes(mode, audio);
    double added = 0;
    std::size_t characters = 0;
    for (auto _ : state) {
        TAudioRing ring(static_cast<std::size_t>(kDeviceRate * 4));
        TRateConverter converter;
        converter.SetRates(kDeviceRate, engineRate);
        auto rx = MakeDemodulator(mode, SettingsFor(mode, engineRate, 1500, 31.25));
        std::vector<double> times;
        std::size_t arrived = 0;
        rx->OnDecoded([&](std::uint8_t) { times.push_back(static_cast<double>(arrived) / kDeviceRate); });
        std::vector<float> raw(1024), block;
        for (std::size_t at = 0; at < audio.size(); at += kTick) {
            // The device delivers a tick's worth; the next tick takes it all.
            const std::size_t n = std::min(kTick, audio.size() - at);
            ring.Push(std::span<const float>(audio).subspan(at, n));
            arrived = at + n;
            while (const std::size_t got = ring.Pop(raw)) {
                block.clear();
                converter.Convert(std::span<const float>(raw.data(), got), block);
                rx->Process(block);
            }
        }
        benchmark::DoNotOptimize(times.data());
        const std::size_t k = std::min(times.size(), direct.size());
        for (std::size_t i = 0; i < k; ++i) added += times[i] - direct[i];
        characters += k;
    }
    state.counters["added_ms"] = characters > 0 ? added / static_cast<double>(characters) * 1000 : 0.0;
    state.counters["characters"] = static_cast<double>(characters) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(audio.size()));
}
BENCHMARK(CapturePath)->Arg(11025)->Arg(11100)->Unit(benchmark::kMillisecond);

}  // namespace
