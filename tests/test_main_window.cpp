// The main window's lifecycle: creation, show, settings, the host's look,
// the message hook, the floating pane menu, its commands and destruction.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "LoopbackEngine.h"
#include "PluginFixture.h"
#include "SimSoundCards.h"
#include "audio/dsSetupWizard.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "pavo/automation.h"
#include "test_settings_support.h"
#include "ui/PaneMenu.h"

namespace quorvel::testing {
namespace {

class MainWindowTest : public PluginFixture {
protected:
    MainWindowTest() {
        host.config.dataFolder = temp.Folder();
        std::filesystem::create_directories(temp.Path("Quorvel"));
    }

    std::string QuorvelFile(const std::string& name) const { return JoinPath(temp.Folder(), "Quorvel", name); }

    // A settings file with the audio set up: input device 2, system default output.
    void WriteSetUpSettings(const std::string& extra = {}) {
        WriteAll(QuorvelFile("configuration.xml"),
                 "<?xml version=\"1.0\" ?><Configuration>"
                 "<InSoundCard type=\"Integer\">2</InSoundCard>"
                 "<OutSoundCard type=\"Integer\">-1</OutSoundCard>"
                 "<SetupComplete type=\"Integer\">1</SetupComplete>" +
                     extra + "</Configuration>");
    }

    TMainForm& Form() const { return *library->MainForm; }
    TModemEngine& Engine() const { return *Form().MMVARI1(); }

    // Everything below the data folder, as relative paths.
    std::set<std::string> FilesBelowData() const {
        std::set<std::string> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(temp.Folder()))
            if (e.is_regular_file()) files.insert(std::filesystem::relative(e.path(), temp.Folder()).generic_string());
        return files;
    }

    void SendKey(std::uint16_t key) {
        sim.Windows.PostMessage(Form().Handle(), WM_KEYDOWN, key, 0);
        sim.Dispatcher.Advance(0);
    }
    void SendWheel(int delta) {
        const auto high = static_cast<std::uintptr_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(delta)));
        sim.Windows.PostMessage(Form().Handle(), WM_MOUSEWHEEL, high << 16, 0);
        sim.Dispatcher.Advance(0);
    }

    TempFolder temp;
};

// ---- Setup wizard and settings ---------------------------------------------

TEST_F(MainWindowTest, AShowBeforeSetupWithTheWizardCancelledAppliesNothing) {
    sim.Audio = RecordingCards(1);
    library->Host = &host.session;
    auto form = TForm::Create<TMainForm>(*library);
    const std::u16string soundId = form->MMVARI1()->strSoundID();
    // The operator cancels at the first step and confirms.
    sim.Dialogs.Answers = {IDYES};
    sim.Dialogs.ModalForms.push_back([](TForm& wizard) { wizard.Automation.Run("click", "btnCancel", ""); });
    form->Show();
    ASSERT_EQ(sim.Dialogs.Modals.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Modals[0], Ru("Мастер выбора аудиоустройств"));
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags, MB_YESNO | MB_ICONWARNING | MB_TOPMOST);
    sim.Dialogs.Messages.clear();
    EXPECT_FALSE(library->Config.SetupComplete);
    EXPECT_EQ(form->MMVARI1()->bActive(), OleFalse);
    EXPECT_EQ(form->MMVARI1()->strSoundID(), soundId);
    EXPECT_TRUE(sim.Audio.Writes.empty());
    EXPECT_FALSE(form->mnuInLevel.Enabled());
    EXPECT_FALSE(form->mnuOutLevel.Enabled());
    // The show went on: modes listed, fonts applied.
    EXPECT_EQ(form->mnuModes.Items().size(), 11u);
    EXPECT_EQ(form->Memo1.Font.Name, "MS Sans Serif");
    // The menu's wizard, ended without a choice, stores nothing either.
    form->mnuWizard.Click();
    EXPECT_EQ(sim.Dialogs.Modals.size(), 2u);
    EXPECT_FALSE(library->Config.SetupComplete);
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
    // Released without anything read: nothing restored.
    form.reset();
    EXPECT_TRUE(sim.Audio.Writes.empty());
    EXPECT_FALSE(FileExists(QuorvelFile("configuration.xml")));
}

