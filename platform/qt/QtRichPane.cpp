#include "QtRichPane.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cmath>

#include "QtColors.h"
#include "QtText.h"

namespace quorvel::qt {
namespace {

constexpr int kMargin = 2;

TShiftState ShiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
    TShiftState s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    if (b & Qt::LeftButton) s |= ssLeft;
    if (b & Qt::RightButton) s |= ssRight;
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton) return TMouseButton::mbRight;
    if (b == Qt::MiddleButton) return TMouseButton::mbMiddle;
    return TMouseButton::mbLeft;
}

// A scroll bar that paints again only when what it shows changed: a pane
// that follows a long text moves its range and value with every new row,
// mostly by less than a pixel of the bar. While held, changes are only
// looked at when let go, so a range that grows before the value follows
// is one change, not two.
class TQuietScrollBar final : public QScrollBar {
public:
    explicit TQuietScrollBar(Qt::Orientation o) : QScrollBar(o) {}
    class THold {
    public:
        explicit THold(QScrollBar* bar) : bar_(static_cast<TQuietScrollBar&>(*bar)) { ++bar_.held_; }
        ~THold() {
            if (--bar_.held_ == 0) bar_.Look(SliderValueChange);
        }
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;

    private:
        TQuietScrollBar& bar_;
    };

protected:
    void sliderChange(SliderChange change) override {
        if (held_ == 0 || change == SliderOrientationChange) Look(change);
    }

private:
    struct TLook {
        QRect Slider;
        bool AtMinimum = false, AtMaximum = false, Empty = false;
        bool operator==(const TLook&) const = default;
    };
    void Look(SliderChange change) {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const TLook look{style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
                         value() == minimum(), value() == maximum(), minimum() == maximum()};
        if (look == shown_ && change != SliderOrientationChange) return;
        shown_ = look;
        QScrollBar::sliderChange(change);
    }
    TLook shown_;
    int held_ = 0;
};

}  // namespace

TQtRichPane::TQtRichPane(TRichEdit& model, TQtSync& sync, QWidget* parent)
    : QAbstractScrollArea(parent), TBinding(sync), model_(model) {
    setObjectName(ToQString(model.Name));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBar(new TQuietScrollBar(Qt::Vertical));  // the pane owns it
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ApplyFont();
    model_.Observe([this] { Changed(); });
    Sync();
}

TQtRichPane::~TQtRichPane() { model_.Observe(nullptr); }

void TQtRichPane::SetPicture(int pictureId, const QPixmap& picture) {
    pictures_[pictureId] = picture;
    ApplyFont();
    LayoutFrom(0);
    viewport()->update();
}

void TQtRichPane::ApplyFont() {
    font_ = model_.DefAttributes;
    QFont font = ToQFont(font_);
    font.setKerning(false);  // a character's advance is the same wherever it stands
    viewport()->setFont(font);
    const QFontMetricsF fm(font);
    for (int c = 0; c < 256; ++c) {
        const char32_t u = Cp1251ToUnicode(static_cast<unsigned char>(c));
        widths_[static_cast<std::size_t>(c)] = c < 0x20 ? fm.horizontalAdvance(QLatin1Char('?'))
                                                        : fm.horizontalAdvance(QString::fromUcs4(&u, 1));
    }
    widths_['\t'] = fm.horizontalAdvance(QLatin1Char(' ')) * 4;
    int pictureHeight = 0;
    pictureWidth_ = 16;
    for (const auto& [id, pixmap] : pictures_) {
        pictureHeight = std::max(pictureHeight, pixmap.height());
        pictureWidth_ = std::max<qreal>(pictureWidth_, pixmap.width());
    }
    if (pictures_.empty()) pictureHeight = 16;
    rowHeight_ = std::max(static_cast<int>(std::ceil(fm.lineSpacing())), pictureHeight);
    ascent_ = static_cast<int>(std::ceil(fm.ascent())) + (rowHeight_ - static_cast<int>(std::ceil(fm.lineSpacing()))) / 2;
    verticalScrollBar()->setSingleStep(rowHeight_);
}

