// The modem parameter controls of the main window on the loopback engine:
// user actions on the current channel, the engine's reports, the carrier
// write guards, the wheel, the sound-card levels and the signal frequency.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "ForwardingEngine.h"
#include "LoopbackEngine.h"
#include "PluginFixture.h"
#include "SimSoundCards.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

// The loopback engine, reporting every carrier write back while the write is
// still running, as the real engine does; Drift moves the reported value the
// way an AFC that has already moved on would. A write can be made to fail.
class TReportingEngine final : public TForwardingEngine {
public:
    using TForwardingEngine::TForwardingEngine;

    int Drift = 0;
    bool FailWrites = false;
    std::vector<std::string> Reports;  // what was reported during a write

    void set_wTxCarrier(std::uint16_t hz) override {
        inner_->set_wTxCarrier(hz);
        if (events_ != nullptr) events_->OnTxCarrier(static_cast<std::uint16_t>(hz + Drift));
        if (FailWrites) throw std::runtime_error("write failed");
    }
    void set_RxCarrier(std::int16_t ch, std::uint16_t hz) override {
        inner_->set_RxCarrier(ch, hz);
        if (events_ != nullptr) events_->OnRxCarrier(ch, static_cast<std::uint16_t>(hz + Drift));
        if (FailWrites) throw std::runtime_error("write failed");
    }
};

using TReportingEngineFactory = TForwardingEngineFactory<TReportingEngine>;

// Display controls that log their drawing, and the S/N panel when the tuning
// strip is drawn.
struct TLoggingView final : TXMMVView {
    TLoggingView(std::vector<std::string>& log, const TStatusBar* bar) : log_(log), bar_(bar) {}
    void DrawSpectrum(std::int32_t) override { log_.push_back("spectrum"); }
    void DrawChannel(std::int32_t, std::int16_t ch) override { log_.push_back("channel " + std::to_string(ch)); }
    void DrawWave(std::int32_t handle) override { log_.push_back("wave " + std::to_string(handle)); }
    void DrawTuning(std::int32_t, std::int16_t ch) override {
        log_.push_back("tuning " + std::to_string(ch) + " after " + bar_->Panel(0).Text);
    }
    std::vector<std::string>& log_;
    const TStatusBar* bar_;
};
struct TLoggingLevel final : TXMMVLvl {
    explicit TLoggingLevel(std::vector<std::string>& log) : log_(log) {}
    void DrawLevel(std::int32_t, std::int16_t ch) override { log_.push_back("level " + std::to_string(ch)); }
    std::vector<std::string>& log_;
};

class ModemParametersTest : public PluginFixture {
protected:
    ModemParametersTest() {
        // The window's engine comes through the reporting wrapper.
        sim.Ports().Engines = &reporting;
        Reload();
        host.config.dataFolder = temp.Folder();
        std::filesystem::create_directories(JoinPath(temp.Folder(), "Quorvel"));
        host.transceiver.frequency = 14070000;
        host.transceiver.upper = true;
    }

    // Sound devices set up: output device 1, recording line 2 of destination 0
    // on mixer 0, selected with 1, receive level editor enabled.
    void WriteSetUpSettings() {
        WriteAll(JoinPath(temp.Folder(), "Quorvel", "configuration.xml"),
                 "<?xml version=\"1.0\" ?><Configuration>"
                 "<InSoundCard type=\"Integer\">0</InSoundCard>"
                 "<OutSoundCard type=\"Integer\">1</OutSoundCard>"
                 "<InMixerID type=\"Integer\">0</InMixerID>"
                 "<InDest type=\"Integer\">0</InDest>"
                 "<SoundSource type=\"Integer\">2</SoundSource>"
                 "<InSelect type=\"Integer\">1</InSelect>"
                 "<EnabledRXLevel type=\"Integer\">1</EnabledRXLevel>"
                 "<SetupComplete type=\"Integer\">1</SetupComplete></Configuration>");
    }

    // The library loaded again on the platform as it now is.
    void Reload() {
        library.reset();
        library = std::make_unique<TPluginLibrary>(sim.Ports());
    }

