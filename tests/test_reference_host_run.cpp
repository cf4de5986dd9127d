// pavo-host as a user runs it: exit codes and messages for bad input, and a
// scripted session with the real plug-in.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Adif.h"
#include "PavoHostRunSupport.h"

namespace pavohost {
namespace {

namespace fs = std::filesystem;
using testing::HostRun;
using testing::ReadAll;

const std::string kHost = QUORVEL_BIN_DIR "/pavo-host";

class PavoHostRun : public testing::HostRunTest {
protected:
    PavoHostRun() : HostRunTest("pavo-host-run-") {}
    fs::path Script(const std::string& text) {
        const fs::path p = dir / "session.script";
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }
    // Whatever display the test runner has, the host runs without windows
    // unless a test asks for them.
    HostRun Host(const std::string& args, const std::string& input = {}) {
        return Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + kHost + " " + args, input);
    }
    std::string Data() const { return "--data '" + (dir / "data").string() + "'"; }
};

TEST_F(PavoHostRun, RefusesWhatIsNotAUsablePlugIn) {
    HostRun r = Host(Data() + " '" + (dir / "nothing.kpl").string() + "'");
    EXPECT_EQ(r.exit, 3);
    EXPECT_NE(r.err.find("no plug-in at " + (dir / "nothing.kpl").string() + " (no such file)"), std::string::npos) << r.err;

    r = Host(Data() + " " QUORVEL_BIN_DIR "/libquorvel-loopback.so");
    EXPECT_EQ(r.exit, 3);
    EXPECT_NE(r.err.find("libquorvel-loopback.so is not a Pavo plug-in: it does not export PavoGetVersion, "
                         "PavoGetInfo, PavoRun, PavoRelease"),
              std::string::npos)
        << r.err;

    r = Host(Data() + " " QUORVEL_TEST_PLUGINS_DIR "/fake-wrong-version.kpl");
    EXPECT_EQ(r.exit, 3);
    EXPECT_NE(r.err.find("was built for host-interface version 60; this host speaks version 61"), std::string::npos)
        << r.err;

    r = Host(Data() + " " QUORVEL_TEST_PLUGINS_DIR "/fake-no-run.kpl");
    EXPECT_EQ(r.exit, 3);
    EXPECT_NE(r.err.find("it does not export PavoRun"), std::string::npos) << r.err;

    const fs::path text = dir / "text.kpl";
    std::ofstream(text) << "not a library";
    r = Host(Data() + " '" + text.string() + "'");
    EXPECT_EQ(r.exit, 3);
    EXPECT_NE(r.err.find("cannot load " + text.string()), std::string::npos) << r.err;
}

TEST_F(PavoHostRun, AScriptMistakeStopsEverythingBeforeItStarts) {
    const fs::path script = Script("run\nwait 2s\nremote 9 \"CQ\"\n");
    HostRun r = Host(Data() + " --script '" + script.string() + "'");
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "pavo-host: " + script.string() + ":3:8: the channel must be from 0 to 4\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(dir / "data")) << "nothing was loaded or written";

    r = Host(Data() + " --script '" + (dir / "missing.script").string() + "'");
    EXPECT_EQ(r.exit, 2);
    EXPECT_NE(r.err.find("cannot read the script"), std::string::npos);

    r = Host(Data() + " --script - ", "run\n  pick\n");
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "pavo-host: -:2:7: missing argument: pick ITEM [MENU]\n");
}

