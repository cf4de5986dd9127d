#include "QtModemDisplays.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <functional>

#include "QtText.h"

namespace quorvel::qt {
namespace {

constexpr int kTopHz = 3000;
constexpr int kMinSpan = 100;
constexpr double kRangeDb = 30;  // from the noise floor to the palette's brightest

// Black through blue and cyan to yellow and white: weak traces stay visible
// on the dark floor, strong ones stand out without hiding their neighbours.
const std::array<QRgb, 256>& Palette() {
    static const std::array<QRgb, 256> palette = [] {
        struct Stop {
            double At;
            int R, G, B;
        };
        static constexpr Stop kStops[] = {{0.0, 0, 0, 24},     {0.25, 0, 0, 160},    {0.5, 0, 170, 230},
                                          {0.75, 240, 230, 0}, {1.0, 255, 255, 255}};
        std::array<QRgb, 256> out{};
        for (int i = 0; i < 256; ++i) {
            const double t = i / 255.0;
            std::size_t k = 0;
            while (k + 2 < std::size(kStops) && t > kStops[k + 1].At) ++k;
            const Stop& a = kStops[k];
            const Stop& b = kStops[k + 1];
            const double f = (t - a.At) / (b.At - a.At);
            out[static_cast<std::size_t>(i)] = qRgb(static_cast<int>(a.R + f * (b.R - a.R)),
                                                    static_cast<int>(a.G + f * (b.G - a.G)),
                                                    static_cast<int>(a.B + f * (b.B - a.B)));
        }
        return out;
    }();
    return palette;
}

QColor ChannelColour(int ch, bool current) {
    static const QColor kColours[] = {QColor(255, 255, 255), QColor(120, 255, 120), QColor(255, 170, 60),
                                      QColor(230, 120, 255), QColor(120, 220, 255)};
    QColor c = kColours[std::clamp(ch, 0, 4)];
    return current ? c : c.darker(140);
}

// A widget painted by its control; the control deletes it when it goes.
class TCanvas final : public QWidget {
public:
    // The painter, the whole canvas and the part to paint.
    using TPaint = std::function<void(QPainter&, const QRect&, const QRect&)>;
    TCanvas(QWidget* parent, TPaint paint) : QWidget(parent), paint_(std::move(paint)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    std::function<void(QMouseEvent&)> Pressed, Moved;
    std::function<void(int, int)> Resized;

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        paint_(p, rect(), e->rect());
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (Pressed) Pressed(*e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (Moved) Moved(*e);
    }
    void resizeEvent(QResizeEvent* e) override {
        if (Resized) Resized(e->size().width(), e->size().height());
    }

private:
    TPaint paint_;
};

bool Fetch(const QuorvelModemDisplay* display, std::int32_t handle, std::int16_t ch, QuorvelModemDisplayFrame& frame) {
    return display != nullptr && display->Frame != nullptr && display->Frame(handle, ch, &frame) == 1;
}

void Drop(QPointer<QWidget>& canvas) {
    QWidget* w = canvas.data();
    canvas.clear();
    delete w;
}

}  // namespace

// ---- The band ------------------------------------------------------------------------

int TBandWindow::FrequencyAt(int x, int width) const {
    if (width <= 0) return Low;
    return Low + static_cast<int>(std::lround((x + 0.5) * Span / width));
}

double TBandWindow::ColumnOf(double hz, int width) const { return (hz - Low) * width / Span; }

TQtBandView::TQtBandView(const QuorvelModemDisplay* display, TControl& control) : display_(display), control_(control) {
    Resize(300, 40);
}

TQtBandView::~TQtBandView() { Drop(canvas_); }

QWidget* TQtBandView::CreateCanvas(QWidget* parent) {
    auto* canvas = new TCanvas(parent, [this](QPainter& p, const QRect&, const QRect& clip) { Paint(p, clip); });
    canvas->setObjectName(ToQString(control_.Name));
    canvas->setMouseTracking(true);
    canvas->setCursor(Qt::CrossCursor);
    canvas->Resized = [this](int w, int h) { Resize(w, h - kMarkerStrip); };
    canvas->Pressed = [this, canvas](QMouseEvent& e) {
        Press(e.button(), static_cast<int>(e.position().x()), canvas->width());
    };
    canvas->Moved = [this, canvas](QMouseEvent& e) {
        wMouseNotch = NotchAt(static_cast<int>(e.position().x()), canvas->width());
        canvas->setCursor(wMouseNotch != 0 ? Qt::PointingHandCursor : Qt::CrossCursor);
    };
    canvas_ = canvas;
    return canvas;
}

void TQtBandView::Resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (image_.width() == width && image_.height() == height) return;
    image_ = QImage(width, height, QImage::Format_RGB32);
    trace_.assign(static_cast<std::size_t>(width), 0);
    Clear();
}

void TQtBandView::Clear() {
    image_.fill(Palette()[0]);
    std::fill(trace_.begin(), trace_.end(), std::uint8_t{0});
    top_ = 0;
}

void TQtBandView::FollowCarrier(int carrier) {
    const int span = std::clamp<int>(wWidthFreq, kMinSpan, kTopHz);
    TBandWindow next = window_;
    const bool inside = carrier >= window_.Low + span / 5 && carrier <= window_.Low + span * 4 / 5;
    if (span != window_.Span || !inside) {
        next.Span = span;
        next.Low = std::clamp((carrier - span / 2) / 10 * 10, 0, kTopHz - span);
    }
    if (next.Low == window_.Low && next.Span == window_.Span) return;
    // Rows drawn at the old frequencies would lie about the new ones.
    window_ = next;
    Clear();
    if (QWidget* c = canvas_.data()) c->update();
}

void TQtBandView::DrawSpectrum(std::int32_t handle) {
    handle_ = handle;
    QuorvelModemDisplayFrame frame{};
    if (!Fetch(display_, handle, channel_, frame)) return;
    const int carrier = frame.RxCarrier[static_cast<std::size_t>(channel_)];
    if (carrier != 0 || std::clamp<int>(wWidthFreq, kMinSpan, kTopHz) != window_.Span) FollowCarrier(carrier);
    if (frame.Sequence != sequence_ && frame.Bins > 0 && frame.BinHz > 0 && frame.Spectrum != nullptr) {
        sequence_ = frame.Sequence;
        AddRow(frame);
    }
    QWidget* canvas = canvas_.data();
    if (canvas != nullptr && (wType != shownType_ || wCursorFreq != shownCursor_)) {
        shownType_ = wType;
        shownCursor_ = wCursorFreq;
        canvas->update();
    }
    if (Drawn) Drawn();
}

void TQtBandView::AddRow(const QuorvelModemDisplayFrame& frame) {
    const int width = image_.width();
    const int height = image_.height();
    // Each column takes the strongest bin it covers, so a narrow trace is
    // not lost between columns at a wide span.
    columns_.resize(static_cast<std::size_t>(width));
    const double hzPerColumn = static_cast<double>(window_.Span) / width;
    for (int x = 0; x < width; ++x) {
        const double from = window_.Low + x * hzPerColumn;
        int first = static_cast<int>(from / frame.BinHz);
        int last = static_cast<int>((from + hzPerColumn) / frame.BinHz);
        first = std::clamp(first, 0, frame.Bins - 1);
        last = std::clamp(last, first, frame.Bins - 1);
        std::int16_t v = frame.Spectrum[first];
        for (int k = first + 1; k <= last; ++k) v = std::max(v, frame.Spectrum[k]);
        columns_[static_cast<std::size_t>(x)] = v / 100.0f;
    }
    // The noise floor: a low quantile of the row, which signals hardly move.
    sorted_ = columns_;
    auto q = sorted_.begin() + static_cast<std::ptrdiff_t>(sorted_.size() / 5);
    std::nth_element(sorted_.begin(), q, sorted_.end());
    const double floorDb = *q;
    top_ = (top_ + height - 1) % height;
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(top_));
    const auto& palette = Palette();
    for (int x = 0; x < width; ++x) {
        const double level = std::clamp((columns_[static_cast<std::size_t>(x)] - floorDb + 3) / kRangeDb, 0.0, 1.0);
        const auto index = static_cast<std::uint8_t>(std::lround(level * 255));
        row[x] = palette[index];
        // The trace settles a little, as the eye reads a spectrum.
        std::uint8_t& t = trace_[static_cast<std::size_t>(x)];
        t = static_cast<std::uint8_t>((t + 3 * index) / 4);
    }
    QWidget* canvas = canvas_.data();
    if (canvas == nullptr || !canvas->isVisible()) return;
    if (wType == 1) {
        // Only the new row: what is already on the screen moves down.
        const QRect rows(0, kMarkerStrip, canvas->width(), canvas->height() - kMarkerStrip);
        canvas->scroll(0, 1, rows);
        canvas->update(QRect(0, kMarkerStrip, canvas->width(), 1));
    } else {
        canvas->update();
    }
}