TEST_F(MainWindowTest, TheWizardAtFirstStartComesBeforeTheLevelsAreRemembered) {
    sim.Audio = RecordingCards(2);
    library->Host = &host.session;
    auto form = TForm::Create<TMainForm>(*library);
    // Headset, the second card, its microphone; the editors' 50 % then go out.
    sim.Dialogs.ModalForms.push_back([](TForm& shown) {
        auto& wizard = dynamic_cast<TAudioSetupForm&>(shown);
        wizard.btnNext.Click();
        wizard.cbTransmit.Select(2);
        wizard.btnNext.Click();
        wizard.cbReceive.Select(1);
        wizard.cbSource.Select(2);
        wizard.btnNext.Click();
        wizard.btnNext.Click();
    });
    form->Show();
    const dsConfig::TConfig& config = library->Config;
    EXPECT_TRUE(config.SetupComplete);
    EXPECT_EQ(config.OutSoundCard, 1);
    EXPECT_EQ(config.InSoundCard, 1);
    EXPECT_EQ(config.SoundSource, 2);
    EXPECT_EQ(config.InMixerID, 1);
    EXPECT_EQ(config.InDest, 0);
    EXPECT_EQ(config.InSelect, 1);  // the microphone is the selected source
    EXPECT_TRUE(config.EnabledRXLevel);
    dsConfig::TConfig saved;
    ASSERT_TRUE(saved.Load(QuorvelFile("configuration.xml")));
    EXPECT_TRUE(saved.SetupComplete);
    EXPECT_EQ(form->MMVARI1()->strSoundID(), u"1,1");
    EXPECT_EQ(sim.Audio.WaveOuts[1].Volume, BothChannels(32768));
    EXPECT_EQ(sim.Audio.Control(1, 0, 1, 0).Values, (std::vector<std::uint32_t>{32768, 32768}));
    // What the wizard's own application set is what is remembered.
    EXPECT_EQ(form->Audio.SavedOutputVolume, 32768);
    EXPECT_EQ(form->Audio.SavedInputLevel, 32768);
    form.reset();

    // The next start opens no wizard.
    sim.Dialogs.Modals.clear();
    library->Config.SetupComplete = false;
    library->Run(&host.session, 1);
    EXPECT_TRUE(sim.Dialogs.Modals.empty());
    EXPECT_TRUE(library->Config.SetupComplete);
}

TEST_F(MainWindowTest, TheWizardsChoiceIsStoredSavedAndApplied) {
    library->Host = &host.session;
    auto form = TForm::Create<TMainForm>(*library);
    form->Show();
    TAudioSetupChoice c;
    c.OutSoundCard = -1;
    c.InSoundCard = 2;
    c.SoundSource = 1;
    c.InMixerID = 0;
    c.InDest = 0;
    c.EnabledRXLevel = true;
    c.InSelect = 1;
    form->ApplyAudioSetupChoice(c);
    const dsConfig::TConfig& config = library->Config;
    EXPECT_TRUE(config.SetupComplete);
    EXPECT_EQ(config.InSelect, 1);
    dsConfig::TConfig saved;
    ASSERT_TRUE(saved.Load(QuorvelFile("configuration.xml")));
    EXPECT_TRUE(saved.SetupComplete);
    EXPECT_EQ(saved.InSoundCard, 2);
    EXPECT_EQ(saved.SoundSource, 1);
    EXPECT_EQ(form->MMVARI1()->strSoundID(), u"2,-1");
    EXPECT_EQ(form->MMVARI1()->bActive(), OleTrue);
    EXPECT_TRUE(form->mnuInLevel.Enabled());
    EXPECT_TRUE(form->mnuOutLevel.Enabled());
}

TEST_F(MainWindowTest, TheWizardsChoiceWithAFailedSaveAppliesNothing) {
    WriteSetUpSettings();
    library->Run(&host.session, 1);
    EXPECT_EQ(Engine().strSoundID(), u"2,-1");
    TAudioSetupChoice c;
    c.InSoundCard = 5;
    std::filesystem::remove_all(temp.Path("Quorvel"));
    Form().ApplyAudioSetupChoice(c);
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Text, Ru("Не удалось сохранить конфигурацию."));
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags, MB_ICONERROR | MB_TOPMOST);
    EXPECT_EQ(library->Config.InSoundCard, 5);  // kept in memory
    EXPECT_EQ(Engine().strSoundID(), u"2,-1");  // not applied
}

TEST_F(MainWindowTest, AppliesSettingsToEngineFontsPanesAndTimer) {
    WriteSetUpSettings(
        "<FreqSample type=\"Integer\">11050</FreqSample><ModGain type=\"Integer\">20000</ModGain>"
        "<TxOffset type=\"Integer\">-30</TxOffset><TimeDoRx type=\"Integer\">2500</TimeDoRx>"
        "<RXFontName type=\"String\">Courier New</RXFontName><RXFontSize type=\"Integer\">11</RXFontSize>"
        "<RXFontStyle type=\"Integer\">3</RXFontStyle><RXWndColor type=\"Integer\">16777215</RXWndColor>"
        "<TXFontName type=\"String\">Arial</TXFontName><TXFontColor type=\"Integer\">255</TXFontColor>"
        "<TXWndColor type=\"Integer\">12632256</TXWndColor>");
    library->Run(&host.session, 1);
    EXPECT_EQ(Engine().dblSampleFreq(), 11050.0);
    EXPECT_EQ(Engine().wModGain(), 20000);
    EXPECT_EQ(Engine().dblTxOffset(), -30.0);
    EXPECT_EQ(Form().Timer1.Interval(), 2500u);
    EXPECT_FALSE(Form().Timer1.Enabled());
    EXPECT_EQ(Form().Memo1.Font.Name, "Arial");
    EXPECT_EQ(Form().Memo1.Font.Color, 255);
    EXPECT_EQ(Form().Memo1.Color, 12632256);
    for (TRichEdit* pane : {&Form().RichEdit1, &Form().RichEdit3, &Form().RichEdit5}) {
        EXPECT_EQ(pane->DefAttributes.Name, "Courier New");
        EXPECT_EQ(pane->DefAttributes.Size, 11);
        EXPECT_TRUE(pane->DefAttributes.Style.Contains(TFontStyle::fsItalic));
        EXPECT_EQ(pane->Color, 16777215);
    }
    // Without a usable recording switch the RX level stays disabled.
    EXPECT_FALSE(Form().mnuInLevel.Enabled());
    EXPECT_TRUE(Form().mnuOutLevel.Enabled());
    // The options dialog re-applies.
    library->Config.TXFontName = "Tahoma";
    library->Config.EnabledRXLevel = true;
    Form().ApplySettings(true);
    EXPECT_EQ(Form().Memo1.Font.Name, "Tahoma");
    EXPECT_TRUE(Form().mnuInLevel.Enabled());
}