TEST_F(PavoHostRun, OptionsAreCheckedAndExplained) {
    HostRun r = Host("--frobnicate");
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "pavo-host: unknown option --frobnicate (see --help)\n");
    r = Host("--data");
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "pavo-host: --data needs a value\n");
    r = Host("a.kpl b.kpl");
    EXPECT_EQ(r.exit, 2);
    r = Host("--rig-port /dev/ttyUSB0 " + Data());
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "pavo-host: --rig-port needs --rig\n");
    r = Host("--rig 987654 --headless " + Data());
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "pavo-host: Hamlib knows no rig model 987654 (see rigctl -l)\n");
    r = Host("--gui " + Data());
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.find("no display to show windows on") != std::string::npos ||
                r.err.find("this build of pavo-host has no windows") != std::string::npos)
        << r.err;
    r = Host("--headless --screenshot shot.png " + Data());
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "pavo-host: --screenshot needs windows: leave out --headless\n");
    r = Host("--until 0 " + Data());
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "pavo-host: --until needs a line number, not \"0\"\n");
    r = Host("--help");
    EXPECT_EQ(r.exit, 0);
    EXPECT_NE(r.out.find("Usage: pavo-host"), std::string::npos);
    EXPECT_NE(r.out.find("click-word PANE WORD"), std::string::npos);
    r = Host("--version");
    EXPECT_EQ(r.out, "pavo-host 1.2.0 (host-interface version 61)\n");
}

TEST_F(PavoHostRun, ADataFolderThatCannotBeWrittenIsReported) {
    std::ofstream(dir / "file") << "x";
    const HostRun r = Host("--data '" + (dir / "file" / "data").string() + "'");
    EXPECT_EQ(r.exit, 4);
    EXPECT_NE(r.err.find("pavo-host: cannot use the data folder " + (dir / "file" / "data").string() + ": cannot create"),
              std::string::npos)
        << r.err;
}