void TQtBandView::DrawChannel(std::int32_t handle, std::int16_t ch) {
    handle_ = handle;
    channel_ = ch;
    QuorvelModemDisplayFrame frame{};
    if (!Fetch(display_, handle, ch, frame)) return;
    std::vector<Marker> markers;
    for (int c = 0; c < QUORVEL_MODEM_DISPLAY_CHANNELS; ++c) {
        const auto i = static_cast<std::size_t>(c);
        if (frame.RxCarrier[i] != 0) markers.push_back({c, frame.RxCarrier[i], frame.Bandwidth[i], c == ch, false});
    }
    markers.push_back({0, frame.TxCarrier, frame.TxBandwidth, false, true});
    std::vector<std::uint16_t> notches;
    if (frame.Notches != nullptr)
        notches.assign(frame.Notches, frame.Notches + std::max(frame.NotchCount, 0));
    const auto same = [](const Marker& a, const Marker& b) {
        return a.Channel == b.Channel && a.Hz == b.Hz && a.Current == b.Current && a.Tx == b.Tx && std::lround(a.Bandwidth) == std::lround(b.Bandwidth);
    };
    const bool changed = notches != notches_ || markers.size() != markers_.size() ||
                         !std::equal(markers.begin(), markers.end(), markers_.begin(), same);
    markers_ = std::move(markers);
    notches_ = std::move(notches);
    QWidget* canvas = canvas_.data();
    if (changed && canvas != nullptr) {
        // The spectrum's own marker lines are below the strip.
        if (wType == 1) canvas->update(QRect(0, 0, canvas->width(), kMarkerStrip));
        else canvas->update();
    }
}

