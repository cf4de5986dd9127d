// The receive pane's view: text and colours as the model holds them, word
// wrap, the caret followed, pictures inline, clicks and drags as positions,
// and one sync per turn of the event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "QtRichPane.h"
#include "QtTestSupport.h"
#include "base/CodePage.h"

namespace quorvel::testing {
namespace {

using qt::TQtRichPane;
using qt::TQtSync;

class QtRichPaneTest : public ::testing::Test {
protected:
    QtRichPaneTest() {
        model.DefAttributes.Name = "DejaVu Sans Mono";
        model.DefAttributes.Size = 10;
        pane = std::make_unique<TQtRichPane>(model, sync);
        pane->resize(300, 200);
        pane->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(pane.get()));
    }
    void Append(std::string_view text, TColor color) {
        model.SetSelStart(model.GetTextLen());
        model.SetInsertColor(color);
        model.SetSelText(text);
    }
    void Turn() { QApplication::processEvents(); }
    QImage Shot() { return pane->viewport()->grab().toImage(); }
    // True when some pixel of the character's box has exactly this colour.
    bool Shows(int position, QColor color) {
        const QImage image = Shot();
        const QRect r = pane->CharRect(position).intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixelColor(x, y) == color) return true;
        return false;
    }

    TFocusScope focus;
    TRichEdit model{"RichEdit1", &focus};
    TQtSync sync;
    std::unique_ptr<TQtRichPane> pane;
};

TEST_F(QtRichPaneTest, ManyChangesInOneTurnMakeOneSync) {
    const auto before = sync.Flushes();
    for (char c : std::string("CQ CQ de UA3ABC UA3ABC pse k")) Append(std::string(1, c), clGreen);
    EXPECT_EQ(pane->RowCount(), 1);  // nothing laid out yet
    Turn();
    EXPECT_EQ(sync.Flushes(), before + 1);
    Turn();
    EXPECT_EQ(sync.Flushes(), before + 1);  // nothing changed, nothing synced
}

TEST_F(QtRichPaneTest, EachCharacterIsDrawnInItsOwnColour) {
    Append("RX ", clGreen);
    Append("TX", clNavy);
    Append(Ru("Ж"), RGB(200, 0, 0));
    Turn();
    EXPECT_TRUE(Shows(0, QColor(0, 0x80, 0)));
    EXPECT_FALSE(Shows(0, QColor(0, 0, 0x80)));
    EXPECT_TRUE(Shows(3, QColor(0, 0, 0x80)));
    EXPECT_TRUE(Shows(5, QColor(200, 0, 0)));
    // Recolouring a selection repaints it in place.
    model.SetSelStart(0);
    model.SetSelLength(1);
    model.SetInsertColor(clNavy);
    model.SetSelStart(model.GetTextLen());
    Turn();
    EXPECT_TRUE(Shows(0, QColor(0, 0, 0x80)));
}

TEST_F(QtRichPaneTest, LinesBreakAtCrLfAndLongLinesWrapAtSpaces) {
    Append("first\r\nsecond\r\n", clGreen);
    Turn();
    EXPECT_EQ(pane->RowCount(), 3);  // the empty last row holds the caret
    EXPECT_EQ(pane->PositionAt(pane->CharRect(7).center()), 7);
    EXPECT_EQ(pane->CharRect(7).top(), pane->CharRect(0).top() + pane->RowHeight());

    model.Clear();
    std::string words;
    for (int i = 0; i < 40; ++i) words += "word ";
    Append(words, clGreen);
    Turn();
    EXPECT_GT(pane->RowCount(), 2);
    // Every row starts at the beginning of a word.
    for (int p = 1; p < model.GetTextLen(); ++p)
        if (pane->CharRect(p).top() > pane->CharRect(p - 1).top()) {
            EXPECT_EQ(model.Text()[p - 1], ' ') << p;
        }

    model.Clear();
    Append(std::string(500, 'x'), clGreen);  // no space: breaks inside
    Turn();
    EXPECT_GT(pane->RowCount(), 3);
    for (int p = 0; p < model.GetTextLen(); ++p) EXPECT_LE(pane->CharRect(p).right(), pane->viewport()->width());
}

