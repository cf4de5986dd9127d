// Widgets bound to form-model controls: what the operator does reaches the
// control as its user actions, and the control's state shows after a turn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QClipboard>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "QtControls.h"
#include "QtTestSupport.h"
#include "base/CodePage.h"

namespace quorvel::testing {
namespace {

using namespace qt;

void Turn() { QApplication::processEvents(); }

// Types any text (QTest's key clicks know Latin-1 only).
void Type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent down(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &down);
        QKeyEvent up(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &up);
    }
}

TEST(QtMemoView, TypingReachesTheControlAndLineBreaksAreCrLf) {
    TFocusScope focus;
    TMemo memo("Memo1", &focus);
    std::string pressed;
    int changes = 0;
    memo.OnKeyPress = [&](TComponent*, char& key) { pressed += key; };
    memo.OnChange = [&](TComponent*) { ++changes; };
    TQtSync sync;
    TQtMemo view(memo, sync);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    QTest::keyClicks(&view, "cq");
    QTest::keyClick(&view, Qt::Key_Return);
    Type(&view, QString::fromUtf8("Жк"));
    EXPECT_EQ(memo.Text(), Ru("cq\r\nЖк"));
    EXPECT_EQ(pressed, Ru("cq\rЖк"));
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(view.toPlainText(), QString::fromUtf8("cq\nЖк"));
    EXPECT_TRUE(memo.Focused());

    // Backspace over a line break takes CR LF together.
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(memo.Text(), "cq");
    // Moving the caret is the widget's; the control follows it.
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(memo.SelStart(), 0);
    QTest::keyClick(&view, Qt::Key_X);
    EXPECT_EQ(memo.Text(), "xcq");

    // The program's changes show on the next turn.
    memo.SetText(Ru("Привет\r\nмир"));
    memo.SetSelStart(8);
    Turn();
    EXPECT_EQ(view.toPlainText(), QString::fromUtf8("Привет\nмир"));
    EXPECT_EQ(view.textCursor().position(), 7);
}

TEST(QtMemoView, DeleteAndPasteGoThroughTheControl) {
    TFocusScope focus;
    TMemo memo("Memo1", &focus);
    TQtSync sync;
    TQtMemo view(memo, sync);
    view.show();
    memo.SetText("ab\r\ncd");
    memo.SetSelStart(2);
    Turn();
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(memo.Text(), "abcd");
    QApplication::clipboard()->setText(QString::fromUtf8("1\n2"));
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo.Text(), "ab1\r\n2cd");
    memo.ReadOnly = true;
    QTest::keyClick(&view, Qt::Key_Z);
    EXPECT_EQ(memo.Text(), "ab1\r\n2cd");
}

TEST(QtEditView, TheControlsCaseAndLengthRulesApplyToTyping) {
    TFocusScope focus;
    TEdit edit("Edit1", &focus);
    edit.CharCase = TEditCharCase::ecUpperCase;
    edit.MaxLength = 6;
    int changes = 0;
    edit.OnChange = [&](TComponent*) { ++changes; };
    TQtSync sync;
    TQtLineEdit view(edit, sync);
    view.show();
    QTest::keyClicks(&view, "ua3abcdef");
    EXPECT_EQ(edit.Text(), "UA3ABC");
    EXPECT_EQ(view.text(), "UA3ABC");
    EXPECT_EQ(changes, 6);
    edit.SetText("DL1XYZ");
    Turn();
    EXPECT_EQ(view.text(), "DL1XYZ");
}

TEST(QtActions, CheckButtonsFollowTheirGroupsRules) {
    TButtonGroup group(false);
    TButtonItem a("btnA"), b("btnB");
    a.ButtonStyle = b.ButtonStyle = TButtonStyle::bsChecked;
    group.Add(a);
    group.Add(b);
    a.SetDown(true);
    int clicks = 0;
    b.OnClick = [&](TComponent*) { ++clicks; };
    TQtSync sync;
    QToolBar bar;
    TActionBinding bindA(a, sync, {}, &bar), bindB(b, sync, {}, &bar);
    bar.addAction(bindA.Action());
    bar.addAction(bindB.Action());
    EXPECT_TRUE(bindA.Action()->isChecked());
    bindB.Action()->trigger();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    Turn();
    EXPECT_FALSE(bindA.Action()->isChecked());
    // The down button of a group that may not be all up stays down.
    bindB.Action()->trigger();
    EXPECT_TRUE(b.Down());
    EXPECT_TRUE(bindB.Action()->isChecked());
    // Disabled: nothing happens.
    b.SetEnabled(false);
    Turn();
    EXPECT_FALSE(bindB.Action()->isEnabled());
}