TEST_F(MainWindowTest, LevelsAreSetAtShowAndTheFirstReadingIsRestored) {
    WriteSetUpSettings("<OutSoundCard type=\"Integer\">1</OutSoundCard><InMixerID type=\"Integer\">1</InMixerID>"
                       "<InDest type=\"Integer\">0</InDest><SoundSource type=\"Integer\">2</SoundSource>"
                       "<InSelect type=\"Integer\">1</InSelect>");
    sim.Audio = RecordingCards(2);
    library->Run(&host.session, 1);
    EXPECT_EQ(Form().Audio.SavedOutputVolume, 40000);
    EXPECT_EQ(Form().Audio.SavedInputLevel, 1200);  // the right (or only) channel
    EXPECT_EQ(sim.Audio.WaveOuts[1].Volume, BothChannels(32768));
    EXPECT_EQ(sim.Audio.Control(1, 0, 1, 0).Values, (std::vector<std::uint32_t>{32768, 32768}));
    EXPECT_EQ(sim.Audio.Control(1, 0, -1, 0).Values, (std::vector<std::uint32_t>{0, 1}));  // selected
    EXPECT_EQ(sim.Audio.Writes.size(), 3u);  // volume, multiplexer, line volume
    // A change made in the system's mixer meanwhile is not shown.
    sim.Audio.NotifyControlChange(1, sim.Audio.Control(1, 0, 1, 0).Id);
    EXPECT_EQ(Form().mnuInLevel.Value(), 50);

    // Shown again after a close: our own levels are not taken for the originals.
    Form().Close();
    Form().mnuOutLevel.SetValue(100);
    library->Run(&host.session, 1);
    EXPECT_EQ(Form().Audio.SavedOutputVolume, 40000);
    EXPECT_EQ(sim.Audio.WaveOuts[1].Volume, BothChannels(65535));

    library->Release();
    EXPECT_EQ(sim.Audio.WaveOuts[1].Volume, BothChannels(40000));
    EXPECT_EQ(sim.Audio.Control(1, 0, 1, 0).Values, (std::vector<std::uint32_t>{1200, 1200}));
}

TEST_F(MainWindowTest, NoRecordingSourceLeavesTheMixerAlone) {
    WriteSetUpSettings("<InDest type=\"Integer\">-1</InDest>");
    sim.Audio = RecordingCards(1);
    sim.Audio.WaveOuts[0].FailRead = true;
    library->Run(&host.session, 1);
    EXPECT_EQ(sim.Audio.Writes, (std::vector<std::string>{"waveout -1 " + std::to_string(BothChannels(32768))}));
    library->Release();
    // The default device's volume could not be read (0): it is restored as read.
    EXPECT_EQ(sim.Audio.Writes.back(), "waveout -1 0");
    EXPECT_EQ(sim.Audio.Writes.size(), 2u);
}

// ---- Show and destruction against the host --------------------------------------

TEST_F(MainWindowTest, ZeroHostFrequencyKeepsTheReadoutsAndTheHostsWorkingFrequency) {
    host.transceiver.frequency = 0;
    library->Run(&host.session, 1);
    EXPECT_EQ(Form().Label7.Caption(), "0.000");
    EXPECT_EQ(Form().StatusBar1.Panel(2).Text, "0.000");
    EXPECT_EQ(Form().Window.DialFrequency, 0);
    library->Release();
    EXPECT_EQ(host.transceiver.workingFrequencySets, 0);
    EXPECT_EQ(host.transceiver.attached, 0);
    EXPECT_EQ(host.transceiver.calls.back(), "rx");
    EXPECT_TRUE(host.transceiver.registered.empty());
}

TEST_F(MainWindowTest, ShowTakesTheDialAndDestructionUsesTheActiveTabsCarrier) {
    host.transceiver.frequency = 14070000;
    host.transceiver.upper = false;
    library->Run(&host.session, 1);
    EXPECT_EQ(Form().Label7.Caption(), "14.070.000");
    EXPECT_EQ(Form().XMMVView2->dwFreqHz, 14070000);
    EXPECT_EQ(Form().XMMVView2->bLSB, OleTrue);
    EXPECT_EQ(Form().XMMVView1->bLSB, OleTrue);
    EXPECT_EQ(Form().XMMVView1->dwFreqHz, 0);  // the main view stays in audio frequencies
    EXPECT_EQ(Form().XMMVView1->wType, 1);
    Engine().set_RxCarrier(2, 900);
    Form().TabSheet3.SetTabVisible(true);
    Form().RzPageControl1.SetActivePageIndex(2);
    library->Release();
    // Lower sideband: the carrier is added.
    EXPECT_EQ(host.transceiver.workingFrequency, 14070900);
}