TEST_F(QtRichPaneTest, DeletingAtTheEndLaysOutAgain) {
    std::string words;
    for (int i = 0; i < 30; ++i) words += "abcd ";
    Append(words, clGreen);
    Turn();
    const int rows = pane->RowCount();
    model.SetSelStart(model.GetTextLen() - 60);
    model.SetSelLength(60);
    model.SetSelText("");
    Turn();
    EXPECT_LT(pane->RowCount(), rows);
    model.Clear();
    Turn();
    EXPECT_EQ(pane->RowCount(), 1);
}

TEST_F(QtRichPaneTest, TheCaretIsFollowedToNewText) {
    for (int i = 0; i < 100; ++i) Append("line " + std::to_string(i) + "\r\n", clGreen);
    Turn();
    QScrollBar* bar = pane->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(pane->viewport()->rect().contains(pane->CharRect(model.GetTextLen()).center()));
    // Scrolled back by the operator, the pane stays put while nothing moves the caret.
    bar->setValue(0);
    model.SetInsertColor(clNavy);
    Turn();
    EXPECT_EQ(bar->value(), 0);
    model.ScrollToCaret();
    Turn();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(QtRichPaneTest, PicturesAreDrawnInline) {
    QPixmap smiley(16, 16);
    smiley.fill(QColor(255, 220, 0));
    pane->SetPicture(0, smiley);
    Append("tnx ", clGreen);
    model.InsertPicture(0);
    Append(" 73", clGreen);
    Turn();
    EXPECT_EQ(model.Text(), "tnx ? 73");
    EXPECT_EQ(pane->CharRect(4).width(), 16);
    EXPECT_TRUE(Shows(4, QColor(255, 220, 0)));
    EXPECT_EQ(pane->CharRect(5).left(), pane->CharRect(4).left() + 16);
}

TEST_F(QtRichPaneTest, AClickOnAWordPutsTheCaretThereAndRaisesMouseDown) {
    Append("CQ de UA3ABC k", clGreen);
    Turn();
    int downs = 0, ups = 0;
    int caretAtDown = -1;
    model.OnMouseDown = [&](TComponent*, TMouseButton b, TShiftState, int, int) {
        ++downs;
        EXPECT_EQ(b, TMouseButton::mbLeft);
        caretAtDown = model.SelStart();
    };
    model.OnMouseUp = [&](TComponent*, TMouseButton, TShiftState, int, int) { ++ups; };
    const QPoint onA = pane->CharRect(8).center();  // the "A" of UA3ABC
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, onA - QPoint(pane->CharRect(8).width() / 4, 0));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(caretAtDown, 8);
    EXPECT_TRUE(model.Focused());
    // A click past the end of the text goes to the end.
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(290, 150));
    EXPECT_EQ(model.SelStart(), model.GetTextLen());
}

TEST_F(QtRichPaneTest, DraggingSelectsInTheModel) {
    Append("CQ de UA3ABC k", clGreen);
    Turn();
    QTest::mousePress(pane->viewport(), Qt::LeftButton, Qt::NoModifier, pane->CharRect(6).topLeft() + QPoint(1, 3));
    QMouseEvent move(QEvent::MouseMove, QPointF(pane->CharRect(12).topLeft() + QPoint(1, 3)),
                     pane->viewport()->mapToGlobal(QPointF(pane->CharRect(12).topLeft() + QPoint(1, 3))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane->viewport(), &move);
    QTest::mouseRelease(pane->viewport(), Qt::LeftButton, Qt::NoModifier, pane->CharRect(12).topLeft() + QPoint(1, 3));
    EXPECT_EQ(model.SelText(), "UA3ABC");
}

// The areas the viewport is asked to paint.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget& w) { w.installEventFilter(this); }
    std::vector<QRect> areas;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) areas.push_back(static_cast<QPaintEvent*>(e)->rect());
        return false;
    }
};

