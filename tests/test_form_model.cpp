// The form model's controls: the framework semantics the window relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimDispatcher.h"
#include "base/CodePage.h"
#include "ui/Controls.h"
#include "ui/Images.h"
#include "ui/InputBox.h"
#include "ui/RichEdit.h"

namespace quorvel::testing {
namespace {

TEST(Edit, ProgrammaticChangeFiresChangeOnlyWhenTheTextDiffers) {
    TEdit edit("Edit4", nullptr);
    int changes = 0;
    edit.OnChange = [&](TComponent* sender) {
        EXPECT_EQ(sender, &edit);
        ++changes;
    };
    edit.SetText("Ivan");
    edit.SetText("Ivan");
    EXPECT_EQ(changes, 1);
    edit.Clear();
    edit.Clear();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit.Text(), "");
}

TEST(Edit, UpperCaseAppliesToTypedAndAssignedText) {
    TEdit edit("Edit1", nullptr);
    edit.CharCase = TEditCharCase::ecUpperCase;
    edit.SetText(Ru("ua3abc/п"));
    EXPECT_EQ(edit.Text(), Ru("UA3ABC/П"));
    edit.SetSelStart(edit.GetTextLen());
    edit.KeyPress('p');
    EXPECT_EQ(edit.Text(), Ru("UA3ABC/ПP"));
}

TEST(Edit, MaxLengthLimitsTypingButNotAssignment) {
    TEdit edit("Edit2", nullptr);
    edit.MaxLength = 3;
    for (char c : std::string("5995")) edit.KeyPress(c);
    EXPECT_EQ(edit.Text(), "599");
    edit.SetText("5NN599");
    EXPECT_EQ(edit.Text(), "5NN599");
    // Typing over a selection replaces it within the limit.
    edit.SetText("599");
    edit.SetSelStart(1);
    edit.SetSelLength(2);
    edit.KeyPress('7');
    EXPECT_EQ(edit.Text(), "57");
}

TEST(Edit, KeyPressHandlerCanDropOrReplaceTheCharacter) {
    TEdit edit("Edit1", nullptr);
    edit.OnKeyPress = [](TComponent*, char& key) {
        if (key == ' ') key = 0;
        if (key == 'q') key = 'Q';
    };
    for (char c : std::string("a q")) edit.KeyPress(c);
    EXPECT_EQ(edit.Text(), "aQ");
    edit.KeyPress('\b');
    EXPECT_EQ(edit.Text(), "a");
    edit.KeyPress('\r');  // a single-line edit takes no line break
    EXPECT_EQ(edit.Text(), "a");
    edit.SetSelStart(0);
    edit.KeyPress('\b');  // nothing before the caret
    EXPECT_EQ(edit.Text(), "a");
}

TEST(Memo, EnterReachesTheHandlerButAddsNoLineBreakWithoutWantReturns) {
    TMemo memo("Memo1", nullptr);
    memo.WantReturns = false;
    std::vector<char> seen;
    memo.OnKeyPress = [&](TComponent*, char& key) { seen.push_back(key); };
    memo.KeyPress('c');
    memo.KeyPress('\r');
    memo.KeyPress('q');
    EXPECT_EQ(memo.Text(), "cq");
    EXPECT_EQ(seen, (std::vector<char>{'c', '\r', 'q'}));
    memo.WantReturns = true;
    memo.KeyPress('\r');
    EXPECT_EQ(memo.Text(), "cq\r\n");
    memo.KeyPress('\b');  // the line break goes as a whole
    EXPECT_EQ(memo.Text(), "cq");
}

TEST(Memo, LinesAddStartsANewLineOrAddsAnEmptyOne) {
    TMemo memo("Memo1", nullptr);
    memo.LinesAdd("CQ");
    EXPECT_EQ(memo.Text(), "CQ\r\n");
    memo.LinesAdd("");
    EXPECT_EQ(memo.Text(), "CQ\r\n\r\n");
    memo.SetText("abc");
    memo.LinesAdd("de");
    EXPECT_EQ(memo.Text(), "abc\r\nde");
    EXPECT_EQ(memo.SelStart(), memo.GetTextLen());
}

TEST(RichEdit, CountsLineBreaksAsCrLfAndAPictureAsOneCharacter) {
    TRichEdit pane("RichEdit1", nullptr);
    pane.SetSelText("ab\r");
    pane.SetSelText("c\n");
    pane.SetSelText("d\r\ne");
    EXPECT_EQ(pane.Text(), "ab\r\nc\r\nd\r\ne");
    EXPECT_EQ(pane.GetTextLen(), 11);
    pane.InsertPicture(101);
    EXPECT_EQ(pane.GetTextLen(), 12);
    EXPECT_TRUE(pane.IsPicture(11));
    EXPECT_EQ(pane.SelStart(), 12);
}

TEST(RichEdit, KeepsPerCharacterColoursAcrossAppendAndDelete) {
    TRichEdit pane("RichEdit1", nullptr);
    const TColor rx = 0x008000, tx = 0x800000;
    pane.SetInsertColor(rx);
    pane.SetSelText("cq de");
    pane.SetInsertColor(tx);
    pane.SetSelStart(pane.GetTextLen());
    pane.SetSelText(" ua3");
    pane.SetSelText("abc");  // same colour: no new run
    EXPECT_EQ(pane.ColorRuns().size(), 2u);
    EXPECT_EQ(pane.ColorAt(4), rx);
    EXPECT_EQ(pane.ColorAt(5), tx);
    EXPECT_EQ(pane.ColorAt(11), tx);
    // Deleting the whole second run leaves one run.
    pane.SetSelStart(5);
    pane.SetSelLength(7);
    pane.SetSelText("");
    EXPECT_EQ(pane.Text(), "cq de");
    ASSERT_EQ(pane.ColorRuns().size(), 1u);
    EXPECT_EQ(pane.ColorRuns()[0].Color, rx);
    // Recolouring a selection splits the run around it.
    pane.SetSelStart(1);
    pane.SetSelLength(2);
    pane.SetInsertColor(clGray);
    EXPECT_EQ(pane.ColorAt(0), rx);
    EXPECT_EQ(pane.ColorAt(1), clGray);
    EXPECT_EQ(pane.ColorAt(2), clGray);
    EXPECT_EQ(pane.ColorAt(3), rx);
    EXPECT_EQ(pane.ColorRuns().size(), 3u);
}

TEST(RichEdit, ReplacingNearTheEndShiftsPicturesAndKeepsTailColour) {
    TRichEdit pane("RichEdit1", nullptr);
    pane.SetInsertColor(1);
    pane.SetSelText("x hi ");
    pane.InsertPicture(7);
    pane.SetInsertColor(2);
    pane.SetSelText("h");
    // "hi" at 2..3 becomes a picture in colour 3.
    pane.SetSelStart(2);
    pane.SetSelLength(2);
    pane.SetInsertColor(3);
    pane.SetSelText("");
    pane.InsertPicture(101);
    EXPECT_EQ(pane.GetTextLen(), 6);
    EXPECT_EQ(pane.SelStart(), 3);
    ASSERT_EQ(pane.Pictures().size(), 2u);
    EXPECT_EQ(pane.Pictures()[0].Position, 2);
    EXPECT_EQ(pane.Pictures()[0].PictureId, 101);
    EXPECT_EQ(pane.Pictures()[1].Position, 4);
    EXPECT_EQ(pane.ColorAt(2), 3);
    EXPECT_EQ(pane.ColorAt(3), 1);  // the space after the old "hi"
    EXPECT_EQ(pane.ColorAt(4), 1);
    EXPECT_EQ(pane.ColorAt(5), 2);
    EXPECT_EQ(pane.ColorAt(6), pane.InsertColor());  // past the end
    EXPECT_EQ(pane.Text()[4], TRichEdit::kObjectChar);
    // Deleting the last two characters drops the picture among them.
    pane.SetSelStart(4);
    pane.SetSelLength(2);
    pane.SetSelText("");
    EXPECT_EQ(pane.Pictures().size(), 1u);
    EXPECT_EQ(pane.ColorRuns().back().Color, 1);
}

TEST(RichEdit, ClearAndDirtyTrackingForViews) {
    TRichEdit pane("RichEdit2", nullptr);
    int changes = 0;
    pane.Observe([&] { ++changes; });
    pane.SetSelText("line one\r");
    pane.AcknowledgeChanges();
    EXPECT_EQ(pane.DirtyFrom(), pane.GetTextLen());
    pane.SetSelText("two");
    EXPECT_EQ(pane.DirtyFrom(), 10);
    pane.LinesAdd("");
    EXPECT_EQ(pane.Text(), "line one\r\ntwo\r\n");
    pane.ScrollToCaret();
    EXPECT_EQ(pane.ScrollRequests(), 1u);
    EXPECT_GT(changes, 0);
    pane.Clear();
    EXPECT_EQ(pane.Text(), "");
    EXPECT_TRUE(pane.ColorRuns().empty());
    EXPECT_EQ(pane.DirtyFrom(), 0);
    // Appending one character at a time in one colour costs no runs.
    for (int i = 0; i < 10000; ++i) pane.SetSelText("x");
    EXPECT_EQ(pane.ColorRuns().size(), 1u);
}

TEST(RichEdit, ClickPutsTheCaretBeforeTheMouseDownEvent) {
    TFocusScope focus;
    TRichEdit pane("RichEdit1", &focus);
    pane.SetText("tnx hi 73");
    int caretSeen = -1;
    pane.OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int, int) { caretSeen = pane.SelStart(); };
    pane.ClickAt(5);
    EXPECT_EQ(caretSeen, 5);
    EXPECT_TRUE(pane.Focused());
    pane.ClickAt(99);
    EXPECT_EQ(caretSeen, 9);
}

