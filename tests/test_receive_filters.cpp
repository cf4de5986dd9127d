// Receive filters, notches, stored presets and the extra receive channels of
// the main window, on the loopback engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LoopbackEngine.h"
#include "PluginFixture.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

class ReceiveFiltersTest : public PluginFixture {
protected:
    ReceiveFiltersTest() {
        host.config.dataFolder = temp.Folder();
        std::filesystem::create_directories(JoinPath(temp.Folder(), "Quorvel"));
    }
    TMainForm& Run() {
        library->Run(&host.session, 1);
        sim.Dispatcher.Advance(0);
        return *library->MainForm;
    }
    TLoopbackEngine& Engine() const { return *engines.Last; }
    std::string PresetPath() const { return JoinPath(temp.Folder(), "Quorvel", "filters.list"); }
    // A right click on the spectrum at hz, then the pop-up's item.
    void PopupAt(TMainForm& f, int hz, TButtonItem& item) {
        f.dxBarPopupMenu2.Runner = [&item](TPopupMenu&, TPoint) { item.Click(); };
        f.XMMVView1.MouseDown(TMouseButton::mbRight, 0, hz, 0);
        sim.Dispatcher.Advance(0);
    }

    TempFolder temp;
};

TEST_F(ReceiveFiltersTest, CustomFilterEdgesFollowTheCarrier) {
    TMainForm& f = Run();
    TLoopbackEngine& e = Engine();
    e.set_RxCarrier(0, 1500);
    f.mnuFWidth.SetCurText("501");
    f.mnuBPF.Click();
    EXPECT_TRUE(f.mnuKF.Enabled());
    EXPECT_TRUE(f.mnuSaveFilter.Enabled());
    EXPECT_EQ(e.Filter().Type, FilterBandPass);
    EXPECT_EQ(e.Filter().Edge1, 1250.0);  // 501 div 2 = 250
    EXPECT_EQ(e.Filter().Edge2, 1750.0);
    EXPECT_EQ(e.Filter().SteepnessX10, 50);
    EXPECT_EQ(e.Filter().Taps, 60);

    e.set_FilterOffset(0, 0.5);
    f.mnuFWidth.SetCurText("300.9");  // truncated
    EXPECT_EQ(f.mnuFWidth.Value(), 300);
    f.mnuLPF.Click();
    EXPECT_FALSE(f.mnuBPF.Down());
    EXPECT_EQ(e.Filter().Type, FilterLowPass);
    EXPECT_EQ(e.Filter().Edge1, 1800.0);  // Round(1799.5), halves to even
    EXPECT_EQ(e.Filter().Edge2, 1500.0);  // Round(1499.5)
    f.mnuHPF.Click();
    EXPECT_EQ(e.Filter().Edge1, 1200.0);  // Round(1199.5)

    // A new carrier moves the filter with it.
    e.set_RxCarrier(0, 1001);  // the engine's centre 1001.5 is 1002 Hz
    EXPECT_EQ(e.Filter().Edge1, 702.0);   // Round(701.5)
    EXPECT_EQ(e.Filter().Edge2, 1002.0);  // Round(1001.5)

    f.mnuKF.SetCurText("99");
    EXPECT_EQ(e.Filter().SteepnessX10, 500);  // clamped to 50

    // Pressing the pressed button again clears the filter.
    f.mnuHPF.Click();
    EXPECT_FALSE(f.mnuHPF.Down());
    EXPECT_FALSE(f.mnuKF.Enabled());
    EXPECT_FALSE(f.mnuSaveFilter.Enabled());
    EXPECT_EQ(e.Filter().Type, -1);
    e.set_RxCarrier(0, 1400);
    EXPECT_EQ(e.Filter().Type, -1);
}

TEST_F(ReceiveFiltersTest, BpfButtonsAndProperty) {
    TMainForm& f = Run();
    f.mnuF3.Click();
    EXPECT_EQ(Engine().nBPF(), 2);
    EXPECT_EQ(f.GetBPF(), 2);
    f.SetBPF(3);
    EXPECT_TRUE(f.mnuF4.Down());
    EXPECT_FALSE(f.mnuF3.Down());
    f.SetBPF(7);  // no button for it
    EXPECT_EQ(Engine().nBPF(), 7);
    EXPECT_EQ(f.GetBPF(), 3);
}

