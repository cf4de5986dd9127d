// pavo-host with windows, drawn off-screen: the screenshot run plays the same
// session as the headless one, and the picture shows what the window holds.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "PavoHostRunSupport.h"

namespace {

namespace fs = std::filesystem;
using pavohost::testing::HostRun;
using pavohost::testing::Quote;
using pavohost::testing::ReadAll;

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
    // The received text is drawn in the receive colour.
    const int greenAtTheEnd = PixelsNear(picture, QColor(0x00, 0x80, 0x00));
    EXPECT_GT(greenAtTheEnd, 300);

    // Stopped in the middle, before the farewell: less received text to draw.
    const HostRun part = Host("--script " + kExample + " --until 63 --screenshot " + Quote(middle), "middle");
    ASSERT_EQ(part.exit, 0) << part.err;
    EXPECT_NE(part.out.find("operator: type Edit2 \"579\""), std::string::npos);
    EXPECT_EQ(part.out.find("73 es gl"), std::string::npos);
    QImage partial(QString::fromStdString(middle.string()));
    ASSERT_FALSE(partial.isNull());
    const int greenInTheMiddle = PixelsNear(partial, QColor(0x00, 0x80, 0x00));
    EXPECT_GT(greenInTheMiddle, 300);
    EXPECT_LT(greenInTheMiddle, greenAtTheEnd);
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

}  // namespace