    TMainForm& Run() {
        library->Run(&host.session, 1);
        sim.Dispatcher.Advance(0);
        return *library->MainForm;
    }
    TReportingEngine& Engine() const { return *reporting.Last; }
    TLoopbackEngine& Loopback() const { return static_cast<TLoopbackEngine&>(reporting.Last->Inner()); }

    void SendWheel(TMainForm& f, int delta) {
        const auto high = static_cast<std::uintptr_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(delta)));
        sim.Windows.PostMessage(f.Handle(), WM_MOUSEWHEEL, high << 16, 0);
        sim.Dispatcher.Advance(0);
    }

    TReportingEngineFactory reporting;
    TempFolder temp;
};

// ---- Design -------------------------------------------------------------------------

TEST_F(ModemParametersTest, ToolbarControlsAndStatusPanelsAreAsDesigned) {
    TMainForm& f = Run();
    struct Spin {
        TSpinEdit* editor;
        const char* caption;
        const char* hint;
        int width, lo, hi, step, value;
    };
    const Spin spins[] = {
        {&f.mnuAFCFreq, "Гц:", "Частота AFC", 55, 10, 1000, 10, 50},
        {&f.mnuAFCLevel, "dB:", "Уровень AFC", 40, 10, 60, 2, 16},
        {&f.mnuRXFreq, "RX:", "Частота приёма", 55, 0, 3000, 1, 1750},
        {&f.mnuTXFreq, "TX:", "Частота передачи", 55, 0, 3000, 1, 1750},
        {&f.mnuInLevel, "RX", "RX", 50, 0, 100, 1, -1},
        {&f.mnuOutLevel, "TX", "TX", 50, 0, 100, 1, -1},
    };
    for (const Spin& s : spins) {
        SCOPED_TRACE(s.editor->Name);
        EXPECT_EQ(s.editor->Caption(), Ru(s.caption));
        EXPECT_EQ(s.editor->Hint(), Ru(s.hint));
        EXPECT_EQ(s.editor->Width(), s.width);
        EXPECT_EQ(s.editor->MinValue, s.lo);
        EXPECT_EQ(s.editor->MaxValue, s.hi);
        EXPECT_EQ(s.editor->Increment, s.step);
        if (s.value >= 0) {
            EXPECT_EQ(s.editor->Value(), s.value);
        }
    }
    // Without the sound devices set up the level editors stay disabled.
    EXPECT_FALSE(f.mnuInLevel.Enabled());
    EXPECT_FALSE(f.mnuOutLevel.Enabled());

    EXPECT_EQ(f.mnuModes.Caption(), Ru("Вид:"));
    EXPECT_EQ(f.mnuModes.Hint(), Ru("Вид"));
    EXPECT_EQ(f.mnuModes.Width(), 70);
    EXPECT_EQ(f.mnuSpeed.Caption(), Ru("Скорость:"));
    EXPECT_EQ(f.mnuSpeed.Hint(), Ru("Скорость"));
    EXPECT_EQ(f.mnuSpeed.Width(), 60);
    EXPECT_EQ(f.mnuSpeed.Items(), (std::vector<std::string>{"15.625", "20", "31.25", "45.45", "62.5", "75", "93.75",
                                                            "100", "110", "125", "150", "200", "250", "500"}));
    EXPECT_EQ(f.mnuAFC.Hint(), Ru("Автоматическая подстройка частоты"));
    EXPECT_EQ(f.mnuNET.Hint(), Ru("NET (совместить частоты TX/RX)"));
    EXPECT_EQ(f.mnuATC.Hint(), Ru("Автоматический контроль синхронизации"));
    EXPECT_TRUE(f.mnuAFC.Down());
    EXPECT_TRUE(f.mnuNET.Down());
    EXPECT_FALSE(f.mnuATC.Down());
    EXPECT_EQ(f.mnuLevels.Caption(), Ru("Уровни"));
    EXPECT_EQ(f.mnuLevels.Hint(), Ru("Уровни сигналов"));

    ASSERT_EQ(f.StatusBar1.PanelCount(), 5u);
    const int widths[] = {80, 80, 80, 30, -1};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(f.StatusBar1.Panel(i).Width, widths[i]);
        EXPECT_EQ(f.StatusBar1.Panel(i).Bold, i == 2);
    }
    EXPECT_EQ(f.StatusBar1.Panel(2).Text, "0.000");
}

// ---- Start-up ---------------------------------------------------------------------