std::uint16_t TQtBandView::NotchAt(int x, int width) const {
    for (std::size_t i = 0; i < notches_.size(); ++i)
        if (std::abs(window_.ColumnOf(notches_[i], width) - x) <= 3) return static_cast<std::uint16_t>(i + 1);
    return 0;
}

void TQtBandView::Press(Qt::MouseButton button, int x, int width) {
    const int hz = window_.FrequencyAt(x, width);
    if (button == Qt::LeftButton) {
        if (display_ != nullptr && display_->Tune != nullptr) display_->Tune(handle_, channel_, hz);
    } else if (button == Qt::RightButton) {
        wMouseNotch = NotchAt(x, width);
        control_.MouseDown(TMouseButton::mbRight, TShiftState{}, hz, 0);
    }
}

QImage TQtBandView::Waterfall() const {
    QImage out(image_.size(), image_.format());
    QPainter p(&out);
    const int h = image_.height();
    p.drawImage(QPoint(0, 0), image_, QRect(0, top_, image_.width(), h - top_));
    p.drawImage(QPoint(0, h - top_), image_, QRect(0, 0, image_.width(), top_));
    return out;
}

void TQtBandView::Paint(QPainter& p, const QRect& clip) const {
    const int width = image_.width();
    const int h = image_.height();
    const QRect strip(0, 0, width, kMarkerStrip);
    if (clip.intersects(strip)) {
        p.fillRect(strip, QColor(16, 16, 40));
        for (const Marker& m : markers_) {
            const int x = static_cast<int>(std::lround(window_.ColumnOf(m.Hz, width)));
            const int half = std::max(1, static_cast<int>(std::lround(m.Bandwidth / 2 * width / window_.Span)));
            const QColor colour = m.Tx ? QColor(255, 60, 60) : ChannelColour(m.Channel, m.Current);
            const int y = m.Tx ? kMarkerStrip - 2 : 1;
            p.fillRect(QRect(x - half, y, 2 * half + 1, 2), colour);
            if (!m.Tx) {
                QPainterPath tick;
                tick.moveTo(x - 3, 3);
                tick.lineTo(x + 3, 3);
                tick.lineTo(x, kMarkerStrip - 1);
                tick.closeSubpath();
                p.fillPath(tick, colour);
            }
        }
        p.setPen(QColor(255, 80, 80));
        for (std::uint16_t n : notches_) {
            const int x = static_cast<int>(std::lround(window_.ColumnOf(n, width)));
            p.drawLine(x - 2, 0, x + 2, kMarkerStrip - 1);
            p.drawLine(x + 2, 0, x - 2, kMarkerStrip - 1);
        }
    }
    const QRect area(0, kMarkerStrip, width, h);
    if (!clip.intersects(area)) return;
    if (wType == 1) {
        p.drawImage(QPoint(0, kMarkerStrip), image_, QRect(0, top_, width, h - top_));
        if (top_ > 0) p.drawImage(QPoint(0, kMarkerStrip + h - top_), image_, QRect(0, 0, width, top_));
    } else {
        p.fillRect(area, Palette()[0]);
        p.setPen(QColor(40, 60, 110));
        for (int hz = (window_.Low / 500 + 1) * 500; hz < window_.Low + window_.Span; hz += 500) {
            const int x = static_cast<int>(window_.ColumnOf(hz, width));
            p.drawLine(x, area.top(), x, area.bottom());
        }
        for (const Marker& m : markers_) {
            if (m.Tx || !m.Current) continue;
            p.setPen(QPen(ChannelColour(0, true), 1, Qt::DotLine));
            const int x = static_cast<int>(std::lround(window_.ColumnOf(m.Hz, width)));
            p.drawLine(x, area.top(), x, area.bottom());
        }
        QPolygon trace(width);
        for (int x = 0; x < width; ++x)
            trace[x] = QPoint(x, area.bottom() - trace_[static_cast<std::size_t>(x)] * (h - 1) / 255);
        p.setPen(QColor(240, 230, 0));
        p.drawPolyline(trace);
    }
    if (wCursorFreq != 0) {
        p.setPen(QColor(255, 255, 0));
        const int x = static_cast<int>(std::lround(window_.ColumnOf(wCursorFreq, width)));
        p.drawLine(x, area.top(), x, area.bottom());
    }
}