TEST(QtActions, CaptionHintAndVisibilityShow) {
    TButtonItem item("mnuAFC");
    item.SetCaption("AFC");
    item.SetHint(Ru("Автоподстройка частоты"));
    TQtSync sync;
    QObject owner;
    TActionBinding bind(item, sync, {}, &owner);
    EXPECT_EQ(bind.Action()->text(), "AFC");
    EXPECT_EQ(bind.Action()->toolTip(), QString::fromUtf8("Автоподстройка частоты"));
    item.SetVisible(false);
    item.SetCaption("NET");
    EXPECT_EQ(bind.Action()->text(), "AFC");  // not before the turn
    Turn();
    EXPECT_EQ(bind.Action()->text(), "NET");
    EXPECT_FALSE(bind.Action()->isVisible());
}

TEST(QtComboView, PickingAnItemSelectsAndRaisesChangeProgramChangesDoNot) {
    TComboBox combo("cbMode");
    for (const char* m : {"GMSK", "FSK", "BPSK"}) combo.AddItem(m);
    std::vector<std::string> seen;
    combo.OnChange = [&](TComponent*) { seen.push_back(combo.Text()); };
    TQtSync sync;
    TQtComboBox view(combo, sync);
    view.show();
    EXPECT_EQ(view.count(), 3);
    EXPECT_EQ(view.currentIndex(), -1);
    emit view.activated(2);
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(seen, (std::vector<std::string>{"BPSK"}));
    combo.SetItemIndex(1);
    combo.AddItem("rtty-L");
    Turn();
    EXPECT_EQ(view.currentIndex(), 1);
    EXPECT_EQ(view.count(), 4);
    EXPECT_EQ(seen.size(), 1u);
}

TEST(QtSpinView, ArrowsStepTypingSetsTheCurrentTextTheWheelIsLeftAlone) {
    TFocusScope focus;
    TSpinEdit spin("seAFCWidth", &focus);
    spin.MinValue = 10;
    spin.MaxValue = 100;
    spin.Increment = 5;
    spin.SetValue(50);
    int curChanges = 0;
    spin.OnCurChange = [&](TComponent*) { ++curChanges; };
    TQtSync sync;
    TQtSpinEdit view(spin, sync);
    view.show();
    EXPECT_EQ(view.text(), "50");
    view.stepBy(1);
    EXPECT_EQ(spin.CurText(), "55");
    EXPECT_EQ(view.text(), "55");
    view.stepBy(-2);
    EXPECT_EQ(spin.CurText(), "45");
    view.setFocus();
    QApplication::setActiveWindow(&view);
    auto* line = view.findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    line->selectAll();
    QTest::keyClicks(line, "77");
    EXPECT_EQ(spin.CurText(), "77");
    EXPECT_DOUBLE_EQ(spin.CurValue(), 77.0);
    EXPECT_EQ(spin.Value(), 50);  // the committed value is the control's business
    EXPECT_GE(curChanges, 4);
    QWheelEvent wheel(QPointF(5, 5), view.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_EQ(spin.CurText(), "77");
}

TEST(QtPagesView, ChoosingATabRaisesChangeProgramChoicesDoNot) {
    TPageControl pages("PageControl1");
    TTabSheet main("TabSheet1"), ch1("TabSheet2"), ch2("TabSheet3");
    main.SetCaption(Ru("Основной канал"));
    ch1.SetCaption(Ru("Канал 1"));
    ch2.SetCaption(Ru("Канал 2"));
    for (auto* p : {&main, &ch1, &ch2}) pages.AddPage(*p);
    int changes = 0;
    pages.OnChange = [&](TComponent*) { ++changes; };
    TQtSync sync;
    TQtPageControl view(pages, {}, sync);
    view.show();
    EXPECT_EQ(view.tabText(0), QString::fromUtf8("Основной канал"));
    view.tabBar()->setCurrentIndex(2);
    EXPECT_EQ(pages.ActivePageIndex(), 2);
    EXPECT_EQ(changes, 1);
    pages.SetActivePageIndex(1);
    ch2.SetTabVisible(false);
    Turn();
    EXPECT_EQ(view.currentIndex(), 1);
    EXPECT_FALSE(view.isTabVisible(2));
    EXPECT_EQ(changes, 1);
}

TEST(QtStatusBarView, PanelsShowTheirTexts) {
    TStatusBar bar("StatusBar1");
    for (int i = 0; i < 4; ++i) bar.AddPanel(80, i == 0);
    bar.AddPanel(-1);
    TQtSync sync;
    TQtStatusBar view(bar, sync);
    bar.SetPanelText(0, "14.070.000");
    bar.SetPanelText(4, Ru("Приём"));
    Turn();
    ASSERT_NE(view.PanelLabel(4), nullptr);
    EXPECT_EQ(view.PanelLabel(0)->text(), "14.070.000");
    EXPECT_TRUE(view.PanelLabel(0)->font().bold());
    EXPECT_EQ(view.PanelLabel(4)->text(), QString::fromUtf8("Приём"));
    EXPECT_EQ(view.PanelLabel(5), nullptr);
}

}  // namespace
}  // namespace quorvel::testing
