// Received characters through the main window: filtering, holding while the
// operator clicks, colours, panes of the channels, the S/N maximum, the
// text-file detector, and failures that must not stop reception.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "ForwardingEngine.h"
#include "LoopbackEngine.h"
#include "PluginFixture.h"
#include "base/CodePage.h"

namespace quorvel::testing {
namespace {

// The loopback engine, telling the test each time the window reads the signal
// level, which it does once for every received character (never the echo)
// once it is on show; one read can be made to fail.
class TSnrEngine final : public TForwardingEngine {
public:
    using TForwardingEngine::TForwardingEngine;
    std::function<void()> OnRead;
    mutable int Reads = 0;
    int FailAt = -1;  // the read that fails, counted from 0
    double SignalToNoise(std::int16_t ch) const override {
        if (OnRead) OnRead();
        if (Reads++ == FailAt) throw std::runtime_error("cannot read the signal level");
        return inner_->SignalToNoise(ch);
    }
};

class RxPipelineTest : public PluginFixture {
protected:
    RxPipelineTest() {
        sim.Ports().Engines = &snrEngines;
        library.reset();
        library = std::make_unique<TPluginLibrary>(sim.Ports());
        library->Host = &host.session;
        form = TForm::Create<TMainForm>(*library);
        snr = snrEngines.Last;
        engine = &static_cast<TLoopbackEngine&>(snr->Inner());
        library->Config.RXFontRxColor = kRx;
        library->Config.RXFontTxColor = kTx;
        snr->OnRead = [this] { shownWhenRead = form->PaneForChannel(lastChannel).Text(); };
    }

    // Characters straight from the engine's event, as UTF-16.
    void Rx(std::u16string_view text, std::int16_t channel = 0) {
        for (char16_t c : text) {
            lastChannel = channel;
            form->MMVARI1RxChar(channel, std::u16string(1, c), c);
        }
    }
    std::string Pane(int channel) { return form->PaneForChannel(channel).Text(); }