// ---- The scale ------------------------------------------------------------------------

TQtScaleView::~TQtScaleView() { Drop(canvas_); }

QWidget* TQtScaleView::CreateCanvas(QWidget* parent) {
    auto* canvas = new TCanvas(parent, [this](QPainter& p, const QRect& whole, const QRect&) { Paint(p, whole); });
    canvas->setObjectName(QStringLiteral("XMMVView2"));
    canvas_ = canvas;
    return canvas;
}

void TQtScaleView::Follow() {
    const TBandWindow w = band_.Window();
    if (dwFreqHz == shownDial_ && bLSB == shownLsb_ && w.Low == shownWindow_.Low && w.Span == shownWindow_.Span) return;
    shownDial_ = dwFreqHz;
    shownLsb_ = bLSB;
    shownWindow_ = w;
    if (QWidget* c = canvas_.data()) c->update();
}

QString TQtScaleView::Label(int hz) const {
    if (dwFreqHz == 0) return QString::number(hz);
    const double dial = dwFreqHz + (bLSB != 0 ? -hz : hz);
    return QString::number(dial / 1000.0, 'f', 1);
}

void TQtScaleView::Paint(QPainter& p, const QRect& rect) const {
    p.fillRect(rect, QColor(236, 236, 228));
    const TBandWindow w = band_.Window();
    const int width = rect.width();
    const int step = w.Span <= 1000 ? 100 : 500;
    const QFontMetrics metrics(p.font());
    p.setPen(QColor(40, 40, 40));
    int lastRight = -1000;
    for (int hz = (w.Low + step - 1) / step * step; hz <= w.Low + w.Span; hz += step) {
        const int x = static_cast<int>(std::lround(w.ColumnOf(hz, width)));
        p.drawLine(x, rect.top(), x, rect.top() + 3);
        const QString text = Label(hz);
        const int textWidth = metrics.horizontalAdvance(text);
        const int left = std::clamp(x - textWidth / 2, 0, std::max(0, width - textWidth));
        if (left <= lastRight + 6) continue;
        p.drawText(QRect(left, rect.top() + 3, textWidth, rect.height() - 3), Qt::AlignLeft | Qt::AlignVCenter, text);
        lastRight = left + textWidth;
    }
}

