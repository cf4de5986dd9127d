// The host's support libraries as the plug-in calls them: load discipline
// (once, per call, freed on every path) and every failure the host's
// installation can present, on the sim loader.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "PluginFixture.h"
#include "base/CodePage.h"
#include "plugin/HostLibraries.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("quorvel-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::string str() const { return path_.string(); }

private:
    fs::path path_;
};

void WriteFile(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

template <class F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const EkvtAPI& e) {
        return e.what();
    }
    return "(no EkvtAPI)";
}

const std::string kOldVersionKvtfsys = Ru(
    "Неверная версия библиотеки \"Zentavo API\" (DLL: kvtfsys.dll)\r\n"
    "Возможно на вашем компьютере установлена старая версия\r\n"
    "библиотеки \"Zentavo API\". Обновите её.");

// Records what the plug-in had done when the host library was called.
struct OrderProbe {
    static int16_t PAVO_CALL AppData(PavoHandle, char* buffer) {
        buffer[0] = '\0';
        resLoadsSeen = loader->LoadCount("res.dll");
        return 0;
    }
    static inline int resLoadsSeen = -1;
    static inline sim::TSimLibraryLoader* loader = nullptr;
};

struct ModalProbe {
    static int16_t PAVO_CALL Edit(PavoHandle, const char*, const char*, const char*, int32_t a, int32_t b) {
        level = app->ModalLevel;
        zeros = a == 0 && b == 0;
        return 0;
    }
    static inline TApplication* app = nullptr;
    static inline int level = -1;
    static inline bool zeros = false;
};

class HostLibraries : public PluginFixture {
protected:
    // Rebuilds the library after the test changed what is installed.
    void Reload() {
        library.reset();
        library = std::make_unique<TPluginLibrary>(sim.Ports());
    }
    TApplication& App() { return library->Application; }
};

// ---- load-time libraries --------------------------------------------------

int16_t PAVO_CALL UnterminatedProfile(char* name, char* path) {
    std::memset(name, 'N', PAVO_PROFILE_NAME_SIZE);
    std::memset(path, 'P', PAVO_PATH_SIZE);
    return 1;
}

TEST_F(HostLibraries, LinkedAndResourceLibrariesLoadOnceAndStayUntilUnload) {
    EXPECT_TRUE(library->Loaded());
    EXPECT_EQ(library->ReportedVersion(), 61);
    EXPECT_EQ(sim.Libraries.LoadCount("kvtlibb.dll"), 1);
    EXPECT_EQ(sim.Libraries.LoadCount("sharepm.dll"), 1);
    EXPECT_EQ(sim.Libraries.LoadCount("res.dll"), 1);
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(library->HostLibraries.lbReplaceChar('\xE0'), 'a');
        EXPECT_EQ(library->HostLibraries.lbReplaceIntegerChar('x'), '\0');
        EXPECT_EQ(library->HostLibraries.lbReplaceIntegerChar('5'), '5');
    }
    EXPECT_EQ(library->HostResources.Bitmap("#102").size(), 4u);
    EXPECT_EQ(sim.Libraries.LoadCount("kvtlibb.dll"), 1);
    EXPECT_EQ(sim.Libraries.LoadCount("res.dll"), 1);

    library.reset();
    EXPECT_EQ(sim.Libraries.OpenCount(), 0);
}

TEST_F(HostLibraries, HostConfigurationIsReadBeforeTheResourceLibraryLoads) {
    OrderProbe::loader = &sim.Libraries;
    FakeLibs().profileCurrent = true;
    sim.Libraries.Register("kvtfsys.dll", {{"fsGetAppDataPath", fake::Symbol(&OrderProbe::AppData)},
                                           {"fsUnsolvedFileName", fake::Symbol(&fake::UnsolvedFileName)}});
    const int before = sim.Libraries.LoadCount("res.dll");
    Reload();
    EXPECT_EQ(OrderProbe::resLoadsSeen, before);
    EXPECT_EQ(sim.Libraries.LoadCount("res.dll"), before + 1);
}