TEST_F(MainWindowTest, ShowEnablesContactCommandsAndAwardsWhenTheHostHasThem) {
    host.OpenNewQso();
    host.newQso.rstSent.text = "599";
    host.newQso.rstReceived.text = "579";
    host.session.Awards = &host.awards;
    library->Run(&host.session, 1);
    EXPECT_EQ(host.newQso.enables, std::vector<bool>{true});
    for (TControl* c : std::initializer_list<TControl*>{&Form().mnuSaveQSO, &Form().mnuGoNewQSO, &Form().mnuSetMode,
                                                         &Form().GroupBox1, &Form().mnuAwards})
        EXPECT_TRUE(c->Enabled()) << c->Name;
    EXPECT_EQ(Form().Edit2.Text(), "599");
    EXPECT_EQ(Form().Edit3.Text(), "579");
    EXPECT_EQ(Form().mnuAwardList.Items(), (std::vector<std::string>{"RDA", "WAS"}));
    // A second show fills the award list afresh.
    Form().Close();
    library->Run(&host.session, 1);
    EXPECT_EQ(Form().mnuAwardList.Items().size(), 2u);
    library->Release();
    EXPECT_EQ(host.newQso.enables, (std::vector<bool>{true, true, false}));
}

TEST_F(MainWindowTest, WithoutTheHostsContactWindowItsCommandsStayDisabled) {
    library->Run(&host.session, 1);
    EXPECT_FALSE(Form().mnuSaveQSO.Enabled());
    EXPECT_FALSE(Form().GroupBox1.Enabled());
    EXPECT_FALSE(Form().mnuAwards.Enabled());
    EXPECT_TRUE(Form().mnuCancelQSO.Enabled());
}

TEST_F(MainWindowTest, TheContactFieldsTakeNoInputWhileTheirGroupIsDisabled) {
    library->Run(&host.session, 1);
    ASSERT_FALSE(Form().GroupBox1.Enabled());
    EXPECT_TRUE(Form().Edit2.Enabled()) << "the field's own state is kept";
    EXPECT_FALSE(Form().Edit2.EnabledInWindow());
    Form().Edit2.KeyPress('5');
    EXPECT_EQ(Form().Edit2.Text(), "");
    EXPECT_EQ(Form().Automation.Run("type", "Edit2", "599").Code, PAVO_AUTOMATION_REFUSED);
    EXPECT_EQ(Form().Edit2.Text(), "");
    Form().Edit2.SetFocus();
    EXPECT_FALSE(Form().Edit2.Focused());
    // Programs still set the field; it is the operator who is kept out.
    Form().Edit2.SetText("579");
    EXPECT_EQ(Form().Edit2.Text(), "579");

    Form().GroupBox1.SetEnabled(true);
    EXPECT_EQ(Form().Automation.Run("type", "Edit2", "9").Code, PAVO_AUTOMATION_DONE);
    EXPECT_NE(Form().Edit2.Text(), "579");
}

TEST_F(MainWindowTest, StoredModeAndSpeedAndTheToggleStatesReachTheEngineAtShow) {
    library->Host = &host.session;
    auto form = TForm::Create<TMainForm>(*library);
    form->SetMode(3);
    form->SetSpeed(31.25);
    form->SetAFC(false);
    form->SetNET(false);
    form->Show();
    EXPECT_EQ(form->MMVARI1()->Mode(0), 3);
    EXPECT_EQ(form->MMVARI1()->Speed(0), 31.25);
    EXPECT_EQ(form->MMVARI1()->Afc(0), 0);
    EXPECT_EQ(form->MMVARI1()->bNET(), OleFalse);
    EXPECT_FALSE(form->mnuAFCFreq.Enabled());
    EXPECT_FALSE(form->mnuAFCLevel.Enabled());
    EXPECT_EQ(form->GetMode(), 3);
    EXPECT_EQ(form->GetSpeed(), 31.25);
}

// ---- Persisted properties -----------------------------------------------------------

TEST_F(MainWindowTest, LevelPropertiesScaleWithHalvesToEven) {
    EXPECT_EQ(TMainForm::LevelFromPercent(50), 32768);
    EXPECT_EQ(TMainForm::LevelFromPercent(100), 65535);
    EXPECT_EQ(TMainForm::LevelFromPercent(0), 0);
    EXPECT_EQ(TMainForm::LevelFromPercent(10), 6554);  // 6553.5
    EXPECT_EQ(TMainForm::LevelFromPercent(30), 19660);  // 19660.5
    library->Run(&host.session, 1);
    TMainForm& f = Form();
    f.mnuInLevel.SetValue(50);
    EXPECT_EQ(f.GetInLevel(), 32768);
    f.SetInLevel(65535);
    EXPECT_EQ(f.mnuInLevel.Value(), 100);
    f.SetOutLevel(32768);
    EXPECT_EQ(f.mnuOutLevel.Value(), 50);
    EXPECT_EQ(f.GetOutLevel(), 32768);
    // Values from a damaged file stay within the editor's range.
    f.SetInLevel(-5000);
    EXPECT_EQ(f.mnuInLevel.Value(), 0);
    f.SetOutLevel(1 << 30);
    EXPECT_EQ(f.mnuOutLevel.Value(), 100);
}

