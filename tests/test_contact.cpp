// Contact hand-off to the host's new-QSO window and capture from the
// received text: typing rules, mirroring, save and cancel, the mode name,
// the notifications, and the capture menu's commands.
#include <gtest/gtest.h>

#include <stdexcept>

#include "PluginFixture.h"
#include "base/CodePage.h"
#include "plugin/ContactText.h"

namespace quorvel::testing {
namespace {

class ContactTest : public PluginFixture {
protected:
    ContactTest() {
        library->Run(&host.session, 7);
        host.OpenNewQso();
        library->SendNotify(2, 1);
    }
    TMainForm& Form() const { return *library->MainForm; }
    void Type(TEdit& edit, const std::string& text) {
        edit.SetFocus();
        for (char c : text) edit.KeyPress(c);
    }
    // Received text in the main pane, then a left click at a caret position.
    void Click(int position) {
        TRichEdit& pane = Form().RichEdit1;
        pane.ClickAt(position);
        pane.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
    }
    void Receive(const std::string& text) {
        for (char c : text) Form().MMVARI1RxChar(0, Cp1251ToUtf16(std::string(1, c)), 0);
    }
};

TEST(HostModeName, TableSpeedSuffixAndFallback) {
    EXPECT_EQ(HostModeName("BPSK", "31.25", '.'), "BPSK31");
    EXPECT_EQ(HostModeName("bpsk", "62.5", '.'), "BPSK63");
    EXPECT_EQ(HostModeName("mfsk-U", "15.625", '.'), "MFSK16");
    EXPECT_EQ(HostModeName("qpsk-U", "62.5", ','), "QPSK63");
    EXPECT_EQ(HostModeName("rtty-L", "45.45", '.'), "RTTY");
    EXPECT_EQ(HostModeName("rtty-U", "abc", '.'), "RTTY");  // no suffix: the speed is not read
    EXPECT_EQ(HostModeName("FSK-W", "", '.'), "FSK-W");
    EXPECT_EQ(HostModeName("XYZ", "31.25", '.'), "XYZ");
    EXPECT_EQ(HostModeName("Bpsk", "31.25", '.'), "Bpsk");  // case-sensitive
    EXPECT_THROW(HostModeName("BPSK", "fast", '.'), std::invalid_argument);
}

TEST_F(ContactTest, NotificationsSwitchTheGroupAndSendTheModeName) {
    TMainForm& f = Form();
    EXPECT_TRUE(f.GroupBox1.Enabled());
    EXPECT_TRUE(f.mnuSaveQSO.Enabled() && f.mnuGoNewQSO.Enabled() && f.mnuSetMode.Enabled());
    EXPECT_EQ(host.newQso.mode.text, HostModeName(f.mnuModes.Text(), f.mnuSpeed.Text(), '.'));
    EXPECT_GE(host.newQso.mode.changes, 1);
    ASSERT_FALSE(host.newQso.enables.empty());
    EXPECT_TRUE(host.newQso.enables.back());

    library->SendNotify(3, 1);
    EXPECT_FALSE(f.GroupBox1.Enabled() || f.mnuSaveQSO.Enabled() || f.mnuGoNewQSO.Enabled() || f.mnuSetMode.Enabled());
    EXPECT_FALSE(host.newQso.enables.back());
    EXPECT_TRUE(f.mnuCancelQSO.Enabled());

    host.session.Awards = &host.awards;
    library->SendNotify(2, 6);
    EXPECT_TRUE(f.mnuAwards.Enabled());
    EXPECT_EQ(f.mnuAwardList.Items(), (std::vector<std::string>{"RDA", "WAS"}));
    library->SendNotify(3, 6);
    EXPECT_FALSE(f.mnuAwards.Enabled());

    // The window opened after the plug-in: the mode reaches it.
    host.CloseNewQso();
    f.mnuModes.Select(f.mnuModes.IndexOf("BPSK"));
    f.mnuSpeed.Select(f.mnuSpeed.IndexOf("31.25"));
    host.newQso.mode.text.clear();
    host.OpenNewQso();
    library->SendNotify(2, 1);
    EXPECT_EQ(host.newQso.mode.text, "BPSK31");
    EXPECT_TRUE(f.GroupBox1.Enabled());
}

TEST_F(ContactTest, ModeNameFollowsTheListsAndAnUnreadableSpeedSendsNothing) {
    TMainForm& f = Form();
    f.mnuModes.Select(f.mnuModes.IndexOf("BPSK"));
    f.mnuSpeed.Select(f.mnuSpeed.IndexOf("31.25"));
    EXPECT_EQ(host.newQso.mode.text, "BPSK31");
    f.mnuSpeed.AddItem("fast");
    host.newQso.mode.text = "kept";
    f.mnuSpeed.SetItemIndex(f.mnuSpeed.IndexOf("fast"));
    f.mnuSetModeClick(nullptr);
    EXPECT_EQ(host.newQso.mode.text, "kept");
}

TEST_F(ContactTest, TypingRulesMirrorAndMoveTheFocus) {
    TMainForm& f = Form();
    host.newQso.callsign.text.clear();
    Type(f.Edit1, "dl1 abc");
    EXPECT_EQ(f.Edit1.Text(), "DL1ABC");
    EXPECT_EQ(host.newQso.callsign.text, "DL1ABC");
    EXPECT_EQ(f.Edit1.Color, 0xFFFFFF);  // the host control's background

    f.Edit2.Clear();
    Type(f.Edit2, "599");
    EXPECT_TRUE(f.Edit3.Focused());
    EXPECT_EQ(host.newQso.rstSent.text, "599");
    EXPECT_GE(host.newQso.callsignEntered, 1);  // entering Edit2
    f.Edit3.Clear();
    f.Edit3.SetFocus();
    for (char c : std::string("579")) f.Edit3.KeyPress(c);
    EXPECT_TRUE(f.Edit4.Focused());
    EXPECT_EQ(host.newQso.rstReceived.text, "579");
    f.Edit2.SetFocus();
    f.Edit2.KeyPress('1');  // at the three-character limit
    EXPECT_EQ(f.Edit2.Text(), "599");
    Type(f.Edit4, "Hans");
    Type(f.Edit5, "Bonn");
    EXPECT_EQ(host.newQso.name.text, "Hans");
    EXPECT_EQ(host.newQso.qth.text, "Bonn");
}

TEST_F(ContactTest, SaveClearsOnlyWhenTheHostSavedAndCancelAlwaysClears) {
    TMainForm& f = Form();
    f.Edit1.SetText("DL1ABC");
    f.Edit4.SetText("Hans");
    struct Refusing : FakeNewQso {
        std::int32_t PAVO_CALL Save() override {
            ++saves;
            return 0;
        }
    } refusing;
    host.session.NewQso = &refusing;
    f.mnuSaveQSO.Click();
    EXPECT_EQ(refusing.saves, 1);
    EXPECT_EQ(refusing.resets, 0);
    EXPECT_EQ(f.Edit1.Text(), "DL1ABC");

    host.OpenNewQso();
    f.mnuSaveQSO.Click();
    EXPECT_EQ(host.newQso.saves, 1);
    EXPECT_EQ(host.newQso.resets, 1);
    EXPECT_EQ(f.Edit1.Text(), "");
    EXPECT_EQ(f.Edit4.Text(), "");
    EXPECT_TRUE(f.Edit1.Focused());

    f.Edit1.SetText("UA1AAA");
    host.CloseNewQso();
    f.mnuCancelQSO.Click();
    EXPECT_EQ(f.Edit1.Text(), "");
    EXPECT_EQ(host.newQso.resets, 1);
}

TEST_F(ContactTest, KeepReportsLeavesTheHostsReports) {
    TMainForm& f = Form();
    f.Edit2.SetText("599");
    f.Edit3.SetText("579");
    host.newQso.keepReports = true;
    f.mnuCancelQSO.Click();
    EXPECT_EQ(f.Edit2.Text(), "");
    EXPECT_EQ(f.Edit3.Text(), "");
    EXPECT_EQ(host.newQso.rstSent.text, "599");
    EXPECT_EQ(host.newQso.rstReceived.text, "579");
    host.newQso.keepReports = false;
    f.Edit2.SetText("599");
    f.mnuCancelQSO.Click();
    EXPECT_EQ(host.newQso.rstSent.text, "");
}

TEST_F(ContactTest, EnterSavesUnlessItSendsFromTheTransmitPane) {
    TMainForm& f = Form();
    // The Enter that saves is the window's: the control with the focus never
    // gets it (the handler leaves the key 0).
    auto enter = [](TCustomEdit& edit) {
        std::uint16_t key = 13;
        edit.OnKeyDown(&edit, key, 0);
        return key;
    };
    f.Edit4.SetFocus();
    EXPECT_EQ(enter(f.Edit4), 0);
    EXPECT_EQ(host.newQso.saves, 1);
    library->Config.SendOfEnter = true;
    f.Memo1.SetFocus();
    EXPECT_EQ(enter(f.Memo1), 13) << "the transmit pane's own";
    EXPECT_EQ(host.newQso.saves, 1);
    library->Config.SendOfEnter = false;
    EXPECT_EQ(enter(f.Memo1), 0);
    EXPECT_EQ(host.newQso.saves, 2);
    host.CloseNewQso();
    EXPECT_EQ(enter(f.Edit4), 13);
    EXPECT_EQ(host.newQso.saves, 2);
    f.mnuGoNewQSO.Click();
    EXPECT_EQ(host.newQso.window.broughtToFront, 0);
    host.OpenNewQso();
    f.mnuGoNewQSO.Click();
    EXPECT_EQ(host.newQso.window.broughtToFront, 1);
}

TEST_F(ContactTest, OneClickTakesTheWordAroundTheCaret) {
    TMainForm& f = Form();
    Receive("DL1ABC de UA3ABC\rname Hans");
    Click(3);  // inside the first word
    EXPECT_EQ(f.Rx.CapturedWord, "DL1ABC");
    EXPECT_FALSE(f.Rx.Hold);
    Click(static_cast<int>(std::string("DL1ABC de UA3ABC\r\nname Ha").size()));
    EXPECT_EQ(f.Rx.CapturedWord, "Hans");
    Click(static_cast<int>(std::string("DL1ABC de UA3ABC").size()));  // just before the line break
    EXPECT_EQ(f.Rx.CapturedWord, "UA3ABC");

    // Caret 0: nothing held, nothing taken.
    f.RichEdit1.ClickAt(0);
    EXPECT_FALSE(f.Rx.Hold);
    EXPECT_EQ(f.Rx.CapturedWord, "UA3ABC");
    f.RichEdit1.ClickAt(2);
    EXPECT_TRUE(f.Rx.Hold);
    f.RichEdit1.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_FALSE(f.Rx.Hold);

    f.mnuClickOnData.SetDown(false);
    Click(12);
    EXPECT_EQ(f.Rx.CapturedWord, "DL1ABC");  // off: the last word stays
}

TEST_F(ContactTest, SelectionIsTrimmedAndTheInformationItemShortened) {
    TMainForm& f = Form();
    Receive("qth  Bad Godesberg am Rhein  ok");
    f.RichEdit1.SetSelStart(3);
    f.RichEdit1.SetSelLength(16);
    f.RichEdit1.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(f.Rx.CapturedWord, "Bad Godesberg");
    EXPECT_EQ(f.mnuCaptureInfo.Caption(), "Bad Godesberg");
    f.RichEdit1.SelectAll();
    f.RichEdit1.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(f.mnuCaptureInfo.Caption(), "qth  Bad Godesber...");
    EXPECT_TRUE(f.mnuIsCallsign.Enabled() && f.mnuCopy.Enabled() && f.mnuAwardList.Enabled());

    f.mnuCaptureInfo.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(f.Rx.CapturedWord, "");
    f.RichEdit1.SetSelStart(0);
    f.dxBarPopupMenu3.Popup({});
    EXPECT_EQ(f.mnuCaptureInfo.Caption(), Ru("Отмена"));
    EXPECT_FALSE(f.mnuIsCallsign.Enabled() || f.mnuIsEmail.Enabled() || f.mnuCopy.Enabled());

    f.Rx.CapturedWord = "line one\r\nline two";
    f.dxBarPopupMenu3.Popup({});
    EXPECT_EQ(f.mnuCaptureInfo.Caption(), "line one line two");
}

TEST_F(ContactTest, CaptureCommandsFillTheFieldsAndTheHostsControls) {
    TMainForm& f = Form();
    f.Rx.CapturedWord = "dl1abc";
    f.mnuIsCallsign.Click();
    EXPECT_EQ(f.Edit1.Text(), "DL1ABC");
    EXPECT_EQ(host.newQso.callsign.text, "DL1ABC");
    EXPECT_EQ(host.newQso.afterCapture, 1);

    f.Edit2.Clear();
    f.Rx.CapturedWord = "5NN";
    f.mnuIsRSTT.Click();
    EXPECT_EQ(f.Edit2.Text(), "");
    f.Rx.CapturedWord = "5999";  // taken whole: the limit is for typing
    f.mnuIsRSTT.Click();
    EXPECT_EQ(f.Edit2.Text(), "5999");
    f.Rx.CapturedWord = "599";
    f.mnuIsRSTR.Click();
    EXPECT_EQ(f.Edit3.Text(), "599");
    EXPECT_EQ(host.newQso.rstReceived.text, "599");
    EXPECT_TRUE(f.Edit4.Focused());

    f.Rx.CapturedWord = "JO30";
    f.mnuIsLocator.Click();
    f.mnuIsQSL.Click();
    f.mnuIsEmail.Click();
    f.mnuIsComment.Click();
    EXPECT_EQ(host.newQso.locator.text, "JO30");
    EXPECT_EQ(host.newQso.qslManager.text, "JO30");
    EXPECT_EQ(host.newQso.email.text, "JO30");
    EXPECT_EQ(host.newQso.comment.text, "JO30");
    f.mnuIsName.Click();
    f.mnuIsQTH.Click();
    EXPECT_EQ(host.newQso.name.text, "JO30");
    EXPECT_EQ(host.newQso.qth.text, "JO30");

    host.session.Awards = &host.awards;
    library->SendNotify(2, 6);
    f.mnuAwardList.Select(0);
    ASSERT_EQ(host.awards.set.size(), 1u);
    EXPECT_EQ(host.awards.set[0], (std::pair<std::string, std::string>{"RDA", "JO30"}));

    // A disabled group takes nothing; the host's other controls still do.
    library->SendNotify(3, 1);
    f.Rx.CapturedWord = "UA9XX";
    f.mnuIsCallsign.Click();
    f.mnuIsName.Click();
    f.mnuIsLocator.Click();
    EXPECT_EQ(f.Edit1.Text(), "DL1ABC");
    EXPECT_EQ(f.Edit4.Text(), "JO30");
    EXPECT_EQ(host.newQso.locator.text, "UA9XX");
    host.CloseNewQso();
    f.mnuIsLocator.Click();  // no window: nothing, no crash
}

}  // namespace
}  // namespace quorvel::testing