TEST_F(HostLibraries, AMissingLinkedLibraryMakesThePluginRefuseTheHost) {
    for (const char* missing : {"kvtlibb.dll", "sharepm.dll"}) {
        SCOPED_TRACE(missing);
        RegisterHostLibraries(sim.Libraries);
        sim.Libraries.Unregister(missing);
        FakeLibs().profileCurrent = true;
        const int kvtfsysLoads = sim.Libraries.LoadCount("kvtfsys.dll");
        const int resLoads = sim.Libraries.LoadCount("res.dll");
        Reload();
        EXPECT_FALSE(library->Loaded());
        EXPECT_EQ(library->ReportedVersion(), 0);
        EXPECT_EQ(library->Run(&host.session, 1), 0u);
        EXPECT_EQ(library->MainForm, nullptr);
        EXPECT_EQ(host.application.mainWindowCalls, 0);
        EXPECT_EQ(library->SendNotify(1, 26), 0);
        library->ShowOptionsDialog(0, "/tmp");
        EXPECT_TRUE(sim.Dialogs.Modals.empty());
        library->Release();
        // No initialiser ran: no host settings read, no resources.
        EXPECT_EQ(sim.Libraries.LoadCount("kvtfsys.dll"), kvtfsysLoads);
        EXPECT_EQ(sim.Libraries.LoadCount("res.dll"), resLoads);
        EXPECT_TRUE(sim.Dialogs.Messages.empty());
    }
}

TEST_F(HostLibraries, AMissingLinkedFunctionCountsAsAMissingLibrary) {
    sim.Libraries.Register("kvtlibb.dll", {{"lbReplaceChar", fake::Symbol(&fake::ReplaceChar)}});
    Reload();
    EXPECT_FALSE(library->Loaded());
    EXPECT_EQ(library->Run(&host.session, 1), 0u);
    // What is there still behaves: a key with no filter stays itself.
    EXPECT_EQ(library->HostLibraries.lbReplaceIntegerChar('x'), 'x');
}

TEST_F(HostLibraries, MissingResourceLibraryLeavesThePicturesEmptySilently) {
    sim.Libraries.Unregister("res.dll");
    Reload();
    EXPECT_TRUE(library->Loaded());
    EXPECT_FALSE(library->HostResources.Loaded());
    EXPECT_TRUE(library->HostResources.Bitmap("#102").empty());
    EXPECT_TRUE(library->HostResources.Icon("#102").empty());
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
    // A res library without the lookup (another host's) gives nothing either.
    sim.Libraries.Register("res.dll", {});
    Reload();
    EXPECT_TRUE(library->HostResources.Loaded());
    EXPECT_TRUE(library->HostResources.Bitmap("#102").empty());
    EXPECT_TRUE(library->HostResources.Icon("#7").empty());
}

TEST_F(HostLibraries, ProfileBuffersAreReadOnlyUpToTheirSize) {
    sim.Libraries.Register("sharepm.dll", {{"smGetProfile", fake::Symbol(&UnterminatedProfile)}});
    THostLinkedLibraries linked(&sim.Libraries);
    const auto profile = linked.smGetProfile();
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->Name, std::string(PAVO_PROFILE_NAME_SIZE, 'N'));
    EXPECT_EQ(profile->Path, std::string(PAVO_PATH_SIZE, 'P'));
}

// ---- kvtfsys --------------------------------------------------------------

TEST_F(HostLibraries, AppDataFolderIsLoadedForEachCallAndFreed) {
    EXPECT_EQ(fsGetAppDataPath(&sim.Libraries, 0), "/home/op/.local/share");
    EXPECT_EQ(fsGetAppDataPath(&sim.Libraries, 0), "/home/op/.local/share");
    EXPECT_EQ(sim.Libraries.LoadCount("kvtfsys.dll"), 2);
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);  // only the three kept for the session

    FakeLibs().appDataResult = 0;  // whatever is in the buffer does not count
    EXPECT_EQ(fsGetAppDataPath(&sim.Libraries, 0), "");
}