TEST_F(QtRichPaneTest, AReceivedCharacterRepaintsOnlyWhatItTouches) {
    for (int i = 0; i < 40; ++i) Append("cq cq de ua3abc pse k\r\n", clGreen);
    Append("ua3abc de dl1", clGreen);
    for (int i = 0; i < 3; ++i) Turn();  // the sync, then the paint it asks for
    ASSERT_GT(pane->verticalScrollBar()->value(), 0) << "the pane is full and follows the end";
    PaintRecorder painted(*pane->viewport());
    auto largest = [&] {
        QSize most;
        for (const QRect& r : painted.areas) most = most.expandedTo(r.size());
        return most;
    };
    Append("x", clNavy);
    for (int i = 0; i < 3; ++i) Turn();
    ASSERT_FALSE(painted.areas.empty());
    EXPECT_LE(largest().height(), 2 * pane->RowHeight());
    EXPECT_LE(largest().width(), pane->viewport()->width() / 4) << "the character, not the row";
    EXPECT_TRUE(Shows(model.GetTextLen() - 1, QColor(0, 0, 0x80)));

    // A new row scrolls what is drawn and paints the row coming into sight.
    painted.areas.clear();
    const int scrolled = pane->verticalScrollBar()->value();
    Append("\r\nk", clNavy);
    for (int i = 0; i < 3; ++i) Turn();
    EXPECT_GT(pane->verticalScrollBar()->value(), scrolled);
    ASSERT_FALSE(painted.areas.empty());
    EXPECT_LE(largest().height(), 3 * pane->RowHeight());

    // A selection paints the pane whole.
    painted.areas.clear();
    model.SetSelStart(0);
    model.SetSelLength(5);
    for (int i = 0; i < 3; ++i) Turn();
    ASSERT_FALSE(painted.areas.empty());
    EXPECT_EQ(painted.areas.back().height(), pane->viewport()->height());
}

// What the screen shows after many small repaints and scrolls is what a
// paint of the whole pane draws.
TEST_F(QtRichPaneTest, TextPaintedAsItArrivesLooksAsWhenPaintedWhole) {
    QPixmap smiley(16, 16);
    smiley.fill(QColor(255, 220, 0));
    pane->SetPicture(0, smiley);
    pane->activateWindow();
    pane->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pane.get()));
    ASSERT_TRUE(pane->hasFocus()) << "the caret is drawn too";
    auto compare = [&](const char* when) {
        for (int i = 0; i < 3; ++i) Turn();
        const QRect area(pane->viewport()->mapTo(pane.get(), QPoint(0, 0)), pane->viewport()->size());
        const QImage shown = pane->screen()->grabWindow(pane->winId()).toImage().copy(area).convertToFormat(QImage::Format_RGB32);
        const QImage whole = pane->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), whole.size());
        int differ = 0;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x) differ += shown.pixel(x, y) != whole.pixel(x, y);
        EXPECT_EQ(differ, 0) << when;
    };
    const std::string words = "cq de ua3abc ua3abc pse kn tnx fer call ur rst 599 hi hi ";
    int n = 0;
    auto receive = [&](std::string_view text) {
        for (char c : text) {
            Append(std::string(1, c), (n++ / 5) % 2 == 0 ? clGreen : clNavy);
            Turn();
        }
    };
    receive(words);  // words wrap and give their last word to the next row
    compare("after wrapping");
    receive("\r\n");
    model.InsertPicture(0);
    receive(" 73\r\n" + words + words + words + words + words + words);  // past the bottom: the pane scrolls
    ASSERT_GT(pane->verticalScrollBar()->value(), 0);
    compare("after scrolling");
    // Taken back at the end, as a backspace from the other station does.
    model.SetSelStart(model.GetTextLen() - 9);
    model.SetSelLength(9);
    model.SetSelText("");
    Turn();
    receive(Ru("жду"));
    compare("after a deletion");
}

TEST_F(QtRichPaneTest, TheRightButtonOpensThePanesMenu) {
    TPopupMenu menu("PopupMenu1");
    TPoint shownAt;
    bool shown = false;
    menu.Runner = [&](TPopupMenu&, TPoint at) {
        shown = true;
        shownAt = at;
    };
    model.PopupMenu = &menu;
    Append("CQ", clGreen);
    Turn();
    QTest::mouseClick(pane->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(shown);
    const QPoint g = pane->viewport()->mapToGlobal(QPoint(5, 5));
    EXPECT_EQ(shownAt, (TPoint{g.x(), g.y()}));
}

}  // namespace
}  // namespace quorvel::testing
