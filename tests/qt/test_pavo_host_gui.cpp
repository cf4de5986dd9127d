// pavo-host with windows, drawn off-screen: the screenshot run plays the same
// session as the headless one, and the picture shows what the window holds.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include "PavoHostRunSupport.h"
#include "XDisplay.h"

namespace {

namespace fs = std::filesystem;
using pavohost::testing::HostRun;
using pavohost::testing::Quote;
using pavohost::testing::ReadAll;
using pavohost::testing::TXDisplay;

const std::string kHost = QUORVEL_BIN_DIR "/pavo-host";
const std::string kExample = "examples/psk31-contact.script";

class PavoHostGui : public pavohost::testing::HostRunTest {
protected:
    PavoHostGui() : HostRunTest("pavo-host-gui-") {}
    // Runs a command line in the source folder, where the README's commands run.
    HostRun InSources(const std::string& line) { return Shell("cd " + Quote(QUORVEL_SOURCE_DIR) + " && " + line); }
    HostRun Host(const std::string& args, const std::string& data) {
        return InSources("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen " + kHost + " --data " +
                     Quote(dir / data) + " " + args);
    }
    // The run's transcript with what differs between front ends and folders taken out.
    std::string Comparable(std::string transcript, const std::string& data) {
        transcript = std::regex_replace(transcript, std::regex("^pavo-host ([0-9.]+), [a-zA-Z]+,"), "pavo-host $1, FRONT,");
        transcript = std::regex_replace(transcript, std::regex("window 0x[0-9A-F]+"), "window HANDLE");
        transcript = std::regex_replace(transcript, std::regex(".*host: screenshot of the plug-in's window.*\n"), "");
        std::string folder = (dir / data).string(), out;
        for (std::size_t at = 0;;) {
            const std::size_t hit = transcript.find(folder, at);
            out += transcript.substr(at, hit - at);
            if (hit == std::string::npos) break;
            out += "$DATA";
            at = hit + folder.size();
        }
        return out;
    }
};

// Pixels near a colour, as the picture's text is antialiased.
int PixelsNear(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) < 40)
                ++n;
        }
    return n;
}

TEST_F(PavoHostGui, ScreenshotRunPlaysTheExampleAsTheHeadlessRunDoesAndDrawsTheWindow) {
    const HostRun headless = Host("--headless --script " + kExample, "headless");
    ASSERT_EQ(headless.exit, 0) << headless.err;
    const fs::path whole = dir / "whole.png", middle = dir / "middle.png";
    const HostRun gui = Host("--script " + kExample + " --screenshot " + Quote(whole), "gui");
    ASSERT_EQ(gui.exit, 0) << gui.err;
    EXPECT_EQ(gui.out.rfind("pavo-host 1.2.0, GUI, script " + kExample + "\n", 0), 0u) << gui.out;
    EXPECT_EQ(Comparable(gui.out, "gui"), Comparable(headless.out, "headless"));
    EXPECT_EQ(gui.err.find("This plugin does not support"), std::string::npos) << gui.err;
    EXPECT_EQ(ReadAll(dir / "gui/Zentavo/pavo-host/Profiles/Default/log.adi"),
              ReadAll(dir / "headless/Zentavo/pavo-host/Profiles/Default/log.adi"));

    QImage picture(QString::fromStdString(whole.string()));
    ASSERT_FALSE(picture.isNull());
    std::smatch size;
    ASSERT_TRUE(std::regex_search(gui.out, size, std::regex("screenshot of the plug-in's window \\((\\d+)x(\\d+)\\)")));
    EXPECT_EQ(picture.width(), std::stoi(size[1]));
    EXPECT_EQ(picture.height(), std::stoi(size[2]));
    EXPECT_GT(picture.width(), 400);
    EXPECT_GT(picture.height(), 300);
    // The received text is drawn in the receive colour: at the end the pane
    // shows mostly the operator's macros, and his farewell a line above them.
    const int greenAtTheEnd = PixelsNear(picture, QColor(0x00, 0x80, 0x00));
    EXPECT_GT(greenAtTheEnd, 150);

    // Stopped in the middle, before the farewell: less received text to draw.
    const HostRun part = Host("--script " + kExample + " --until 64 --screenshot " + Quote(middle), "middle");
    ASSERT_EQ(part.exit, 0) << part.err;
    EXPECT_NE(part.out.find("operator: type Edit2 \"579\""), std::string::npos);
    EXPECT_EQ(part.out.find("73 es gl"), std::string::npos);
    QImage partial(QString::fromStdString(middle.string()));
    ASSERT_FALSE(partial.isNull());
    const int greenInTheMiddle = PixelsNear(partial, QColor(0x00, 0x80, 0x00));
    EXPECT_GT(greenInTheMiddle, 300);
    // The pane follows the end of the text: at the end it shows other lines
    // than in the middle (it is too short to hold them all at its designed height).
    EXPECT_NE(partial, picture);
    EXPECT_NE(greenInTheMiddle, greenAtTheEnd);
}