TEST_F(HostLibraries, KvtfsysFailuresRaiseTheirTextsAndLeaveNothingLoaded) {
    sim.Libraries.Unregister("kvtfsys.dll");
    EXPECT_EQ(ErrorOf([&] { fsGetAppDataPath(&sim.Libraries, 0); }),
              Ru("Не удалось загрузить библиотеку kvtfsys.dll"));
    EXPECT_EQ(ErrorOf([&] { fsUnsolvedFileName(&sim.Libraries, "a.txt"); }),
              Ru("Не удалось загрузить библиотеку kvtfsys.dll"));
    EXPECT_EQ(ErrorOf([&] { fsGetAppDataPath(nullptr, 0); }), Ru("Не удалось загрузить библиотеку kvtfsys.dll"));

    sim.Libraries.Register("kvtfsys.dll", {{"fsUnsolvedFileName", fake::Symbol(&fake::UnsolvedFileName)}});
    EXPECT_EQ(ErrorOf([&] { fsGetAppDataPath(&sim.Libraries, 0); }), kOldVersionKvtfsys);
    sim.Libraries.Register("kvtfsys.dll", {{"fsGetAppDataPath", fake::Symbol(&fake::GetAppDataPath)}});
    EXPECT_EQ(ErrorOf([&] { fsUnsolvedFileName(&sim.Libraries, "a.txt"); }), kOldVersionKvtfsys);
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);
}

TEST_F(HostLibraries, ReceivedNamesReachTheLibraryWithinItsBuffer) {
    EXPECT_EQ(fsUnsolvedFileName(&sim.Libraries, "qso.txt"), "qso.txt");
    // A long name keeps its end (the file name and extension), not its folders.
    const std::string folders(9990, 'd');
    const std::string longName = folders + "/last.txt";
    const std::string passed = fsUnsolvedFileName(&sim.Libraries, longName);
    EXPECT_EQ(passed.size(), 260u);
    EXPECT_EQ(passed.substr(passed.size() - 9), "_last.txt");
    EXPECT_EQ(passed.find('/'), std::string::npos);
    // The name ends at a NUL, as the C string the library reads does.
    EXPECT_EQ(fsUnsolvedFileName(&sim.Libraries, std::string("ok.txt\0../../x", 14)), "ok.txt");
}

TEST_F(HostLibraries, AHostLibraryThatLetsFolderPartsThroughIsOverruled) {
    for (const char* hostile : {"../../etc/passwd", "..\\..\\boot.ini", "C:evil", "..", ".", "a\x01\x1f"}) {
        SCOPED_TRACE(hostile);
        FakeLibs().unsolvedResult = hostile;
        const std::string name = fsUnsolvedFileName(&sim.Libraries, "x");
        EXPECT_EQ(name.find_first_of("/\\:\x01\x1f"), std::string::npos) << name;
        EXPECT_NE(name, ".");
        EXPECT_NE(name, "..");
        EXPECT_FALSE(name.empty());
    }
}

// ---- help -----------------------------------------------------------------

class HelpPages : public HostLibraries {
protected:
    HelpPages() {
        sim.Process.Executable = dir / "Tarvik/host.exe";
        sim.Process.Modules["Quorvel.kpl"] = dir / "Tarvik/Plugins/Quorvel/Quorvel.kpl";
        WriteFile(dir / "Tarvik/Help/Id.dat", "TARVIK-HELP-7\r\nsecond line\r\n");
        App().Title = "Tarvik 2";
    }
    TempDir dir;
};

TEST_F(HelpPages, OpensThePageOfTheLoadedModuleWithTheHelpIndex) {
    ShowHelp(App(), "Quorvel");
    EXPECT_EQ(FakeLibs().helpCalls, 1);
    EXPECT_EQ(FakeLibs().helpId, "TARVIK-HELP-7");
    EXPECT_EQ(FakeLibs().helpFolder, dir / "Tarvik/Help");
    EXPECT_EQ(FakeLibs().helpPage, dir / "Tarvik/Plugins/Quorvel/Quorvel.htm");
    EXPECT_EQ(FakeLibs().titleCalls, 1);
    EXPECT_EQ(FakeLibs().title, "Tarvik 2");
    EXPECT_EQ(sim.Libraries.LoadCount("kvthelpsys.dll"), 1);
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);
}