TEST(ComboBox, ProgrammaticSelectionIsSilentAndUserSelectionFires) {
    TComboBox combo("mnuSpeed");
    for (const char* s : {"15.625", "20", "31.25"}) combo.AddItem(s);
    int changes = 0;
    combo.OnChange = [&](TComponent*) { ++changes; };
    combo.SetText("31.25");
    EXPECT_EQ(combo.ItemIndex(), 2);
    combo.SetText("31.3");
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), "");
    EXPECT_EQ(changes, 0);
    combo.Select(1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo.Text(), "20");
    combo.Select(7);
    EXPECT_EQ(changes, 1);
}

TEST(SpinEdit, CurrentValueIsDistinctFromTheCommittedValue) {
    TSpinEdit spin("mnuAFCFreq", nullptr);
    spin.MinValue = 10;
    spin.MaxValue = 1000;
    spin.Increment = 10;
    spin.SetValue(50);
    std::vector<double> seen;
    spin.OnCurChange = [&](TComponent*) { seen.push_back(spin.CurValue()); };
    spin.SetCurText("123.7");
    EXPECT_DOUBLE_EQ(spin.CurValue(), 123.7);
    EXPECT_EQ(spin.Value(), 50);
    spin.SetCurText("12x");
    EXPECT_EQ(spin.CurValue(), 0);
    spin.SetValue(5000);
    EXPECT_EQ(spin.Value(), 1000);
    EXPECT_EQ(spin.CurText(), "1000");
    spin.Step(+1);  // clamped at the top
    spin.Step(-1);
    EXPECT_EQ(seen, (std::vector<double>{123.7, 0, 1000, 990}));
    EXPECT_EQ(spin.Value(), 1000);
    spin.SetEnabled(false);
    spin.Step(-1);
    EXPECT_EQ(seen.size(), 4u);
}