TEST_F(ModemParametersTest, StartUpListsTheEnginesModesAndShowsTheStoredModeAndSpeed) {
    library->Host = &host.session;
    auto form = TForm::Create<TMainForm>(*library);
    form->SetMode(6);
    form->SetSpeed(45.45);
    form->Show();
    sim.Dispatcher.Advance(0);
    const std::vector<std::string> modes{"GMSK", "FSK", "FSK-W", "BPSK", "bpsk", "rtty-L",
                                         "rtty-U", "mfsk-L", "mfsk-U", "qpsk-L", "qpsk-U"};
    EXPECT_EQ(form->mnuModes.Items(), modes);
    EXPECT_EQ(Engine().Mode(0), 6);
    EXPECT_EQ(Engine().Speed(0), 45.45);
    // The engine's reports of what was written select the stored values.
    EXPECT_EQ(form->mnuModes.Text(), "rtty-U");
    EXPECT_EQ(form->mnuSpeed.Text(), "45.45");
    EXPECT_EQ(form->GetMode(), 6);
    EXPECT_EQ(form->GetSpeed(), 45.45);
}

TEST_F(ModemParametersTest, WithoutStoredValuesChannelZeroGetsModeZeroAndKeepsItsSpeed) {
    TMainForm& f = Run();
    // Mode 0 and speed 0 were written to channel 0; the engine refuses a
    // speed of 0 and keeps its own.
    EXPECT_EQ(Engine().Mode(0), 0);
    EXPECT_EQ(f.mnuModes.Text(), "GMSK");
    EXPECT_EQ(f.mnuSpeed.ItemIndex(), -1);
    EXPECT_EQ(f.StatusBar1.Panel(2).Text, "0.000");
}

// ---- Mode and speed ----------------------------------------------------------------

TEST_F(ModemParametersTest, ModeAndSpeedChoicesActOnTheCurrentChannel) {
    TMainForm& f = Run();
    f.RzPageControl1.SetActivePageIndex(2);
    f.mnuModes.Select(f.mnuModes.IndexOf("qpsk-U"));
    f.mnuSpeed.Select(f.mnuSpeed.IndexOf("62.5"));
    EXPECT_EQ(Engine().Mode(2), 10);
    EXPECT_EQ(Engine().Speed(2), 62.5);
    EXPECT_EQ(Engine().Mode(0), 0);
    EXPECT_EQ(Engine().Speed(0), 31.25);
    sim.Dispatcher.Advance(0);
    EXPECT_EQ(f.mnuModes.Text(), "qpsk-U");
    EXPECT_EQ(f.mnuSpeed.Text(), "62.5");
}

TEST_F(ModemParametersTest, SpeedsTravelThroughTheLocaleSeparatorAndBack) {
    library->Application.DecimalSeparator = ',';
    TMainForm& f = Run();
    for (const std::string item : {"15.625", "45.45", "93.75", "500"}) {
        f.mnuSpeed.Select(f.mnuSpeed.IndexOf(item));
        f.mnuSpeed.SetItemIndex(-1);
        sim.Dispatcher.Advance(0);
        EXPECT_EQ(f.mnuSpeed.Text(), item);
    }
    EXPECT_EQ(Engine().Speed(0), 500.0);
}

TEST_F(ModemParametersTest, EmptySpeedOrModeIsNotSentNorPassedToTheHost) {
    host.OpenNewQso();
    TMainForm& f = Run();
    const double speed = Engine().Speed(0);
    // The framework raises the change event for a cleared selection too.
    f.mnuSpeed.SetItemIndex(-1);
    f.mnuSpeedChange(&f.mnuSpeed);
    EXPECT_EQ(Engine().Speed(0), speed);
    f.mnuModes.SetItemIndex(-1);
    f.mnuModesChange(&f.mnuModes);
    EXPECT_EQ(Engine().Mode(0), 0);
    EXPECT_EQ(host.newQso.mode.text, "");
}