TEST_F(MainWindowTest, ViewPropertiesActOnTheirControls) {
    library->Run(&host.session, 1);
    TMainForm& f = Form();
    EXPECT_EQ(f.GetViewWidth(), 3000);
    f.SetViewWidth(1500);
    EXPECT_TRUE(f.mnu15.Down());
    EXPECT_FALSE(f.mnu30.Down());
    EXPECT_EQ(f.XMMVView1->wWidthFreq, 1500);
    EXPECT_EQ(f.XMMVView2->wWidthFreq, 1500);
    f.SetViewWidth(1234);  // no such span: nothing changes
    EXPECT_EQ(f.GetViewWidth(), 1500);
    EXPECT_EQ(f.XMMVView1->wWidthFreq, 1500);

    f.SetDisplayWaterfall(false);
    EXPECT_TRUE(f.mnuAnalyzer.Down());
    EXPECT_FALSE(f.mnuWaterfall.Down());
    EXPECT_EQ(f.XMMVView1->wType, 0);
    f.mnuWaterfall.Click();
    EXPECT_EQ(f.XMMVView1->wType, 1);
    EXPECT_TRUE(f.GetDisplayWaterfall());

    f.SetBPF(2);
    EXPECT_TRUE(f.mnuF3.Down());
    EXPECT_EQ(f.GetBPF(), 2);
    EXPECT_EQ(f.MMVARI1()->nBPF(), 2);
    f.SetBPF(7);  // only the engine takes it
    EXPECT_EQ(f.MMVARI1()->nBPF(), 7);
    EXPECT_TRUE(f.mnuF3.Down());
    f.mnuF1.Click();
    EXPECT_EQ(f.GetBPF(), 0);
    EXPECT_EQ(f.MMVARI1()->nBPF(), 0);

    f.SetPanel1Height(10);  // below the panel's minimum
    EXPECT_EQ(f.GetPanel1Height(), 30);
    f.SetTranslate(true);
    EXPECT_EQ(f.StatusBar1.Panel(3).Text, "En");
    f.SetATC(true);
    EXPECT_EQ(f.MMVARI1()->bATC(), OleTrue);
    f.SetRxCarrier(1500);
    EXPECT_EQ(f.MMVARI1()->RxCarrier(0), 1500);
    EXPECT_EQ(f.GetRxCarrier(), 1500);
    f.SetMacrosPageIndex(3);
    EXPECT_EQ(f.GetMacrosPageIndex(), 3);
    f.SetMacrosPageIndex(9);
    EXPECT_EQ(f.GetMacrosPageIndex(), 3);
}

TEST_F(MainWindowTest, VisibilityTogglesShowAndHideTheirPanels) {
    library->Run(&host.session, 1);
    TMainForm& f = Form();
    f.mnuStatusBar.Click();
    EXPECT_FALSE(f.StatusBar1.Visible());
    EXPECT_FALSE(f.GetStatusBarVisible());
    f.mnuTrcvrView.Click();
    EXPECT_FALSE(f.RsPanel3.Visible());
    f.mnuScaleView.Click();
    EXPECT_FALSE(f.RsPanel5.Visible());
    f.SetStatusBarVisible(true);
    f.SetTrcvrView(true);
    f.SetScaleView(true);
    EXPECT_TRUE(f.StatusBar1.Visible() && f.mnuStatusBar.Down());
    EXPECT_TRUE(f.RsPanel3.Visible() && f.mnuTrcvrView.Down());
    EXPECT_TRUE(f.RsPanel5.Visible() && f.mnuScaleView.Down());
}

// ---- Host appearance ---------------------------------------------------------------------

// A 24-bit bitmap file of w x h pixels, each from pixel(x, y) as 0xRRGGBB.
template <class F>
std::string BmpFile(int w, int h, F pixel) {
    const int row = (w * 3 + 3) / 4 * 4;
    const int size = 54 + row * h;
    std::string b(static_cast<std::size_t>(size), '\0');
    auto put32 = [&b](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = pixel(x, y);
            const std::size_t at = 54 + static_cast<std::size_t>((h - 1 - y) * row + x * 3);
            b[at] = static_cast<char>(c & 0xFF);
            b[at + 1] = static_cast<char>((c >> 8) & 0xFF);
            b[at + 2] = static_cast<char>((c >> 16) & 0xFF);
        }
    return b;
}

class AppearanceTest : public MainWindowTest {
protected:
    AppearanceTest() {
        FakeLibs() = FakeHostLibrariesState{};
        FakeLibs().appData = temp.Path("appdata");
    }
    std::string ThemeFile() const { return library->HostConfig->ThemeFile(); }
};

TEST_F(AppearanceTest, ToolbarStyleSetsBarAndStatusBarLooks) {
    library->Run(&host.session, 1);
    const std::pair<int, std::pair<TBarLook, TStatusBarLook>> table[] = {
        {0, {TBarLook::Office2003, TStatusBarLook::Office2003}},
        {1, {TBarLook::Flat, TStatusBarLook::Flat}},
        {2, {TBarLook::Enhanced, TStatusBarLook::Standard}},
        {3, {TBarLook::XP, TStatusBarLook::XP}},
        {7, {TBarLook::Office2003, TStatusBarLook::Office2003}}};
    for (const auto& [style, looks] : table) {
        host.config.toolbarStyle = style;
        EXPECT_EQ(library->SendNotify(1, 26), 0);
        EXPECT_EQ(Form().dxBarManager1.Style(), looks.first) << style;
        EXPECT_EQ(Form().StatusBar1.Look(), looks.second) << style;
    }
}

