// The display controls over the signal-processing engine: what the waterfall,
// the markers and the scale show of a simulated station, and what a click on
// the band does to the engine.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "ModemDisplay.h"
#include "QtModemDisplays.h"
#include "QtRichPane.h"
#include "QtSync.h"
#include "SimDispatcher.h"
#include "ui/RichEdit.h"

namespace quorvel::testing {
namespace {

using qt::TQtBandView;

// What the window does on the engine's drawing report: the handle and the
// channel, nothing else.
class TDrawingWindow final : public IModemEngineEvents {
public:
    TQtBandView* Band = nullptr;
    qt::TQtLevelMeter* Level = nullptr;
    qt::TQtTuningView* Tuning = nullptr;
    std::int16_t Channel = 0;
    std::int32_t Handle = 0;
    std::vector<std::pair<int, int>> Carriers;  // OnRxCarrier reports

    void OnDrawFFT(std::uint16_t, const std::int16_t*) override {
        if (Band != nullptr) {
            Band->DrawSpectrum(Handle);
            Band->DrawChannel(Handle, Channel);
        }
        if (Level != nullptr) Level->DrawLevel(Handle, Channel);
        if (Tuning != nullptr) Tuning->DrawTuning(Handle, Channel);
    }
    void OnRxCarrier(std::int16_t ch, std::uint16_t hz) override { Carriers.emplace_back(ch, hz); }
};

// Counts the paint events of a widget and the area they cover.
class TPaintCounter final : public QObject {
public:
    explicit TPaintCounter(QWidget& w) { w.installEventFilter(this); }
    int Paints = 0;
    int LargestRows = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++Paints;
            LargestRows = std::max(LargestRows, static_cast<QPaintEvent*>(e)->region().boundingRect().height());
        }
        return false;
    }
};

class ModemDisplaysTest : public ::testing::Test {
protected:
    static constexpr int kStationHz = 1000;

    ModemDisplaysTest() : engine(dispatcher, &modem::ModuleEngines()), band(modem::ModuleDisplay(), control) {
        window.Handle = engine.dwHandle();
        window.Band = &band;
        engine.SetEvents(&window);
        engine.set_bActive(OleTrue);
        // A station calling at 1000 Hz; the main channel listens elsewhere.
        engine.set_RxCarrier(0, kStationHz);
        engine.Band()->SetSignalToNoise(0, 20);
        engine.RemoteSend(0, std::string(200, 'e'));
        engine.set_RxCarrier(0, 2200);
        control.OnMouseDown = [this](TComponent*, TMouseButton b, TShiftState, int x, int) {
            if (b == TMouseButton::mbRight) rightClicks.emplace_back(x, band.wMouseNotch);
        };
    }
    ~ModemDisplaysTest() override { engine.SetEvents(nullptr); }

    void Run(int ms) {
        for (int t = 0; t < ms; t += 50) dispatcher.Advance(50);
    }
    // Mean brightness of each column over the newest rows.
    static std::vector<double> Columns(const QImage& image, int rows) {
        std::vector<double> out(static_cast<std::size_t>(image.width()), 0.0);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < image.width(); ++x) out[static_cast<std::size_t>(x)] += qGray(image.pixel(x, y)) / double(rows);
        return out;
    }

    sim::TSimDispatcher dispatcher;
    modem::TDspModemEngine engine;
    TControl control{"XMMVView1"};
    TQtBandView band;
    TDrawingWindow window;
    std::vector<std::pair<int, int>> rightClicks;  // Hz, the notch under the pointer
};

TEST_F(ModemDisplaysTest, WaterfallShowsTheStationsTraceAndNothingElseAboveTheNoise) {
    band.wType = 1;
    band.Resize(1000, 40);
    Run(5000);
    const QImage image = band.Waterfall();
    const std::vector<double> columns = Columns(image, 20);
    const double station = *std::max_element(columns.begin() + 320, columns.begin() + 347);
    std::vector<double> sorted = columns;
    std::nth_element(sorted.begin(), sorted.begin() + 500, sorted.end());
    const double median = sorted[500];
    EXPECT_GT(station, median + 100) << "a bright column at " << kStationHz << " Hz";
    const auto brightest = std::max_element(columns.begin(), columns.end()) - columns.begin();
    EXPECT_NEAR(brightest, 333, 4) << "3 Hz a column: 1000 Hz is column 333";
    for (int x = 0; x < 1000; ++x) {
        if (std::abs(x - 333) <= 15) continue;  // the trace's own sidebands
        EXPECT_LT(columns[static_cast<std::size_t>(x)], median + 60) << "nothing else above the noise, column " << x;
    }
    // The spectrum trace peaks at the same place.
    const auto& trace = band.Trace();
    EXPECT_NEAR(std::max_element(trace.begin(), trace.end()) - trace.begin(), 333, 4);
}

