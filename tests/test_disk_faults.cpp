// Faults on disk with the real host, plug-in and file system. A data folder
// holding every kind of file goes through sessions on a full disk, with
// read-only files and folders, and with folders taken away in the middle of a
// run. Afterwards every file holds either its old content or the one a sound
// run of the same sessions gives, never a torn or empty one; the host has
// said what failed and has not crashed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "Adif.h"
#include "PavoHostRunSupport.h"

namespace pavohost {
namespace {

namespace fs = std::filesystem;
using testing::HostRun;
using testing::ReadAll;

const std::string kHost = QUORVEL_BIN_DIR "/pavo-host";
constexpr const char* kPluginFolder = "Zentavo/pavo-host/Plugins Data/Quorvel";
constexpr const char* kProfile = "Zentavo/pavo-host/Profiles/Default";
const std::string kWindowState = std::string(kPluginFolder) + "/mainform.config.xml";
const std::string kReceived = std::string(kPluginFolder) + "/RcFiles";

// Every file the system keeps: host settings and log, the plug-in's settings,
// window state, macros and a filter preset, and a received file.
constexpr const char* kSeed =
    "clock 2024-05-04 14:30:00\n"
    "station call R3ABC grid KO85US\n"
    "macros seed.macros\n"
    "answer wizard finish\n"
    "run\n"
    "select mnuModes BPSK\n"
    "select mnuSpeed 31.25\n"
    "click mnuBPF\n"
    "answer input Narrow\n"
    "click mnuSaveFilter\n"
    "qso open\n"
    "qso set callsign DL1ABC\n"
    "qso save\n"
    "snr 0 30\n"
    "remote 0 \"!ZQHWBSTS\\r\\na.txt\\r\\nline one\\r\\n\\r\\n!ZQHWBENS\"\n"
    "wait idle\n";

// A session that saves each of them again; the macro editor comes last, as
// its failure ends the session.
constexpr const char* kPluginSession =
    "clock 2024-05-06 10:00:00\n"
    "run\n"
    "select mnuModes BPSK\n"
    "select mnuSpeed 31.25\n"
    "click mnuLPF\n"
    "answer input Wide\n"
    "click mnuSaveFilter\n"
    "answer options set seDelayTX 300\n"
    "answer options ok\n"
    "options\n"
    "qso open\n"
    "qso set callsign UA9XYZ\n"
    "qso save\n"
    "snr 0 30\n"
    "remote 0 \"!ZQHWBSTS\\r\\na.txt\\r\\nline two\\r\\n\\r\\n!ZQHWBENS\"\n"
    "remote 0 \"!ZQHWBSTS\\r\\nb.txt\\r\\nnew file\\r\\n\\r\\n!ZQHWBENS\"\n"
    "wait idle\n"
    "macros session.macros\n";
constexpr const char* kHostSession = "station call R3XYZ\n";

using TFiles = std::map<std::string, std::string>;  // path inside the data folder -> bytes

bool HasSanitizerReport(const std::string& err) {
    return err.find("AddressSanitizer") != std::string::npos || err.find("LeakSanitizer") != std::string::npos ||
           err.find("runtime error:") != std::string::npos;
}

// A tiny tmpfs of the test's own, unmounted whatever happens.
class TTmpfs {
public:
    TTmpfs(const fs::path& at, const char* size) : at_(at) {
        fs::create_directories(at);
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
        if (!mounted_) refusal_ = std::strerror(errno);
    }
    ~TTmpfs() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    TTmpfs(const TTmpfs&) = delete;
    TTmpfs& operator=(const TTmpfs&) = delete;
    bool Mounted() const { return mounted_; }
    const std::string& Refusal() const { return refusal_; }

private:
    fs::path at_;
    bool mounted_ = false;
    std::string refusal_;
};

// A folder mounted read-only onto itself, unmounted whatever happens.
class TReadOnlyMount {
public:
    explicit TReadOnlyMount(const fs::path& at) : at_(at) {
        bound_ = ::mount(at.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) == 0;
        mounted_ = bound_ && ::mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    ~TReadOnlyMount() {
        if (bound_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    TReadOnlyMount(const TReadOnlyMount&) = delete;
    TReadOnlyMount& operator=(const TReadOnlyMount&) = delete;
    bool Mounted() const { return mounted_; }

private:
    fs::path at_;
    bool bound_ = false, mounted_ = false;
};

class DiskFaults : public testing::HostRunTest {
protected:
    DiskFaults() : HostRunTest("pavo-host-disk-") {
        std::ofstream(dir / "seed.macros") << "CQ | CQ | F1 | CQ CQ de <MYCALL> pse k <RX>\n";
        std::ofstream(dir / "session.macros") << "CQ | CQ | F1 | CQ CQ CQ de <MYCALL> <MYCALL> k <RX>\n"
                                                 "QSO (En) | 73 | F4 | <CALL> de <MYCALL> 73 <SAVEQSO> <RX>\n";
    }
    ~DiskFaults() override {
        // Files a child of another user made, or a read-only folder, must not outlive the test.
        std::error_code ec;
        for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }

    // prefix runs before the host in the same shell (a limit, another user).
    HostRun Host(const fs::path& data, const std::string& script, const std::string& prefix = {},
                 const std::string& args = {}) {
        const fs::path file = dir / ("script-" + std::to_string(++scripts_));
        std::ofstream(file, std::ios::binary) << script;
        const std::string command = prefix + " env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + kHost +
                                    " --headless --data '" + data.string() + "' --script '" + file.string() + "' " + args;
        // Under the limit the host cannot write its transcript to a file either:
        // it goes through pipes, and only the host is limited.
        const std::string rc = (dir / "rc").string();
        HostRun r = Shell("cd '" + dir.string() + "' && " +
                          (!noFileGrowth ? command
                                         : "{ { (trap '' XFSZ; ulimit -f 0; exec " + command + ") 2>&1 1>&3 3>&-; echo $? >'" +
                                               rc + "'; } | cat >&2; } 3>&1 | cat; exit $(cat '" + rc + "')"));
        EXPECT_FALSE(HasSanitizerReport(r.err)) << r.err;
        EXPECT_TRUE(r.exit == 0 || r.exit == 1 || r.exit == 4) << "exit " << r.exit << "\n" << r.err;  // never a crash
        return r;
    }

    static TFiles Snapshot(const fs::path& data) {
        TFiles files;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(data, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file() && !it->is_symlink()) files[fs::relative(it->path(), data).string()] = ReadAll(it->path());
        return files;
    }
    static void Restore(const fs::path& data, const TFiles& files) {
        fs::remove_all(data);
        for (const auto& [name, bytes] : files) {
            fs::create_directories((data / name).parent_path());
            std::ofstream(data / name, std::ios::binary) << bytes;
        }
    }

    // Seeds the data folder, then plays the sessions there once without a
    // fault to learn the new content of each file, and puts the seed back.
    void Prepare(const fs::path& data) {
        const HostRun seed = Host(data, kSeed);
        ASSERT_EQ(seed.exit, 0) << seed.err << seed.out;
        before = Snapshot(data);
        for (const std::string& name : {std::string(kProfile) + "/configuration.xml", std::string(kProfile) + "/log.adi",
                                       std::string(kProfile) + "/log.adx", std::string(kPluginFolder) + "/configuration.xml",
                                       kWindowState, std::string(kPluginFolder) + "/filters.list",
                                       std::string(kPluginFolder) + "/macroses.config.xml", kReceived + "/a.txt"})
            ASSERT_FALSE(before[name].empty()) << name << " was not made";
        ASSERT_EQ(ParseAdi(before[std::string(kProfile) + "/log.adi"]).Records.size(), 1u);
        const HostRun plugin = Host(data, kPluginSession), host = Host(data, kHostSession);
        ASSERT_EQ(plugin.exit, 0) << plugin.err << plugin.out;
        ASSERT_EQ(host.exit, 0) << host.err;
        sound = Snapshot(data);
        for (const auto& [name, bytes] : before)
            if (name != kWindowState) {
                ASSERT_NE(sound[name], bytes) << name << " is the same after a sound run";
            }
        ASSERT_EQ(sound[kReceived + "/b.txt"], "new file\r\n\r\n");
        Restore(data, before);
    }

    // Every file holds its old content or its new one; gone lists the files
    // that may be missing afterwards, and nothing is there that a sound run
    // does not leave.
    void ExpectOldOrNew(const fs::path& data, const std::set<std::string>& gone = {}) {
        const TFiles after = Snapshot(data);
        for (const auto& [name, old] : before) {
            const auto it = after.find(name);
            if (it == after.end()) {
                EXPECT_TRUE(gone.contains(name)) << name << " was lost";
                continue;
            }
            EXPECT_TRUE(it->second == old || it->second == sound[name])
                << name << " is neither old nor new:\n" << it->second;
        }
        for (const auto& [name, bytes] : after) {
            EXPECT_FALSE(name.ends_with(".tmp")) << name << " was left behind";
            if (!before.contains(name)) {
                EXPECT_EQ(bytes, sound[name]) << name << " was not there before";
            }
        }
    }
    bool Unchanged(const fs::path& data, const std::string& name) {
        return fs::exists(data / name) && ReadAll(data / name) == before[name];
    }

    // Runs the host as a user whom the permission bits bind: root ignores them.
    std::string AsOrdinaryUser(const fs::path& data) {
        if (::geteuid() != 0) return {};
        std::system(("chown -R 65534:65534 '" + data.string() + "'").c_str());
        return "setpriv --reuid=65534 --regid=65534 --clear-groups";
    }
    static void SetWritable(const fs::path& p, bool writable) {
        fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        writable ? fs::perm_options::add : fs::perm_options::remove);
    }

    TFiles before, sound;
    bool noFileGrowth = false;  // the host may write no byte to any file
    int scripts_ = 0;
};

// The plug-in's saves fail with its own messages, the log's with the host's,
// and the macro editor's ends the session with one on stderr.
void ExpectEverySaveReported(const HostRun& r) {
    EXPECT_EQ(r.exit, 1) << r.err << r.out;
    EXPECT_NE(r.out.find("\"Не удалось сохранить список фильтров:\\r\\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Не удалось сохранить конфигурацию.\" (flags 0x40010)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("new-QSO: not saved: cannot write"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("log: contact 2 saved"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(": the macro editor cannot save: cannot write"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("host: plug-in unloaded"), std::string::npos) << r.out;
}

TEST_F(DiskFaults, AFullDiskKeepsEveryFileOldOrNew) {
    const fs::path mount = dir / "tmpfs";
    TTmpfs tmpfs(mount, "4m");
    const fs::path data = tmpfs.Mounted() ? mount / "data" : dir / "data";
    ASSERT_NO_FATAL_FAILURE(Prepare(data));
    // Refilled before each session: a file the last one deleted gave room back.
    auto fillUp = [&] {
        const int fd = ::open((mount / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, block.data(), 1) > 0) {
        }
        ::close(fd);
    };
    if (tmpfs.Mounted()) {
        std::cout << "disk full: a 4 MB tmpfs, filled up\n";
    } else {
        std::cout << "disk full: a file-size limit of 0 bytes (tmpfs refused: " << tmpfs.Refusal() << ")\n";
        noFileGrowth = true;
    }
    if (tmpfs.Mounted()) fillUp();
    const HostRun plugin = Host(data, kPluginSession);
    ExpectEverySaveReported(plugin);
    if (tmpfs.Mounted()) fillUp();
    const HostRun host = Host(data, kHostSession);
    EXPECT_EQ(host.exit, 1);
    EXPECT_NE(host.err.find("cannot save the host settings: cannot write"), std::string::npos) << host.err;
    // The other engine's folder, which the host makes at its start, cannot be
    // made either: the host says so rather than run with no engine.
    if (tmpfs.Mounted()) fillUp();
    const HostRun loopback = Host(data, "run\n", "", "--engine loopback");
    EXPECT_EQ(loopback.exit, 4) << loopback.out;
    EXPECT_NE(loopback.err.find("pavo-host: cannot prepare the engine folder "), std::string::npos) << loopback.err;
    // A window state that could not be written is deleted, as a damaged one is.
    ExpectOldOrNew(data, {kWindowState});
    EXPECT_FALSE(fs::exists(data / kWindowState));
    EXPECT_TRUE(Unchanged(data, kReceived + "/a.txt"));
    EXPECT_FALSE(fs::exists(data / kReceived / "b.txt"));

    // With room again, everything works as before.
    fs::remove(mount / "filler");
    noFileGrowth = false;
    EXPECT_EQ(Host(data, kPluginSession).exit, 0);
    EXPECT_EQ(Host(data, kHostSession).exit, 0);
    ExpectOldOrNew(data);
    EXPECT_EQ(ReadAll(data / kReceived / "a.txt"), "line two\r\n\r\n");
}

TEST_F(DiskFaults, ReadOnlyFilesAreLeftAlone) {
    const fs::path data = dir / "data";
    ASSERT_NO_FATAL_FAILURE(Prepare(data));
    for (const auto& [name, bytes] : before) SetWritable(data / name, false);
    ExpectEverySaveReported(Host(data, kPluginSession));
    const HostRun host = Host(data, kHostSession);
    EXPECT_EQ(host.exit, 1);
    EXPECT_NE(host.err.find("cannot save the host settings: cannot write"), std::string::npos) << host.err;
    ExpectOldOrNew(data, {kWindowState});
    for (const auto& [name, bytes] : before)
        if (name != kWindowState) {
            EXPECT_TRUE(Unchanged(data, name)) << name;
        }
    // The window state that could not be written is deleted; a new received file is saved beside the old one.
    EXPECT_FALSE(fs::exists(data / kWindowState));
    EXPECT_EQ(ReadAll(data / kReceived / "b.txt"), "new file\r\n\r\n");
}

TEST_F(DiskFaults, ReadOnlyFoldersAreReportedAndKeepTheirFiles) {
    const fs::path data = dir / "data";
    ASSERT_NO_FATAL_FAILURE(Prepare(data));
    // Root ignores the permission bits: the host then runs as nobody, or,
    // where nobody cannot reach the build, the folders are mounted read-only.
    std::string user = AsOrdinaryUser(data);
    const bool mounts = !user.empty() && Shell(user + " " + kHost + " --version").exit != 0;
    if (mounts) user.clear();
    std::cout << "read-only folders: "
              << (mounts ? "read-only bind mounts" : user.empty() ? "permission bits" : "permission bits, host run as nobody")
              << "\n";
    std::vector<std::unique_ptr<TReadOnlyMount>> readOnly;
    auto protect = [&](const fs::path& top, bool below) {
        if (mounts) {
            readOnly.push_back(std::make_unique<TReadOnlyMount>(top));
            return readOnly.back()->Mounted();
        }
        SetWritable(top, false);
        if (below) {
            for (const auto& e : fs::recursive_directory_iterator(top))
                if (e.is_directory()) SetWritable(e.path(), false);
        }
        return true;
    };
    auto unprotect = [&](const fs::path& top) {
        readOnly.clear();
        SetWritable(top, true);
        for (const auto& e : fs::recursive_directory_iterator(top))
            if (e.is_directory()) SetWritable(e.path(), true);
    };

    // Nothing can be written: the host says so and stops before the plug-in.
    if (!protect(data, true)) GTEST_SKIP() << "no read-only mount: " << std::strerror(errno);
    HostRun r = Host(data, kPluginSession, user);
    EXPECT_EQ(r.exit, 4);
    EXPECT_NE(r.err.find("pavo-host: cannot use the data folder " + data.string() + ": cannot write in "),
              std::string::npos)
        << r.err;
    ExpectOldOrNew(data);
    for (const auto& [name, bytes] : before) EXPECT_TRUE(Unchanged(data, name)) << name;

    // Only the plug-in's folders: the host and its log work, the plug-in's saves
    // fail, and the window state it could neither write nor delete stays.
    unprotect(data);
    ASSERT_TRUE(protect(data / kPluginFolder, true));
    r = Host(data, kPluginSession, user);
    EXPECT_EQ(r.exit, 1) << r.err;
    EXPECT_NE(r.out.find("host: the plug-in's data folder cannot be used, so it keeps no settings: cannot write in"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"Не удалось сохранить конфигурацию.\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Не удалось сохранить список фильтров:\\r\\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("log: contact 2 saved"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(": the macro editor cannot save: cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(Host(data, kHostSession, user).exit, 0);
    ExpectOldOrNew(data);
    for (const auto& [name, bytes] : before)
        if (name.starts_with(kPluginFolder)) {
            EXPECT_TRUE(Unchanged(data, name)) << name;
        }
    EXPECT_EQ(ReadAll(data / kProfile / "log.adi"), sound[std::string(kProfile) + "/log.adi"]);
}

// A station sends a text file into a WAV file; the receiving host hears it
// through a FIFO, so the test knows the transfer is under way when it removes
// a folder.
class FolderGoneDuringARun : public DiskFaults {
protected:
    HostRun ReceiveWhileRemoving(const fs::path& data, const fs::path& folder) {
        std::ofstream(dir / "r.txt") << "the file\n";
        HostRun sender = Host(dir / "sender",
                              "run\nselect mnuModes BPSK\nselect mnuSpeed 31.25\nanswer file r.txt\n"
                              "click \"Передать текстовый файл\"\nwait idle\n",
                              "", "--audio-out '" + (dir / "air.wav").string() + "'");
        EXPECT_EQ(sender.exit, 0) << sender.err;
        const std::string air = ReadAll(dir / "air.wav");
        const fs::path fifo = dir / "air.fifo";
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        // A host that ends early closes its end: the feeder hears it as an error, not a signal.
        const auto oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
        std::atomic<bool> hostEnded = false;
        std::thread feeder([&] {
            int fd = -1;
            // Waits for the host to open it, unless it ended without.
            while (fd < 0 && !hostEnded) {
                fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            if (fd < 0) return;
            ::fcntl(fd, F_SETFL, 0);
            auto feed = [fd](std::string_view bytes) {
                while (!bytes.empty()) {
                    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
                    if (n <= 0) return;
                    bytes.remove_prefix(static_cast<std::size_t>(n));
                }
            };
            // Half the signal is past the start of the file and well before its end.
            feed(std::string_view(air).substr(0, air.size() / 2));
            fs::remove_all(folder);
            feed(std::string_view(air).substr(air.size() / 2));
            ::close(fd);
        });
        HostRun r = Host(data, "run\nselect mnuModes BPSK\nselect mnuSpeed 31.25\nwait 40s\nshow RichEdit1\n", "",
                         "--audio-in '" + fifo.string() + "'");
        hostEnded = true;
        feeder.join();
        std::signal(SIGPIPE, oldPipeHandler);
        fs::remove(fifo);
        return r;
    }
};

TEST_F(FolderGoneDuringARun, AReceivedFileWithoutItsFolderIsDiscardedAndNothingElseIsLost) {
    const fs::path data = dir / "data";
    ASSERT_NO_FATAL_FAILURE(Prepare(data));
    HostRun r = ReceiveWhileRemoving(data, data / kReceived);
    EXPECT_EQ(r.exit, 0) << r.err << r.out;
    EXPECT_NE(r.out.find("!ZQHWBENS"), std::string::npos) << r.out;  // the whole frame was heard
    EXPECT_FALSE(fs::exists(data / kReceived)) << "the plug-in makes no folder";
    ExpectOldOrNew(data, {kReceived + "/a.txt"});
    for (const auto& [name, bytes] : before)
        if (!name.starts_with(kReceived) && name != kWindowState) {
            EXPECT_TRUE(Unchanged(data, name)) << name;
        }
    EXPECT_TRUE(fs::exists(data / kWindowState));

    // Its whole data folder: the window state is not written anywhere, and the host's files stay.
    r = ReceiveWhileRemoving(data, data / kPluginFolder);
    EXPECT_EQ(r.exit, 0) << r.err << r.out;
    EXPECT_NE(r.out.find("!ZQHWBENS"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(data / kPluginFolder));
    std::set<std::string> removed;
    for (const auto& [name, bytes] : before)
        if (name.starts_with(kPluginFolder)) removed.insert(name);
    ExpectOldOrNew(data, removed);
    for (const auto& [name, bytes] : before)
        if (name.starts_with(kProfile)) {
            EXPECT_TRUE(Unchanged(data, name)) << name;
        }
}

TEST_F(DiskFaults, ADataFolderWithCyrillicLettersAndSpacesHoldsAWholeContact) {
    const fs::path data = dir / "Данные радиолюбителя" / "мой журнал";
    const HostRun r = Shell("cd '" QUORVEL_SOURCE_DIR "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                            kHost + " --headless --data '" + data.string() +
                            "' --script examples/psk31-contact.script");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_FALSE(HasSanitizerReport(r.err)) << r.err;
    std::string transcript = r.out;
    for (std::size_t at; (at = transcript.find(data.string())) != std::string::npos;)
        transcript.replace(at, data.string().size(), "$DATA");
    for (std::size_t at; (at = transcript.find(QUORVEL_BIN_DIR)) != std::string::npos;)
        transcript.replace(at, std::string(QUORVEL_BIN_DIR).size(), "$BIN");
    EXPECT_EQ(transcript, ReadAll(QUORVEL_SOURCE_DIR "/examples/psk31-contact.transcript"));
    EXPECT_EQ(ReadAll(data / kProfile / "log.adi"), ReadAll(QUORVEL_SOURCE_DIR "/examples/psk31-contact.adi"));
    for (const char* file : {"configuration.xml", "mainform.config.xml", "macroses.config.xml"})
        EXPECT_TRUE(fs::is_regular_file(data / kPluginFolder / file)) << file;
    EXPECT_NE(ReadAll(data / kProfile / "configuration.xml").find("R3ABC"), std::string::npos);

    // Letters the plug-in's code page has not: the host says the plug-in keeps nothing there.
    const HostRun greek = Host(dir / "λόγος 日本", "answer wizard finish\nrun\n");
    EXPECT_EQ(greek.exit, 0) << greek.err;
    EXPECT_NE(greek.out.find(" has letters outside Windows-1251, which the plug-in cannot use, so it keeps no settings"),
              std::string::npos)
        << greek.out;
    EXPECT_NE(greek.out.find("\"Не удалось сохранить конфигурацию.\""), std::string::npos) << greek.out;
}

}  // namespace
}  // namespace pavohost