TEST_F(ModemParametersTest, ModeAndSpeedChoicesReachTheEngineWithOrWithoutTheHostsWindow) {
    TMainForm& f = Run();
    f.mnuModes.Select(3);
    EXPECT_EQ(Engine().Mode(0), 3);
    host.OpenNewQso();
    f.mnuModes.Select(5);
    f.mnuSpeed.Select(f.mnuSpeed.IndexOf("45.45"));
    EXPECT_EQ(Engine().Mode(0), 5);
    EXPECT_EQ(Engine().Speed(0), 45.45);
    // rtty-L: the host's window names it without a speed.
    EXPECT_EQ(host.newQso.mode.text, "RTTY");
}

TEST_F(ModemParametersTest, ReportsSelectTheReportedModeAndSpeedOrNothing) {
    TMainForm& f = Run();
    Engine().set_Speed(0, 45.45);
    sim.Dispatcher.Advance(0);
    EXPECT_EQ(f.mnuSpeed.Text(), "45.45");
    Engine().set_Speed(0, 33.0);
    sim.Dispatcher.Advance(0);
    EXPECT_EQ(f.mnuSpeed.ItemIndex(), -1);
    // The reported speed is compared as the list writes it, in any locale.
    library->Application.DecimalSeparator = ',';
    Engine().set_Speed(0, 15.625);
    sim.Dispatcher.Advance(0);
    EXPECT_EQ(f.mnuSpeed.Text(), "15.625");

    Engine().set_Mode(0, 8);
    sim.Dispatcher.Advance(0);
    EXPECT_EQ(f.mnuModes.Text(), "mfsk-U");
    f.MMVARI1Mode(0, 11, u"olivia");
    EXPECT_EQ(f.mnuModes.ItemIndex(), -1);
}

// ---- Carriers and their write guards -------------------------------------------------

TEST_F(ModemParametersTest, CarrierReportDuringTheOwnWriteLeavesTheEditorAsTheUserSetIt) {
    TMainForm& f = Run();
    Engine().Drift = 7;
    f.mnuRXFreq.SetCurText("1800");
    EXPECT_EQ(f.mnuRXFreq.Value(), 1800);
    EXPECT_EQ(Engine().RxCarrier(0), 1800);
    EXPECT_EQ(f.mnuRXFreq.Tag, 0);
    f.mnuTXFreq.SetCurText("1500");
    EXPECT_EQ(f.mnuTXFreq.Value(), 1500);
    EXPECT_EQ(Engine().wTxCarrier(), 1500);
    EXPECT_EQ(f.mnuTXFreq.Tag, 0);

    // Reports outside a write are shown.
    f.MMVARI1RxCarrier(0, 1815);
    EXPECT_EQ(f.mnuRXFreq.Value(), 1815);
    f.MMVARI1TxCarrier(1234);
    EXPECT_EQ(f.mnuTXFreq.Value(), 1234);
}

TEST_F(ModemParametersTest, GuardIsReleasedWhenTheWriteFails) {
    TMainForm& f = Run();
    Engine().FailWrites = true;
    EXPECT_THROW(f.mnuRXFreq.SetCurText("1900"), std::runtime_error);
    EXPECT_THROW(f.mnuTXFreq.SetCurText("1900"), std::runtime_error);
    EXPECT_EQ(f.mnuRXFreq.Tag, 0);
    EXPECT_EQ(f.mnuTXFreq.Tag, 0);
    Engine().FailWrites = false;
    f.MMVARI1RxCarrier(0, 1600);
    f.MMVARI1TxCarrier(1600);
    EXPECT_EQ(f.mnuRXFreq.Value(), 1600);
    EXPECT_EQ(f.mnuTXFreq.Value(), 1600);
}

TEST_F(ModemParametersTest, TypedCarriersAreTruncatedAndKeptInRange) {
    TMainForm& f = Run();
    f.RzPageControl1.SetActivePageIndex(1);
    f.mnuRXFreq.SetCurText("1234.9");
    EXPECT_EQ(Engine().RxCarrier(1), 1234);
    EXPECT_EQ(f.mnuRXFreq.CurText(), "1234");
    f.mnuRXFreq.SetCurText("4000");
    EXPECT_EQ(Engine().RxCarrier(1), 3000);
    f.mnuRXFreq.SetCurText("1e30");
    EXPECT_EQ(Engine().RxCarrier(1), 3000);
    f.mnuRXFreq.SetCurText("-20");
    EXPECT_EQ(Engine().RxCarrier(1), 0);
    EXPECT_EQ(Engine().RxCarrier(0), 1750);
}