TEST_F(ModemDisplaysTest, NarrowSpanFollowsTheChannelAndClicksTuneIt) {
    band.wWidthFreq = 500;
    band.Resize(1000, 40);
    Run(500);
    EXPECT_EQ(band.Window().Low, 1950) << "the span is centred on the channel's carrier";
    EXPECT_EQ(band.Window().Span, 500);
    band.Press(Qt::LeftButton, 0, 1000);
    EXPECT_EQ(engine.RxCarrier(0), 1950);
    ASSERT_FALSE(window.Carriers.empty());
    EXPECT_EQ(window.Carriers.back(), std::make_pair(0, 1950)) << "the window hears of it as any carrier change";

    // Another channel current: the click moves that one, not the main one.
    engine.set_ChannelOpen(2, OleTrue);
    engine.set_RxCarrier(2, 1900);
    window.Channel = 2;
    Run(500);
    band.Press(Qt::LeftButton, 999, 1000);
    EXPECT_EQ(engine.RxCarrier(2), band.Window().Low + 500);
    EXPECT_EQ(engine.RxCarrier(0), 1950);
}

TEST_F(ModemDisplaysTest, RightClickGivesTheWindowTheFrequencyAndTheNotchUnderThePointer) {
    band.Resize(1000, 40);
    engine.AddNotch(1200);
    Run(500);
    ASSERT_EQ(band.NotchAt(400, 1000), 1) << "1200 Hz is column 400";
    band.Press(Qt::RightButton, 401, 1000);
    band.Press(Qt::RightButton, 600, 1000);
    ASSERT_EQ(rightClicks.size(), 2u);
    EXPECT_EQ(rightClicks[0], std::make_pair(1205, 1));
    EXPECT_EQ(rightClicks[1], std::make_pair(1802, 0));
    EXPECT_EQ(engine.RxCarrier(0), 2200) << "a right click tunes nothing";
}

TEST_F(ModemDisplaysTest, WaterfallRepaintsOnlyTheNewRow) {
    QWidget parent;
    QWidget* canvas = band.CreateCanvas(&parent);
    band.wType = 1;
    canvas->setGeometry(0, 0, 1000, 60);
    parent.resize(1000, 60);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QApplication::processEvents();
    Run(400);  // the marker strip and the first rows
    QApplication::processEvents();
    TPaintCounter counter(*canvas);
    Run(2000);  // ten spectra
    QApplication::processEvents();
    EXPECT_GE(counter.Paints, 1);
    EXPECT_LE(counter.LargestRows, 10 + TQtBandView::kMarkerStrip) << "rows already shown move, they are not drawn again";
    // A left click on the canvas itself tunes.
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(500, 30));
    EXPECT_EQ(engine.RxCarrier(0), 1502);
}

TEST_F(ModemDisplaysTest, CharactersArrivingWithASpectrumReachThePaneInTheSameTurn) {
    // The model outlives the pane its parent takes down.
    TFocusScope focus;
    TRichEdit model("RichEdit1", &focus);
    qt::TQtSync sync;
    QWidget parent;
    QWidget* canvas = band.CreateCanvas(&parent);
    band.wType = 1;
    canvas->setGeometry(0, 0, 1000, 60);
    auto* pane = new qt::TQtRichPane(model, sync, &parent);
    pane->setGeometry(0, 60, 400, 100);
    parent.resize(1000, 160);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    Run(400);
    QApplication::processEvents();
    TPaintCounter bandPaints(*canvas);
    // One engine tick: a spectrum, and a character decoded in the same tick.
    for (int i = 0; i < 4 && bandPaints.Paints == 0; ++i) {
        const std::uint64_t synced = sync.Flushes();
        dispatcher.Advance(50);
        model.SetSelStart(model.GetTextLen());
        model.SetSelText("k");
        QApplication::processEvents();  // one turn
        if (bandPaints.Paints == 0) continue;
        EXPECT_GT(sync.Flushes(), synced) << "the pane synced in the turn that painted the band";
    }
    EXPECT_GE(bandPaints.Paints, 1);
}

TEST_F(ModemDisplaysTest, ScaleLabelsAndLevelMeter) {
    qt::TQtScaleView scale(band);
    EXPECT_EQ(scale.Label(1500), "1500") << "without a dial: audio Hz";
    scale.dwFreqHz = 14070000;
    EXPECT_EQ(scale.Label(1500), "14071.5");
    scale.bLSB = OleTrue;
    EXPECT_EQ(scale.Label(1500), "14068.5") << "below the dial on lower sideband";

    qt::TQtLevelMeter level(modem::ModuleDisplay());
    window.Level = &level;
    engine.set_wAFCLevel(18);
    engine.set_RxCarrier(0, kStationHz);
    Run(4000);
    EXPECT_EQ(level.Squelch(), 18) << "the AFC level is the threshold";
    EXPECT_GT(level.SignalToNoise(), 10) << "on the station";
    engine.set_RxCarrier(0, 2500);
    Run(4000);
    EXPECT_LT(level.SignalToNoise(), 10) << "off the station";

    // An engine the module does not know: nothing drawn, nothing tuned.
    window.Handle = 12345;
    Run(250);
    band.Press(Qt::LeftButton, 10, 1000);
    EXPECT_EQ(engine.RxCarrier(0), 2500);
}

}  // namespace
}  // namespace quorvel::testing