TEST_F(ReceiveFiltersTest, NotchesFromTheSpectrumPopup) {
    TMainForm& f = Run();
    TLoopbackEngine& e = Engine();
    f.mnuLPF.Click();
    f.dxBarPopupMenu2.Runner = [&](TPopupMenu&, TPoint) {
        EXPECT_FALSE(f.mnuDeleteAllNotch.Enabled());
        EXPECT_EQ(f.XMMVView1->wCursorFreq, 1234);
        f.mnuNotchFilter.Click();
    };
    f.XMMVView1.MouseDown(TMouseButton::mbRight, 0, 1234, 0);
    EXPECT_EQ(f.XMMVView1->wCursorFreq, 0);
    ASSERT_EQ(e.Notches().size(), 1u);
    EXPECT_EQ(e.Notches()[0], 1234);
    // The type buttons are up, but the engine was not told to clear.
    EXPECT_FALSE(f.mnuLPF.Down());
    EXPECT_FALSE(f.mnuKF.Enabled());
    EXPECT_EQ(e.Filter().Type, FilterLowPass);

    PopupAt(f, 900, f.mnuNotchFilter);
    PopupAt(f, 2000, f.mnuNotchFilter);
    EXPECT_TRUE(f.mnuDeleteAllNotch.Enabled());
    // A right click on the second marker deletes it and opens no pop-up.
    bool shown = false;
    f.dxBarPopupMenu2.Runner = [&](TPopupMenu&, TPoint) { shown = true; };
    f.XMMVView1->wMouseNotch = 2;
    f.XMMVView1.MouseDown(TMouseButton::mbRight, 0, 900, 0);
    EXPECT_FALSE(shown);
    EXPECT_EQ(e.Notches(), (std::deque<std::uint16_t>{1234, 2000}));
    f.XMMVView1->wMouseNotch = 0;
    PopupAt(f, 500, f.mnuDeleteAllNotch);
    EXPECT_TRUE(e.Notches().empty());
}

TEST_F(ReceiveFiltersTest, StoringAPresetAppendsItAndLoadingAppliesIt) {
    TMainForm& f = Run();
    TLoopbackEngine& e = Engine();
    WriteAll(PresetPath(), "old;1;100;2\r\nskipped;1");
    f.mnuBPF.Click();
    f.mnuFWidth.SetCurText("800");
    f.mnuKF.SetCurText("7");

    sim.Dialogs.Inputs.push_back("");
    f.mnuSaveFilter.Click();
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Text,
              Ru("Имя фильтра (описание) не задано.\r\nФильтр не может быть сохранён."));
    f.mnuSaveFilter.Click();  // cancelled: nothing
    sim.Dialogs.Inputs.push_back("a;b");
    f.mnuSaveFilter.Click();
    sim.Dialogs.Inputs.push_back(Ru("Широкий"));
    f.mnuSaveFilter.Click();
    EXPECT_EQ(ReadAll(PresetPath()), "old;1;100;2\r\nskipped;1\r\na;b;2;800;7\r\n" + Ru("Широкий;2;800;7\r\n"));
    EXPECT_EQ(sim.Dialogs.Messages.size(), 1u);

    // The dialog lists what the reader takes; OK presses the type, then sets the editors.
    f.RunFiltersDialog = [](TFiltersForm& dialog) {
        std::vector<std::string> names;
        for (const auto& p : dialog.Entries()) names.push_back(p.Name);
        EXPECT_EQ(names, (std::vector<std::string>{"old", Ru("Широкий")}));
        dialog.Select(0);
        dialog.btnOK.Click();
        return dialog.ModalResult;
    };
    e.set_RxCarrier(0, 1500);
    f.mnuOpenF.Click();
    EXPECT_TRUE(f.mnuHPF.Down());
    EXPECT_EQ(f.mnuFWidth.Value(), 100);
    EXPECT_EQ(f.mnuKF.Value(), 2);
    EXPECT_EQ(e.Filter().Type, FilterHighPass);
    EXPECT_EQ(e.Filter().Edge1, 1400.0);
    EXPECT_EQ(e.Filter().SteepnessX10, 20);

    // Cancel leaves everything as it was.
    f.RunFiltersDialog = [](TFiltersForm& dialog) {
        dialog.Select(1);
        dialog.btnCancel.Click();
        return dialog.ModalResult;
    };
    f.mnuOpenF.Click();
    EXPECT_TRUE(f.mnuHPF.Down());
}