TEST_F(PavoHostGui, NoPictureWhenThePlugInsWindowIsNotOpen) {
    std::ofstream(dir / "released.script") << "run\nrelease\n";
    const HostRun r = Host("--script " + Quote(dir / "released.script") + " --screenshot " + Quote(dir / "x.png"), "data");
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("no screenshot: the plug-in's window is not open at the end of the script"), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir / "x.png"));

    const HostRun unwritable =
        Host("--script " + kExample + " --until 23 --screenshot " + Quote(dir / "no" / "such" / "x.png"), "data2");
    EXPECT_EQ(unwritable.exit, 1);
    EXPECT_NE(unwritable.err.find("cannot write the screenshot"), std::string::npos) << unwritable.err;
}

TEST_F(PavoHostGui, StoppingTheHostReleasesThePlugInAndKeepsItsSettings) {
    // The windows are the operator's after the script; a kill ends the session as
    // closing the host's window does. Wait for the plug-in's window before it.
    const fs::path out = dir / "live";
    const std::string line = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen " + kHost + " --gui --data " +
                             Quote(dir / "data") + " >" + Quote(out) + " & pid=$!; " +
                             "for i in $(seq 600); do grep -q PavoRun " + Quote(out) +
                             " 2>/dev/null && break; sleep 0.1; done; sleep 0.5; kill -TERM $pid; wait $pid";
    const HostRun r = InSources(line);
    EXPECT_EQ(r.exit, 0) << r.err;
    const std::string transcript = ReadAll(out);
    EXPECT_NE(transcript.find("pavo-host 1.2.0, GUI\n"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("host: PavoRelease"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("host: plug-in unloaded"), std::string::npos) << transcript;
    EXPECT_TRUE(fs::exists(dir / "data/Zentavo/pavo-host/Plugins Data/Quorvel/mainform.config.xml"));
}

// The host with windows on a real X server with a window manager, as a user
// runs it: the operator's hands are xdotool's.
class PavoHostUnderWindowManager : public PavoHostGui {
protected:
    void SetUp() override {
        if (!x.Ready()) GTEST_SKIP() << "no X server with a window manager: " << x.Why();
    }
    // Starts the host in the background and waits for the plug-in's window.
    void Start(const std::string& data) {
        out = dir / (data + ".out");
        ASSERT_EQ(x.Run("cd " + Quote(QUORVEL_SOURCE_DIR) + " && " + kHost + " --gui --data " + Quote(dir / data) +
                        " >" + Quote(out) + " 2>&1 & echo $! >" + Quote(dir / "pid")),
                  0);
        pid = std::stoi(ReadAll(dir / "pid"));
        ASSERT_TRUE(WaitFor("PavoRun")) << ReadAll(out);
        plugin = WindowNamed("Цифровые виды связи");
        ASSERT_FALSE(plugin.empty()) << ReadAll(out);
    }
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGTERM);
            for (int i = 0; i < 100 && kill(pid, 0) == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    bool WaitFor(const std::string& text, int tenths = 300) {
        for (int i = 0; i < tenths; ++i) {
            if (ReadAll(out).find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    std::string WindowNamed(const std::string& name) {
        for (int i = 0; i < 100; ++i) {
            std::string id = x.Output("xdotool search --onlyvisible --name " + Quote(name) + " 2>/dev/null | head -1");
            if (!id.empty() && id.back() == '\n') id.pop_back();
            if (!id.empty()) return id;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {};
    }
    // A window's frame on the screen: left, top, right, bottom.
    std::array<int, 4> Frame(const std::string& window) {
        const std::string geometry = x.Output("xdotool getwindowgeometry " + window);
        const std::string extents = x.Output("xprop -id " + window + " _NET_FRAME_EXTENTS");
        std::smatch m, e;
        std::array<int, 4> frame{};
        if (!std::regex_search(geometry, m, std::regex("Position: (-?\\d+),(-?\\d+)[^]*Geometry: (\\d+)x(\\d+)")))
            return frame;
        int l = 0, r = 0, t = 0, b = 0;
        if (std::regex_search(extents, e, std::regex("= (\\d+), (\\d+), (\\d+), (\\d+)")))
            l = std::stoi(e[1]), r = std::stoi(e[2]), t = std::stoi(e[3]), b = std::stoi(e[4]);
        const int cx = std::stoi(m[1]), cy = std::stoi(m[2]);
        return {cx - l, cy - t, cx + std::stoi(m[3]) + r, cy + std::stoi(m[4]) + b};
    }
    TXDisplay x;
    fs::path out;
    int pid = -1;
    std::string plugin;
};

TEST_F(PavoHostUnderWindowManager, TheCloseBoxClosesThePlugInsWindowAndTheHostReleasesIt) {
    Start("data");
    // Alt+F4 is the window manager's close: the same request as the close box.
    EXPECT_EQ(x.Run("xdotool windowactivate --sync " + plugin + " && xdotool key --clearmodifiers alt+F4"), 0);
    EXPECT_TRUE(WaitFor("host: close signal from the plug-in", 100)) << ReadAll(out);
    EXPECT_TRUE(WaitFor("host: PavoRelease", 50)) << ReadAll(out);
}

TEST_F(PavoHostUnderWindowManager, AtFirstStartNoWindowCoversAnother) {
    Start("data");
    const std::string host = WindowNamed("pavo-host");
    ASSERT_FALSE(host.empty());
    // The new-QSO window opens from the host's main window.
    EXPECT_EQ(x.Run("xdotool windowactivate --sync " + host + " && xdotool key --clearmodifiers alt+n"), 0);
    const std::string qso = WindowNamed("^New QSO$");
    ASSERT_FALSE(qso.empty());
    const std::array<std::array<int, 4>, 3> frames = {Frame(plugin), Frame(host), Frame(qso)};
    for (std::size_t a = 0; a < frames.size(); ++a) {
        EXPECT_GT(frames[a][2] - frames[a][0], 100) << a;
        for (std::size_t b = a + 1; b < frames.size(); ++b) {
            const bool apart = frames[a][2] <= frames[b][0] || frames[b][2] <= frames[a][0] ||
                               frames[a][3] <= frames[b][1] || frames[b][3] <= frames[a][1];
            EXPECT_TRUE(apart) << "windows " << a << " and " << b << " overlap";
        }
    }
}

TEST_F(PavoHostUnderWindowManager, TheStationIsEnteredInTheHostsMainWindowAndItsTitleSaysWhenThereIsNone) {
    Start("data");
    const std::string host = WindowNamed("pavo-host — no callsign set");
    ASSERT_FALSE(host.empty()) << x.Output("xdotool search --name pavo-host getwindowname %@");
    EXPECT_EQ(x.Run("xdotool windowactivate --sync " + host + " && xdotool key --clearmodifiers alt+s"), 0);
    const std::string dialog = WindowNamed("^Station$");
    ASSERT_FALSE(dialog.empty());
    // The callsign's field has the focus; Return is the dialog's OK.
    EXPECT_EQ(x.Run("xdotool windowactivate --sync " + dialog + " && xdotool type --delay 20 r3abc && xdotool key Tab && "
                    "xdotool type --delay 20 Pavel && xdotool key Return"),
              0);
    EXPECT_FALSE(WindowNamed("pavo-host — R3ABC").empty());
    const std::string settings = ReadAll(dir / "data/Zentavo/pavo-host/Profiles/Default/configuration.xml");
    EXPECT_NE(settings.find(">R3ABC<"), std::string::npos) << settings;
    EXPECT_NE(settings.find(">Pavel<"), std::string::npos) << settings;
}

TEST_F(PavoHostUnderWindowManager, WhereTheUserLeftThePlugInsWindowIsSavedAndRestored) {
    Start("data");
    EXPECT_EQ(x.Run("xdotool windowmove --sync " + plugin + " 200 150 && xdotool windowsize --sync " + plugin +
                    " 880 635"),
              0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::smatch e;
    const std::string extents = x.Output("xprop -id " + plugin + " _NET_FRAME_EXTENTS");
    ASSERT_TRUE(std::regex_search(extents, e, std::regex("= (\\d+), (\\d+), (\\d+), (\\d+)"))) << extents;
    // The frame as the window manager placed it: at 200,150, the client 880 x 635 inside.
    const std::array<int, 4> placed = {200, 150, 200 + 880 + std::stoi(e[1]) + std::stoi(e[2]),
                                       150 + 635 + std::stoi(e[3]) + std::stoi(e[4])};
    EXPECT_EQ(x.Run("xdotool windowactivate --sync " + plugin + " && xdotool key --clearmodifiers alt+F4"), 0);
    ASSERT_TRUE(WaitFor("host: PavoRelease", 100)) << ReadAll(out);
    // The host says so before it calls the plug-in, which saves the state then.
    const fs::path stateFile = dir / "data/Zentavo/pavo-host/Plugins Data/Quorvel/mainform.config.xml";
    std::string state;
    for (int i = 0; i < 100 && state.find("</Configuration>") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state = ReadAll(stateFile);
    }
    auto value = [&](const std::string& name) {
        std::smatch m;
        return std::regex_search(state, m, std::regex("<" + name + "[^>]*>(-?\\d+)</" + name + ">")) ? std::stoi(m[1]) : -1;
    };
    EXPECT_EQ(value("Left"), placed[0]) << state;
    EXPECT_EQ(value("Top"), placed[1]) << state;
    EXPECT_EQ(value("Width"), placed[2] - placed[0]) << state;
    EXPECT_EQ(value("Height"), placed[3] - placed[1]) << state;
    EXPECT_EQ(value("WindowState"), 0) << state;
}

}  // namespace