TEST(CheckButtons, OneDownGroupKeepsExactlyOneDown) {
    TButtonGroup group;
    TButtonItem f1("mnuF1"), f2("mnuF2"), f3("mnuF3");
    for (auto* b : {&f1, &f2, &f3}) group.Add(*b);
    f1.SetDown(true);
    int clicks = 0;
    f2.OnClick = [&](TComponent* sender) {
        EXPECT_TRUE(static_cast<TButtonItem*>(sender)->Down());  // the state changes first
        ++clicks;
    };
    f2.Click();
    EXPECT_FALSE(f1.Down());
    EXPECT_TRUE(f2.Down());
    f2.Click();  // pressing the down button again keeps it down, still a click
    EXPECT_TRUE(f2.Down());
    EXPECT_EQ(clicks, 2);
    f2.SetDown(false);
    EXPECT_TRUE(f2.Down());
    f3.SetDown(true);
    EXPECT_EQ(group.DownButton(), &f3);
}

TEST(CheckButtons, AllUpGroupAndLoneToggles) {
    TButtonGroup group(true);
    TButtonItem lpf("mnuLPF"), bpf("mnuBPF");
    group.Add(lpf);
    group.Add(bpf);
    lpf.Click();
    EXPECT_TRUE(lpf.Down());
    bpf.Click();
    EXPECT_FALSE(lpf.Down());
    bpf.Click();
    EXPECT_EQ(group.DownButton(), nullptr);

    TButtonItem afc("mnuAFC");
    afc.ButtonStyle = TButtonStyle::bsChecked;
    afc.Click();
    EXPECT_TRUE(afc.Down());
    afc.SetEnabled(false);
    int clicks = 0;
    afc.OnClick = [&](TComponent*) { ++clicks; };
    afc.Click();
    EXPECT_TRUE(afc.Down());
    EXPECT_EQ(clicks, 0);
    // A plain command button has no down state.
    TButtonItem open("mnuOpenF");
    open.Click();
    EXPECT_FALSE(open.Down());
}

