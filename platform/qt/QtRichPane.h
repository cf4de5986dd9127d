#pragma once
// The view of a rich-text pane. It lays out and paints the model's own text
// (no copy in a text document), so following a pane that only grows costs
// the new characters: rows are kept as start positions and only the rows from
// the first changed position are laid out again; painting touches the rows in
// sight. Clicks and drags map to model positions.
#include <QAbstractScrollArea>
#include <QPixmap>
#include <array>
#include <map>
#include <vector>

#include "QtSync.h"
#include "ui/RichEdit.h"

namespace quorvel::qt {

class TQtRichPane final : public QAbstractScrollArea, public TBinding {
public:
    TQtRichPane(TRichEdit& model, TQtSync& sync, QWidget* parent = nullptr);
    ~TQtRichPane() override;

    void Sync() override;
    TRichEdit& Model() const { return model_; }
    void SetPicture(int pictureId, const QPixmap& picture);

    // Text position under a point of the viewport (the nearest one).
    int PositionAt(QPoint viewportPoint) const;
    // Where a character is drawn, in viewport coordinates.
    QRect CharRect(int position) const;
    int RowCount() const { return static_cast<int>(rows_.size()); }
    int RowHeight() const { return rowHeight_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    // The pane's menu comes with the right button; nothing else offers one.
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void ApplyFont();
    void LayoutFrom(int position);
    qreal Advance(int position) const;
    int RowOf(int position) const;
    int RowEnd(int row) const;  // first position after the row's drawn characters
    void UpdateScrollRange();
    void EnsureVisible(int position);
    int LayoutWidth() const;
    qreal Extent(int row, int position) const;  // x where position starts on row
    QRegion Touched(int from, int oldLength, int firstRow, const std::vector<int>& oldRows) const;

    TRichEdit& model_;
    std::array<qreal, 256> widths_{};
    qreal pictureWidth_ = 16;
    int rowHeight_ = 16;
    int ascent_ = 12;
    std::map<int, QPixmap> pictures_;
    std::vector<int> rows_{0};  // start position of every row
    int laidOut_ = 0;           // model length the rows describe
    int layoutWidth_ = -1;
    TFont font_;
    // What was last shown besides the text, to tell what a change touched.
    struct TState {
        int SelStart = 0, SelLength = 0;
        TColor Color = clWindow;
        bool Enabled = true, Focused = false;
    };
    TState shown_;
    int lastCaret_ = 0;
    std::uint32_t lastScrollRequests_ = 0;
    int anchor_ = -1;  // drag selection start
};

}  // namespace quorvel::qt
