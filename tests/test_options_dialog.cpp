// The options dialog over hand-built sound cards: what it shows and
// preselects when it opens, how its controls depend on each other, and what
// OK stores.
#include <gtest/gtest.h>

#include "SimMultimedia.h"
#include "SimPlatform.h"
#include "base/CodePage.h"
#include "pavo/automation.h"
#include "settings/dsOptionsForm.h"

namespace quorvel {
namespace {

using sim::TSimMultimedia;

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

std::vector<std::string> U(const std::vector<std::string>& items) {
    std::vector<std::string> out;
    for (const std::string& item : items) out.push_back(U(item));
    return out;
}

class OptionsDialog : public ::testing::Test {
protected:
    OptionsDialog() {
        platform.Audio = TSimMultimedia::SoundCard("Onboard");
        platform.Audio.WaveOuts.push_back({"USB Headset", 0, false});
        sim::TSimMultimedia usb = TSimMultimedia::SoundCard("USB Headset");
        platform.Audio.Mixers.push_back(usb.Mixers[0]);
    }
    TOptionsForm& Open() {
        form = TForm::Create<TOptionsForm>(app, THandle{0}, &platform.Audio, settings);
        form->Show();
        return *form;
    }

    sim::TSimPlatform platform;
    TApplication app{platform.Ports()};
    dsConfig::TConfig settings;
    std::unique_ptr<TOptionsForm> form;
};

TEST_F(OptionsDialog, ShowsTheThreePagesWithTheirCaptionsAndRanges) {
    TOptionsForm& f = Open();
    EXPECT_EQ(U(f.Caption), "Настройки");
    EXPECT_EQ(f.Width, 386);
    EXPECT_EQ(f.Height, 295);
    ASSERT_EQ(f.PageControl1.PageCount(), 3);
    EXPECT_EQ(U(f.PageControl1.Pages(0).Caption()), "Основные");
    EXPECT_EQ(U(f.PageControl1.Pages(1).Caption()), "Параметры аудио");
    EXPECT_EQ(U(f.PageControl1.Pages(2).Caption()), "Вид");
    const std::vector<std::pair<const TControl*, const char*>> captions = {
        {&f.lblDelayTX, "Задержка после включения трансивера на передачу, мс:"},
        {&f.chkAutoSendChar, "При вводе символа сразу его передавать "},
        {&f.lblTimeDoRx, "Время ожидания следующего символа, мс:"},
        {&f.chkAutoSendMacros, "При вводе макроса сразу его передавать"},
        {&f.chkSendOfEnter, "Передавать по \"Enter\""},
        {&f.chkAutoEndTX, "Автоматическое завершение передачи"},
        {&f.chkAutoClearTXWnd, "После окончания передачи очищать окно TX"},
        {&f.chkAutoClearRXWnd, "После сохранения QSO очищать окно RX"},
        {&f.chkAutoOpenRCFile, "Автоматически открывать принятый файл"},
        {&f.chkSelectedRcvr, "Избирательный приём текста"},
        {&f.lblOutSoundCard, "Аудиоустройство канала передачи:"},
        {&f.lblModGain, "Уровень модуляции передатчика, %:"},
        {&f.lblInSoundCard, "Аудиоустройство канала приёма:"},
        {&f.lblSoundSource, "Канал:"},
        {&f.btnAudioDevices, "Аудиоустройства"},
        {&f.lblFreqSample, "Частота дискретизации аудио, Гц:"},
        {&f.lblTxOffset, "Смещение частоты передачи, Гц:"},
        {&f.gbRXFont, "Шрифт окна RX"},
        {&f.pnlRXSample, "Образец"},
        {&f.btnRXFont, "Выбрать"},
        {&f.lblRXFontRxColor, "Приём:"},
        {&f.lblRXFontTxColor, "Передача:"},
        {&f.gbTXFont, "Шрифт окна TX"},
        {&f.pnlTXSample, "Образец"},
        {&f.btnTXFont, "Выбрать"},
        {&f.lblTXFontColor, "Цвет текста:"},
        {&f.chkHIToSml, "Заменять \"hi\" на смайлик"},
        {&f.lblRXWndColor, "Цвет окна RX:"},
        {&f.lblTXWndColor, "Цвет окна TX:"},
        {&f.lblHelp, "Вызов справки (F1)"},
        {&f.btnOK, "&ОК"},
        {&f.btnCancel, "Отм&ена"},
    };
    for (const auto& [control, caption] : captions) EXPECT_EQ(U(control->Caption()), caption) << control->Name;
    EXPECT_TRUE(f.lblHelp.Font.Style.Contains(TFontStyle::fsUnderline));
    EXPECT_EQ(f.pnlRXSample.Color, clWhite);
    EXPECT_EQ(f.pnlTXSample.Color, clWhite);

    struct TRange {
        const TSpinEdit* Spin;
        int Lo, Hi, Step;
        bool ReadOnly;
    };
    for (const TRange& r : {TRange{&f.seDelayTX, 0, 2000, 50, true}, TRange{&f.seTimeDoRx, 0, 30000, 500, false},
                            TRange{&f.seModGain, 0, 100, 1, false}, TRange{&f.seFreqSample, 10925, 11100, 1, true},
                            TRange{&f.seTxOffset, -500, 500, 1, false}}) {
        EXPECT_EQ(r.Spin->MinValue, r.Lo) << r.Spin->Name;
        EXPECT_EQ(r.Spin->MaxValue, r.Hi) << r.Spin->Name;
        EXPECT_EQ(r.Spin->Increment, r.Step) << r.Spin->Name;
        EXPECT_EQ(r.Spin->ReadOnly, r.ReadOnly) << r.Spin->Name;
    }
    // The colour pickers: a custom entry, then the system colours.
    EXPECT_EQ(U(f.cbRXWndColor.Items().front()), "Выбрать");
    EXPECT_EQ(f.cbRXWndColor.Items().size(), TColorBox::SystemColors().size() + 1);
}

TEST_F(OptionsDialog, FirstRunPreselectsTheDefaultDevicesAndTheFirstLine) {
    TOptionsForm& f = Open();  // InSoundCard and OutSoundCard -1
    EXPECT_EQ(U(f.cbOutSoundCard.Items()), (std::vector<std::string>{"Устройство по умолчанию", "Onboard", "USB Headset"}));
    EXPECT_EQ(f.cbOutSoundCard.ItemIndex(), 0);
    EXPECT_EQ(f.cbInSoundCard.Items(), (std::vector<std::string>{"Onboard", "USB Headset"}));
    EXPECT_EQ(f.cbInSoundCard.ItemIndex(), 0);
    EXPECT_EQ(f.cbSoundSource.Items(), (std::vector<std::string>{"Recording Control", "Line In", "Microphone"}));
    EXPECT_EQ(f.cbSoundSource.ItemIndex(), 0);  // SoundSource 0: the destination line itself
    EXPECT_EQ(f.DestinationIndex(), 1);         // after the speakers
    // The recording line itself has no switch: checked and disabled.
    EXPECT_EQ(U(f.chkInSelect.Caption()), "Отключить");
    EXPECT_FALSE(f.chkInSelect.Enabled());
    EXPECT_TRUE(f.chkInSelect.Down());
    // Defaults on the other pages; 16384 is 50.0015 %.
    EXPECT_EQ(f.seDelayTX.Value(), 100);
    EXPECT_EQ(f.seModGain.Value(), 50);
    EXPECT_EQ(f.seFreqSample.Value(), 11025);
    EXPECT_FALSE(f.chkAutoSendChar.Down());
    EXPECT_FALSE(f.seTimeDoRx.Enabled());
    EXPECT_FALSE(f.lblTimeDoRx.Enabled());
    EXPECT_TRUE(f.chkAutoEndTX.Down());
    EXPECT_TRUE(f.chkSelectedRcvr.Down());
    EXPECT_EQ(f.pnlTXSample.Font(), (TFont{"MS Sans Serif", 9, {}, clWindowText}));
    EXPECT_EQ(f.cbTXFontColor.Selected(), clWindowText);
    EXPECT_EQ(U(f.cbTXFontColor.Text()), "WindowText");
    // Green is no system colour: the custom entry holds it.
    EXPECT_EQ(f.cbRXFontRxColor.ItemIndex(), TColorBox::kCustomIndex);
    EXPECT_EQ(f.cbRXFontRxColor.Selected(), clGreen);
    EXPECT_EQ(f.cbRXWndColor.Selected(), clWindow);
}

TEST_F(OptionsDialog, StoredChoicesArePreselectedAndStaleOnesFallBack) {
    settings.OutSoundCard = 1;
    settings.InSoundCard = 1;
    settings.SoundSource = 2;
    settings.AutoSendChar = true;
    settings.ModGain = 32767;
    Open();
    EXPECT_EQ(form->cbOutSoundCard.ItemIndex(), 2);
    EXPECT_EQ(form->cbInSoundCard.ItemIndex(), 1);
    EXPECT_EQ(form->Mixer()->MixerId(), 1);
    EXPECT_EQ(form->cbSoundSource.ItemIndex(), 2);
    EXPECT_EQ(U(form->chkInSelect.Caption()), "Выбрать");  // the multiplexer lists the microphone
    EXPECT_TRUE(form->chkInSelect.Enabled());
    EXPECT_TRUE(form->chkInSelect.Down());  // selected
    EXPECT_TRUE(form->seTimeDoRx.Enabled());
    EXPECT_EQ(form->seModGain.Value(), 100);

    // Devices that are gone: the default output, the first input, its first line.
    settings.OutSoundCard = 3;
    settings.InSoundCard = 5;
    settings.SoundSource = 9;
    Open();
    EXPECT_EQ(form->cbOutSoundCard.ItemIndex(), 0);
    EXPECT_EQ(form->cbInSoundCard.ItemIndex(), 0);
    EXPECT_EQ(form->cbSoundSource.ItemIndex(), 0);
}

TEST_F(OptionsDialog, SourceAndDeviceChangesAskTheMixer) {
    // A second card with two recording destinations: two entries, and either
    // offers only its first destination's lines.
    sim::TSimMixerDevice twin;
    twin.Name = "Twin";
    for (const char* name : {"Rec A", "Rec B"}) {
        sim::TSimDestination d;
        d.Name = name;
        d.ComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
        sim::TSimLine line;
        line.Name = std::string(name) + " line";
        line.Controls = {TSimMultimedia::Volume(1, 1), TSimMultimedia::Mute(true)};
        d.Sources = {line};
        twin.Destinations.push_back(d);
    }
    platform.Audio.Mixers = {platform.Audio.Mixers[0], twin};
    TOptionsForm& f = Open();
    EXPECT_EQ(f.cbInSoundCard.Items(), (std::vector<std::string>{"Onboard", "Twin", "Twin"}));
    f.cbInSoundCard.Select(2);
    EXPECT_EQ(f.Mixer()->MixerId(), 1);
    EXPECT_EQ(f.cbSoundSource.Items(), (std::vector<std::string>{"Rec A", "Rec A line"}));
    EXPECT_EQ(f.DestinationIndex(), 0);
    f.cbSoundSource.Select(1);
    // No multiplexer: the line's mute, which is on.
    EXPECT_EQ(U(f.chkInSelect.Caption()), "Отключить");
    EXPECT_TRUE(f.chkInSelect.Enabled());
    EXPECT_TRUE(f.chkInSelect.Down());

    // Back to the first card, on the line-in source: selectable, not selected.
    f.cbInSoundCard.Select(0);
    f.cbSoundSource.Select(1);
    EXPECT_EQ(U(f.chkInSelect.Caption()), "Выбрать");
    EXPECT_FALSE(f.chkInSelect.Down());
    f.chkInSelect.Click();
    f.btnOK.Click();
    EXPECT_EQ(settings.InSoundCard, 0);
    EXPECT_EQ(settings.InMixerID, 0);
    EXPECT_EQ(settings.InDest, 1);
    EXPECT_EQ(settings.SoundSource, 1);
    EXPECT_EQ(settings.InSelect, 1);
    EXPECT_TRUE(settings.EnabledRXLevel);
    // The dialog only reads the mixer: the switch is the main window's to set.
    EXPECT_TRUE(platform.Audio.Writes.empty());
}

TEST_F(OptionsDialog, AReceiveDeviceWithoutRecordingLineLeavesTheChannelEmpty) {
    TOptionsForm& f = Open();
    // The second card loses its recording destination while the dialog is open.
    platform.Audio.Mixers[1].Destinations[1].ComponentType = MIXERLINE_COMPONENTTYPE_DST_UNDEFINED;
    f.cbInSoundCard.Select(1);
    EXPECT_TRUE(f.cbSoundSource.Items().empty());
    EXPECT_EQ(f.DestinationIndex(), -1);
    EXPECT_FALSE(f.chkInSelect.Enabled());
    f.btnOK.Click();
    EXPECT_EQ(settings.SoundSource, -1);  // the main window leaves the mixer alone
    EXPECT_EQ(settings.InDest, -1);
    EXPECT_EQ(settings.InSoundCard, 1);
    EXPECT_EQ(settings.InMixerID, 1);
    EXPECT_FALSE(settings.EnabledRXLevel);
}

TEST_F(OptionsDialog, WithoutSoundDevicesOkStoresMinusTwoAndNoLine) {
    platform.Audio = TSimMultimedia{};
    settings.InMixerID = 3;
    TOptionsForm& f = Open();
    EXPECT_TRUE(f.cbOutSoundCard.Items().empty());
    EXPECT_TRUE(f.cbInSoundCard.Items().empty());
    EXPECT_TRUE(f.cbSoundSource.Items().empty());
    f.btnOK.Click();
    EXPECT_EQ(settings.OutSoundCard, -2);
    EXPECT_EQ(settings.InSoundCard, -1);
    EXPECT_EQ(settings.SoundSource, -1);
    EXPECT_EQ(settings.InDest, -1);
    EXPECT_EQ(settings.InMixerID, 3);  // no entry to take one from: kept
    EXPECT_TRUE(settings.SetupComplete);

    // No multimedia port at all: the same.
    dsConfig::TConfig other;
    auto bare = TForm::Create<TOptionsForm>(app, THandle{0}, nullptr, other);
    bare->Show();
    bare->btnOK.Click();
    EXPECT_EQ(other.OutSoundCard, -2);
    EXPECT_EQ(other.SoundSource, -1);
}

TEST_F(OptionsDialog, OkStoresEveryControlAndCancelNothing) {
    TOptionsForm& f = Open();
    f.seDelayTX.Step(+1);
    f.chkAutoSendChar.Click();
    EXPECT_TRUE(f.seTimeDoRx.Enabled());
    f.seTimeDoRx.SetCurText("2500");
    f.chkAutoSendChar.Click();  // off again: the row is disabled, its value kept
    EXPECT_FALSE(f.seTimeDoRx.Enabled());
    EXPECT_FALSE(f.lblTimeDoRx.Enabled());
    for (TButtonItem* b : {&f.chkAutoSendMacros, &f.chkSendOfEnter, &f.chkAutoEndTX, &f.chkAutoClearTXWnd,
                           &f.chkAutoClearRXWnd, &f.chkAutoOpenRCFile, &f.chkSelectedRcvr, &f.chkHIToSml})
        b->Click();
    f.cbOutSoundCard.Select(2);
    f.seModGain.SetCurText("75");
    f.seFreqSample.Step(-1);
    f.seTxOffset.SetCurText("-600");  // beyond the range: kept in it

    f.btnCancel.Click();
    EXPECT_EQ(f.ModalResult(), mrCancel);
    EXPECT_EQ(settings.DelayTX, 100);
    EXPECT_EQ(settings.TimeDoRx, 1000);
    EXPECT_EQ(settings.OutSoundCard, -1);
    EXPECT_FALSE(settings.SetupComplete);

    f.btnOK.Click();
    EXPECT_EQ(f.ModalResult(), mrOk);
    EXPECT_EQ(settings.DelayTX, 150);
    EXPECT_FALSE(settings.AutoSendChar);
    EXPECT_EQ(settings.TimeDoRx, 2500);
    EXPECT_FALSE(settings.AutoSendMacros);
    EXPECT_TRUE(settings.SendOfEnter);
    EXPECT_FALSE(settings.AutoEndTX);
    EXPECT_TRUE(settings.AutoClearTXWnd);
    EXPECT_TRUE(settings.AutoClearRXWnd);
    EXPECT_TRUE(settings.AutoOpenRCFile);
    EXPECT_FALSE(settings.SelectedRcvr);
    EXPECT_FALSE(settings.HIToSml);
    EXPECT_EQ(settings.OutSoundCard, 1);
    EXPECT_EQ(settings.ModGain, 24575);  // 75 % of 32767 is 24575.25
    EXPECT_EQ(settings.FreqSample, 11024);
    EXPECT_EQ(settings.TxOffset, -500);
    EXPECT_TRUE(settings.SetupComplete);
}

TEST_F(OptionsDialog, ModulationLevelRoundsBothWays) {
    EXPECT_EQ(ModGainPercent(0), 0);
    EXPECT_EQ(ModGainPercent(16384), 50);
    EXPECT_EQ(ModGainPercent(32767), 100);
    EXPECT_EQ(ModGainPercent(327), 1);    // 0.998 %
    EXPECT_EQ(ModGainPercent(163), 0);    // 0.497 %
    EXPECT_EQ(ModGainFromPercent(50), 16384);  // 16383.5, halves to even
    EXPECT_EQ(ModGainFromPercent(100), 32767);
    EXPECT_EQ(ModGainFromPercent(1), 328);     // 327.67
    for (int p = 0; p <= 100; ++p) EXPECT_EQ(ModGainPercent(ModGainFromPercent(p)), p);
}

TEST_F(OptionsDialog, FontsAndColoursGoThroughTheSystemDialogs) {
    TOptionsForm& f = Open();
    // A red font for the TX sample: stored as the TX colour although the
    // "Цвет текста:" picker still shows the old one.
    const TColor red = RGB(255, 0, 0);
    platform.Dialogs.Fonts.push_back(TFont{"Courier New", 12, TFontStyles{TFontStyle::fsBold}, red});
    f.btnTXFont.Click();
    ASSERT_EQ(platform.Dialogs.FontsOffered.size(), 1u);
    EXPECT_EQ(platform.Dialogs.FontsOffered[0], (TFont{"MS Sans Serif", 9, {}, clWindowText}));
    EXPECT_EQ(f.pnlTXSample.Font().Color, red);
    EXPECT_EQ(f.cbTXFontColor.Selected(), clWindowText);

    // A cancelled font dialog changes nothing.
    f.btnRXFont.Click();
    EXPECT_EQ(f.pnlRXSample.Font().Name, "MS Sans Serif");

    // The custom entry asks for a colour preset with its own; cancelled, the
    // selection stays.
    f.cbRXWndColor.Select(TColorBox::kCustomIndex);
    EXPECT_EQ(f.cbRXWndColor.Selected(), clWindow);
    const TColor blue = RGB(0, 0, 200);
    platform.Dialogs.Colours.push_back(blue);
    f.cbRXWndColor.Select(TColorBox::kCustomIndex);
    EXPECT_EQ(f.cbRXWndColor.Selected(), blue);
    // A system colour for the RX text colour.
    f.cbRXFontTxColor.Select(f.cbRXFontTxColor.IndexOf("Highlight"));

    f.btnOK.Click();
    EXPECT_EQ(settings.TXFontName, "Courier New");
    EXPECT_EQ(settings.TXFontSize, 12);
    EXPECT_TRUE(settings.TXFontStyle.Contains(TFontStyle::fsBold));
    EXPECT_EQ(settings.TXFontColor, red);
    EXPECT_EQ(settings.RXWndColor, blue);
    EXPECT_EQ(settings.RXFontTxColor, static_cast<TColor>(0xFF00000D));
    EXPECT_EQ(settings.RXFontRxColor, clGreen);

    // "Цвет текста:" sets the sample's colour at once.
    Open();
    form->cbTXFontColor.Select(form->cbTXFontColor.IndexOf("BtnText"));
    EXPECT_EQ(form->pnlTXSample.Font().Color, static_cast<TColor>(0xFF000012));
    form->btnOK.Click();
    EXPECT_EQ(settings.TXFontColor, static_cast<TColor>(0xFF000012));
}

TEST_F(OptionsDialog, SoundSettingsStartWithoutClosingTheDialog) {
    TOptionsForm& f = Open();
    f.btnAudioDevices.Click();
    EXPECT_EQ(platform.Shell.SoundSettingsStarts, 1);
    EXPECT_TRUE(platform.Dialogs.Messages.empty());
    EXPECT_EQ(f.ModalResult(), mrNone);
    platform.Shell.SoundSettingsInstalled = false;
    f.btnAudioDevices.Click();
    ASSERT_EQ(platform.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(platform.Dialogs.Messages[0].Flags, MB_ICONWARNING | MB_TOPMOST);
    EXPECT_NE(U(platform.Dialogs.Messages[0].Text).find("pavucontrol"), std::string::npos);
    EXPECT_EQ(f.ModalResult(), mrNone);
}

TEST_F(OptionsDialog, AutomationStepsReadOnlyEditorsAndTypesTheOthers) {
    TOptionsForm& f = Open();
    EXPECT_EQ(f.Automation.Run("set", "seDelayTX", "300").Code, PAVO_AUTOMATION_DONE);
    EXPECT_EQ(f.seDelayTX.CurText(), "300");
    // Between the steps, beyond the range, or typed: refused.
    EXPECT_NE(f.Automation.Run("set", "seDelayTX", "325").Code, PAVO_AUTOMATION_DONE);
    EXPECT_NE(f.Automation.Run("set", "seDelayTX", "2050").Code, PAVO_AUTOMATION_DONE);
    EXPECT_NE(f.Automation.Run("type", "seFreqSample", "1").Code, PAVO_AUTOMATION_DONE);
    EXPECT_EQ(f.seDelayTX.CurText(), "300");
    EXPECT_EQ(f.Automation.Run("set", "seFreqSample", "10925").Code, PAVO_AUTOMATION_DONE);
    // The disabled idle-time row takes nothing.
    EXPECT_NE(f.Automation.Run("set", "seTimeDoRx", "500").Code, PAVO_AUTOMATION_DONE);
    EXPECT_EQ(f.Automation.Run("set", "seModGain", "20").Code, PAVO_AUTOMATION_DONE);
    EXPECT_EQ(f.Automation.Run("click", "btnOK", "").Code, PAVO_AUTOMATION_DONE);
    EXPECT_EQ(settings.DelayTX, 300);
    EXPECT_EQ(settings.FreqSample, 10925);
    EXPECT_EQ(settings.ModGain, 6553);
}

}  // namespace
}  // namespace quorvel