TEST_F(HelpPages, DoesNothingWhenTheModuleIsNotLoadedUnderItsName) {
    sim.Process.Modules.clear();
    sim.Process.Modules["Quorvel2.kpl"] = dir / "Tarvik/Plugins/Quorvel/Quorvel2.kpl";
    ShowHelp(App(), "Quorvel");
    EXPECT_EQ(sim.Libraries.LoadCount("kvthelpsys.dll"), 0);
    EXPECT_EQ(FakeLibs().helpCalls, 0);
}

TEST_F(HelpPages, AMissingHelpFolderIsReportedBeforeAnythingLoads) {
    fs::remove_all(dir / "Tarvik/Help");
    EXPECT_EQ(ErrorOf([&] { ShowHelp(App(), "Quorvel"); }), Ru("Справочная система не установлена."));
    EXPECT_EQ(sim.Libraries.LoadCount("kvthelpsys.dll"), 0);
    // A file named Help is no help folder.
    WriteFile(dir / "Tarvik/Help", "");
    EXPECT_EQ(ErrorOf([&] { ShowHelp(App(), "Quorvel"); }), Ru("Справочная система не установлена."));
}

TEST_F(HelpPages, KvthelpsysFailuresRaiseTheirTexts) {
    sim.Libraries.Unregister("kvthelpsys.dll");
    EXPECT_EQ(ErrorOf([&] { ShowHelp(App(), "Quorvel"); }), Ru("Не удалось загрузить библиотеку kvthelpsys.dll"));
    sim.Libraries.Register("kvthelpsys.dll", {{"hsSetTitle", fake::Symbol(&fake::SetTitle)}});
    const std::string text = ErrorOf([&] { ShowHelp(App(), "Quorvel"); });
    EXPECT_NE(text.find(Ru("(DLL: kvthelpsys.dll)\r\n")), std::string::npos) << text;
    EXPECT_EQ(FakeLibs().titleCalls, 0);
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);
}

TEST_F(HelpPages, AMissingTitleFunctionIsSilent) {
    sim.Libraries.Register("kvthelpsys.dll", {{"hsShowHelp", fake::Symbol(&fake::ShowHelp)}});
    ShowHelp(App(), "Quorvel");
    EXPECT_EQ(FakeLibs().helpCalls, 1);
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
}

TEST_F(HelpPages, TheIndexFileIsReadUpToItsFirstLine) {
    WriteFile(dir / "Tarvik/Help/Id.dat", "");
    ShowHelp(App(), "Quorvel");
    EXPECT_EQ(FakeLibs().helpId, "");
    WriteFile(dir / "Tarvik/Help/Id.dat", "A1\nB2");
    ShowHelp(App(), "Quorvel");
    EXPECT_EQ(FakeLibs().helpId, "A1");
    WriteFile(dir / "Tarvik/Help/Id.dat", std::string(100000, 'x'));
    ShowHelp(App(), "Quorvel");
    EXPECT_EQ(FakeLibs().helpId.size(), 4096u);
}

TEST_F(HelpPages, AMissingIndexFileIsAFileErrorForTheCallerAndFreesTheLibrary) {
    fs::remove(dir / "Tarvik/Help/Id.dat");
    EXPECT_THROW(ShowHelp(App(), "Quorvel"), EInOutError);
    EXPECT_EQ(FakeLibs().helpCalls, 0);
    EXPECT_EQ(sim.Libraries.LoadCount("kvthelpsys.dll"), 1);
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);
}

// ---- macro editor ---------------------------------------------------------

