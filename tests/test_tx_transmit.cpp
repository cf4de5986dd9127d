// Transmitting from the main window, end to end through the loopback engine
// on the virtual clock: typing and feed modes, the automatic end, the TX/RX
// and tone buttons, the end-of-transmission steps and the pane commands.
#include <gtest/gtest.h>

#include <string>

#include "LoopbackEngine.h"
#include "PluginFixture.h"
#include "base/CodePage.h"

namespace quorvel::testing {
namespace {

class TransmitTest : public PluginFixture {
protected:
    TransmitTest() {
        library->Host = &host.session;
        form = TForm::Create<TMainForm>(*library);
        engine = engines.Last;
        library->Config.RXFontTxColor = kTx;
        form->Memo1.SetFocus();
    }

    void Type(std::string_view keys) {
        for (char k : keys) form->Memo1.KeyPress(k);
    }
    void Enter() {
        form->Memo1.KeyDown(13);
        form->Memo1.KeyPress('\r');
    }
    void Run(std::int64_t ms) { sim.Dispatcher.Advance(ms); }
    // Places text in the transmit pane and feeds it, as a macro does.
    void PlaceMacro(const std::string& text) {
        if (form->Tx.FeedPosition == -1) form->Tx.FeedPosition = form->Memo1.GetTextLen();
        form->Memo1.SetSelStart(form->Memo1.GetTextLen());
        form->Memo1.SetSelText(text);
        form->Tx.FeedMode = true;
        engine->SendText(u" ");
        form->StartTransmission();
    }
    const std::vector<std::string>& TrxCalls() const { return host.transceiver.calls; }
    std::string Rx() const { return form->RichEdit1.Text(); }