TEST_F(AppearanceTest, ImagesComeFromTheThemeStripAndAreRebuiltOnlyForANewStyle) {
    library->Run(&host.session, 1);
    TImagesModule& images = *Form().ImagesModule;
    EXPECT_FALSE(images.FromThemeFile());  // no theme file: the built-in strip
    EXPECT_EQ(images.Images.Count(), 12);
    EXPECT_EQ(images.Images.Image(0).Pixel(0, 0), 0u);  // transparent corner

    library->HostConfig->ImageStyle = "Blue";
    const std::string file = ThemeFile();
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    // Two images; magenta at (0, 0) is the transparent colour, whatever the strip uses elsewhere.
    WriteAll(file, BmpFile(32, 16, [](int x, int y) { return x == 0 && y == 0 ? 0xFF00FFu : x < 16 ? 0x0000FFu : 0xFF00FFu; }));
    library->SendNotify(1, 26);
    EXPECT_TRUE(images.FromThemeFile());
    ASSERT_EQ(images.Images.Count(), 2);
    EXPECT_EQ(images.Images.Image(0).Pixel(5, 5), 0xFF0000FFu);
    EXPECT_EQ(images.Images.Image(1).Pixel(5, 5), 0u);

    // The same style again: the list is kept even though the file changed.
    WriteAll(file, BmpFile(48, 16, [](int, int) { return 0x00FF00u; }));
    library->SendNotify(1, 26);
    EXPECT_EQ(images.Images.Count(), 2);
    // A damaged strip file falls back to the built-in strip.
    WriteAll(file, "BM not a bitmap");
    library->HostConfig->ImageStyle = "Blue2";
    WriteAll(ThemeFile(), "BM not a bitmap");
    library->SendNotify(1, 26);
    EXPECT_FALSE(images.FromThemeFile());
    EXPECT_EQ(images.Images.Count(), 12);
}

// ---- Help -----------------------------------------------------------------------------------

TEST_F(MainWindowTest, HelpEndsInTheErrorBoxWhenNoHelpIsInstalled) {
    FakeLibs() = FakeHostLibrariesState{};
    library->Run(&host.session, 1);
    Form().mnuHelp.Click();  // the plug-in is not loaded as Quorvel.kpl: nothing happens
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
    sim.Process.Executable = temp.Path("host.exe");
    sim.Process.Modules["Quorvel.kpl"] = temp.Path("Plugins/Quorvel.kpl");
    Form().mnuHelp.Click();
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Text, Ru("Справочная система не установлена."));
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags, MB_ICONERROR | MB_TOPMOST);
    std::filesystem::create_directories(temp.Path("Help"));
    WriteAll(temp.Path("Help/Id.dat"), "QV-1\r\nsecond\r\n");
    Form().mnuHelp.Click();
    EXPECT_EQ(FakeLibs().helpCalls, 1);
    EXPECT_EQ(FakeLibs().helpId, "QV-1");
}

// ---- Message hook ----------------------------------------------------------------------

TEST_F(MainWindowTest, HookPressesMacroShortcutsOnlyWhileTheWindowIsActive) {
    library->Run(&host.session, 1);
    TMainForm& f = Form();
    std::vector<std::string> pressed;
    auto add = [&](TToolBar& bar, const std::string& name, const char* shortcut) {
        auto& b = bar.AddButton(std::make_unique<TToolButtonX>(name));
        b.ShortCut = TextToShortCut(shortcut);
        b.OnClick = [&pressed, name](TComponent*) { pressed.push_back(name); };
    };
    add(f.ToolBar3, "third", "F5");
    add(f.ToolBar1, "first", "F5");
    add(f.ToolBar1, "ctrl", "Ctrl+F5");
    add(f.ToolBar2, "letter", "A");
    SendKey(0x74);
    EXPECT_TRUE(pressed.empty());  // not the active window
    sim.Windows.SetActiveWindow(f.Handle());
    SendKey(0x74);
    SendKey('A');
    EXPECT_EQ(pressed, (std::vector<std::string>{"first", "third", "letter"}));
}

TEST_F(MainWindowTest, WheelStepsTheFocusedToolbarEditor) {
    library->Run(&host.session, 1);
    TMainForm& f = Form();
    sim.Windows.SetActiveWindow(f.Handle());
    int changes = 0;
    f.mnuRXFreq.OnCurChange = [&](TComponent*) { ++changes; };
    SendWheel(-120);  // nothing has the focus
    f.mnuRXFreq.SetFocus();
    SendWheel(-120);
    EXPECT_EQ(f.mnuRXFreq.CurValue(), 1749);
    SendWheel(240);
    EXPECT_EQ(f.mnuRXFreq.CurValue(), 1750);
    f.mnuAFCFreq.SetFocus();
    SendWheel(120);
    EXPECT_EQ(f.mnuAFCFreq.CurValue(), 60);
    EXPECT_EQ(changes, 2);
}

TEST_F(MainWindowTest, HookIsInstalledOnceAndRemovedAtDestruction) {
    library->Run(&host.session, 1);
    EXPECT_EQ(sim.Windows.HookCount(), 1u);
    Form().Close();
    library->Run(&host.session, 1);
    EXPECT_EQ(sim.Windows.HookCount(), 1u);
    library->Release();
    EXPECT_EQ(sim.Windows.HookCount(), 0u);
}

// ---- Floating pane menu -----------------------------------------------------------------