TEST_F(ModemParametersTest, StoredCarriersGoToTheEngineAndItsReportsReachTheEditors) {
    TMainForm& f = Run();
    Engine().Drift = 7;
    f.SetRxCarrier(1100);
    EXPECT_EQ(Engine().RxCarrier(0), 1100);
    EXPECT_EQ(f.mnuRXFreq.Value(), 1107);  // as reported, not guarded
    EXPECT_EQ(f.GetRxCarrier(), 1100);
    f.SetTxCarrier(900);
    EXPECT_EQ(f.GetTxCarrier(), 900);
    EXPECT_EQ(f.mnuTXFreq.Value(), 907);
}

TEST_F(ModemParametersTest, EveryReceiveCarrierReportUpdatesTheSignalFrequency) {
    host.transceiver.frequency = 7035000;
    TMainForm& f = Run();
    const int sets = host.transceiver.workingFrequencySets;
    f.mnuRXFreq.SetCurText("1700");  // the loopback's report and the wrapper's
    EXPECT_EQ(host.transceiver.workingFrequencySets, sets + 2);
    f.MMVARI1RxCarrier(3, 500);
    EXPECT_EQ(host.transceiver.workingFrequencySets, sets + 3);
    f.mnuTXFreq.SetCurText("1700");
    EXPECT_EQ(host.transceiver.workingFrequencySets, sets + 3);
}

// ---- AFC, NET, ATC ---------------------------------------------------------------------

TEST_F(ModemParametersTest, AfcToggleEnablesItsEditorsAndSwitchesTheCurrentChannel) {
    TMainForm& f = Run();
    EXPECT_TRUE(f.mnuAFC.Down());
    EXPECT_TRUE(f.mnuAFCFreq.Enabled());
    f.RzPageControl1.SetActivePageIndex(3);
    f.mnuAFC.Click();
    EXPECT_FALSE(f.mnuAFCFreq.Enabled());
    EXPECT_FALSE(f.mnuAFCLevel.Enabled());
    EXPECT_EQ(Engine().Afc(3), 0);
    EXPECT_EQ(Engine().Afc(0), 1);
    f.mnuAFC.Click();
    EXPECT_TRUE(f.mnuAFCLevel.Enabled());
    EXPECT_EQ(Engine().Afc(3), 1);
}

TEST_F(ModemParametersTest, AfcEditorsSendTheirWholeValueWithinTheRange) {
    TMainForm& f = Run();
    f.mnuAFCFreq.SetCurText("125.7");
    EXPECT_EQ(f.mnuAFCFreq.Value(), 125);
    EXPECT_EQ(Engine().wAFCWidth(), 125);
    f.mnuAFCFreq.SetCurText("5");
    EXPECT_EQ(Engine().wAFCWidth(), 10);
    f.mnuAFCLevel.SetCurText("99");
    EXPECT_EQ(f.mnuAFCLevel.Value(), 60);
    EXPECT_EQ(Engine().wAFCLevel(), 60);

    // Restoring the stored values touches the editors only; the next change sends.
    f.SetAFCWidth(300);
    f.SetAFCLevel(20);
    EXPECT_EQ(Engine().wAFCWidth(), 10);
    EXPECT_EQ(Engine().wAFCLevel(), 60);
    f.mnuAFCLevel.Step(1);
    EXPECT_EQ(Engine().wAFCLevel(), 22);
}

TEST_F(ModemParametersTest, NetAndAtcFollowTheirButtonsAndNetReportsMoveTheButton) {
    TMainForm& f = Run();
    EXPECT_EQ(Engine().bNET(), OleTrue);
    f.mnuNET.Click();
    EXPECT_EQ(Engine().bNET(), OleFalse);
    f.mnuATC.Click();
    EXPECT_EQ(Engine().bATC(), OleTrue);
    EXPECT_TRUE(f.GetATC());
    f.MMVARI1NET(OleTrue);
    EXPECT_TRUE(f.mnuNET.Down());
    f.MMVARI1NET(1);
    EXPECT_TRUE(f.mnuNET.Down());
    f.MMVARI1NET(OleFalse);
    EXPECT_FALSE(f.GetNET());
}

// ---- Wheel ------------------------------------------------------------------------------