    // BPSK at 31.25 baud: a character every 208 ms; DelayTX 100 ms.
    static constexpr std::int64_t kChar = 208;
    static constexpr TColor kTx = 0x445566;
    std::unique_ptr<TMainForm> form;
    TLoopbackEngine* engine = nullptr;
};

TEST_F(TransmitTest, TwoLettersAndEnterGoOutWithoutALineEndAndTheStationReturnsToReceive) {
    library->Config.AutoSendChar = false;
    library->Config.SendOfEnter = true;
    Type("cq");
    EXPECT_EQ(form->Tx.PendingText, "cq");
    EXPECT_TRUE(engine->TxQueue().empty());
    EXPECT_TRUE(TrxCalls().empty());

    Enter();
    EXPECT_EQ(form->Memo1.Text(), "cq");  // Enter adds no line break to the pane
    EXPECT_EQ(std::u16string(engine->TxQueue().begin(), engine->TxQueue().end()), u"cq");
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx"}));
    EXPECT_EQ(sim.Dispatcher.BlockedMs(), 100);
    EXPECT_TRUE(engine->bTX());
    EXPECT_TRUE(form->RsSpeedButton1.Down());

    Run(0);  // the engine reports the transmission
    EXPECT_FALSE(form->PageControl1.Enabled());
    EXPECT_FALSE(form->RsSpeedButton2.Enabled());

    Run(kChar);
    EXPECT_EQ(form->Tx.PendingText, "c");
    Run(kChar);
    EXPECT_EQ(form->Tx.PendingText, "");
    Run(kChar);
    EXPECT_FALSE(engine->bTX());
    EXPECT_EQ(engine->SentText(), u"cq");
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx"}));
    EXPECT_FALSE(form->RsSpeedButton1.Down());
    EXPECT_TRUE(form->RsSpeedButton2.Enabled());
    EXPECT_TRUE(form->PageControl1.Enabled());
    // The echo starts on its own line, in the transmit colour, and a gray
    // empty line closes it.
    EXPECT_EQ(Rx(), "\r\ncq\r\n");
    EXPECT_EQ(form->RichEdit1.ColorAt(2), kTx);
    EXPECT_EQ(form->RichEdit1.ColorAt(4), clGray);
    EXPECT_GT(form->RichEdit1.ScrollRequests(), 0u);

    // Enter with nothing pending, or while transmitting, sends nothing.
    Enter();
    EXPECT_FALSE(engine->bTX());
    EXPECT_EQ(TrxCalls().size(), 2u);
}

TEST_F(TransmitTest, EnterWithoutSendOfEnterSendsNothing) {
    library->Config.AutoSendChar = false;
    library->Config.SendOfEnter = false;
    Type("cq");
    Enter();
    EXPECT_FALSE(engine->bTX());
    EXPECT_TRUE(engine->TxQueue().empty());
}

TEST_F(TransmitTest, AutoSendEndsAtTheFirstTimerTickAfterTheLastEcho) {
    library->Config.AutoSendChar = true;
    library->Config.AutoEndTX = true;
    form->Timer1.SetInterval(1000);
    Type("a");  // t = 0: Timer1 starts, DelayTX blocks until 100
    EXPECT_TRUE(form->Timer1.Enabled());
    EXPECT_EQ(sim.Dispatcher.Now(), 100);
    Run(50);
    Type("b");  // t = 150; the running timer is not restarted
    Run(450);
    EXPECT_EQ(Rx(), "\r\nab");  // echoes at 308 and 516
    EXPECT_EQ(form->Tx.PendingText, "");
    EXPECT_TRUE(engine->bTX());  // the timer decides, not the last echo
    Run(399);
    EXPECT_TRUE(engine->bTX());
    Run(1);  // the tick at 1000 asks for the end
    EXPECT_FALSE(form->Timer1.Enabled());
    Run(kChar);
    EXPECT_FALSE(engine->bTX());
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx"}));
}

TEST_F(TransmitTest, TypistsHaveOneTimerIntervalToGoOn) {
    library->Config.AutoSendChar = true;
    form->Timer1.SetInterval(1000);
    Type("a");  // echoed at 308
    Run(890);
    Type("b");  // t = 990: still pending at the tick at 1000, sent at 1140
    Run(1000);
    EXPECT_TRUE(engine->bTX());
    EXPECT_EQ(Rx(), "\r\nab");
    Run(200);  // the tick at 2000 ends it
    EXPECT_FALSE(engine->bTX());
}

TEST_F(TransmitTest, WithoutATimerIntervalTheLastEchoEndsIt) {
    // A zero TimeDoRx leaves the timer enabled but never ticking; the echo
    // count must end the transmission then.
    library->Config.AutoSendChar = true;
    form->Timer1.SetInterval(0);
    Type("ab");
    EXPECT_TRUE(form->Timer1.Enabled());
    Run(3 * kChar);
    EXPECT_FALSE(engine->bTX());
    EXPECT_EQ(Rx(), "\r\nab\r\n");
}

TEST_F(TransmitTest, BackspaceIsRecordedWhenIdleAndQueuedWhileTransmitting) {
    library->Config.AutoSendChar = true;
    Type("\b");
    EXPECT_EQ(form->Tx.PendingText, "\b");
    EXPECT_TRUE(engine->TxQueue().empty());
    EXPECT_FALSE(engine->bTX());
    EXPECT_TRUE(TrxCalls().empty());

    form->Tx.PendingText.clear();
    form->Memo1.Clear();
    Type("ab");
    ASSERT_TRUE(engine->bTX());
    Type("\b");
    EXPECT_EQ(form->Memo1.Text(), "a");
    EXPECT_EQ(form->Tx.PendingText, "ab\b");
    EXPECT_EQ(std::u16string(engine->TxQueue().begin(), engine->TxQueue().end()), u"ab\b");
    Run(3 * kChar);
    EXPECT_EQ(Rx(), "\r\na");  // the echoed backspace removes the b
    EXPECT_EQ(form->Tx.PendingText, "");
}

TEST_F(TransmitTest, TypedCharactersGoIntoPendingTextAtTheCaret) {
    library->Config.AutoSendChar = false;
    Type("ace");
    form->Memo1.SetSelStart(1);
    Type("b");
    EXPECT_EQ(form->Memo1.Text(), "abce");
    EXPECT_EQ(form->Tx.PendingText, "abce");
    form->Memo1.SetSelStart(3);
    Type("d");
    EXPECT_EQ(form->Tx.PendingText, "abcde");
}

TEST_F(TransmitTest, ReleasingTxRxDiscardsPendingTextAndReturnsAtOnce) {
    library->Config.AutoSendChar = false;
    library->Config.SendOfEnter = true;
    Type("cq cq");
    Enter();
    Run(kChar + 1);
    ASSERT_EQ(Rx(), "\r\nc");
    ASSERT_TRUE(form->RsSpeedButton1.Down());
    form->RsSpeedButton1.Click();
    EXPECT_EQ(form->Tx.PendingText, "");
    EXPECT_FALSE(engine->bTX());
    EXPECT_TRUE(engine->TxQueue().empty());
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx"}));
    Run(10 * kChar);
    EXPECT_EQ(Rx(), "\r\nc\r\n");
    EXPECT_TRUE(form->RsSpeedButton2.Enabled());
}

TEST_F(TransmitTest, PressingTxRxSendsWhatIsPending) {
    library->Config.AutoSendChar = false;
    Type("73");
    form->RsSpeedButton1.Click();
    EXPECT_TRUE(engine->bTX());
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx"}));
    EXPECT_EQ(sim.Dispatcher.BlockedMs(), 100);
    Run(3 * kChar);
    // With AutoEndTX on the echo count ends it.
    EXPECT_FALSE(engine->bTX());
    EXPECT_EQ(engine->SentText(), u"73");
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx"}));
}

TEST_F(TransmitTest, TextTypedAtTheEndDuringAFeedGoesOutInTheSameTransmission) {
    PlaceMacro("cq de r1abc");
    Run(0);
    Run(4 * kChar);  // the space and "cq "
    form->Memo1.SetSelStart(form->Memo1.GetTextLen());
    Type("k");
    EXPECT_EQ(form->Tx.PendingText, "");  // feed mode records nothing
    EXPECT_EQ(form->Memo1.Text(), "cq de r1abck");
    Run(20 * kChar);
    EXPECT_EQ(engine->SentText(), u" cq de r1abck");
    EXPECT_FALSE(engine->bTX());
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx"}));
    EXPECT_FALSE(form->Tx.FeedMode);
    EXPECT_EQ(form->Tx.FeedPosition, -1);
    // A second macro later starts where the pane ends now.
    PlaceMacro(" 73");
    Run(10 * kChar);
    EXPECT_EQ(engine->SentText(), u" cq de r1abck  73");
}

TEST_F(TransmitTest, MacrosPlacedDuringAFeedQueueUpInOneTransmission) {
    PlaceMacro("ab");
    Run(kChar);
    PlaceMacro("cd");  // already transmitting: no new start, one more space
    Run(10 * kChar);
    EXPECT_EQ(engine->SentText(), u"  abcd");
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx"}));
}

TEST_F(TransmitTest, WithoutAutoEndOrRxTagTheStationStaysInTransmit) {
    library->Config.AutoEndTX = false;
    PlaceMacro("test");
    Run(30 * kChar);
    EXPECT_TRUE(engine->bTX());
    EXPECT_EQ(engine->SentText(), u" test");
    form->RsSpeedButton1.Click();  // the operator releases it
    EXPECT_FALSE(engine->bTX());
    Run(0);
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx", "rx"}));

    // Typing mode too.
    library->Config.SendOfEnter = true;
    Type("k");
    Enter();
    Run(30 * kChar);
    EXPECT_TRUE(engine->bTX());
    EXPECT_EQ(form->Tx.PendingText, "");
}

TEST_F(TransmitTest, TheRxTagEndsAFeedEvenWithoutAutoEnd) {
    library->Config.AutoEndTX = false;
    form->Tx.RxTagSeen = true;
    PlaceMacro("k");
    Run(3 * kChar);
    EXPECT_FALSE(engine->bTX());
    EXPECT_FALSE(form->Tx.RxTagSeen);
}

TEST_F(TransmitTest, ADelayTxWaitBlocksTheWindowThread) {
    library->Config.DelayTX = 250;
    int ticks = 0;
    const auto timer = sim.Dispatcher.SetTimer(10, [&] { ++ticks; });
    form->RsSpeedButton1.SetDown(false);
    PlaceMacro("x");
    EXPECT_EQ(ticks, 0);  // nothing ran inside the wait
    EXPECT_EQ(sim.Dispatcher.BlockedMs(), 250);
    EXPECT_EQ(sim.Dispatcher.Now(), 250);
    EXPECT_TRUE(engine->bTX());  // switched after the wait
    sim.Dispatcher.KillTimer(timer);
}

TEST_F(TransmitTest, AHeldLastEchoStillEndsTheTransmission) {
    library->Config.AutoSendChar = false;
    library->Config.SendOfEnter = true;
    Type("ab");
    Enter();
    Run(kChar + 1);
    form->Rx.Hold = true;  // the operator clicks in the pane during the last echo
    Run(kChar);
    Run(kChar);
    EXPECT_FALSE(engine->bTX());
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx"}));
    EXPECT_EQ(Rx(), "\r\na\r\n");
    form->Rx.Hold = false;
    engine->Receive(0, u"r");
    Run(kChar);
    // The held echo keeps its colour and goes in front of the new character.
    EXPECT_EQ(Rx(), "\r\na\r\nbr");
    EXPECT_EQ(form->RichEdit1.ColorAt(5), kTx);
    EXPECT_EQ(form->RichEdit1.ColorAt(6), library->Config.RXFontRxColor);
}

TEST_F(TransmitTest, AnEchoSelectiveReceptionHidesStillCountsTowardsTheEnd) {
    library->Config.AutoSendChar = false;
    library->Config.SendOfEnter = true;
    Type("a<");
    Enter();
    Run(3 * kChar);
    EXPECT_FALSE(engine->bTX());
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx", "rx"}));
    EXPECT_EQ(Rx(), "\r\na\r\n");  // "<" went out but is not shown
}

TEST_F(TransmitTest, EndOfTransmissionSavesTheContactClearsThePaneAndEndsAFileSend) {
    library->Config.AutoClearTXWnd = true;
    form->Tx.SaveQsoAfterTx = true;
    form->Tx.TxTagSeen = true;
    form->Tx.FileSending = true;
    form->Memo1.SetVisible(false);
    form->RsAnimate1.SetActive(true);
    PlaceMacro("73");
    Run(5 * kChar);
    ASSERT_FALSE(engine->bTX());
    EXPECT_EQ(TrxCalls().back(), "rx");  // the transceiver is back
    // The contact hand-off that saves through the host's window is not built
    // yet: the operator saves.
    EXPECT_EQ(host.newQso.saves, 0);
    EXPECT_FALSE(form->Tx.SaveQsoAfterTx);
    EXPECT_FALSE(form->Tx.TxTagSeen);
    EXPECT_EQ(form->Memo1.Text(), "");
    EXPECT_FALSE(form->Tx.FileSending);
    EXPECT_TRUE(form->Memo1.Visible());
    EXPECT_FALSE(form->RsAnimate1.Active());
    EXPECT_EQ(engine->wBufferCount(), 0);
    EXPECT_FALSE(form->Timer1.Enabled());

    // The request is used once: the next transmission does not ask again.
    PlaceMacro("k");
    Run(5 * kChar);
    EXPECT_FALSE(form->Tx.SaveQsoAfterTx);
    EXPECT_EQ(host.newQso.saves, 0);
}

TEST_F(TransmitTest, ToneUntilTheTxRxButtonIsReleased) {
    form->RsSpeedButton2.Click();
    EXPECT_TRUE(form->RsSpeedButton1.Down());
    EXPECT_EQ(TrxCalls(), (std::vector<std::string>{"tx"}));
    EXPECT_EQ(sim.Dispatcher.BlockedMs(), 100);
    EXPECT_TRUE(engine->ToneOn());
    Run(0);
    EXPECT_FALSE(form->RsSpeedButton2.Enabled());
    Run(50 * kChar);
    EXPECT_TRUE(engine->bTX());
    form->RsSpeedButton1.Click();
    EXPECT_FALSE(engine->ToneOn());
    EXPECT_FALSE(engine->bTX());
    Run(0);
    EXPECT_TRUE(form->RsSpeedButton2.Enabled());
    EXPECT_EQ(engine->SentText(), u"");
}

TEST_F(TransmitTest, RussianToLatinThroughTheHostLibrary) {
    library->Config.AutoSendChar = false;
    form->SetTranslate(true);
    EXPECT_EQ(form->StatusBar1.Panel(3).Text, "En");
    Type(Ru("аб"));
    EXPECT_EQ(form->Memo1.Text(), "a" + Ru("б"));  // the stand-in maps а only
    EXPECT_EQ(form->Tx.PendingText, "a" + Ru("б"));
    form->mnuTranslate.Click();
    EXPECT_EQ(form->StatusBar1.Panel(3).Text, "Ru");
    Type(Ru("а"));
    EXPECT_EQ(form->Tx.PendingText, "a" + Ru("ба"));
}

TEST_F(TransmitTest, RussianTextIsEchoedAsRussian) {
    library->Config.AutoSendChar = true;
    Type(Ru("я"));
    PlaceMacro(Ru("ж"));
    Run(5 * kChar);
    EXPECT_EQ(Rx(), "\r\n" + Ru("я ж") + "\r\n");
}

TEST_F(TransmitTest, SendSelectedTextAndTheMenuRules) {
    sim.Clipboard.SetText("pasted");
    form->Memo1.SetText("cq de r1abc");
    form->dxBarPopupMenu4.Popup({});
    EXPECT_TRUE(form->mnuSelectAll.Enabled());
    EXPECT_FALSE(form->mnuSendSelected.Enabled());
    EXPECT_FALSE(form->mnuCopy.Enabled());
    EXPECT_TRUE(form->mnuPaste.Enabled());

    form->Memo1.SetSelStart(6);
    form->Memo1.SetSelLength(5);
    form->dxBarPopupMenu4.Popup({});
    EXPECT_TRUE(form->mnuSendSelected.Enabled());
    EXPECT_TRUE(form->mnuCopy.Enabled());
    form->mnuSendSelected.Click();
    EXPECT_EQ(form->Tx.PendingText, "r1abc");
    EXPECT_TRUE(engine->bTX());
    form->dxBarPopupMenu4.Popup({});
    EXPECT_FALSE(form->mnuSendSelected.Enabled());
    EXPECT_FALSE(form->mnuPaste.Enabled());
    Run(10 * kChar);
    EXPECT_EQ(engine->SentText(), u"r1abc");
    EXPECT_FALSE(engine->bTX());

    form->Memo1.Clear();
    form->dxBarPopupMenu4.Popup({});
    EXPECT_FALSE(form->mnuSelectAll.Enabled());
}

TEST_F(TransmitTest, ClipboardCommands) {
    form->Memo1.SetText("hello world");
    form->mnuSelectAll.Click();
    EXPECT_EQ(form->Memo1.SelText(), "hello world");
    form->mnuCopy.Click();
    EXPECT_EQ(sim.Clipboard.GetText(), "hello world");

    // Paste replaces the selection; the whole pane is what is pending.
    sim.Clipboard.SetText("73");
    form->Memo1.SetSelStart(6);
    form->Memo1.SetSelLength(5);
    form->mnuPaste.Click();
    EXPECT_EQ(form->Memo1.Text(), "hello 73");
    EXPECT_EQ(form->Tx.PendingText, "hello 73");
    form->Tx.FeedMode = true;
    form->mnuPaste.Click();
    EXPECT_EQ(form->Tx.PendingText, "hello 73");
    form->Tx.FeedMode = false;

    // Outside the transmit pane: the receive pane's selection, else the captured word.
    form->RichEdit1.SetText("ua3abc 599");
    form->RichEdit1.SetFocus();
    form->Rx.CapturedWord = "UA3ABC";
    form->mnuCopy.Click();
    EXPECT_EQ(sim.Clipboard.GetText(), "UA3ABC");
    form->RichEdit1.SetSelStart(7);
    form->RichEdit1.SetSelLength(3);
    form->mnuCopy.Click();
    EXPECT_EQ(sim.Clipboard.GetText(), "599");
}

}  // namespace
}  // namespace quorvel::testing