TEST_F(ReceiveFiltersTest, AStoredPresetNeverReplacesAnUnwritableList) {
    TMainForm& f = Run();
    f.mnuLPF.Click();
    std::filesystem::remove_all(JoinPath(temp.Folder(), "Quorvel"));
    sim.Dialogs.Inputs.push_back("name");
    f.mnuSaveFilter.Click();
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags & MB_ICONERROR, MB_ICONERROR);
}

// ---- Extra channels --------------------------------------------------------------

TEST_F(ReceiveFiltersTest, OpeningAChannelCopiesTheParametersAndShowsItsTab) {
    TMainForm& f = Run();
    TLoopbackEngine& e = Engine();
    EXPECT_FALSE(f.mnuCloseAllChanel.Enabled());
    EXPECT_FALSE(f.mnuFreqTXHere.Enabled());
    f.mnuModes.Select(1);
    f.mnuSpeed.Select(f.mnuSpeed.IndexOf("62.5"));
    f.mnuAFC.Click();  // off
    f.RichEdit1.DefAttributes.Name = "Courier New";
    sim.Dispatcher.Advance(0);
    PopupAt(f, 1200, f.mnuSubChanel);
    EXPECT_EQ(f.CurrentChannel(), 1);
    EXPECT_TRUE(f.TabSheet2.TabVisible());
    EXPECT_TRUE(f.RzPageControl1.ShowCloseButton());
    EXPECT_TRUE(e.ChannelIsOpen(1));
    EXPECT_EQ(e.RxCarrier(1), 1200);
    EXPECT_EQ(e.Mode(1), 1);
    EXPECT_EQ(e.Mode(0), 1);
    EXPECT_EQ(e.Speed(1), 62.5);
    EXPECT_EQ(e.Afc(1), 0);
    EXPECT_EQ(f.RichEdit2.DefAttributes.Name, "Courier New");
    EXPECT_TRUE(f.mnuSubChanel.Enabled());
    EXPECT_TRUE(f.mnuCloseAllChanel.Enabled());
    EXPECT_TRUE(f.mnuFreqTXHere.Enabled());

    // Ctrl+F's item: the transmit carrier goes to the open channel.
    f.mnuFreqTXHere.Click();
    EXPECT_EQ(e.wTxCarrier(), 1200);

    // Switching back brings the main channel's values to the controls.
    e.set_RxCarrier(0, 1600);
    e.set_Afc(0, 1);
    f.RzPageControl1.SelectPage(0);
    EXPECT_EQ(f.mnuRXFreq.Value(), 1600);
    EXPECT_TRUE(f.mnuAFC.Down());
    EXPECT_TRUE(f.mnuAFCFreq.Enabled());
    EXPECT_FALSE(f.RzPageControl1.ShowCloseButton());
    // A speed that is not in the list leaves no selection.
    e.set_Speed(1, 33.0);
    f.RzPageControl1.SelectPage(1);
    EXPECT_EQ(f.mnuSpeed.ItemIndex(), -1);
    EXPECT_EQ(f.mnuRXFreq.Value(), 1200);
    EXPECT_FALSE(f.mnuAFC.Down());
    EXPECT_FALSE(f.mnuAFCFreq.Enabled());
}