// ---- The tuning strip ---------------------------------------------------------------

TQtTuningView::~TQtTuningView() { Drop(canvas_); }

QWidget* TQtTuningView::CreateCanvas(QWidget* parent) {
    auto* canvas = new TCanvas(parent, [this](QPainter& p, const QRect& whole, const QRect&) { Paint(p, whole); });
    canvas->setObjectName(QStringLiteral("AFCLvl"));
    canvas_ = canvas;
    return canvas;
}

void TQtTuningView::DrawTuning(std::int32_t handle, std::int16_t ch) {
    QuorvelModemDisplayFrame frame{};
    if (!Fetch(display_, handle, ch, frame)) return;
    const double half = std::max(frame.Bandwidth[static_cast<std::size_t>(std::clamp<int>(ch, 0, 4))] / 2, 5.0);
    const double error = std::clamp(frame.TuningError / half, -1.0, 1.0);
    QWidget* canvas = canvas_.data();
    const int w = canvas != nullptr ? canvas->width() : 25;
    const bool moved = std::lround(error * w / 2) != std::lround(error_ * w / 2);
    error_ = error;
    if (moved && canvas != nullptr) canvas->update();
}

void TQtTuningView::Paint(QPainter& p, const QRect& rect) const {
    p.fillRect(rect, QColor(0, 0, 24));
    const int centre = rect.center().x();
    p.setPen(QColor(90, 90, 120));
    p.drawLine(centre, rect.top(), centre, rect.bottom());
    const int x = centre + static_cast<int>(std::lround(error_ * rect.width() / 2));
    const QColor colour = std::abs(error_) < 0.25 ? QColor(80, 255, 80) : QColor(255, 200, 0);
    p.fillRect(QRect(x - 1, rect.top() + 2, 3, rect.height() - 4), colour);
}

// ---- The level meter ------------------------------------------------------------------

TQtLevelMeter::~TQtLevelMeter() { Drop(canvas_); }

QWidget* TQtLevelMeter::CreateCanvas(QWidget* parent) {
    auto* canvas = new TCanvas(parent, [this](QPainter& p, const QRect& whole, const QRect&) { Paint(p, whole); });
    canvas->setObjectName(QStringLiteral("XMMVLvl1"));
    canvas_ = canvas;
    return canvas;
}

void TQtLevelMeter::DrawLevel(std::int32_t handle, std::int16_t ch) {
    QuorvelModemDisplayFrame frame{};
    if (!Fetch(display_, handle, ch, frame)) return;
    QWidget* canvas = canvas_.data();
    const int h = canvas != nullptr ? canvas->height() : 50;
    const auto pixel = [h](double db) { return std::lround(std::clamp(db / kTopDb, 0.0, 1.0) * h); };
    const bool moved = pixel(frame.SignalToNoise) != pixel(snr_) || pixel(frame.Squelch) != pixel(squelch_);
    snr_ = frame.SignalToNoise;
    squelch_ = frame.Squelch;
    if (moved && canvas != nullptr) canvas->update();
}

void TQtLevelMeter::Paint(QPainter& p, const QRect& rect) const {
    p.fillRect(rect, QColor(0, 0, 24));
    const auto y = [&rect](double db) {
        return rect.bottom() - static_cast<int>(std::lround(std::clamp(db / kTopDb, 0.0, 1.0) * rect.height()));
    };
    const bool open = snr_ >= squelch_;
    p.fillRect(QRect(QPoint(rect.left() + 4, y(snr_)), QPoint(rect.right() - 4, rect.bottom())),
               open ? QColor(60, 220, 60) : QColor(40, 90, 40));
    p.setPen(QPen(QColor(255, 220, 0), 2));
    p.drawLine(rect.left(), y(squelch_), rect.right(), y(squelch_));
}

}  // namespace quorvel::qt
