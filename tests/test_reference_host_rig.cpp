// The reference host's real rig through Hamlib: its dummy rig in-process, and
// a rigctld this test starts on the loopback interface, with the plug-in
// following what the rig does.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "HamlibRig.h"
#include "Host.h"
#include "PluginFixture.h"
#include "SimPlatform.h"

extern char** environ;

namespace pavohost {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const TRigTiming kQuick{std::chrono::milliseconds(100), std::chrono::milliseconds(300), std::chrono::milliseconds(300)};

struct Events : IHostEvents {
    std::vector<std::string> lines;
    void HostEvent(const std::string& source, const std::string& utf8) override { lines.push_back(source + ": " + utf8); }
};

// Waits, delivering what the rig reported, until done() or the limit.
template <class Done>
bool DeliverUntil(IRigPort& rig, Done done, std::chrono::milliseconds limit = 3s) {
    const auto end = TClock::now() + limit;
    while (TClock::now() < end) {
        rig.Deliver();
        if (done()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(HamlibRig, TheDummyRigIsKeyedTunedAndSwitchedBetweenSidebands) {
    THamlibRig rig(THamlibRig::kDummyModel, "", kQuick);
    TRigStatus last;
    rig.OnStatus = [&](const TRigStatus& s) { last = s; };
    ASSERT_TRUE(rig.WaitForFirstReport(3s));
    ASSERT_TRUE(DeliverUntil(rig, [&] { return last.Connected; })) << last.Error;
    EXPECT_GT(last.DialHz, 0);

    rig.SetFrequency(14070000);
    rig.SetUpperSideband(true);
    EXPECT_TRUE(DeliverUntil(rig, [&] { return last.DialHz == 14070000 && last.Mode == "USB"; }));
    EXPECT_TRUE(last.Upper);
    rig.SetUpperSideband(false);
    EXPECT_TRUE(DeliverUntil(rig, [&] { return last.Mode == "LSB"; }));
    EXPECT_FALSE(last.Upper);
    rig.SetPtt(true);
    EXPECT_TRUE(DeliverUntil(rig, [&] { return last.Ptt; }));
    rig.SetPtt(false);
    EXPECT_TRUE(DeliverUntil(rig, [&] { return !last.Ptt; }));

    rig.SetPower(false);
    EXPECT_TRUE(DeliverUntil(rig, [&] { return !last.Connected; }));
    rig.SetPower(true);
    EXPECT_TRUE(DeliverUntil(rig, [&] { return last.Connected; }));
}

TEST(HamlibRig, SidebandFollowsTheRigsModeAndUnknownModelsAreRefused) {
    for (const char* upper : {"USB", "PKTUSB", "ECSSUSB", "CW", "CWR", "RTTY", "AM", "FM", ""})
        EXPECT_TRUE(UpperSidebandOfMode(upper)) << upper;
    for (const char* lower : {"LSB", "PKTLSB", "ECSSLSB"}) EXPECT_FALSE(UpperSidebandOfMode(lower)) << lower;
    EXPECT_THROW(THamlibRig(987654, ""), std::invalid_argument);
}

TEST(HostRigSettings, ARigChosenInTheSettingsIsSavedAndDrivenAtOnce) {
    const fs::path data = fs::temp_directory_path() / ("pavo-host-rig-settings-" + std::to_string(::getpid()));
    fs::remove_all(data);
    quorvel::sim::TSimPlatform sim;
    Events events;
    {
        THost host(THostEnvironment{sim.Windows, sim.Dispatcher, THostFolders::For(data), events, "1.2.0", QUORVEL_BIN_DIR});
        EXPECT_EQ(host.RigPort().Description(), "simulated");
        std::string error;
        EXPECT_FALSE(host.ChangeRig(TRigChoice{987654, ""}, error));
        EXPECT_NE(error.find("987654"), std::string::npos) << error;
        EXPECT_EQ(host.RigPort().Description(), "simulated") << "a refused choice keeps the rig";
        ASSERT_TRUE(host.ChangeRig(TRigChoice{THamlibRig::kDummyModel, ""}, error)) << error;
        const auto end = TClock::now() + 3s;
        while (!host.Transceiver().Connected() && TClock::now() < end) {
            sim.Dispatcher.Advance(50);
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_TRUE(host.Transceiver().Connected());
        EXPECT_EQ(host.Transceiver().RigDescription(), "Hamlib model 1 (dummy rig)");
    }
    // The next start drives the saved rig.
    THost again(THostEnvironment{sim.Windows, sim.Dispatcher, THostFolders::For(data), events, "1.2.0", QUORVEL_BIN_DIR});
    EXPECT_EQ(again.SavedRigChoice().Model, THamlibRig::kDummyModel);
    EXPECT_TRUE(again.Transceiver().Connected()) << "it answered before the host went on";
    fs::remove_all(data);
}

// ---- rigctld ------------------------------------------------------------------

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) != 0) {
        close(s);
        return 0;
    }
    close(s);
    return ntohs(a.sin_port);
}

bool Accepts(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

// rigctld with Hamlib's dummy rig, for as long as the object lives.
class TRigctld {
public:
    explicit TRigctld(int port) : port_(port) { Start(); }
    ~TRigctld() { Kill(); }
    TRigctld(const TRigctld&) = delete;
    TRigctld& operator=(const TRigctld&) = delete;

    void Start() {
        const std::string portText = std::to_string(port_);
        std::vector<std::string> args = {"rigctld", "-m", "1", "-P", "RIG", "-T", "127.0.0.1", "-t", portText};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "rigctld", nullptr, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("cannot start rigctld");
        const auto end = TClock::now() + 5s;
        while (!Accepts(port_)) {
            if (TClock::now() > end) throw std::runtime_error("rigctld does not listen");
            std::this_thread::sleep_for(20ms);
        }
    }
    void Kill() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }
    // One rigctl command against it; its answer.
    std::string Rigctl(const std::string& command) const {
        const std::string line = "rigctl -m 2 -r 127.0.0.1:" + std::to_string(port_) + " " + command + " 2>&1";
        std::string out;
        if (FILE* p = popen(line.c_str(), "r")) {
            char buffer[256];
            while (fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
            pclose(p);
        }
        while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
        return out;
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int port_;
    pid_t pid_ = 0;
};

class RigctldWithThePlugIn : public quorvel::testing::PluginFixture {
protected:
    RigctldWithThePlugIn() {
        data = fs::temp_directory_path() /
               ("pavo-host-rig-" + std::to_string(::getpid()) + "-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(data);
    }
    ~RigctldWithThePlugIn() override {
        if (library) library->Release();
        library.reset();
        host.reset();
        std::error_code ec;
        fs::remove_all(data, ec);
    }

    // The UI thread's loop, as the host runs it, until done() or the limit;
    // the longest any turn of it took is kept.
    template <class Done>
    bool RunUntil(Done done, std::chrono::milliseconds limit) {
        const auto end = TClock::now() + limit;
        while (TClock::now() < end) {
            const auto start = TClock::now();
            sim.Dispatcher.Advance(10);
            const bool finished = done();
            longestTurn = std::max(longestTurn, std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start));
            if (finished) return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
    quorvel::TMainForm& Form() const { return *library->MainForm; }
    std::string Dial() const { return Form().Label7.Caption(); }
    std::string Signal() const { return Form().StatusBar1.Panel(2).Text; }

    fs::path data;
    Events events;
    std::unique_ptr<THost> host;
    std::chrono::milliseconds longestTurn{0};
};

TEST_F(RigctldWithThePlugIn, PluginFollowsTheSharedRigThroughLossAndRecovery) {
    const int port = FreePort();
    ASSERT_NE(port, 0);
    TRigctld rigctld(port);
    ASSERT_EQ(rigctld.Rigctl("F 14070000"), "");
    ASSERT_EQ(rigctld.Rigctl("M USB 0"), "");

    THostEnvironment env{sim.Windows, sim.Dispatcher, THostFolders::For(data), events, "1.2.0", QUORVEL_BIN_DIR};
    env.Rig = TRigChoice{THamlibRig::kRigctldModel, rigctld.Address()};
    host = std::make_unique<THost>(std::move(env));
    ASSERT_TRUE(host->Transceiver().Connected()) << "the rig answers before the session starts";
    ASSERT_NE(library->Run(&host->Session(), 1), 0);
    ASSERT_TRUE(RunUntil([&] { return Dial() == "14.070.000" && Signal() == "14.071.750"; }, 3s))
        << Dial() << " / " << Signal();

    // PTT follows the transmission.
    Form().RsSpeedButton1.Click();
    ASSERT_TRUE(Form().RsSpeedButton1.Down());
    EXPECT_TRUE(RunUntil([&] { return rigctld.Rigctl("t") == "1"; }, 3s));
    Form().RsSpeedButton1.Click();
    EXPECT_TRUE(RunUntil([&] { return rigctld.Rigctl("t") == "0"; }, 3s));

    // A step button tunes the rig; the readout follows the rig's report.
    Form().RsSpeedButton44.MouseDown(quorvel::TMouseButton::mbLeft, 0, 0, 0);
    Form().RsSpeedButton44.MouseUp(quorvel::TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_TRUE(RunUntil([&] { return Dial() == "14.070.100"; }, 3s)) << Dial();
    EXPECT_EQ(rigctld.Rigctl("f"), "14070100");

    // Another program moves the dial: the scale and the status bar follow.
    ASSERT_EQ(rigctld.Rigctl("F 7074000"), "");
    ASSERT_EQ(rigctld.Rigctl("M LSB 0"), "");
    EXPECT_TRUE(RunUntil([&] { return Dial() == "7.074.000" && Signal() == "7.072.250"; }, 3s))
        << Dial() << " / " << Signal();
    EXPECT_EQ(Form().XMMVView2->dwFreqHz, 7074000);
    EXPECT_EQ(Form().XMMVView2->bLSB, quorvel::OleTrue);
    EXPECT_EQ(host->Transceiver().LogFrequency(), 7072250);

    // rigctld dies: the plug-in hears of it soon, and the UI thread never waits.
    longestTurn = {};
    rigctld.Kill();
    const auto killed = TClock::now();
    ASSERT_TRUE(RunUntil([&] { return Dial() == "0.000"; }, 5s)) << Dial();
    EXPECT_LE(TClock::now() - killed, 2s);
    EXPECT_EQ(Signal(), "0.000");
    EXPECT_EQ(Form().XMMVView2->dwFreqHz, 0);
    EXPECT_FALSE(host->Transceiver().Connected());
    // Still retrying: a second or two more, and the UI thread is as free.
    RunUntil([] { return false; }, 1500ms);
    EXPECT_LE(longestTurn, 50ms);
    EXPECT_EQ(host->Transceiver().LogFrequency(), 7072250) << "the last working frequency stays for the log";

    // Back again: the host reconnects and the plug-in has its dial again.
    rigctld.Start();
    ASSERT_EQ(rigctld.Rigctl("F 21070000"), "");
    ASSERT_EQ(rigctld.Rigctl("M PKTUSB 0"), "");
    EXPECT_TRUE(RunUntil([&] { return Dial() == "21.070.000" && Signal() == "21.071.750"; }, 5s))
        << Dial() << " / " << Signal();
    EXPECT_TRUE(host->Transceiver().Connected());
    EXPECT_LE(longestTurn, 50ms);
}

}  // namespace
}  // namespace pavohost
