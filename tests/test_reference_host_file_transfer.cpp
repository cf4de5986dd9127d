// A text file from one station to another through real signals: one pavo-host
// sends it with its transmitted audio written to a WAV file, a second one
// hears that file and saves what arrived in its received-files folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "PavoHostRunSupport.h"

namespace pavohost {
namespace {

namespace fs = std::filesystem;
using testing::HostRun;
using testing::ReadAll;

const std::string kHost = QUORVEL_BIN_DIR "/pavo-host";

class FileTransferRun : public testing::HostRunTest {
protected:
    FileTransferRun() : HostRunTest("pavo-host-file-") {}
    fs::path Write(const std::string& name, const std::string& text) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }
    HostRun Host(const std::string& data, const std::string& script, const std::string& args) {
        return Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + kHost + " --headless --data '" +
                     (dir / data).string() + "' --script '" + Write(data + ".script", script).string() + "' " +
                     args);
    }
    fs::path Received(const std::string& data) const {
        return dir / data / "Zentavo" / "pavo-host" / "Plugins Data" / "Quorvel" / "RcFiles";
    }
};

TEST_F(FileTransferRun, AFileSentOverTheAirIsSavedByTheStationThatHearsIt) {
    // The lower-case letters pass selective reception; "<" and ">" do not.
    Write("a.txt", "one <two>\nthree");
    const std::string wav = (dir / "air.wav").string();
    HostRun sender = Host("sender",
                          "run\nselect mnuModes BPSK\nselect mnuSpeed 31.25\nanswer file a.txt\n"
                          "click \"Передать текстовый файл\"\nwait idle\n",
                          "--audio-out '" + wav + "'");
    ASSERT_EQ(sender.exit, 0) << sender.err << sender.out;
    EXPECT_NE(sender.out.find("file-open dialog \"Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*\""),
              std::string::npos)
        << sender.out;
    ASSERT_TRUE(fs::is_directory(Received("sender")));  // the host makes the folder
    EXPECT_TRUE(fs::is_empty(Received("sender")));      // its own echo is no file

    HostRun receiver = Host("receiver", "run\nselect mnuModes BPSK\nselect mnuSpeed 31.25\nwait 40s\nshow RichEdit1\n",
                            "--audio-in '" + wav + "'");
    ASSERT_EQ(receiver.exit, 0) << receiver.err << receiver.out;
    ASSERT_TRUE(fs::exists(Received("receiver") / "a.txt")) << receiver.out;
    EXPECT_EQ(ReadAll(Received("receiver") / "a.txt"), "one two\r\nthree\r\n\r\n");
    EXPECT_NE(receiver.out.find("!ZQHWBENS"), std::string::npos) << receiver.out;  // shown as it came
}

TEST_F(FileTransferRun, HostileNamesNeverWriteOutsideTheReceivedFilesFolder) {
    const std::string names[] = {"../../x", "/etc/passwd", "C:\\\\y", std::string(10000, 'n') + ".txt",
                                 "\\tz\\t", "CON"};
    std::string script = "run\n";
    for (const std::string& name : names)
        script += "remote 0 \"!ZQHWBSTS\\r\\n" + name + "\\r\\nbody\\r\\n\\r\\n!ZQHWBENS\"\nwait idle 60m\n";
    HostRun r = Host("data", script, "--engine loopback");
    ASSERT_EQ(r.exit, 0) << r.err;
    const fs::path folder = Received("data");
    std::vector<std::string> saved, outside;
    for (const auto& e : fs::recursive_directory_iterator(dir / "data")) {
        if (e.is_directory()) continue;
        if (e.path().parent_path() == folder) saved.push_back(e.path().filename().string());
        else outside.push_back(e.path().filename().string());
    }
    for (const std::string& name : outside) {
        EXPECT_FALSE(name == "x" || name == "y" || name == "z" || name == "passwd" || name.ends_with("CON")) << name;
        EXPECT_FALSE(name.starts_with("nnn")) << name;
    }
    std::sort(saved.begin(), saved.end());
    ASSERT_EQ(saved.size(), 6u);
    EXPECT_EQ(saved[0], "_CON");
    EXPECT_EQ(saved[1], std::string(196, 'n') + ".txt");  // cut to a name every file system takes
    EXPECT_EQ(saved[2], "passwd");
    EXPECT_EQ(saved[3], "x");
    EXPECT_EQ(saved[4], "y");
    EXPECT_EQ(saved[5], "z");
    for (const std::string& name : saved) EXPECT_EQ(ReadAll(folder / name), "body\r\n\r\n") << name;
}

}  // namespace
}  // namespace pavohost
