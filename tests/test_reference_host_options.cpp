// The options dialog worked from a pavo-host script: every setting changed
// through its controls reaches configuration.xml and the running window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "PavoHostRunSupport.h"
#include "settings/dsConfig.h"

namespace pavohost {
namespace {

namespace fs = std::filesystem;
using testing::HostRun;

const std::string kHost = QUORVEL_BIN_DIR "/pavo-host";

class OptionsScript : public testing::HostRunTest {
protected:
    OptionsScript() : HostRunTest("pavo-host-options-") {}
    HostRun Play(const std::string& text) {
        const fs::path script = dir / "options.script";
        std::ofstream(script, std::ios::binary) << text;
        return Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + kHost + " --data '" +
                     (dir / "data").string() + "' --engine loopback --strict --script '" + script.string() + "'");
    }
    fs::path SettingsFile() const {
        return dir / "data" / "Zentavo" / "pavo-host" / "Plugins Data" / "Quorvel" / "configuration.xml";
    }
    // Milliseconds of a transcript time stamp "[mm:ss.mmm]" at the start of the line holding text.
    static long StampOf(const std::string& out, const std::string& text, std::size_t from = 0) {
        const std::size_t at = out.find(text, from);
        if (at == std::string::npos) return -1;
        const std::size_t line = out.rfind('\n', at) + 1;
        std::smatch m;
        const std::string head = out.substr(line, 12);
        if (!std::regex_search(head, m, std::regex(R"(\[(\d+):(\d+)\.(\d+)\])"))) return -1;
        return std::stol(m[1]) * 60000 + std::stol(m[2]) * 1000 + std::stol(m[3]);
    }
};

TEST_F(OptionsScript, EverySettingChangedInTheDialogIsSavedAndApplied) {
    const HostRun r = Play(
        "answer wizard finish\n"
        "run\n"
        // "Основные"
        "answer options set seDelayTX 300\n"
        "answer options click chkAutoSendChar\n"
        "answer options set seTimeDoRx 2500\n"
        "answer options click chkAutoSendMacros\n"
        "answer options click \"Передавать по \\\"Enter\\\"\"\n"  // by caption
        "answer options click chkAutoEndTX\n"
        "answer options click chkAutoClearTXWnd\n"
        "answer options click chkAutoClearRXWnd\n"
        "answer options click chkAutoOpenRCFile\n"
        "answer options click chkSelectedRcvr\n"
        // "Параметры аудио"
        "answer options select cbOutSoundCard \"Pavo Sound Card\"\n"
        "answer options set seModGain 80\n"
        "answer options select cbSoundSource \"Line In\"\n"
        "answer options click chkInSelect\n"
        "answer options set seFreqSample 11000\n"
        "answer options set seTxOffset 25\n"
        // "Вид"
        "answer font \"Courier New\" 12 bold\n"
        "answer options click btnRXFont\n"
        "answer colour FF0000\n"
        "answer options select cbRXFontRxColor Выбрать\n"
        "answer options select cbRXFontTxColor Highlight\n"
        "answer font Arial 11 italic 0000FF\n"
        "answer options click btnTXFont\n"
        "answer options click chkHIToSml\n"
        "answer colour 202020\n"
        "answer options select cbRXWndColor Выбрать\n"
        "answer colour FFFFE0\n"
        "answer options select cbTXWndColor Выбрать\n"
        "answer options ok\n"
        "options\n"
        "show Memo1\n"
        "show RichEdit1\n"
        // Ending by itself again, to see the idle time at work.
        "answer options click chkAutoEndTX\n"
        "answer options ok\n"
        "options\n"
        "type Memo1 \"hi \"\n"
        "wait idle\n");
    ASSERT_EQ(r.exit, 0) << r.err << r.out;
    EXPECT_EQ(r.out.find("refused"), std::string::npos) << r.out;

    quorvel::dsConfig::TConfig saved;
    ASSERT_TRUE(saved.Load(SettingsFile().string())) << r.out;
    EXPECT_EQ(saved.DelayTX, 300);
    EXPECT_TRUE(saved.AutoSendChar);
    EXPECT_EQ(saved.TimeDoRx, 2500);
    EXPECT_FALSE(saved.AutoSendMacros);
    EXPECT_TRUE(saved.SendOfEnter);
    EXPECT_TRUE(saved.AutoEndTX);  // off, then on again in the second dialog
    EXPECT_TRUE(saved.AutoClearTXWnd);
    EXPECT_TRUE(saved.AutoClearRXWnd);
    EXPECT_TRUE(saved.AutoOpenRCFile);
    EXPECT_FALSE(saved.SelectedRcvr);
    EXPECT_EQ(saved.OutSoundCard, 0);
    EXPECT_EQ(saved.ModGain, 26214);  // 80 % of 32767 is 26213.6
    EXPECT_EQ(saved.InSoundCard, 0);
    EXPECT_EQ(saved.InMixerID, 0);
    EXPECT_EQ(saved.InDest, 1);
    EXPECT_EQ(saved.SoundSource, 1);
    EXPECT_EQ(saved.InSelect, 1);
    EXPECT_TRUE(saved.EnabledRXLevel);
    EXPECT_EQ(saved.FreqSample, 11000);
    EXPECT_EQ(saved.TxOffset, 25);
    EXPECT_EQ(saved.RXFontName, "Courier New");
    EXPECT_EQ(saved.RXFontSize, 12);
    EXPECT_TRUE(saved.RXFontStyle.Contains(quorvel::TFontStyle::fsBold));
    EXPECT_EQ(saved.RXFontRxColor, 0x0000FF);
    EXPECT_EQ(saved.RXFontTxColor, static_cast<quorvel::TColor>(0xFF00000D));
    EXPECT_EQ(saved.TXFontName, "Arial");
    EXPECT_EQ(saved.TXFontSize, 11);
    EXPECT_TRUE(saved.TXFontStyle.Contains(quorvel::TFontStyle::fsItalic));
    EXPECT_EQ(saved.TXFontColor, 0xFF0000);
    EXPECT_FALSE(saved.HIToSml);
    EXPECT_EQ(saved.RXWndColor, 0x202020);
    EXPECT_EQ(saved.TXWndColor, 0xE0FFFF);
    EXPECT_TRUE(saved.SetupComplete);

    // The running window took the fonts and colours.
    EXPECT_NE(r.out.find("memo Memo1 font=\"Arial 11 italic\" colour=#0000FF background=#FFFFE0"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("pane RichEdit1 font=\"Courier New 12 bold\" background=#202020"), std::string::npos)
        << r.out;
    // And the delays: typing keys the transmitter at once and the text goes
    // on DelayTX later; the transmission ends TimeDoRx after the typing.
    const std::size_t typed = r.out.find("operator: type Memo1 \"hi \"");
    ASSERT_NE(typed, std::string::npos) << r.out;
    const long keyed = StampOf(r.out, "rig: PTT on", typed - 200);
    const long typedAt = StampOf(r.out, "operator: type Memo1 \"hi \"");
    EXPECT_EQ(typedAt - keyed, 300) << r.out;
    const long released = StampOf(r.out, "rig: PTT off", typed);
    EXPECT_GE(released - keyed, 2500) << r.out;
    EXPECT_LT(released - keyed, 3000) << r.out;
    EXPECT_NE(r.out.find("on air: \"hi \""), std::string::npos) << r.out;
}

}  // namespace
}  // namespace pavohost