int TQtRichPane::LayoutWidth() const { return std::max(1, viewport()->width() - 2 * kMargin); }

qreal TQtRichPane::Advance(int position) const {
    const auto c = static_cast<unsigned char>(model_.Text()[static_cast<std::size_t>(position)]);
    if (c == static_cast<unsigned char>(TRichEdit::kObjectChar) && model_.IsPicture(position)) return pictureWidth_;
    return widths_[c];
}

int TQtRichPane::RowOf(int position) const {
    auto it = std::upper_bound(rows_.begin(), rows_.end(), position);
    return std::max(0, static_cast<int>(it - rows_.begin()) - 1);
}

int TQtRichPane::RowEnd(int row) const {
    const std::string& text = model_.Text();
    int end = row + 1 < RowCount() ? rows_[static_cast<std::size_t>(row) + 1] : static_cast<int>(text.size());
    // A line break ends its row but is not drawn.
    if (end > rows_[static_cast<std::size_t>(row)] && text[static_cast<std::size_t>(end) - 1] == '\n') --end;
    if (end > rows_[static_cast<std::size_t>(row)] && text[static_cast<std::size_t>(end) - 1] == '\r') --end;
    return end;
}

// Greedy word wrap from the row before the one holding position (a shorter
// row may now take a word back), to the end of the text.
void TQtRichPane::LayoutFrom(int position) {
    const std::string& text = model_.Text();
    const int n = static_cast<int>(text.size());
    int row = RowOf(std::min(position, laidOut_));
    if (row > 0) --row;
    rows_.resize(static_cast<std::size_t>(row) + 1);
    const qreal width = LayoutWidth();
    int start = rows_.back();
    qreal x = 0;
    int lastSpace = -1;
    for (int i = start; i < n; ++i) {
        const char c = text[static_cast<std::size_t>(i)];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && text[static_cast<std::size_t>(i) + 1] == '\n') ++i;
            start = i + 1;
            rows_.push_back(start);
            x = 0;
            lastSpace = -1;
            continue;
        }
        const qreal w = Advance(i);
        if (x + w > width && i > start) {
            const int next = lastSpace >= start ? lastSpace + 1 : i;
            start = next;
            rows_.push_back(start);
            x = 0;
            lastSpace = -1;
            for (int j = start; j < i; ++j) {
                x += Advance(j);
                if (text[static_cast<std::size_t>(j)] == ' ') lastSpace = j;
            }
        }
        x += w;
        if (c == ' ') lastSpace = i;
    }
    laidOut_ = n;
    layoutWidth_ = viewport()->width();
    UpdateScrollRange();
}

void TQtRichPane::UpdateScrollRange() {
    const int total = RowCount() * rowHeight_ + 2 * kMargin;
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    bar->setRange(0, std::max(0, total - viewport()->height()));
}

void TQtRichPane::EnsureVisible(int position) {
    const int top = RowOf(position) * rowHeight_ + kMargin;
    QScrollBar* bar = verticalScrollBar();
    if (top < bar->value()) bar->setValue(top - kMargin);
    else if (top + rowHeight_ > bar->value() + viewport()->height())
        bar->setValue(top + rowHeight_ + kMargin - viewport()->height());
}