TEST(ToolBar, OwnsItsButtonsAndClearsThem) {
    TToolBar bar("ToolBar1");
    auto& b = bar.AddButton(std::make_unique<TToolButtonX>("b1"));
    b.Tag = 3;
    b.ShortCut = TextToShortCut("F5");
    bar.AddButton(std::make_unique<TToolButtonX>("b2"));
    EXPECT_EQ(bar.ButtonCount(), 2);
    EXPECT_EQ(bar.Buttons(0).Tag, 3);
    bar.Clear();
    EXPECT_EQ(bar.ButtonCount(), 0);
}

TEST(PageControl, HiddenPagesKeepTheirIndexAndCannotBeChosen) {
    TPageControl pages("RzPageControl1");
    TTabSheet t0("TabSheet1"), t1("TabSheet2"), t2("TabSheet3");
    for (auto* t : {&t0, &t1, &t2}) pages.AddPage(*t);
    t1.SetTabVisible(false);
    std::vector<std::string> events;
    pages.OnChange = [&](TComponent*) { events.push_back("change " + std::to_string(pages.ActivePageIndex())); };
    pages.OnClose = [&](TComponent*) { events.push_back("close"); };
    pages.SelectPage(1);
    pages.SelectPage(2);
    pages.SetActivePageIndex(0);
    pages.CloseButtonClick();  // no close button shown
    pages.SetShowCloseButton(true);
    pages.CloseButtonClick();
    EXPECT_EQ(events, (std::vector<std::string>{"change 2", "close"}));
    EXPECT_EQ(pages.ActivePageIndex(), 0);
}

TEST(Timer, RunsOnlyWhenEnabledWithIntervalAndHandler) {
    sim::TSimDispatcher clock;
    TTimer timer("Timer2", &clock);
    timer.SetEnabled(false);
    timer.SetInterval(3000);
    std::vector<std::int64_t> ticks;
    timer.SetOnTimer([&](TComponent*) { ticks.push_back(clock.Now()); });
    EXPECT_FALSE(timer.Running());
    timer.SetEnabled(true);
    clock.Advance(2000);
    timer.SetEnabled(true);  // already running: not restarted
    clock.Advance(1000);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{3000}));
    timer.SetInterval(50);  // a new interval restarts the count
    clock.Advance(120);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{3000, 3050, 3100}));
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    EXPECT_TRUE(timer.Enabled());
}

TEST(Timer, HandlerMayStopItsOwnTimer) {
    sim::TSimDispatcher clock;
    TTimer timer("Timer1", &clock);
    int ticks = 0;
    timer.SetOnTimer([&](TComponent*) {
        ++ticks;
        timer.SetEnabled(false);
    });
    clock.Advance(5000);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(clock.ActiveTimers(), 0u);
}