TEST_F(ModemParametersTest, WheelStepsTheFocusedEditorAndTheEngineFollows) {
    TMainForm& f = Run();
    sim.Windows.SetActiveWindow(f.Handle());
    f.mnuRXFreq.SetFocus();
    SendWheel(f, -120);
    EXPECT_EQ(Engine().RxCarrier(0), 1749);
    EXPECT_EQ(f.mnuRXFreq.Value(), 1749);
    f.mnuTXFreq.SetFocus();
    SendWheel(f, 120);
    SendWheel(f, 120);
    EXPECT_EQ(Engine().wTxCarrier(), 1752);
    f.mnuAFCFreq.SetFocus();
    SendWheel(f, -120);
    EXPECT_EQ(Engine().wAFCWidth(), 40);

    // Another window active: the wheel is not ours.
    sim.Windows.SetActiveWindow(hostWindow);
    SendWheel(f, -120);
    EXPECT_EQ(Engine().wAFCWidth(), 40);
}

// ---- Levels ---------------------------------------------------------------------------------

TEST_F(ModemParametersTest, LevelEditorsSetTheRecordingLineAndTheOutputVolume) {
    WriteSetUpSettings();
    sim.Audio = RecordingCards(1);
    TMainForm& f = Run();
    sim.Audio.Writes.clear();
    f.mnuInLevel.SetCurText("50");
    // The switch is written again with the level: the microphone is selected.
    EXPECT_EQ(sim.Audio.Control(0, 0, 1, 0).Values, (std::vector<std::uint32_t>{32768, 32768}));
    EXPECT_EQ(sim.Audio.Writes.size(), 2u);
    f.mnuInLevel.SetCurText("100");
    EXPECT_EQ(sim.Audio.Control(0, 0, 1, 0).Values, (std::vector<std::uint32_t>{65535, 65535}));
    f.mnuInLevel.SetCurText("50");
    f.mnuOutLevel.SetCurText("25");
    EXPECT_EQ(sim.Audio.WaveOuts[1].Volume, BothChannels(16384));
    f.mnuOutLevel.SetCurText("100");
    EXPECT_EQ(sim.Audio.WaveOuts[1].Volume, BothChannels(65535));
    // Level 50 % is 32768 and comes back as 50 %.
    f.mnuOutLevel.SetCurText("50");
    EXPECT_EQ(f.GetOutLevel(), 32768);
    f.SetOutLevel(f.GetOutLevel());
    EXPECT_EQ(f.mnuOutLevel.Value(), 50);
    EXPECT_EQ(f.GetInLevel(), 32768);
    f.SetInLevel(32768);
    EXPECT_EQ(f.mnuInLevel.Value(), 50);
}