class MacroEditor : public HostLibraries {
protected:
    MacroEditor() {
        sim.Process.Executable = "/opt/tarvik/host.exe";
        App().Title = "Tarvik";
    }
    int rebuilds = 0;
    std::function<void()> Rebuild() {
        return [this] { ++rebuilds; };
    }
};

TEST_F(MacroEditor, RunsTheEditorOnThePluginsMacroFile) {
    FakeLibs().editorResult = 1;
    EXPECT_TRUE(ShowMacrosesEditor(App(), 0x1234, "/data/Plugins Data", Rebuild()));
    EXPECT_EQ(FakeLibs().editorParent, 0x1234u);
    EXPECT_EQ(FakeLibs().editorTitle, "Tarvik");
    EXPECT_EQ(FakeLibs().editorFile, "/data/Plugins Data/Quorvel/macroses.config.xml");
    EXPECT_EQ(FakeLibs().editorHelp, "/opt/tarvik/Plugins/Quorvel/macros.htm");
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(App().ModalLevel, 0);
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);
}

TEST_F(MacroEditor, NoChangeLeavesTheToolbarsAlone) {
    FakeLibs().editorResult = 0;
    EXPECT_FALSE(ShowMacrosesEditor(App(), 1, "/data", Rebuild()));
    EXPECT_EQ(FakeLibs().editorCalls, 1);
    EXPECT_EQ(rebuilds, 0);
    // Only the low 16 bits carry the result.
    FakeLibs().editorResult = 0x10000;
    EXPECT_FALSE(ShowMacrosesEditor(App(), 1, "/data", Rebuild()));
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(MacroEditor, EditorRunsInsideTheModalState) {
    ModalProbe::app = &App();
    sim.Libraries.Register("editors.dll", {{"esShowMacrosesEditor", fake::Symbol(&ModalProbe::Edit)}});
    ShowMacrosesEditor(App(), 1, "/data", Rebuild());
    EXPECT_EQ(ModalProbe::level, 1);
    EXPECT_TRUE(ModalProbe::zeros);
}

TEST_F(MacroEditor, FailuresAreWarningsNotErrors) {
    sim.Libraries.Unregister("editors.dll");
    EXPECT_FALSE(ShowMacrosesEditor(App(), 1, "/data", Rebuild()));
    sim.Libraries.Register("editors.dll", {});
    EXPECT_FALSE(ShowMacrosesEditor(App(), 1, "/data", Rebuild()));
    ASSERT_EQ(sim.Dialogs.Messages.size(), 2u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Text, Ru("Не удалось загрузить библиотеку editors.dll."));
    EXPECT_EQ(sim.Dialogs.Messages[1].Text, Ru("Неверная версия библиотеки editors.dll."));
    for (const auto& m : sim.Dialogs.Messages) {
        EXPECT_EQ(m.Flags, MB_ICONWARNING | MB_TOPMOST);
        EXPECT_EQ(m.Caption, "Tarvik");
    }
    EXPECT_EQ(rebuilds, 0);
    EXPECT_EQ(App().ModalLevel, 0);
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);
}

// ---- the standard error box -----------------------------------------------

TEST_F(HostLibraries, UnhandledErrorsEndInTheStandardErrorBox) {
    App().Title = "Tarvik";
    library->ShowException(EkvtAPI(Ru("Не удалось загрузить библиотеку kvtfsys.dll")));
    library->ShowException(EkvtAPI(Ru("Справочная система не установлена.")));
    library->ShowException(std::make_exception_ptr(42));
    ASSERT_EQ(sim.Dialogs.Messages.size(), 3u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Text, Ru("Не удалось загрузить библиотеку kvtfsys.dll."));
    EXPECT_EQ(sim.Dialogs.Messages[1].Text, Ru("Справочная система не установлена."));
    EXPECT_FALSE(sim.Dialogs.Messages[2].Text.empty());
    for (const auto& m : sim.Dialogs.Messages) {
        EXPECT_EQ(m.Flags, MB_ICONERROR | MB_TOPMOST);
        EXPECT_EQ(m.Caption, "Tarvik");
    }
}

}  // namespace
}  // namespace quorvel::testing
