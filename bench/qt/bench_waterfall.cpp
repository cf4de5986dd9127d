// The band's display at the engine's refresh: a spectrum of a real band with
// a station, drawn into a shown 1000 px waterfall (a new row, its paint) and
// into the spectrum trace. core_pct_at_10Hz is the share of one core the
// drawing takes at ten refreshes a second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "DspEngine.h"
#include "QtModemDisplays.h"
#include "SimDispatcher.h"

namespace {

using namespace quorvel;

// One real spectrum, handed out again and again as if new.
struct TRecordedBand {
    std::vector<std::int16_t> spectrum;
    QuorvelModemDisplayFrame frame{};
};
TRecordedBand* recorded = nullptr;

std::int32_t Frame(std::int32_t, std::int32_t, QuorvelModemDisplayFrame* out) {
    ++recorded->frame.Sequence;
    *out = recorded->frame;
    return 1;
}
std::int32_t Tune(std::int32_t, std::int32_t, std::int32_t) { return 0; }
constexpr QuorvelModemDisplay kDisplay{QUORVEL_MODEM_DISPLAY_VERSION, &Frame, &Tune};

TRecordedBand Record() {
    sim::TSimDispatcher dispatcher;
    modem::TDspModemEngine engine(dispatcher);
    engine.set_bActive(OleTrue);
    engine.set_RxCarrier(0, 1000);
    engine.Band()->SetSignalToNoise(0, 20);
    engine.RemoteSend(0, std::string(100, 'e'));
    for (int t = 0; t < 3000; t += 50) dispatcher.Advance(50);
    TRecordedBand band;
    engine.DisplayFrame(0, band.frame);
    band.spectrum.assign(band.frame.Spectrum, band.frame.Spectrum + band.frame.Bins);
    band.frame.Spectrum = band.spectrum.data();
    band.frame.Wave = nullptr;
    band.frame.WaveCount = 0;
    band.frame.Notches = nullptr;
    band.frame.NotchCount = 0;
    return band;
}

void BM_BandRefresh(benchmark::State& state) {
    TRecordedBand band = Record();
    recorded = &band;
    TControl control("XMMVView1");
    qt::TQtBandView view(&kDisplay, control);
    view.wType = static_cast<std::uint16_t>(state.range(0));
    QWidget window;
    QWidget* canvas = view.CreateCanvas(&window);
    canvas->setGeometry(0, 0, 1000, 120);
    window.resize(1000, 120);
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        view.DrawSpectrum(1);
        view.DrawChannel(1, 0);
        QApplication::processEvents();  // the paint
    }
    state.counters["core_pct_at_10Hz"] =
        benchmark::Counter(0.001, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    recorded = nullptr;
}

BENCHMARK(BM_BandRefresh)->Arg(1)->ArgName("waterfall")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BandRefresh)->Arg(0)->ArgName("spectrum")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
