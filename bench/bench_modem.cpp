// The modem's sensitivity and cost.
//
// CER: character error rate against the signal-to-noise ratio (white noise
// in 3000 Hz), 2,000 characters of text per point, the station 10 Hz off the
// receive carrier with AFC on and its sound card 100 ppm fast with ATC on.
//   quorvel_bench --benchmark_filter=ModemCer
// reports CER (%) per mode and ratio. RealTime: five receive channels and
// the spectrum on the simulated band; "x_real_time" is seconds of audio per
// second of processing on one core.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

#include "DspEngine.h"
#include "ModemTestSupport.h"
#include "SimDispatcher.h"

namespace {

using namespace quorvel::modem;

std::string Text(std::size_t chars, std::uint32_t seed) {
    static const char* words[] = {"cq", "de", "dl1abc", "r3abc", "ur", "rst", "599", "name", "hans", "qth", "berlin",
                                  "tnx", "fer", "call", "hw", "cpy", "73", "es", "gl", "pse", "k", "the", "rig",
                                  "is", "ic-7300", "ant", "dipole", "wx", "sunny", "temp", "20c", "QSL", "VIA",
                                  "BURO", "LOC", "JO62QM", "?", "OK", "RR", "BTU"};
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(words) - 1);
    std::string text;
    while (text.size() < chars) {
        text += words[pick(rng)];
        text += text.size() % 60 < 6 ? "\r\n" : " ";
    }
    text.resize(chars);
    return text;
}

void ModemCer(benchmark::State& state, const char* mode, double baud) {
    test::AirPath p;
    p.baud = baud;
    p.snrDb = static_cast<double>(state.range(0));
    p.offsetHz = 10;
    p.clockPpm = 100;
    p.afc = p.atc = true;
    p.seed = 7;
    const std::string text = Text(2000, 3);
    double cer = 0;
    for (auto _ : state) {
        const auto r = test::SendOverAir(ModeIndex(mode), text, p);
        // Baudot has no lower case: compare in capitals.
        std::string sent = text;
        if (std::string(mode).rfind("rtty", 0) == 0)
            for (char& c : sent) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        cer = test::CharacterErrorRate(sent, r.decoded);
    }
    state.counters["CER_percent"] = 100 * cer;
}

BENCHMARK_CAPTURE(ModemCer, bpsk31, "bpsk", 31.25)->DenseRange(-14, 10, 2)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(ModemCer, qpsk31U, "qpsk-U", 31.25)->DenseRange(-14, 10, 2)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(ModemCer, bpsk125, "bpsk", 125.0)->DenseRange(-14, 10, 2)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(ModemCer, rtty45U, "rtty-U", 45.45)->DenseRange(-14, 10, 2)->Iterations(1)->Unit(benchmark::kSecond);

void ModemRealTime(benchmark::State& state) {
    quorvel::sim::TSimDispatcher clock;
    TDspModemEngine engine(clock);
    const char* modes[] = {"bpsk", "qpsk-U", "rtty-U", "BPSK", "FSK"};
    for (std::int16_t ch = 0; ch < 5; ++ch) {
        engine.set_ChannelOpen(ch, quorvel::OleTrue);
        engine.set_Mode(ch, static_cast<std::int16_t>(ModeIndex(modes[ch])));
        engine.set_RxCarrier(ch, static_cast<std::uint16_t>(600 + 400 * ch));
        engine.set_Afc(ch, 1);
        engine.RemoteSend(ch, Text(400, static_cast<std::uint32_t>(ch)));
    }
    double audio = 0;
    for (auto _ : state) {
        clock.Advance(1000);
        audio += 1;
    }
    state.counters["x_real_time"] = benchmark::Counter(audio, benchmark::Counter::kIsRate);
}
BENCHMARK(ModemRealTime)->Unit(benchmark::kMillisecond);

}  // namespace
