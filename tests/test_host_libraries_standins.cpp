// The reference host's own support libraries, loaded from beside the host as
// the plug-in loads them: character tables, profile store, data folder, the
// received-file-name rule, help viewer and pictures.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "LinuxLibraries.h"
#include "SimPlatform.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "pavo/hostlibs.h"
#include "plugin/HostLibraries.h"
#include "ui/Application.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

class StandIns : public ::testing::Test {
protected:
    StandIns() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("quorvel-" + std::to_string(::getpid()) + "-StandIns-" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // Host-side settings live while the library is loaded: hold them as the host does.
        sharepm_ = loader.Load(kSharePm);
        kvtfsys_ = loader.Load(kKvtFSys);
        kvthelpsys_ = loader.Load(kKvtHelpSys);
        if (sharepm_) setProfile = reinterpret_cast<smSetProfileFn>(sharepm_->Symbol("smSetProfile"));
        if (kvtfsys_) setAppData = reinterpret_cast<fsSetAppDataPathFn>(kvtfsys_->Symbol("fsSetAppDataPath"));
        if (kvthelpsys_) setViewer = reinterpret_cast<hsSetViewerFn>(kvthelpsys_->Symbol("hsSetViewer"));
        const char* xdg = std::getenv("XDG_DATA_HOME");
        if (xdg != nullptr) savedXdg_ = xdg;
    }
    ~StandIns() override {
        if (setProfile) setProfile(nullptr, nullptr);
        if (setAppData) setAppData(nullptr);
        if (setViewer) setViewer(nullptr);
        if (savedXdg_) setenv("XDG_DATA_HOME", savedXdg_->c_str(), 1);
        else unsetenv("XDG_DATA_HOME");
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void SetUp() override {
        ASSERT_TRUE(sharepm_ && kvtfsys_ && kvthelpsys_) << "stand-ins missing beside the test binary";
        ASSERT_TRUE(setProfile && setAppData && setViewer);
    }
    std::string Dir() const { return dir_.string(); }

    linux_platform::TLinuxLibraryLoader loader;
    smSetProfileFn setProfile = nullptr;
    fsSetAppDataPathFn setAppData = nullptr;
    hsSetViewerFn setViewer = nullptr;

private:
    fs::path dir_;
    std::unique_ptr<ILibrary> sharepm_, kvtfsys_, kvthelpsys_;
    std::optional<std::string> savedXdg_;
};

// ---- kvtlibb ---------------------------------------------------------------

TEST_F(StandIns, RussianLettersBecomeOneLatinCharacterEach) {
    THostLinkedLibraries linked(&loader);
    ASSERT_TRUE(linked.Loaded());
    auto translit = [&](const std::string& utf8) {
        std::string out;
        for (char c : Ru(utf8)) out += linked.lbReplaceChar(c);
        return out;
    };
    EXPECT_EQ(translit("Привет, мир! 73"), "Priwet, mir! 73");
    EXPECT_EQ(translit("ЖЁЛТЫЙ ЧАЙ ЩИ ЭХО ЮЛЯ"), "VELTYJ 4AJ 6I EHO ULQ");
    EXPECT_EQ(translit("съешь"), "sxe6x");
    EXPECT_EQ(translit("CQ DE UA3ABC"), "CQ DE UA3ABC");
    // Every Cyrillic letter gets a plain ASCII letter or digit, upper for upper.
    for (int code = 0xC0; code <= 0xFF; ++code) {
        const char out = linked.lbReplaceChar(static_cast<char>(code));
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(out)) && static_cast<unsigned char>(out) < 0x80) << code;
        if (std::isalpha(static_cast<unsigned char>(out))) {
            EXPECT_EQ(std::isupper(static_cast<unsigned char>(out)) != 0, code < 0xE0) << code;
        }
    }
    // Other signs of the code page stay what they are.
    EXPECT_EQ(linked.lbReplaceChar('\xB9'), '\xB9');  // №
}