TEST_F(ModemParametersTest, WithoutARecordingLineTheReceiveLevelOnlyMovesTheEditor) {
    WriteSetUpSettings();
    sim.Audio = RecordingCards(1);
    TMainForm& f = Run();
    sim.Audio.Writes.clear();
    library->Config.InDest = -1;
    f.mnuInLevel.SetCurText("70");
    EXPECT_EQ(f.mnuInLevel.Value(), 70);
    library->Config.InDest = 0;
    library->Config.SoundSource = -1;
    f.mnuInLevel.SetCurText("80");
    EXPECT_EQ(f.mnuInLevel.Value(), 80);
    EXPECT_TRUE(sim.Audio.Writes.empty());
    // Source 0 is the destination line itself.
    library->Config.SoundSource = 0;
    f.mnuInLevel.SetCurText("0");
    EXPECT_EQ(sim.Audio.Control(0, 0, -1, 1).Values, (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(sim.Audio.Control(0, 0, -1, 2).Values, (std::vector<std::uint32_t>{1, 1}));  // InSelect mutes it
    EXPECT_EQ(sim.Audio.Control(0, 0, 1, 0).Values, (std::vector<std::uint32_t>{32768, 32768}));
}

// ---- Status bar --------------------------------------------------------------------------------

TEST_F(ModemParametersTest, TimingShowsMillisecondsWithTheLocaleSeparatorOrPpm) {
    TMainForm& f = Run();
    f.MMVARI1Timing(0, 1234, 1);
    EXPECT_EQ(f.StatusBar1.Panel(1).Text, "12.34ms");
    library->Release();
    sim.Ports().DecimalSeparator = ',';  // a locale that writes 12,34
    Reload();
    TMainForm& g = Run();
    g.MMVARI1Timing(2, 1234, 1);
    EXPECT_EQ(g.StatusBar1.Panel(1).Text, "12,34ms");
    g.MMVARI1Timing(0, 1234, 0);
    EXPECT_EQ(g.StatusBar1.Panel(1).Text, "1234ppm");
}

TEST_F(ModemParametersTest, SpectrumTickShowsTheCurrentChannelsSignalToNoise) {
    TMainForm& f = Run();
    std::vector<std::string> log;
    f.XMMVView1.Replace(std::make_unique<TLoggingView>(log, &f.StatusBar1));
    f.AFCLvl.Replace(std::make_unique<TLoggingView>(log, &f.StatusBar1));
    f.XMMVLvl1.Replace(std::make_unique<TLoggingLevel>(log));
    Loopback().SetSignalToNoise(0, 12.5);
    Loopback().SetSignalToNoise(1, 20.6);
    f.MMVARI1DrawFFT(0, nullptr);
    EXPECT_EQ(f.StatusBar1.Panel(0).Text, "S/N=12dB");
    f.RzPageControl1.SetActivePageIndex(1);
    f.MMVARI1DrawFFT(0, nullptr);
    EXPECT_EQ(f.StatusBar1.Panel(0).Text, "S/N=21dB");
    EXPECT_EQ(log, (std::vector<std::string>{"spectrum", "channel 0", "level 0", "tuning 0 after S/N=12dB", "spectrum",
                                             "channel 1", "level 1", "tuning 1 after S/N=21dB"}));
    // The wave report: the main view is told the engine's handle, nothing of the samples.
    log.clear();
    const std::int16_t samples[2] = {1, 2};
    f.MMVARI1DrawWave(2, samples, samples);
    EXPECT_EQ(log, std::vector<std::string>{"wave " + std::to_string(f.MMVARI1()->dwHandle())});
}

// ---- Signal frequency ------------------------------------------------------------------------------

TEST_F(ModemParametersTest, SignalFrequencyOnUpperAndLowerSideband) {
    TMainForm& f = Run();
    f.mnuRXFreq.SetCurText("1000");
    EXPECT_EQ(host.transceiver.workingFrequency, 14071000);
    // The host's own frequency, read back, is what the panel shows.
    EXPECT_EQ(f.StatusBar1.Panel(2).Text, "14.070.000");
    host.transceiver.upper = false;
    f.mnuRXFreq.SetCurText("1500");
    EXPECT_EQ(host.transceiver.workingFrequency, 14068500);
}

TEST_F(ModemParametersTest, SignalFrequencyUsesTheCurrentChannelsCarrier) {
    TMainForm& f = Run();
    Engine().set_RxCarrier(2, 2200);
    f.RzPageControl1.SetActivePageIndex(2);
    f.UpdateSignalFrequency();
    EXPECT_EQ(host.transceiver.workingFrequency, 14072200);
}

TEST_F(ModemParametersTest, UnknownDialIsAskedForAndStillUnknownSendsNothing) {
    host.transceiver.frequency = 0;
    TMainForm& f = Run();
    EXPECT_EQ(f.Window.DialFrequency, 0);
    f.mnuRXFreq.SetCurText("1200");
    EXPECT_EQ(host.transceiver.workingFrequencySets, 0);
    EXPECT_EQ(f.StatusBar1.Panel(2).Text, "0.000");

    host.transceiver.frequency = 7035000;
    f.mnuRXFreq.SetCurText("1300");
    EXPECT_EQ(f.Window.DialFrequency, 7035000);
    EXPECT_EQ(host.transceiver.workingFrequency, 7036300);
    EXPECT_EQ(f.StatusBar1.Panel(2).Text, "7.035.000");

    // A known dial is not asked for again.
    host.transceiver.frequency = 3580000;
    f.mnuRXFreq.SetCurText("1400");
    EXPECT_EQ(host.transceiver.workingFrequency, 7036400);
    EXPECT_EQ(f.StatusBar1.Panel(2).Text, "3.580.000");
}

}  // namespace
}  // namespace quorvel::testing