    static constexpr TColor kRx = 0x112233;
    static constexpr TColor kTx = 0x445566;
    TForwardingEngineFactory<TSnrEngine> snrEngines;
    std::unique_ptr<TMainForm> form;
    TSnrEngine* snr = nullptr;
    TLoopbackEngine* engine = nullptr;
    std::string shownWhenRead;  // the pane when the level was last read
    std::int16_t lastChannel = 0;
};

TEST_F(RxPipelineTest, LineEndsAndBackspace) {
    Rx(u"\b");
    EXPECT_EQ(Pane(0), "");
    Rx(u"cq\ncq\rde\r\nab\r\b\b");
    EXPECT_EQ(Pane(0), "cqcq\r\nde\r\na");
    EXPECT_EQ(form->RichEdit1.SelStart(), form->RichEdit1.GetTextLen());
}

TEST_F(RxPipelineTest, SelectiveReceptionDropsCharactersCompletely) {
    Rx(u"a<b>c`d\u2116e\u044F");
    EXPECT_EQ(Pane(0), "abcde" + Ru("я"));
    EXPECT_EQ(snr->Reads, 6);  // dropped characters go no further
    library->Config.SelectedRcvr = false;
    Rx(u"<\u2116>");
    EXPECT_EQ(Pane(0), "abcde" + Ru("я") + "<" + Ru("№") + ">");
}

TEST_F(RxPipelineTest, ExtraChannelsWriteToTheirOwnPanes) {
    Rx(u"main", 0);
    Rx(u"one", 1);
    Rx(u"two", 2);
    Rx(u"three", 3);
    Rx(u"four", 4);
    Rx(u"!", 5);
    Rx(u"?", -1);
    EXPECT_EQ(Pane(0), "main!?");
    EXPECT_EQ(form->RichEdit2.Text(), "one");
    EXPECT_EQ(form->RichEdit3.Text(), "two");
    EXPECT_EQ(form->RichEdit4.Text(), "three");
    EXPECT_EQ(form->RichEdit5.Text(), "four");
    // The current pane is that of the active tab.
    form->RzPageControl1.SetActivePageIndex(3);
    EXPECT_EQ(&form->CurrentPane(), &form->RichEdit4);
}

TEST_F(RxPipelineTest, HeldWhileTheButtonIsDownThenShownInOrderEachInItsOwnPane) {
    Rx(u"x", 0);
    snr->Reads = 0;
    form->Rx.Hold = true;
    Rx(u"a", 0);
    Rx(u"b", 2);
    Rx(u"c", 0);
    EXPECT_EQ(Pane(0), "x");
    EXPECT_EQ(Pane(2), "");
    EXPECT_EQ(form->Rx.HeldText.Text(), "abc");
    form->Rx.Hold = false;  // the release alone shows nothing
    EXPECT_EQ(Pane(0), "x");
    Rx(u"d", 1);
    EXPECT_EQ(Pane(0), "xac");
    EXPECT_EQ(Pane(2), "b");
    EXPECT_EQ(Pane(1), "d");
    EXPECT_EQ(snr->Reads, 4);
    EXPECT_TRUE(form->Rx.HeldText.Empty());
}

TEST_F(RxPipelineTest, EchoesInTheTransmitColourReceivedTextInTheReceiveColour) {
    Rx(u"rx");
    engine->SetTxState(TxStateTransmit);
    Rx(u"tx");
    engine->SetTxState(TxStateReceive);
    Rx(u"!");
    TRichEdit& pane = form->RichEdit1;
    ASSERT_EQ(pane.Text(), "rxtx!");
    EXPECT_EQ(pane.ColorAt(1), kRx);
    EXPECT_EQ(pane.ColorAt(2), kTx);
    EXPECT_EQ(pane.ColorAt(3), kTx);
    EXPECT_EQ(pane.ColorAt(4), kRx);
    // The sender's own echo goes no further than the pane.
    EXPECT_EQ(snr->Reads, 3);
}

TEST_F(RxPipelineTest, SmileysFollowTheSetting) {
    Rx(u"tnx hi hi 73 (hi) HI! ");
    EXPECT_EQ(form->RichEdit1.Pictures().size(), 4u);
    for (const auto& p : form->RichEdit1.Pictures()) EXPECT_EQ(p.PictureId, TMainForm::kSmileyPictureId);
    library->Config.HIToSml = false;
    Rx(u" hi hi hi ", 1);
    EXPECT_TRUE(form->RichEdit2.Pictures().empty());
}

TEST_F(RxPipelineTest, SignalToNoiseMaximumComesFromTheActiveTabsChannel) {
    engine->SetSignalToNoise(0, 12.4);
    engine->SetSignalToNoise(2, 30.0);
    Rx(u"a", 2);
    EXPECT_EQ(form->Rx.MaxSignalToNoise, 12);
    form->RzPageControl1.SetActivePageIndex(2);
    Rx(u"b", 0);
    EXPECT_EQ(form->Rx.MaxSignalToNoise, 30);
    engine->SetSignalToNoise(2, 3.0);
    Rx(u"c", 2);
    EXPECT_EQ(form->Rx.MaxSignalToNoise, 30);  // it only grows
    // Echoes do not count.
    engine->SetSignalToNoise(2, 45.0);
    engine->SetTxState(TxStateTransmit);
    Rx(u"d", 0);
    EXPECT_EQ(form->Rx.MaxSignalToNoise, 30);
    engine->SetTxState(TxStateReceive);
    engine->SetSignalToNoise(2, 1e300);
    Rx(u"e", 2);
    EXPECT_EQ(form->Rx.MaxSignalToNoise, 2147483647);
}

TEST_F(RxPipelineTest, EachReceivedCharacterIsShownBeforeTheWindowReadsTheSignalLevel) {
    Rx(u"ab\r", 3);
    EXPECT_EQ(snr->Reads, 3);
    EXPECT_EQ(shownWhenRead, "ab\r\n");
}

TEST_F(RxPipelineTest, AFailureLosesOnlyTheFailingCharacter) {
    snr->FailAt = 1;  // the read for "!"
    Rx(u"a!b");
    EXPECT_EQ(Pane(0), "a!b");
    EXPECT_EQ(snr->Reads, 3);

    // A failure while flushing held characters loses nothing else either.
    snr->FailAt = 4;  // the held "!"
    form->Rx.Hold = true;
    Rx(u"x!y", 1);
    form->Rx.Hold = false;
    Rx(u"z", 1);
    EXPECT_EQ(Pane(1), "x!yz");
    EXPECT_EQ(snr->Reads, 7);
    EXPECT_TRUE(form->Rx.HeldText.Empty());
}

TEST_F(RxPipelineTest, EngineStringsOfOtherLengths) {
    form->MMVARI1RxChar(0, u"", 0);
    form->MMVARI1RxChar(0, u"\xD83D\xDE00", 0);  // a character outside the code page
    EXPECT_EQ(Pane(0), "?");
}

}  // namespace
}  // namespace quorvel::testing