TEST(PopupMenu, RunsModallyBetweenItsEvents) {
    TPopupMenu menu("dxBarPopupMenu2");
    TButtonItem notch("mnuNotchFilter");
    menu.ItemLinks.Add(notch);
    std::vector<std::string> events;
    menu.OnPopup = [&](TComponent*) { events.push_back("popup"); };
    menu.OnCloseUp = [&](TComponent*) { events.push_back("closeup"); };
    notch.OnClick = [&](TComponent*) { events.push_back(menu.IsShown() ? "click while shown" : "click"); };
    menu.Runner = [&](TPopupMenu& m, TPoint at) {
        EXPECT_EQ(at, (TPoint{10, 20}));
        static_cast<TButtonItem&>(m.ItemLinks.Item(0)).Click();
    };
    menu.Popup({10, 20});
    EXPECT_EQ(events, (std::vector<std::string>{"popup", "click while shown", "closeup"}));
    EXPECT_FALSE(menu.IsShown());
}

TEST(ShortCuts, ParseTheMenuShortcutForm) {
    EXPECT_EQ(TextToShortCut("F5"), 0x74);
    EXPECT_EQ(TextToShortCut("Ctrl+F5"), 0x4074);
    EXPECT_EQ(TextToShortCut("ctrl+o"), 0x404F);
    EXPECT_EQ(TextToShortCut("Shift+Alt+Enter"), 0xA00D);
    EXPECT_EQ(TextToShortCut("a"), 'A');
    EXPECT_EQ(TextToShortCut("7"), '7');
    EXPECT_EQ(TextToShortCut("PgDn"), 34);
    EXPECT_EQ(TextToShortCut("F12"), 0x7B);
    for (const char* bad : {"", "F13", "F0", "Ctrl+", "Ctrl+Ctrl", "AB", "F5x", "Ф"})
        EXPECT_EQ(TextToShortCut(bad), 0) << bad;
    for (const char* text : {"F5", "Ctrl+O", "Shift+Enter", "Alt+Del", "A", "Ctrl+F12"})
        EXPECT_EQ(ShortCutToText(TextToShortCut(text)), text);
}

TEST(Images, HostileBitmapBytesGiveNothing) {
    EXPECT_FALSE(DecodeBitmap(""));
    EXPECT_FALSE(DecodeBitmap("BM"));
    EXPECT_FALSE(DecodeBitmap(std::string(100, '\xFF')));
    // A header claiming a huge picture with no pixel data behind it.
    std::string header = "BM" + std::string(52, '\0');
    header[10] = 54;
    header[14] = 40;
    header[18] = '\xFF';
    header[19] = '\xFF';
    header[20] = '\xFF';
    header[21] = 0x7F;
    header[22] = 1;
    header[26] = 1;
    header[28] = 24;
    EXPECT_FALSE(DecodeBitmap(header));
    EXPECT_FALSE(LoadBitmapFile(""));
    EXPECT_FALSE(LoadBitmapFile("/nonexistent/strip.kth"));
}

TEST(Images, StripIsCutIntoSixteenPixelImages) {
    TBitmap strip = BuiltInImageStrip();
    EXPECT_EQ(strip.Height, 16);
    TImageList list;
    list.AddMasked(strip, strip.Pixel(0, 0));
    EXPECT_EQ(list.Count(), strip.Width / 16);
    // A strip narrower than one image adds nothing; extra width is dropped.
    TBitmap narrow{10, 16, std::vector<std::uint32_t>(160, 1)};
    list.Clear();
    list.AddMasked(narrow, 0);
    EXPECT_EQ(list.Count(), 0);
    const TBitmap smiley = SmileyBitmap();
    EXPECT_EQ(smiley.Width, 16);
    EXPECT_EQ(smiley.Pixel(0, 0), 0u);
    EXPECT_NE(smiley.Pixel(8, 8), 0u);
}

TEST(InputBox, LaysOutInDialogUnits) {
    // An 8-pixel average character and 16-pixel text: 2 px per x unit, 2 per y unit.
    const TInputBoxLayout l = LayoutInputBox(52 * 8 + 30, 16, 13, 21);
    EXPECT_EQ(l.ClientWidth, 360);
    EXPECT_EQ(l.PromptMaxWidth, 328);
    EXPECT_EQ(l.Prompt, (TRect{16, 16, 344, 29}));
    EXPECT_EQ(l.Edit, (TRect{16, 34, 344, 55}));
    EXPECT_EQ(l.OkButton, (TRect{76, 70, 176, 98}));
    EXPECT_EQ(l.CancelButton, (TRect{184, 70, 284, 98}));
    EXPECT_EQ(l.ClientHeight, 111);
}

}  // namespace
}  // namespace quorvel::testing