void TQtRichPane::Sync() {
    setEnabled(model_.Enabled());
    // Shown or hidden, and coloured, only when that changed: both are costly
    // to repeat for every character.
    if (!testAttribute(Qt::WA_WState_ExplicitShowHide) || isHidden() == model_.Visible()) setVisible(model_.Visible());
    // The colour goes to the text area alone: a palette of its own on the
    // scroll bar would key what the style caches of it anew in every window.
    QWidget* area = viewport();
    const QColor base = ToQColor(model_.Color, QPalette());
    if (!area->testAttribute(Qt::WA_SetPalette) || area->palette().color(QPalette::Base) != base) {
        QPalette p = area->palette();
        p.setColor(QPalette::Base, base);
        area->setPalette(p);
    }
    const TQuietScrollBar::THold held(verticalScrollBar());
    bool whole = false;
    if (!(model_.DefAttributes == font_)) {
        ApplyFont();
        LayoutFrom(0);
        whole = true;
    }
    // The caret where it was drawn, and the rows as they were from the first
    // one laid out again, to tell afterwards which of them changed and where.
    const QRect oldCaret = shown_.Focused && !whole
                               ? CharRect(std::min(shown_.SelStart, model_.GetTextLen())).translated(0, verticalScrollBar()->value())
                               : QRect();
    int from = -1, firstRow = 0;
    const int oldLength = laidOut_;
    std::vector<int> oldRows;
    if (model_.DirtyFrom() < model_.GetTextLen() || laidOut_ != model_.GetTextLen()) {
        from = std::min(model_.DirtyFrom(), laidOut_);
        firstRow = std::max(0, RowOf(from) - 1);
        if (!whole) oldRows.assign(rows_.begin() + firstRow, rows_.end());
        LayoutFrom(from);
        model_.AcknowledgeChanges();
    }
    const int caret = model_.SelStart() + model_.SelLength();
    if (caret != lastCaret_ || model_.ScrollRequests() != lastScrollRequests_) EnsureVisible(caret);
    // Only what changed is painted again: the characters a change touched
    // and the caret's old and new place; a scroll moves what is already
    // drawn. Anything else paints the whole pane.
    const TState now{model_.SelStart(), model_.SelLength(), model_.Color, model_.Enabled(), hasFocus()};
    const bool onlyText = now.SelLength == 0 && shown_.SelLength == 0 && now.Color == shown_.Color &&
                          now.Enabled == shown_.Enabled && now.Focused == shown_.Focused;
    if (whole || !onlyText) {
        viewport()->update();
    } else {
        QRegion touched;
        if (from >= 0) touched = Touched(from, oldLength, firstRow, oldRows);
        if (now.Focused) {
            touched += oldCaret.translated(0, -verticalScrollBar()->value()).adjusted(-2, 0, 2, 0);
            touched += CharRect(now.SelStart).adjusted(-2, 0, 2, 0);
        }
        touched &= viewport()->rect();
        if (!touched.isEmpty()) viewport()->update(touched);
    }
    shown_ = now;
    lastCaret_ = caret;
    lastScrollRequests_ = model_.ScrollRequests();
}

qreal TQtRichPane::Extent(int row, int position) const {
    qreal x = kMargin;
    for (int i = rows_[static_cast<std::size_t>(row)]; i < position; ++i) x += Advance(i);
    return x;
}

// What the viewport must paint again after the text changed from position
// from: oldRows are the row starts from firstRow on as they were, for a text
// of oldLength characters. Text appended touches only its own characters
// (and the part of the row before it that gave a word away); any other
// change touches its rows from the change to the right edge.
QRegion TQtRichPane::Touched(int from, int oldLength, int firstRow, const std::vector<int>& oldRows) const {
    const int width = viewport()->width();
    const int scroll = verticalScrollBar()->value();
    const bool appended = from == oldLength;
    const int oldCount = firstRow + static_cast<int>(oldRows.size());
    const int newCount = RowCount();
    // Ink may reach a little past a character's box.
    const int pad = std::max(2, rowHeight_ / 2);
    const int top = std::max(firstRow, (scroll - kMargin) / rowHeight_ - 1);
    const int bottom = std::min(std::max(oldCount, newCount) - 1, (scroll + viewport()->height()) / rowHeight_ + 1);
    QRegion region;
    for (int r = top; r <= bottom; ++r) {
        const int y = r * rowHeight_ + kMargin - scroll;
        auto span = [&](qreal left, qreal right) {
            region += QRect(static_cast<int>(std::floor(left)) - pad, y - 2,
                            static_cast<int>(std::ceil(right - left)) + 2 * pad + 1, rowHeight_ + 4);
        };
        const auto old = static_cast<std::size_t>(r - firstRow);
        if (r >= newCount || r >= oldCount || oldRows[old] != rows_[static_cast<std::size_t>(r)]) {
            span(0, r < newCount && r >= oldCount && appended ? Extent(r, RowEnd(r)) : width);
            continue;
        }
        const int start = rows_[static_cast<std::size_t>(r)];
        const int oldNext = r + 1 < oldCount ? oldRows[old + 1] : oldLength;
        const int newNext = r + 1 < newCount ? rows_[static_cast<std::size_t>(r) + 1] : static_cast<int>(model_.Text().size());
        const int changed = std::max(start, from);
        const int left = std::min({changed, oldNext, newNext});
        if (left >= std::max(oldNext, newNext)) continue;  // the row is as it was
        // Before from the text is as it was, so the old row is measured with it.
        span(Extent(r, left), appended ? std::max(Extent(r, oldNext), Extent(r, newNext)) : width);
    }
    return region;
}

