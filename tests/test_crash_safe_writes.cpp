// Saves survive the process being killed at any moment, and fail cleanly when
// the disk refuses a write, a flush or a rename: every file holds its old or
// its new content, and the next start leaves no temporary file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "Adif.h"
#include "HostFiles.h"
#include "LogBook.h"
#include "SimFileSystem.h"
#include "base/Files.h"
#include "modem/FilterPresets.h"
#include "rxtext/TextFileTransfer.h"
#include "settings/ClassesX.h"
#include "test_settings_support.h"

extern char** environ;

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

class TPayload : public TSrzClass {
public:
    explicit TPayload(const char* name = "Payload") { Property(name, Payload, std::string("-")); }
    std::string Payload;
};

bool Uniform(const std::string& s, std::size_t size) {
    return s.size() == size && (s == std::string(size, 'A') || s == std::string(size, 'B'));
}

std::vector<std::string> Temporaries(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".tmp") found.push_back(e.path().filename().string());
    return found;
}

// The crash-saver child, its stdout read until it says it is ready.
class TSaverChild {
public:
    explicit TSaverChild(const std::string& folder) {
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string tool = std::string(QUORVEL_BIN_DIR) + "/crash-saver";
        std::string a0 = tool, a1 = folder;
        char* argv[] = {a0.data(), a1.data(), nullptr};
        if (posix_spawn(&pid_, tool.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        char buffer[16];
        ready_ = pid_ > 0 && ::read(out[0], buffer, sizeof buffer) > 0;
        ::close(out[0]);
    }
    ~TSaverChild() { Kill(); }
    TSaverChild(const TSaverChild&) = delete;
    TSaverChild& operator=(const TSaverChild&) = delete;
    bool Ready() const { return ready_; }
    // True when the child was still saving (not ended by itself).
    bool Kill() {
        if (pid_ <= 0) return false;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t pid_ = -1;
    bool ready_ = false;
};

// What the next start reads, checked against the old-or-new rule.
void ExpectWholeFiles(const std::string& folder, int trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    constexpr std::size_t kPayload = 256 * 1024;
    TPayload settings;
    EXPECT_TRUE(settings.Load(JoinPath(folder, "configuration.xml")));
    EXPECT_TRUE(Uniform(settings.Payload, kPayload)) << "settings torn: " << settings.Payload.size() << " bytes";

    // The window state's persisted property, read the way a settings object reads it.
    TPayload state("_Payload");
    EXPECT_TRUE(state.Load(JoinPath(folder, "mainform.config.xml")));
    EXPECT_TRUE(Uniform(state.Payload, kPayload)) << "window state torn";

    const auto presets = ReadPresetFile(JoinPath(folder, "filters.list"));
    ASSERT_TRUE(presets.has_value());
    ASSERT_EQ(presets->size(), 2000u) << "presets torn";
    EXPECT_EQ(presets->front().Name.substr(0, 40), presets->back().Name.substr(0, 40));

    const std::string received = JoinPath(folder, "RcFiles");
    RemoveStaleReceivedFile(received);
    EXPECT_TRUE(Uniform(ReadAll(JoinPath(received, "qso.txt")), kPayload)) << "received file torn";
    EXPECT_TRUE(Temporaries(received).empty()) << "left among the received files: " << Temporaries(received).front();

    std::string error;
    pavohost::TLogBook log(fs::path(folder) / "log.adi", "1.0");
    ASSERT_TRUE(log.Open(error)) << error;
    std::string expected = pavohost::FormatAdifHeader("1.0");
    for (std::size_t i = 0; i < log.Records().size(); ++i) {
        if (!expected.empty() && expected.back() != '\n') expected += '\n';
        expected += pavohost::FormatAdifRecord(log.Records()[i]);
        EXPECT_EQ(log.Records()[i].Get("CALL"), "R" + std::to_string(i));
    }
    EXPECT_EQ(ReadAll(log.File().string()), expected) << "log torn";

    EXPECT_TRUE(Temporaries(folder).empty()) << "left behind: " << Temporaries(folder).front();
}

int Trials() {
    const char* long_run = std::getenv("QUORVEL_CRASH_TRIALS");
    return long_run != nullptr ? std::max(1, std::atoi(long_run)) : 50;
}

TEST(CrashSafeWrites, KilledSavesLeaveOldOrNewFilesAndNoTemporaries) {
    TempFolder temp;
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> moment(0, 40000);  // microseconds after the first round
    int killedWithTemporary = 0;
    fs::create_directory(temp.Path("RcFiles"));
    for (int trial = 0; trial < Trials(); ++trial) {
        // A fresh log now and then keeps each round's rewrite short.
        if (trial % 25 == 0) fs::remove(temp.Path("log.adi"));
        {
            TSaverChild child(temp.Folder());
            ASSERT_TRUE(child.Ready()) << "the saver did not start";
            std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
            ASSERT_TRUE(child.Kill()) << "the saver stopped by itself";
        }
        if (!Temporaries(temp.Folder()).empty()) ++killedWithTemporary;
        ExpectWholeFiles(temp.Folder(), trial);
        if (HasFatalFailure() || HasFailure()) return;
    }
    // The kills must really land inside saves, or the test proves nothing.
    EXPECT_GT(killedWithTemporary, 0);
    RecordProperty("KilledWithTemporary", killedWithTemporary);
    std::printf("%d trials, %d killed with a temporary file on disk, all files whole\n", Trials(), killedWithTemporary);
}

// Every step of a save failing in turn, on the real disk under a faulty layer:
// the save reports it, the old file stays, no temporary stays.
TEST(CrashSafeWrites, AFailedWriteFlushOrRenameKeepsTheOldFile) {
    TempFolder temp;
    sim::TFaultyFileSystem faulty(FileSystem());
    TFileSystemScope scope(faulty);
    const std::string settingsFile = temp.Path("configuration.xml");
    const fs::path logFile = fs::path(temp.Folder()) / "log.adi";
    const std::string presets = temp.Path("filters.list");

    TPayload settings;
    settings.FileName = settingsFile;
    settings.Payload = "old";
    ASSERT_TRUE(settings.Save());
    ASSERT_TRUE(WritePresetFile(presets, {{"old", 0, 100, 1}}));
    std::string error;
    ASSERT_TRUE(pavohost::WriteFileAtomically(logFile, "old log", error));
    const std::string received = temp.Path("RcFiles");
    fs::create_directory(received);
    ASSERT_TRUE(StoreReceivedFile(received, "qso.txt", "old file"));

    for (sim::TFileOp op : {sim::TFileOp::Write, sim::TFileOp::Flush, sim::TFileOp::Rename}) {
        SCOPED_TRACE(static_cast<int>(op));
        settings.Payload = "new";
        faulty.FailAt(op, 1);
        EXPECT_FALSE(settings.Save());
        faulty.FailAt(op, 1);
        EXPECT_FALSE(WritePresetFile(presets, {{"new", 1, 200, 2}}));
        faulty.FailAt(op, 1);
        EXPECT_FALSE(pavohost::WriteFileAtomically(logFile, "new log", error));
        EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
        faulty.FailAt(op, 1);
        EXPECT_FALSE(StoreReceivedFile(received, "qso.txt", "new file"));
        faulty.FailAt(op, 0);

        TPayload loaded;
        EXPECT_TRUE(loaded.Load(settingsFile));
        EXPECT_EQ(loaded.Payload, "old");
        EXPECT_EQ(ReadPresetFile(presets)->front().Name, "old");
        EXPECT_EQ(ReadAll(logFile.string()), "old log");
        EXPECT_EQ(ReadAll(JoinPath(received, "qso.txt")), "old file");
        EXPECT_TRUE(Temporaries(temp.Folder()).empty());
        EXPECT_TRUE(Temporaries(received).empty());
    }
    // The second write of a run failing: the first file is replaced, the second is not.
    faulty.FailAt(sim::TFileOp::Write, 2);
    settings.Payload = "first";
    EXPECT_TRUE(settings.Save());
    EXPECT_FALSE(pavohost::WriteFileAtomically(logFile, "second", error));
    EXPECT_EQ(ReadAll(logFile.string()), "old log");
}

TEST(CrashSafeWrites, TheNextStartRemovesStaleTemporariesButNothingElse) {
    TempFolder temp;
    for (const char* name : {"configuration.xml.tmp", "mainform.config.xml.tmp", "filters.list.tmp", "log.adi.tmp",
                             "settings.xml.tmp", "notes.tmp"})
        WriteAll(temp.Path(name), "<Configuration><half");
    fs::create_directory(temp.Path("other.xml.tmp"));

    TPayload settings;
    settings.Load(temp.Path("configuration.xml"));
    TPayload state("_Payload");
    state.Load(temp.Path("mainform.config.xml"));
    ReadPresetFile(temp.Path("filters.list"));
    std::string error;
    pavohost::TLogBook log(fs::path(temp.Folder()) / "log.adi", "1.0");
    ASSERT_TRUE(log.Open(error));

    // Only the files of the saves that were loaded go; a folder is never ours.
    std::vector<std::string> left = Temporaries(temp.Folder());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"notes.tmp", "other.xml.tmp", "settings.xml.tmp"}));
}

// The whole save path on a disk that is really full (the process's file-size
// limit), and in a folder whose name has Cyrillic letters and spaces.
TEST(CrashSafeWrites, AFullDiskAndACyrillicFolderKeepTheOldFiles) {
    TempFolder temp;
    const std::string folder = JoinPath(temp.Folder(), "\xC4\xE0\xED\xED\xFB\xE5 \xF0\xE0\xE4\xE8\xEE");  // "Данные радио"
    fs::create_directories(NativePath(folder));
    const std::string file = JoinPath(folder, "configuration.xml");
    TPayload settings;
    settings.FileName = file;
    settings.Payload = "old";
    ASSERT_TRUE(settings.Save());
    EXPECT_TRUE(fs::is_regular_file(fs::path(temp.Folder()) / "Данные радио" / "configuration.xml"));
    {
        FileSizeLimit limit(4096);
        settings.Payload.assign(100000, 'x');
        EXPECT_FALSE(settings.Save());
    }
    TPayload loaded;
    EXPECT_TRUE(loaded.Load(file));
    EXPECT_EQ(loaded.Payload, "old");
    EXPECT_TRUE(Temporaries(NativePath(folder).string()).empty());
}

}  // namespace
}  // namespace quorvel::testing