class PaneMenuTest : public MainWindowTest {
protected:
    void SetUp() override {
        library->Run(&host.session, 1);
        Form().Memo1.SetScreenRect({10, 300, 410, 380});
        Form().RichEdit1.SetScreenRect({10, 100, 410, 290});
    }
    TMenuForm* Menu() const { return Form().MenuForm(); }
    void MoveTo(TPoint p) {
        sim.Windows.SetCursorPos(p);
        library->SendNotify(1, 44);
    }
};

TEST_F(PaneMenuTest, OpensAtThePanesTopRightCornerAndFollowsTheCursor) {
    MoveTo({700, 20});  // over the window, over no pane
    EXPECT_EQ(Menu(), nullptr);
    MoveTo({100, 150});
    ASSERT_NE(Menu(), nullptr);
    EXPECT_EQ(Menu()->AlphaBlendValue, 180);
    EXPECT_TRUE(Menu()->Visible());
    EXPECT_EQ(Menu()->Left, 410 - 25 - 17 - 5);
    EXPECT_EQ(Menu()->Top, 102);
    EXPECT_EQ(sim.Windows.ActiveWindow(), 0u);  // not activated
    EXPECT_TRUE(Menu()->btnClear.Visible());
    EXPECT_FALSE(Menu()->btnAutoScroll.Visible());
    EXPECT_FALSE(Menu()->OverTransmitPane);

    MoveTo({Menu()->Left + 3, Menu()->Top + 3});
    EXPECT_EQ(Menu()->AlphaBlendValue, 255);
    MoveTo({50, 320});  // another pane: dimmed again, not moved
    EXPECT_EQ(Menu()->AlphaBlendValue, 180);
    EXPECT_EQ(Menu()->Top, 102);
    MoveTo({900, 900});
    EXPECT_EQ(Menu(), nullptr);
}

TEST_F(PaneMenuTest, ClearOverTheTransmitPaneIsDisabledWhileTransmitting) {
    Form().Memo1.SetText("cq cq");
    Form().Tx.PendingText = "cq";
    MoveTo({100, 350});
    ASSERT_NE(Menu(), nullptr);
    EXPECT_TRUE(Menu()->OverTransmitPane);
    EXPECT_TRUE(Menu()->btnClear.Enabled());
    Menu()->btnClear.Click();
    EXPECT_EQ(Form().Memo1.Text(), "");
    EXPECT_EQ(Form().Tx.PendingText, "");
    MoveTo({900, 900});

    Engine().SetTxState(TxStateTransmit);
    sim.Dispatcher.Advance(1000);
    ASSERT_EQ(Engine().bTX(), OleTrue);
    MoveTo({100, 350});
    ASSERT_NE(Menu(), nullptr);
    EXPECT_FALSE(Menu()->btnClear.Enabled());
}

TEST_F(PaneMenuTest, NotificationAlsoCopiesTheHostsReportsWhenItsWindowIsOpen) {
    host.newQso.rstSent.text = "599";
    MoveTo({900, 900});
    EXPECT_EQ(Form().Edit2.Text(), "");  // no contact window: no copy
    host.OpenNewQso();
    host.newQso.rstReceived.text = "559";
    MoveTo({900, 900});
    EXPECT_EQ(Form().Edit2.Text(), "599");
    EXPECT_EQ(Form().Edit3.Text(), "559");
}

TEST_F(PaneMenuTest, ClearOverAReceivePaneClearsTheCurrentPane) {
    Form().RichEdit1.SetSelText("cq de ua3abc");
    MoveTo({100, 150});
    ASSERT_NE(Menu(), nullptr);
    Menu()->btnClear.Click();
    EXPECT_EQ(Form().RichEdit1.GetTextLen(), 0);
}

// ---- Commands ----------------------------------------------------------------------------

TEST_F(MainWindowTest, AboutShowsAPlainBoxWithItsOwnCaption) {
    library->Run(&host.session, 1);
    Form().mnuAbout.Click();
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Caption, Ru("О плагине..."));
    EXPECT_EQ(sim.Dialogs.Messages[0].Text.rfind(Ru("Цифровые виды связи. Версия 1.2.0."), 0), 0u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags, MB_OK | MB_TOPMOST);
}

TEST_F(MainWindowTest, OptionsCommandRunsTheDialogOnTheHostsDataFolder) {
    WriteSetUpSettings();
    library->Run(&host.session, 1);
    library->Config.InSoundCard = 7;  // the dialog's load reads the file again
    sim.Audio = RecordingCards(3);
    sim.Dialogs.ModalForms.push_back([](TForm& dialog) { dialog.Automation.Run("click", "btnOK", ""); });
    Form().mnuOptions.Click();
    EXPECT_EQ(sim.Dialogs.Modals, (std::vector<std::string>{Ru("Настройки")}));
    EXPECT_EQ(library->Config.InSoundCard, 2);
    EXPECT_TRUE(FileExists(QuorvelFile("configuration.xml")));
    EXPECT_EQ(Engine().strSoundID(), u"2,-1");
}

// ---- A whole session ------------------------------------------------------------------------