int TQtRichPane::PositionAt(QPoint p) const {
    const std::string& text = model_.Text();
    const int y = p.y() + verticalScrollBar()->value() - kMargin;
    if (y < 0) return 0;
    const int row = y / rowHeight_;
    if (row >= RowCount()) return static_cast<int>(text.size());
    const int end = RowEnd(row);
    qreal x = kMargin;
    for (int i = rows_[static_cast<std::size_t>(row)]; i < end; ++i) {
        const qreal w = Advance(i);
        if (p.x() < x + w / 2) return i;
        x += w;
    }
    return end;
}

QRect TQtRichPane::CharRect(int position) const {
    position = std::clamp(position, 0, model_.GetTextLen());
    const int row = RowOf(position);
    qreal x = kMargin;
    for (int i = rows_[static_cast<std::size_t>(row)]; i < position; ++i) x += Advance(i);
    const int w = position < model_.GetTextLen() ? static_cast<int>(std::ceil(Advance(position))) : 1;
    return QRect(static_cast<int>(x), row * rowHeight_ + kMargin - verticalScrollBar()->value(), w, rowHeight_);
}

void TQtRichPane::paintEvent(QPaintEvent* e) {
    QPainter painter(viewport());
    const QPalette& pal = viewport()->palette();
    const QRect area = e->rect();
    painter.fillRect(area, pal.color(QPalette::Base));
    const std::string& text = model_.Text();
    const int scroll = verticalScrollBar()->value();
    // The rows the area to paint crosses and their neighbours, whose ink may
    // reach into it; of each row the runs near the area.
    const int first = std::max(0, (scroll + area.top() - kMargin) / rowHeight_ - 1);
    const int last = std::min(RowCount() - 1, (scroll + area.bottom() + 1) / rowHeight_ + 1);
    const int reach = std::max(2, rowHeight_ / 2);
    const qreal left = area.left() - reach, right = area.right() + 1 + reach;
    const int selFrom = model_.SelStart(), selTo = model_.SelStart() + model_.SelLength();
    const auto& runs = model_.ColorRuns();
    for (int row = first; row <= last; ++row) {
        const int y = row * rowHeight_ + kMargin - scroll;
        const int start = rows_[static_cast<std::size_t>(row)];
        const int end = RowEnd(row);
        qreal x = kMargin;
        // Walk the colour runs alongside the characters.
        auto run = std::upper_bound(runs.begin(), runs.end(), start,
                                    [](int pos, const TRichEdit::TColorRun& r) { return pos < r.Start; });
        if (run != runs.begin()) --run;
        int i = start;
        while (i < end && x < right) {
            const bool selected = i >= selFrom && i < selTo;
            if (text[static_cast<std::size_t>(i)] == TRichEdit::kObjectChar && model_.IsPicture(i)) {
                if (selected) painter.fillRect(QRectF(x, y, pictureWidth_, rowHeight_), pal.color(QPalette::Highlight));
                const auto pic = std::lower_bound(model_.Pictures().begin(), model_.Pictures().end(), i,
                                                  [](const TRichEdit::TPictureAt& p, int pos) { return p.Position < pos; });
                auto image = pictures_.find(pic->PictureId);
                if (image != pictures_.end() && x + pictureWidth_ > left)
                    painter.drawPixmap(QPointF(x, y + (rowHeight_ - image->second.height()) / 2), image->second);
                x += pictureWidth_;
                ++i;
                continue;
            }
            while (run + 1 != runs.end() && (run + 1)->Start <= i) ++run;
            int j = i + 1;
            const int runEnd = run + 1 != runs.end() ? (run + 1)->Start : end;
            const int selEdge = selected ? selTo : (i < selFrom ? selFrom : end);
            const int limit = std::min({end, runEnd, selEdge});
            while (j < limit && text[static_cast<std::size_t>(j)] != TRichEdit::kObjectChar) ++j;
            while (j < limit && !(text[static_cast<std::size_t>(j)] == TRichEdit::kObjectChar && model_.IsPicture(j))) ++j;
            qreal w = 0;
            for (int k = i; k < j; ++k) w += Advance(k);
            if (x + w < left) {
                x += w;
                i = j;
                continue;
            }
            QColor color = runs.empty() ? ToQColor(model_.InsertColor(), pal) : ToQColor(run->Color, pal);
            if (selected) {
                painter.fillRect(QRectF(x, y, w, rowHeight_), pal.color(QPalette::Highlight));
                color = pal.color(QPalette::HighlightedText);
            }
            painter.setPen(color);
            painter.drawText(QPointF(x, y + ascent_), ToQString(std::string_view(text).substr(static_cast<std::size_t>(i), static_cast<std::size_t>(j - i))));
            x += w;
            i = j;
        }
    }
    if (hasFocus() && model_.SelLength() == 0) {
        const QRect caret = CharRect(model_.SelStart());
        painter.fillRect(QRect(caret.left(), caret.top(), 1, caret.height()), pal.color(QPalette::Text));
    }
}