TEST_F(StandIns, ReportFieldsTakeDigitsAndEditingKeysOnly) {
    THostLinkedLibraries linked(&loader);
    for (char c : std::string("0123456789")) EXPECT_EQ(linked.lbReplaceIntegerChar(c), c);
    for (char c : {'\b', '\x16', '\x03', '\r'}) EXPECT_EQ(linked.lbReplaceIntegerChar(c), c);
    for (char c : std::string("aZ -+.,\xE0\xC0\xFF")) EXPECT_EQ(linked.lbReplaceIntegerChar(c), '\0') << int(c);
}

// ---- sharepm ---------------------------------------------------------------

TEST_F(StandIns, TheHostsCurrentProfileReachesThePlugin) {
    THostLinkedLibraries linked(&loader);
    EXPECT_FALSE(linked.smGetProfile());
    ASSERT_NE(setProfile(Ru("Полевой день").c_str(), "\\Profiles\\Field"), 0);
    auto profile = linked.smGetProfile();
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->Name, Ru("Полевой день"));
    EXPECT_EQ(profile->Path, "\\Profiles\\Field");
    EXPECT_NE(setProfile("Root", ""), 0);
    EXPECT_EQ(linked.smGetProfile()->Path, "");
    setProfile(nullptr, nullptr);
    EXPECT_FALSE(linked.smGetProfile());
}

TEST_F(StandIns, TheProfileStoreRefusesPathsThatLeaveTheDataFolder) {
    THostLinkedLibraries linked(&loader);
    ASSERT_NE(setProfile("Home", "/Profiles/Home"), 0);
    for (const char* path : {"..", "\\..", "/a/../../b", "\\Profiles\\..", "C:\\x", "Profiles\\Home", "/a:b"})
        EXPECT_EQ(setProfile("Evil", path), 0) << path;
    EXPECT_EQ(setProfile(std::string(256, 'n').c_str(), "/p"), 0);
    EXPECT_EQ(setProfile("n", ("/" + std::string(260, 'p')).c_str()), 0);
    EXPECT_NE(setProfile(std::string(255, 'n').c_str(), ("/" + std::string(259, 'p')).c_str()), 0);
    const auto profile = linked.smGetProfile();
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->Name.size(), 255u);
    EXPECT_EQ(profile->Path.size(), 260u);
}

// ---- kvtfsys ---------------------------------------------------------------

TEST_F(StandIns, AppDataFolderIsTheHostsChoiceElseTheXdgDataHome) {
    setenv("XDG_DATA_HOME", (Dir() + "/xdg/").c_str(), 1);
    EXPECT_EQ(fsGetAppDataPath(&loader, 0), Dir() + "/xdg");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        EXPECT_EQ(fsGetAppDataPath(&loader, 0), std::string(home) + "/.local/share");
    }
    setAppData(Ru("/srv/данные").c_str());
    EXPECT_EQ(fsGetAppDataPath(&loader, 0), Ru("/srv/данные"));
    setAppData("");
    // A folder the code page cannot name, or one too long for the buffer, is none.
    setenv("XDG_DATA_HOME", (Dir() + "/\xE6\x95\xB0\xE6\x8D\xAE").c_str(), 1);
    EXPECT_EQ(fsGetAppDataPath(&loader, 0), "");
    setenv("XDG_DATA_HOME", ("/" + std::string(300, 'x')).c_str(), 1);
    EXPECT_EQ(fsGetAppDataPath(&loader, 0), "");
    setenv("XDG_DATA_HOME", (Dir() + "/\xD0\xB4\xD0\xB0").c_str(), 1);  // "да" in UTF-8
    EXPECT_EQ(fsGetAppDataPath(&loader, 0), Dir() + "/" + Ru("да"));
}

bool HasControl(const std::string& s) {
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || u == 0x98) return true;
    }
    return false;
}

std::size_t NativeBytes(const std::string& cp1251) { return Cp1251ToUtf8(cp1251).size(); }