TEST_F(MainWindowTest, WholeSessionWritesOnlyTheWindowFile) {
    WriteSetUpSettings();
    const auto before = FilesBelowData();
    const THandle h = library->Run(&host.session, 7);
    TMainForm* form = library->MainForm.get();
    EXPECT_EQ(sim.Windows.GetProp(h, PAVO_WINDOW_PROP), 2u);
    EXPECT_EQ(form->mnuModes.Items().size(), 11u);
    form->mnuModes.Select(3);  // a choice the engine reports back

    form->Close();
    sim.Dispatcher.Advance(0);
    EXPECT_EQ(Received(PAVO_MSG_CLOSE).size(), 1u);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(FilesBelowData(), before);  // closing saves nothing

    // Shown again: the same window, show steps again, mode list kept.
    EXPECT_EQ(library->Run(&host.session, 8), h);
    EXPECT_EQ(library->MainForm.get(), form);
    EXPECT_EQ(form->mnuModes.Items().size(), 11u);
    EXPECT_EQ(form->mnuModes.ItemIndex(), 3);
    EXPECT_EQ(sim.Windows.HookCount(), 1u);

    library->Release();
    EXPECT_EQ(library->MainForm, nullptr);
    auto after = FilesBelowData();
    EXPECT_EQ(after.erase("Quorvel/mainform.config.xml"), 1u);
    EXPECT_EQ(after, before);
    EXPECT_EQ(sim.Windows.HookCount(), 0u);
    EXPECT_EQ(host.transceiver.attached, 0);
}

TEST_F(MainWindowTest, PersistedPropertiesAreSavedInOrderAndRestored) {
    library->Run(&host.session, 1);
    TMainForm& f = Form();
    f.mnuInLevel.SetValue(50);
    f.SetViewWidth(2000);
    f.SetDisplayWaterfall(false);
    f.SetScaleView(false);
    f.SetBPF(3);
    Engine().set_Mode(0, 6);
    Engine().set_Speed(0, 45.45);
    library->Release();

    const std::string text = ReadAll(QuorvelFile("mainform.config.xml"));
    std::size_t at = 0;
    for (const char* name : {"_BlendValue", "_ATC", "_AFC", "_NET", "_AFCWidth", "_AFCLevel", "_Mode", "_Speed",
                             "_RxCarrier", "_TxCarrier", "_Panel1Height", "_BPF", "_DisplayWaterfall", "_Translate",
                             "_InLevel", "_OutLevel", "_MacrosPageIndex", "_StatusBarVisible", "_RxWndHeight",
                             "_ViewWidth", "_TrcvrView", "_ClickOnData"}) {
        const std::size_t next = text.find(std::string("<") + name + " ", at);
        ASSERT_NE(next, std::string::npos) << name;
        at = next;
    }
    EXPECT_EQ(text.find("ScaleView"), std::string::npos);
    EXPECT_NE(text.find("<_InLevel type=\"Integer\">32768</_InLevel>"), std::string::npos);
    EXPECT_NE(text.find("<_Speed type=\"Float\">45.45</_Speed>"), std::string::npos);

    // The next window reads them back; mode and speed wait for the show.
    library->Host = &host.session;
    auto form = TForm::Create<TMainForm>(*library);
    EXPECT_EQ(form->GetViewWidth(), 2000);
    EXPECT_FALSE(form->GetDisplayWaterfall());
    EXPECT_TRUE(form->mnuF4.Down());
    EXPECT_EQ(form->mnuInLevel.Value(), 50);
    EXPECT_TRUE(form->GetScaleView());  // not kept
    EXPECT_EQ(form->Modem.SavedMode, 6);
    EXPECT_EQ(form->Modem.SavedSpeed, 45.45);
    form->Show();
    EXPECT_EQ(form->MMVARI1()->Mode(0), 6);
    EXPECT_EQ(form->MMVARI1()->Speed(0), 45.45);
}

TEST_F(MainWindowTest, WithoutADataFolderNothingIsReadOrWritten) {
    host.config.dataFolder.clear();
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(temp.Folder());
    library->Run(&host.session, 1);
    library->Release();
    std::filesystem::current_path(cwd);
    EXPECT_EQ(FilesBelowData(), std::set<std::string>{});
}

}  // namespace
}  // namespace quorvel::testing

namespace quorvel::testing {
namespace {

// Without a registered engine the window works with the null engine: it
// shows, keeps its stored mode and speed, and a transmission it starts ends at
// once, returning the transceiver to receive.
TEST_F(MainWindowTest, WithoutAnEngineTheWindowWorksWithTheNullEngine) {
    WriteSetUpSettings();
    sim.Ports().Engines = nullptr;
    library.reset();
    library = std::make_unique<TPluginLibrary>(sim.Ports());
    library->Host = &host.session;
    auto created = TForm::Create<TMainForm>(*library);
    TMainForm& form = *created;
    ASSERT_NE(form.MMVARI1(), nullptr);
    EXPECT_EQ(form.MMVARI1()->bTX(), OleFalse);
    form.SetMode(4);
    form.SetSpeed(62.5);
    form.Show();
    EXPECT_TRUE(form.mnuModes.Items().empty());
    EXPECT_EQ(form.GetMode(), 4);
    EXPECT_EQ(form.GetSpeed(), 62.5);
    form.RsSpeedButton1.SetDown(true);
    form.RsSpeedButton1Click(&form.RsSpeedButton1);
    EXPECT_FALSE(form.RsSpeedButton1.Down());
    EXPECT_EQ(host.transceiver.calls.back(), "rx");
}

}  // namespace
}  // namespace quorvel::testing