TEST_F(PavoHostRun, ASecondStationIsReadInTheChannelOpenedAtItsFrequency) {
    const fs::path script = Script(
        "run 1\n"
        "remote 1 \"CQ de OK1XYZ\\r\"\n"
        "wait idle\n"
        "popup XMMVView1 1200\n"
        "pick \"Открыть дополнительный канал приёма\"\n"
        "remote 0 \"DL1ABC\\r\"\n"
        "remote 1 \"CQ de OK1XYZ\\r\"\n"
        "wait idle\n"
        "show RzPageControl1\n"
        "show RichEdit2\n"
        "show engine\n");
    // The plug-in's channel handling, on the engine that hands text over at once.
    const HostRun r = Host(Data() + " --engine loopback --script '" + script.string() + "'");
    ASSERT_EQ(r.exit, 0) << r.err << r.out;
    const std::size_t tabs = r.out.find("] show: the plug-in's window");
    ASSERT_NE(tabs, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Канал 1", tabs), std::string::npos) << r.out;
    const std::size_t pane = r.out.find("] show: the plug-in's window", tabs + 1);
    ASSERT_NE(pane, std::string::npos) << r.out;
    const std::size_t engine = r.out.find("] show: the modem engine", pane);
    ASSERT_NE(engine, std::string::npos) << r.out;
    // Only the text sent once the channel was open reaches its pane, and the
    // main channel's station stays in the main pane.
    const std::string paneText = r.out.substr(pane, engine - pane);
    const std::size_t cq = paneText.find("CQ de OK1XYZ");
    ASSERT_NE(cq, std::string::npos) << r.out;
    EXPECT_EQ(paneText.find("CQ de OK1XYZ", cq + 1), std::string::npos) << r.out;
    EXPECT_EQ(paneText.find("DL1ABC"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("channel 1: ", engine), std::string::npos);
    EXPECT_NE(r.out.find("carrier 1200 Hz, open", engine), std::string::npos) << r.out;
}

TEST_F(PavoHostRun, PlaysASessionWithThePlugInAndLogsTheContact) {
    const fs::path script = Script(
        "clock 2024-05-04 14:30:00\n"
        "station call R3ABC grid KO85US\n"
        "qso open\n"
        "run 7\n"
        "remote 0 \"CQ de DL1ABC\\r\"\n"
        "wait idle\n"
        "show engine\n"
        "qso set callsign DL1ABC\n"
        "qso set mode BPSK31\n"
        "qso set grid JO62QM\n"
        "show qso\n"
        "close\n"
        "wait 1s\n"
        "run 8\n"
        "qso save\n"
        "show log\n");
    const HostRun r = Host(Data() + " --script '" + script.string() + "'");
    ASSERT_EQ(r.exit, 0) << r.err << r.out;
    EXPECT_EQ(r.err, "");
    // Times after the remote text depend on the mode the plug-in sets, so
    // they are not compared here; the example's CTest compares everything.
    for (const char* expected : {
             "[00:00.000] host: PavoRun(instance 7) -> window ",
             "[00:00.000] remote 0: \"CQ de DL1ABC\\r\" (",
             "] show: the modem engine (idle)\n    channel 0: ",
             "] host operator: types \"DL1ABC\" into the new-QSO callsign\n",
             "] new-QSO: time \"14:30\"",
             "new-QSO: mode \"BPSK31\" logs as MODE PSK, SUBMODE PSK31",
             "    distance: 1616 km",
             "] operator: close the window\n",
             "] host: close signal from the plug-in (instance 7)\n",
             "] host: PavoRelease\n",
             "] host: PavoRun(instance 8)",
             "] log: contact 1 saved: DL1ABC 20240504 1430",
             "] new-QSO: reset for a new contact",
             "    last: <CALL:6>DL1ABC <QSO_DATE:8>20240504 <TIME_ON:6>1430",
             " <TIME_OFF:6>1430",
             // The signal frequency: the dial and the carrier of 1750 Hz on upper sideband.
             "<BAND:3>20m <FREQ:8>14.07175 <MODE:3>PSK <SUBMODE:5>PSK31 <RST_SENT:3>599 <RST_RCVD:3>599 "
             "<GRIDSQUARE:6>JO62QM <STATION_CALLSIGN:5>R3ABC <EOR>",
             "host: plug-in unloaded\nsession ended: 1 contact logged to ",
         })
        EXPECT_NE(r.out.find(expected), std::string::npos) << "missing: " << expected << "\n---\n" << r.out;
    const fs::path log = dir / "data" / "Zentavo" / "pavo-host" / "Profiles" / "Default" / "log.adi";
    const TAdifFile adif = ParseAdi(ReadAll(log));
    ASSERT_EQ(adif.Records.size(), 1u);
    EXPECT_EQ(adif.Records[0].Get("CALL"), "DL1ABC");
}

TEST_F(PavoHostRun, CapturesFromTheReceivedTextReachTheLogAndTheWindowMayComeAndGo) {
    const fs::path script = Script(
        "clock 2024-05-04 14:30:00\n"
        "station call R3ABC grid KO85US\n"
        "run 7\n"
        "select mnuModes BPSK\n"
        "select mnuSpeed 31.25\n"
        // Opened after the plug-in: the contact group comes alive and the mode goes over.
        "qso open\n"
        "remote 0 \"CQ de DL1ABC rst 599 name Hans loc JO62QM\\r\"\n"
        "wait idle\n"
        "click-word RichEdit1 DL1ABC\n"
        "pick \"Позывной\"\n"
        "click-word RichEdit1 599\n"
        "pick \"RST(R)\"\n"
        "click-word RichEdit1 Hans\n"
        "pick \"Имя\"\n"
        "click-word RichEdit1 JO62QM\n"
        "pick \"QTH - локатор\"\n"
        "click \"Сохранить QSO\"\n"
        "qso close\n"
        "show\n");
    // Captures are the plug-in's: the engine that hands text over at once will do.
    const HostRun r = Host(Data() + " --engine loopback --script '" + script.string() + "'");
    ASSERT_EQ(r.exit, 0) << r.err << r.out;
    for (const char* expected : {
             "new-QSO: mode \"BPSK31\" logs as MODE PSK, SUBMODE PSK31",
             "new-QSO: callsign captured: \"DL1ABC\"",
             "] log: contact 1 saved: DL1ABC 20240504 1430",
             "host: new-QSO window closed",
         })
        EXPECT_NE(r.out.find(expected), std::string::npos) << "missing: " << expected << "\n---\n" << r.out;
    const fs::path log = dir / "data" / "Zentavo" / "pavo-host" / "Profiles" / "Default" / "log.adi";
    const TAdifFile adif = ParseAdi(ReadAll(log));
    ASSERT_EQ(adif.Records.size(), 1u);
    EXPECT_EQ(adif.Records[0].Get("MODE"), "PSK");
    EXPECT_EQ(adif.Records[0].Get("SUBMODE"), "PSK31");
    EXPECT_EQ(adif.Records[0].Get("RST_RCVD"), "599");
    EXPECT_EQ(adif.Records[0].Get("NAME"), "Hans");
    EXPECT_EQ(adif.Records[0].Get("GRIDSQUARE"), "JO62QM");
    // Closed again before the release: the group is off.
    const auto shown = r.out.rfind("group GroupBox1");
    ASSERT_NE(shown, std::string::npos) << r.out;
    const std::string off = "group GroupBox1 enabled=0";
    EXPECT_EQ(r.out.compare(shown, off.size(), off), 0) << r.out.substr(shown, 60);
}

TEST_F(PavoHostRun, AFailingStepEndsTheSessionCleanly) {
    HostRun r = Host(Data() + " --script -", "remote 0 \"CQ\"\n");
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "pavo-host: -:1: no modem engine is running: the plug-in's window is not open (use run)\n");

    r = Host(Data() + " --script -", "run\nwait idle 1s\nremote 0 \"CQ CQ CQ CQ CQ\"\nwait idle 1s\n");
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "pavo-host: -:4: wait idle: still receiving or transmitting after 1 s\n");
    EXPECT_NE(r.out.find("host: PavoRelease\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("host: plug-in unloaded\n"), std::string::npos) << r.out;

    // With --strict an operator action the window does not take fails the run.
    r = Host(Data() + " --strict --script -", "run\ndo juggle Memo1\n");
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("pavo-host: -:2: do juggle Memo1: not offered by the plug-in's window"), std::string::npos)
        << r.err;
    r = Host(Data() + " --script -", "run\ndo juggle Memo1\n");
    EXPECT_EQ(r.exit, 0);
    EXPECT_NE(r.out.find("operator: do juggle Memo1 (not offered by the plug-in's window: no verb \"juggle\")"),
              std::string::npos)
        << r.out;
}

TEST_F(PavoHostRun, AnInstallationWithoutTheSupportLibrariesSaysSo) {
    const fs::path install = dir / "install";
    fs::create_directories(install);
    for (const char* file : {"pavo-host", "Quorvel.kpl", "libquorvel-desktop.so", "libquorvel-loopback.so",
                             "modem-engines.reg"})
        fs::copy_file(fs::path(QUORVEL_BIN_DIR) / file, install / file);
    const std::string command = (install / "pavo-host").string() + " " + Data() + " 2>'" + (dir / "err").string() +
                                "' >'" + (dir / "out").string() + "'";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 3);
    const std::string out = ReadAll(dir / "out"), err = ReadAll(dir / "err");
    EXPECT_NE(out.find("host: support library sharepm.so not loaded ("), std::string::npos) << out;
    EXPECT_NE(err.find("Quorvel.kpl reports host-interface version 0: it could not start (are the host's support "
                       "libraries installed beside the host?)"),
              std::string::npos)
        << err;
}

TEST_F(PavoHostRun, RemoteStationsNeedTheLoopbackEngine) {
    const HostRun r = Host(Data() + " --script - " QUORVEL_TEST_PLUGINS_DIR "/fake-recording.kpl", "run\nremote 1 \"hi\"\n");
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("remote stations need the loopback engine: no engine registration at"), std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("modem engine: no simulation of remote stations"), std::string::npos);
}

}  // namespace
}  // namespace pavohost
