// The plug-in settings: the file a fresh installation writes, and the options
// entry point's load, save and re-apply.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>

#include "PluginFixture.h"
#include "SimMultimedia.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "settings/dsConfig.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

constexpr char kFreshFile[] =
    R"(<?xml version="1.0" ?><Configuration>)"
    R"(<InSoundCard type="Integer">-1</InSoundCard>)"
    R"(<OutSoundCard type="Integer">-1</OutSoundCard>)"
    R"(<FreqSample type="Integer">11025</FreqSample>)"
    R"(<DelayTX type="Integer">100</DelayTX>)"
    R"(<AutoSendChar type="Integer">0</AutoSendChar>)"
    R"(<AutoSendMacros type="Integer">1</AutoSendMacros>)"
    R"(<AutoClearRXWnd type="Integer">0</AutoClearRXWnd>)"
    R"(<AutoClearTXWnd type="Integer">0</AutoClearTXWnd>)"
    R"(<RXFontName type="String">MS Sans Serif</RXFontName>)"
    R"(<RXFontSize type="Integer">9</RXFontSize>)"
    R"(<RXFontStyle type="Integer">0</RXFontStyle>)"
    R"(<RXFontRxColor type="Integer">32768</RXFontRxColor>)"
    R"(<RXFontTxColor type="Integer">8388608</RXFontTxColor>)"
    R"(<TXFontName type="String">MS Sans Serif</TXFontName>)"
    R"(<TXFontSize type="Integer">9</TXFontSize>)"
    R"(<TXFontStyle type="Integer">0</TXFontStyle>)"
    R"(<TXFontColor type="Integer">-16777208</TXFontColor>)"
    R"(<TimeDoRx type="Integer">1000</TimeDoRx>)"
    R"(<SendOfEnter type="Integer">0</SendOfEnter>)"
    R"(<ModGain type="Integer">16384</ModGain>)"
    R"(<SoundSource type="Integer">0</SoundSource>)"
    R"(<InMixerID type="Integer">0</InMixerID>)"
    R"(<InDest type="Integer">0</InDest>)"
    R"(<InSelect type="Integer">0</InSelect>)"
    R"(<HIToSml type="Integer">1</HIToSml>)"
    R"(<SetupComplete type="Integer">0</SetupComplete>)"
    R"(<AutoOpenRCFile type="Integer">0</AutoOpenRCFile>)"
    R"(<EnabledRXLevel type="Integer">0</EnabledRXLevel>)"
    R"(<SelectedRcvr type="Integer">1</SelectedRcvr>)"
    R"(<TxOffset type="Integer">0</TxOffset>)"
    R"(<RXWndColor type="Integer">-16777211</RXWndColor>)"
    R"(<TXWndColor type="Integer">-16777211</TXWndColor>)"
    R"(<AutoEndTX type="Integer">1</AutoEndTX>)"
    R"(</Configuration>)";

class ConfigTest : public TempFolderTest {};

TEST_F(ConfigTest, FreshInstallationWritesAll33InOrder) {
    dsConfig::TConfig config;
    EXPECT_EQ(config.Properties().size(), 33u);
    config.FileName = Path("configuration.xml");
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(ReadAll(config.FileName), kFreshFile);
}

TEST_F(ConfigTest, FileWithoutSetupCompleteLeavesItFalse) {
    WriteAll(Path("c.xml"), "<?xml version=\"1.0\" ?><Configuration><InSoundCard type=\"Integer\">2</InSoundCard>"
                            "<RXFontStyle type=\"Integer\">3</RXFontStyle></Configuration>");
    dsConfig::TConfig config;
    EXPECT_TRUE(config.Load(Path("c.xml")));
    EXPECT_EQ(config.InSoundCard, 2);
    EXPECT_TRUE(config.RXFontStyle.Contains(TFontStyle::fsBold));
    EXPECT_TRUE(config.RXFontStyle.Contains(TFontStyle::fsItalic));
    EXPECT_FALSE(config.SetupComplete);
}

TEST_F(ConfigTest, SettingsPathIsBelowTheDataFolder) {
    EXPECT_EQ(dsConfig::ConfigurationPath("/data/plugins"), JoinPath("/data/plugins", "Quorvel", "configuration.xml"));
    EXPECT_EQ(dsConfig::ConfigurationPath("/data/plugins/"), "/data/plugins/Quorvel/configuration.xml");
}