TEST_F(ReceiveFiltersTest, AnEmptySpeedLeavesBothChannelsSpeeds) {
    TMainForm& f = Run();
    TLoopbackEngine& e = Engine();
    e.set_Speed(0, 45.45);
    f.mnuSpeed.SetItemIndex(-1);
    PopupAt(f, 1000, f.mnuSubChanel);
    EXPECT_EQ(e.Speed(0), 45.45);
    EXPECT_EQ(e.Speed(1), 31.25);
}

TEST_F(ReceiveFiltersTest, ClosingReusesTheFirstFreeChannel) {
    TMainForm& f = Run();
    TLoopbackEngine& e = Engine();
    for (int hz : {1000, 1100, 1200, 1300}) PopupAt(f, hz, f.mnuSubChanel);
    EXPECT_EQ(f.CurrentChannel(), 4);
    EXPECT_FALSE(f.mnuSubChanel.Enabled());
    f.RzPageControl1.SelectPage(1);
    f.RzPageControl1.CloseButtonClick();
    EXPECT_FALSE(f.TabSheet2.TabVisible());
    EXPECT_FALSE(e.ChannelIsOpen(1));
    EXPECT_EQ(f.CurrentChannel(), 0);
    EXPECT_FALSE(f.RzPageControl1.ShowCloseButton());
    EXPECT_TRUE(f.mnuSubChanel.Enabled());
    EXPECT_TRUE(f.mnuCloseAllChanel.Enabled());
    PopupAt(f, 1500, f.mnuSubChanel);
    EXPECT_EQ(f.CurrentChannel(), 1);
    EXPECT_EQ(e.RxCarrier(1), 1500);
    EXPECT_FALSE(f.mnuSubChanel.Enabled());

    // Closing channel 3 goes to the nearest shown tab before it.
    f.RzPageControl1.SelectPage(3);
    f.RzPageControl1.CloseButtonClick();
    EXPECT_EQ(f.CurrentChannel(), 2);
    EXPECT_TRUE(f.RzPageControl1.ShowCloseButton());

    PopupAt(f, 700, f.mnuCloseAllChanel);
    for (int ch = 1; ch <= 4; ++ch) {
        EXPECT_FALSE(f.RzPageControl1.Pages(ch).TabVisible());
        EXPECT_FALSE(e.ChannelIsOpen(static_cast<std::int16_t>(ch)));
    }
    EXPECT_EQ(f.CurrentChannel(), 0);
    EXPECT_FALSE(f.mnuCloseAllChanel.Enabled());
    EXPECT_FALSE(f.mnuFreqTXHere.Enabled());
    EXPECT_TRUE(f.mnuSubChanel.Enabled());
}

TEST_F(ReceiveFiltersTest, ClosingTheLastExtraChannelAndTheFilterOnSwitch) {
    TMainForm& f = Run();
    TLoopbackEngine& e = Engine();
    e.set_RxCarrier(0, 1500);
    f.mnuFWidth.SetCurText("200");
    f.mnuBPF.Click();
    PopupAt(f, 1000, f.mnuSubChanel);
    EXPECT_EQ(e.Filter().Edge1, 900.0);  // follows the newly opened channel
    f.RzPageControl1.CloseButtonClick();
    EXPECT_EQ(f.CurrentChannel(), 0);
    EXPECT_EQ(e.Filter().Edge1, 1400.0);
    EXPECT_FALSE(f.RzPageControl1.ShowCloseButton());
    EXPECT_FALSE(f.mnuFreqTXHere.Enabled());
    EXPECT_FALSE(f.mnuCloseAllChanel.Enabled());
}

TEST_F(ReceiveFiltersTest, OpeningSendsTheSignalFrequencyWithoutAskingTheHost) {
    host.transceiver.frequency = 14070000;
    host.transceiver.upper = true;
    TMainForm& f = Run();
    f.Window.DialFrequency = 7040000;
    host.transceiver.frequency = 0;
    PopupAt(f, 1000, f.mnuSubChanel);
    EXPECT_EQ(f.Window.DialFrequency, 7040000);
    EXPECT_EQ(host.transceiver.workingFrequency, 7041000);
}

}  // namespace
}  // namespace quorvel::testing