TEST_F(StandIns, ReceivedFileNamesAlwaysStayInTheTargetFolder) {
    const std::string target = JoinPath(Dir(), "RcFiles");
    const std::vector<std::string> hostile = {
        "../../etc/passwd",
        "..\\..\\Windows\\System32\\drivers\\etc\\hosts",
        "/etc/shadow",
        "\\\\server\\share\\evil.exe",
        "C:\\autoexec.bat",
        "C:evil.txt",
        "..",
        ".",
        "...",
        "",
        " ",
        "/",
        "\\",
        "a/../../b",
        "dir/",
        "dir\\",
        ".bashrc",
        "name.txt.",
        "name.txt   ",
        "CON",
        "con.txt",
        "Nul",
        "nul .txt",
        "AUX.tar.gz",
        "COM1",
        "lpt9.log",
        "CONIN$",
        "report\x01\x02\x1f\x7f.txt",
        "\r\n",
        "tab\there.txt",
        "<>:\"|?*.txt",
        "file.txt:stream",
        "\x98\x98",
        std::string(300, 'a'),
        std::string(300, 'a') + ".txt",
        std::string(300, '\xE6'),
        std::string(290, '.') + "/x",
        "../" + std::string(300, 'b') + "/../../c.txt",
        std::string(280, '/'),
        "~/.ssh/authorized_keys",
        "$(reboot).txt",
        "-rf",
    };
    for (const std::string& given : hostile) {
        SCOPED_TRACE(Cp1251ToUtf8(given.substr(0, 60)));
        const std::string name = fsUnsolvedFileName(&loader, given);
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(name.find_first_of("/\\<>:\"|?*"), std::string::npos) << name;
        EXPECT_FALSE(HasControl(name));
        EXPECT_NE(name.front(), '.');
        EXPECT_NE(name.back(), '.');
        EXPECT_NE(name.back(), ' ');
        EXPECT_LE(NativeBytes(name), 200u);

        // And it really lands there: created, found as the one entry, inside.
        fs::remove_all(NativePath(target));
        fs::create_directories(NativePath(target));
        const fs::path file = NativePath(JoinPath(target, name));
        { std::ofstream(file, std::ios::binary) << "73"; }
        ASSERT_TRUE(fs::is_regular_file(file)) << Cp1251ToUtf8(name);
        EXPECT_EQ(fs::canonical(file).parent_path(), fs::canonical(NativePath(target)));
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(NativePath(target))) ++entries;
        EXPECT_EQ(entries, 1u);
    }
}

TEST_F(StandIns, ReceivedFileNamesKeepWhatIsHarmless) {
    EXPECT_EQ(fsUnsolvedFileName(&loader, "qso-log.txt"), "qso-log.txt");
    EXPECT_EQ(fsUnsolvedFileName(&loader, Ru("Отчёт о связи.txt")), Ru("Отчёт о связи.txt"));
    EXPECT_EQ(fsUnsolvedFileName(&loader, "../../etc/passwd"), "passwd");
    EXPECT_EQ(fsUnsolvedFileName(&loader, "C:\\Users\\op\\beacon.txt"), "beacon.txt");
    EXPECT_EQ(fsUnsolvedFileName(&loader, "CON"), "_CON");
    EXPECT_EQ(fsUnsolvedFileName(&loader, "con.txt"), "_con.txt");
    EXPECT_EQ(fsUnsolvedFileName(&loader, "COM10"), "COM10");
    EXPECT_EQ(fsUnsolvedFileName(&loader, "a<b>.txt"), "a_b_.txt");
    EXPECT_EQ(fsUnsolvedFileName(&loader, ".."), "file");
    EXPECT_EQ(fsUnsolvedFileName(&loader, ""), "file");
    EXPECT_EQ(fsUnsolvedFileName(&loader, ".profile"), "profile");
    const std::string longName = fsUnsolvedFileName(&loader, std::string(300, 'a') + ".txt");
    EXPECT_EQ(longName, std::string(196, 'a') + ".txt");
    const std::string russian = fsUnsolvedFileName(&loader, std::string(250, '\xE0') + ".txt");
    EXPECT_EQ(russian, std::string(98, '\xE0') + ".txt");  // two bytes each on disk
}

// ---- kvthelpsys ------------------------------------------------------------

