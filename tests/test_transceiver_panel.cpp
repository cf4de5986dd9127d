// The transceiver panel: the host's frequency messages reaching the readout,
// the scale and the status bar, and the step buttons asking the host to tune.
#include <gtest/gtest.h>

#include "PluginFixture.h"
#include "pavo/automation.h"
#include "pavo/pavo.h"
#include "plugin/FrequencyText.h"

namespace quorvel {
namespace {

class TransceiverPanel : public testing::PluginFixture {
protected:
    TransceiverPanel() {
        host.transceiver.frequency = 14070000;
        library->Run(&host.session, 1);
    }
    ~TransceiverPanel() override { library->Release(); }
    TMainForm& Form() const { return *library->MainForm; }
    void Post(std::uint32_t msg, std::intptr_t lParam) {
        sim.Windows.PostMessage(Form().Handle(), msg, 0, lParam);
        sim.Dispatcher.Advance(0);
    }
    std::string Signal() const { return Form().StatusBar1.Panel(2).Text; }
    void Press(TSpeedButton& b) { b.MouseDown(TMouseButton::mbLeft, 0, 0, 0); }
    void Release(TSpeedButton& b) { b.MouseUp(TMouseButton::mbLeft, 0, 0, 0); }
    std::vector<std::int32_t>& Tunes() { return host.transceiver.tunes; }
};

TEST_F(TransceiverPanel, NewDialReachesReadoutScaleAndSignalFrequency) {
    TMainForm& f = Form();
    host.transceiver.upper = false;
    Post(PAVO_MSG_TRX_FREQUENCY, 7074000);
    EXPECT_EQ(f.Window.DialFrequency, 7074000);
    EXPECT_EQ(f.Label7.Caption(), "7.074.000");
    EXPECT_EQ(f.XMMVView2->dwFreqHz, 7074000);
    EXPECT_EQ(f.XMMVView1->bLSB, OleTrue);
    EXPECT_EQ(f.XMMVView2->bLSB, OleTrue);
    EXPECT_EQ(host.transceiver.workingFrequency, 7074000 - 1750) << "the carrier below the dial on lower sideband";
    EXPECT_EQ(Signal(), FrequencyText(host.transceiver.frequency)) << "the host's frequency read back";

    Post(PAVO_MSG_TRX_1161, 1);
    EXPECT_EQ(f.Window.DialFrequency, 7074000) << "1161 changes nothing";

    // The rig goes: readouts rest, the dial is remembered.
    Post(PAVO_MSG_TRX_GONE, 0);
    EXPECT_EQ(f.Label7.Caption(), "0.000");
    EXPECT_EQ(Signal(), "0.000");
    EXPECT_EQ(f.XMMVView2->dwFreqHz, 0);
    EXPECT_EQ(f.XMMVView1->bLSB, OleFalse);
    EXPECT_EQ(f.XMMVView2->bLSB, OleFalse);
    EXPECT_EQ(f.Window.DialFrequency, 7074000);
    host.transceiver.upper = true;
    f.UpdateSignalFrequency();
    EXPECT_EQ(host.transceiver.workingFrequency, 7074000 + 1750) << "updates go on from the last dial";
}

TEST_F(TransceiverPanel, UnknownDialSendsNoWorkingFrequency) {
    host.transceiver.frequency = 0;
    const int before = host.transceiver.workingFrequencySets;
    Post(PAVO_MSG_TRX_FREQUENCY, 0);
    EXPECT_EQ(Form().Label7.Caption(), "0.000");
    EXPECT_EQ(host.transceiver.workingFrequencySets, before) << "the carrier alone is no frequency to log";
}

TEST_F(TransceiverPanel, HeldStepButtonRepeatsAfterTheDelayThenFast) {
    TMainForm& f = Form();
    Post(PAVO_MSG_TRX_FREQUENCY, 14070000);
    Tunes().clear();
    Press(f.RsSpeedButton44);  // +100 Hz
    ASSERT_EQ(Tunes(), std::vector<std::int32_t>{14070100}) << "one step at once";
    EXPECT_EQ(f.Label7.Caption(), "14.070.000") << "the readout waits for the host";
    sim.Dispatcher.Advance(2999);
    EXPECT_EQ(Tunes().size(), 1u);
    sim.Dispatcher.Advance(1);
    EXPECT_EQ(Tunes().size(), 2u) << "first repeat after 3 s";
    sim.Dispatcher.Advance(3000);
    EXPECT_EQ(Tunes().size(), 3u);
    sim.Dispatcher.Advance(50);
    EXPECT_EQ(Tunes().size(), 4u) << "from the third step every 50 ms";
    sim.Dispatcher.Advance(100);
    EXPECT_EQ(Tunes().back(), 14070600);
    Release(f.RsSpeedButton44);
    sim.Dispatcher.Advance(5000);
    EXPECT_EQ(Tunes().size(), 6u) << "released: no more steps";

    // After a release the first repeat comes sooner.
    Press(f.RsSpeedButton3);  // -1 Hz
    sim.Dispatcher.Advance(500);
    Release(f.RsSpeedButton3);
    EXPECT_EQ(Tunes().back(), 14070598);
}

TEST_F(TransceiverPanel, StepsTogetherAndBelowTheLowestDial) {
    TMainForm& f = Form();
    Post(PAVO_MSG_TRX_FREQUENCY, 14070000);
    Tunes().clear();
    Press(f.RsSpeedButton45);  // +10
    Press(f.RsSpeedButton43);  // -100, while +10 is held
    EXPECT_EQ(Tunes().back(), 14070000 + 10 + 10 - 100);
    Release(f.RsSpeedButton43);
    Release(f.RsSpeedButton45);

    Post(PAVO_MSG_TRX_FREQUENCY, 99999);
    Tunes().clear();
    Press(f.RsSpeedButton46);
    Release(f.RsSpeedButton46);
    EXPECT_EQ(Tunes(), std::vector<std::int32_t>{99999}) << "below 100 kHz the request goes, unchanged";

    // The operator's click through automation steps once.
    Post(PAVO_MSG_TRX_FREQUENCY, 3580000);
    Tunes().clear();
    const TAutomationResult click = f.Automation.Run("click", "RsSpeedButton42", "");
    EXPECT_EQ(click.Code, PAVO_AUTOMATION_DONE) << click.Reply;
    EXPECT_EQ(Tunes(), std::vector<std::int32_t>{3579990});
}

}  // namespace
}  // namespace quorvel