void TQtRichPane::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    const bool atBottom = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
    if (viewport()->width() != layoutWidth_) LayoutFrom(0);
    else UpdateScrollRange();
    if (atBottom) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

// What is drawn moves with the text; only the rows coming into sight are painted.
void TQtRichPane::scrollContentsBy(int dx, int dy) { viewport()->scroll(dx, dy); }

void TQtRichPane::mousePressEvent(QMouseEvent* e) {
    const int position = PositionAt(e->position().toPoint());
    const TMouseButton button = ButtonOf(e->button());
    if (button == TMouseButton::mbLeft) anchor_ = position;
    const QPoint screen = viewport()->mapToGlobal(QPoint(0, 0));
    model_.SetScreenRect(TRect{screen.x(), screen.y(), screen.x() + viewport()->width(), screen.y() + viewport()->height()});
    model_.ClickAt(position, button, ShiftOf(e->modifiers(), e->buttons()));
    if (button == TMouseButton::mbRight && model_.PopupMenu != nullptr) {
        const QPoint g = e->globalPosition().toPoint();
        model_.PopupMenu->Popup(TPoint{g.x(), g.y()});
    }
    Sync();  // the caret shows at once
}

void TQtRichPane::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

void TQtRichPane::mouseMoveEvent(QMouseEvent* e) {
    if (anchor_ < 0 || !(e->buttons() & Qt::LeftButton)) return;
    const int position = PositionAt(e->position().toPoint());
    model_.SetSelStart(std::min(anchor_, position));
    model_.SetSelLength(std::abs(position - anchor_));
}

void TQtRichPane::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    anchor_ = -1;
    model_.MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), at.x(), at.y());
}

void TQtRichPane::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    if (!model_.Focused()) model_.SetFocus();
}

void TQtRichPane::keyPressEvent(QKeyEvent* e) {
    // The panes are read by the operator, not typed into; paging still works.
    QAbstractScrollArea::keyPressEvent(e);
}

}  // namespace quorvel::qt