TEST_F(StandIns, HelpOpensThePageInTheViewerWithoutWaiting) {
    const std::string viewer = JoinPath(Dir(), "viewer.sh");
    const std::string seen = JoinPath(Dir(), "seen.txt");
    {
        std::ofstream script(viewer);
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << seen << ".tmp' && mv '" << seen << ".tmp' '" << seen << "'\n";
    }
    fs::permissions(viewer, fs::perms::owner_all);
    setViewer(viewer.c_str());

    sim::TSimProcess process;
    process.Executable = JoinPath(Dir(), "Tarvik/host.exe");
    process.Modules["Quorvel.kpl"] = JoinPath(Dir(), "Tarvik/Plugins/Quorvel/Quorvel.kpl");
    fs::create_directories(JoinPath(Dir(), "Tarvik/Help"));
    fs::create_directories(JoinPath(Dir(), "Tarvik/Plugins/Quorvel"));
    std::ofstream(JoinPath(Dir(), "Tarvik/Help/Id.dat")) << "ID\n";
    // A page name the shell must not read as commands.
    std::ofstream(JoinPath(Dir(), "Tarvik/Plugins/Quorvel/Quorvel.htm")) << "<html></html>";
    TPlatform platform;
    platform.Libraries = &loader;
    platform.Process = &process;
    TApplication app(platform);
    ShowHelp(app, "Quorvel");

    for (int i = 0; i < 500 && !fs::exists(seen); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(seen);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), JoinPath(Dir(), "Tarvik/Plugins/Quorvel/Quorvel.htm"));
}

TEST_F(StandIns, HelpWithoutAPageOrViewerOpensNothing) {
    auto show = reinterpret_cast<hsShowHelpFn>(loader.Load(kKvtHelpSys)->Symbol("hsShowHelp"));
    ASSERT_NE(show, nullptr);
    setViewer("");
    EXPECT_EQ(show("ID", Dir().c_str(), (Dir() + "/index.htm").c_str()), 0);
    setViewer("/bin/true");
    EXPECT_EQ(show("ID", Dir().c_str(), (Dir() + "/missing.htm").c_str()), 0);
    EXPECT_EQ(show("ID", Dir().c_str(), ""), 0);
    std::ofstream(Dir() + "/index.htm") << "<html></html>";
    EXPECT_EQ(show("ID", Dir().c_str(), (Dir() + "/missing.htm").c_str()), 1);  // the help system's start page
}

// ---- editors, res ----------------------------------------------------------

TEST_F(StandIns, TheMacroEditorReportsNoChange) {
    // The operator's text editor closes the list untouched.
    ::setenv("VISUAL", "true", 1);
    sim::TSimPlatform sim;
    TPlatform platform = sim.Ports();
    platform.Libraries = &loader;
    TApplication app(platform);
    int rebuilds = 0;
    EXPECT_FALSE(ShowMacrosesEditor(app, 0, Dir(), [&] { ++rebuilds; }));
    EXPECT_EQ(rebuilds, 0);
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
    ::unsetenv("VISUAL");
}

std::uint32_t U32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

TEST_F(StandIns, ResourceLibraryHoldsTheSetupPictures) {
    THostResources res(&loader);
    ASSERT_TRUE(res.Loaded());
    const auto bmp = res.Bitmap("#102");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(U32(bmp, 2), bmp.size());
    const std::uint32_t w = U32(bmp, 18), h = U32(bmp, 22);
    EXPECT_GT(w, 0u);
    EXPECT_GT(h, w);  // a tall picture for the side of the wizard
    EXPECT_EQ(U32(bmp, 10) + ((w * 3 + 3) & ~3u) * h, bmp.size());

    const auto ico = res.Icon("#102");
    ASSERT_GT(ico.size(), 22u + 40u);
    EXPECT_EQ(ico[2], 1);  // icon
    EXPECT_EQ(ico[4], 1);  // one picture
    EXPECT_EQ(ico[6], 48);
    EXPECT_EQ(ico[7], 48);
    EXPECT_EQ(22u + U32(ico, 14), ico.size());
    EXPECT_EQ(U32(ico, 18), 22u);

    EXPECT_TRUE(res.Bitmap("#101").empty());
    EXPECT_TRUE(res.Icon("").empty());
}

}  // namespace
}  // namespace quorvel::testing