class OptionsEntryTest : public PluginFixture {
protected:
    // The host's data folder is the one the entry point is given, as the
    // host does: the window reads the same settings file.
    OptionsEntryTest() { host.config.dataFolder = temp.Folder(); }
    void AnswerOptions(const char* button) {
        sim.Dialogs.ModalForms.push_back([button](TForm& dialog) { dialog.Automation.Run("click", button, ""); });
    }
    std::string DataFolder() const { return temp.Folder(); }
    std::string SettingsFile() const { return temp.Path("Quorvel/configuration.xml"); }
    void MakeQuorvelFolder() { std::filesystem::create_directories(temp.Path("Quorvel")); }
    std::size_t SaveFailures() const {
        std::size_t n = 0;
        for (const auto& m : sim.Dialogs.Messages)
            if (m.Text == Ru("Не удалось сохранить конфигурацию.")) {
                EXPECT_EQ(m.Flags, MB_ICONERROR | MB_TOPMOST);
                ++n;
            }
        return n;
    }
    TempFolder temp;
};

TEST_F(OptionsEntryTest, SettingsExistFromLibraryLoadWithDefaults) {
    EXPECT_EQ(library->Config.FreqSample, 11025);
    EXPECT_EQ(library->Config.ModGain, 16384);
    EXPECT_TRUE(library->Config.FileName.empty());
}

TEST_F(OptionsEntryTest, OkLoadsSavesAndReappliesToTheWindow) {
    MakeQuorvelFolder();
    WriteAll(SettingsFile(), "<?xml version=\"1.0\" ?><Configuration><InSoundCard type=\"Integer\">0</InSoundCard>"
                             "<SetupComplete type=\"Integer\">1</SetupComplete>"
                             "<FreqSample type=\"Integer\">11050</FreqSample></Configuration>");
    sim.Audio = sim::TSimMultimedia::SoundCard("Onboard");
    library->Run(&host.session, 1);
    library->Config.FreqSample = 11000;  // the entry point reads the file again
    AnswerOptions("btnOK");
    library->ShowOptionsDialog(0, DataFolder().c_str());

    // Set up already: no wizard before the dialog.
    EXPECT_EQ(sim.Dialogs.Modals, (std::vector<std::string>{Ru("Настройки")}));
    EXPECT_EQ(library->Config.FileName, SettingsFile());
    EXPECT_TRUE(library->Config.SetupComplete);
    EXPECT_EQ(SaveFailures(), 0u);
    // Saved whole: every property, the loaded values included.
    dsConfig::TConfig saved;
    EXPECT_TRUE(saved.Load(SettingsFile()));
    EXPECT_EQ(saved.FreqSample, 11050);
    EXPECT_NE(ReadAll(SettingsFile()).find("<AutoEndTX type=\"Integer\">1</AutoEndTX>"), std::string::npos);
    // Re-applied: input device 0, output device -1 (the system default).
    TModemEngine* engine = library->MainForm->MMVARI1();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->strSoundID(), u"0,-1");
    EXPECT_EQ(engine->dblSampleFreq(), 11050.0);
    EXPECT_EQ(engine->bActive(), OleTrue);
}

TEST_F(OptionsEntryTest, CancelSavesNothing) {
    MakeQuorvelFolder();
    AnswerOptions("btnCancel");
    library->ShowOptionsDialog(0, DataFolder().c_str());
    EXPECT_FALSE(FileExists(SettingsFile()));
    EXPECT_FALSE(library->Config.SetupComplete);
    EXPECT_EQ(sim.Dialogs.Messages.size(), 0u);
    EXPECT_EQ(library->Application.ModalLevel, 0);
}

TEST_F(OptionsEntryTest, FailedSaveIsReportedAndStillApplied) {
    // No "Quorvel" folder: nothing is created, the operator is told.
    sim.Audio = sim::TSimMultimedia::SoundCard("Onboard");
    sim.Audio.WaveOuts.push_back({"Headset", 0, false});
    library->Run(&host.session, 1);
    library->Config.OutSoundCard = 1;
    // The operator picks the headset for transmitting.
    sim.Dialogs.ModalForms.push_back([](TForm& dialog) {
        dialog.Automation.Run("select", "cbOutSoundCard", "Headset");
        dialog.Automation.Run("click", "btnOK", "");
    });
    library->ShowOptionsDialog(0, DataFolder().c_str());
    EXPECT_EQ(SaveFailures(), 1u);
    EXPECT_FALSE(std::filesystem::exists(temp.Path("Quorvel")));
    EXPECT_TRUE(library->Config.SetupComplete);
    EXPECT_EQ(library->MainForm->MMVARI1()->strSoundID(), u"0,1");
}

TEST_F(OptionsEntryTest, WithoutWindowOrDataFolderNothingIsWrittenElsewhere) {
    AnswerOptions("btnOK");
    library->ShowOptionsDialog(0, nullptr);
    EXPECT_EQ(SaveFailures(), 1u);
    EXPECT_TRUE(library->Config.FileName.empty());
    EXPECT_FALSE(library->MainForm);
}

}  // namespace
}  // namespace quorvel::testing
