#pragma once
// The modem engine's display controls on Qt: the band (waterfall or
// spectrum with the channel, transmit and notch markers), the frequency
// scale, the tuning strip and the level meter. The window tells them only
// the engine's handle and a channel; they fetch what they draw through the
// module's display table. Each control keeps what it shows; its canvas
// widget, made by the view, paints from it.
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "modem/ModemEngine.h"
#include "ui/Controls.h"

namespace quorvel::qt {

class TQtBandView;

// The audio frequencies the band shows: Low to Low + Span.
struct TBandWindow {
    int Low = 0;
    int Span = 3000;
    // The frequency under column x of a view width columns wide, and back.
    int FrequencyAt(int x, int width) const;
    double ColumnOf(double hz, int width) const;
};

// XMMVView1: the waterfall scrolls down one row for each new spectrum; only the new
// row and the marker strip above it are painted again.
class TQtBandView final : public TXMMVView {
public:
    static constexpr int kMarkerStrip = 7;  // pixels above the waterfall for the markers

    // control: the form's control, which gets the right button (x in Hz).
    TQtBandView(const QuorvelModemDisplay* display, TControl& control);
    ~TQtBandView() override;

    void DrawSpectrum(std::int32_t handle) override;
    void DrawChannel(std::int32_t handle, std::int16_t ch) override;

    QWidget* CreateCanvas(QWidget* parent);
    // Called after each spectrum (the scale follows the band).
    std::function<void()> Drawn;

    TBandWindow Window() const { return window_; }
    // The waterfall as shown, newest row at the top.
    QImage Waterfall() const;
    // The spectrum trace: a level per column, 0 (floor) to 255.
    const std::vector<std::uint8_t>& Trace() const { return trace_; }
    // Left button at column x: the current channel moves there; right
    // button: the window's right click at that frequency.
    void Press(Qt::MouseButton button, int x, int width);
    // The notch under column x (1-based), 0 none.
    std::uint16_t NotchAt(int x, int width) const;
    void Resize(int width, int height);
    void Paint(QPainter& painter, const QRect& clip) const;

private:
    struct Marker {
        int Channel = 0;
        int Hz = 0;
        double Bandwidth = 0;
        bool Current = false, Tx = false;
    };
    void AddRow(const QuorvelModemDisplayFrame& frame);
    void FollowCarrier(int carrier);
    void Clear();

    const QuorvelModemDisplay* display_;
    TControl& control_;
    QPointer<QWidget> canvas_;
    std::int32_t handle_ = 0;
    std::int16_t channel_ = 0;
    std::uint32_t sequence_ = 0;
    TBandWindow window_;
    QImage image_;  // ring of rows, row top_ the newest
    int top_ = 0;
    std::vector<std::uint8_t> trace_;
    std::vector<float> columns_, sorted_;  // scratch: the row in dB, and for its noise floor
    std::vector<Marker> markers_;
    std::vector<std::uint16_t> notches_;
    // What was last painted of the options the window sets.
    std::uint16_t shownType_ = 0xFFFF, shownCursor_ = 0;
};

// XMMVView2: the scale of the band, in kHz of the dial when it is known
// (below the dial on lower sideband), in audio Hz otherwise.
class TQtScaleView final : public TXMMVView {
public:
    explicit TQtScaleView(const TQtBandView& band) : band_(band) {}
    ~TQtScaleView() override;
    QWidget* CreateCanvas(QWidget* parent);
    // Paints again when the dial, sideband or band moved.
    void Follow();
    // The label at audio frequency hz, as the scale writes it.
    QString Label(int hz) const;
    void Paint(QPainter& painter, const QRect& rect) const;

private:
    const TQtBandView& band_;
    QPointer<QWidget> canvas_;
    std::int32_t shownDial_ = -1;
    TOleBool shownLsb_ = OleFalse;
    TBandWindow shownWindow_{-1, 0};
};

// AFCLvl: how far the channel's AFC has pulled it off the set carrier.
class TQtTuningView final : public TXMMVView {
public:
    explicit TQtTuningView(const QuorvelModemDisplay* display) : display_(display) {}
    ~TQtTuningView() override;
    void DrawTuning(std::int32_t handle, std::int16_t ch) override;
    QWidget* CreateCanvas(QWidget* parent);
    // -1 (far below) to 1 (far above).
    double Error() const { return error_; }
    void Paint(QPainter& painter, const QRect& rect) const;

private:
    const QuorvelModemDisplay* display_;
    QPointer<QWidget> canvas_;
    double error_ = 0;
};

// XMMVLvl1: the channel's signal to noise against the squelch threshold.
class TQtLevelMeter final : public TXMMVLvl {
public:
    static constexpr double kTopDb = 40;
    explicit TQtLevelMeter(const QuorvelModemDisplay* display) : display_(display) {}
    ~TQtLevelMeter() override;
    void DrawLevel(std::int32_t handle, std::int16_t ch) override;
    QWidget* CreateCanvas(QWidget* parent);
    double SignalToNoise() const { return snr_; }
    double Squelch() const { return squelch_; }
    void Paint(QPainter& painter, const QRect& rect) const;

private:
    const QuorvelModemDisplay* display_;
    QPointer<QWidget> canvas_;
    double snr_ = 0, squelch_ = 0;
};

}  // namespace quorvel::qt
