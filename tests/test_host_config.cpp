// The host's configuration as the plug-in finds and reads it at library load.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "PluginFixture.h"
#include "base/CodePage.h"
#include "plugin/HostLibraries.h"
#include "plugin/suConfig.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

class HostConfig : public PluginFixture {
protected:
    HostConfig() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() / ("quorvel-" + std::to_string(::getpid()) + "-HostConfig-" + info->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
        FakeLibs().appData = root_.string();
        sim.Process.Executable = "C:/Tarvik/host.exe";
    }
    ~HostConfig() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string Root() const { return root_.string(); }
    std::string HostData() const { return (root_ / "Zentavo" / "host").string(); }

    void UseProfile(const std::string& name, const std::string& path) {
        FakeLibs().profileCurrent = true;
        FakeLibs().profileName = name;
        FakeLibs().profilePath = path;
    }
    static void Write(const fs::path& file, const std::string& utf8) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << utf8;
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    void Reload() {
        library.reset();
        library = std::make_unique<TPluginLibrary>(sim.Ports());
    }
    suConfig::TConfig& Config() { return *library->HostConfig; }

    const std::string kSettings =
        "<?xml version=\"1.0\" ?><Configuration>"
        "<ImageStyle type=\"String\">Тёмная</ImageStyle>"
        "<ToolbarStyle type=\"Integer\">2</ToolbarStyle>"
        "<MyLat type=\"Float\">55.75</MyLat>"
        "<Operator type=\"String\">UA3ABC</Operator>"
        "<DistanceSelected type=\"Integer\">1</DistanceSelected>"
        "<SomethingNew type=\"String\">x</SomethingNew>"
        "</Configuration>";

private:
    fs::path root_;
};

TEST_F(HostConfig, FoldersDeriveFromAppDataAndTheHostExecutable) {
    EXPECT_EQ(Config().HostDataFolder(), HostData());
    EXPECT_EQ(Config().ThemeFolder(), HostData() + "/Themes/");
    EXPECT_EQ(Config().PluginsDataFolder(), HostData() + "/Plugins Data");
    EXPECT_EQ(Config().ImageStyle, Ru("По умолчанию"));
    EXPECT_EQ(Config().ThemeFile(), HostData() + "/Themes/" + Ru("По умолчанию") + ".kth");
    // Each query asks kvtfsys anew and frees it.
    EXPECT_EQ(sim.Libraries.OpenCount(), 3);
}

TEST_F(HostConfig, HostNameIsTheExecutableWithoutItsExtension) {
    EXPECT_EQ(suConfig::HostName("C:\\Tarvik\\host.exe"), "host");
    EXPECT_EQ(suConfig::HostName("/opt/tarvik/Tarvik.EXE"), "Tarvik");
    EXPECT_EQ(suConfig::HostName("/usr/bin/pavo-host"), "pavo-host");
    EXPECT_EQ(suConfig::HostName("/usr/bin/my.host.exe"), "my.host");
    EXPECT_EQ(suConfig::HostName("/usr/bin/.hidden"), ".hidden");
}

TEST_F(HostConfig, TheCurrentProfilesSettingsAreReadAtLibraryLoad) {
    UseProfile("Home", "\\Profiles\\Home");
    Write(fs::path(HostData()) / "Profiles" / "Home" / "configuration.xml", kSettings);
    Reload();
    EXPECT_EQ(Config().ProfileName, "Home");
    EXPECT_EQ(Config().ProfileFolder, HostData() + "/Profiles/Home");
    EXPECT_EQ(Config().FileName, HostData() + "/Profiles/Home/configuration.xml");
    EXPECT_EQ(Config().ImageStyle, Ru("Тёмная"));
    EXPECT_EQ(Config().ThemeFile(), HostData() + "/Themes/" + Ru("Тёмная") + ".kth");
    EXPECT_EQ(Config().ToolbarStyle, 2);
    EXPECT_DOUBLE_EQ(Config().MyLat, 55.75);
    EXPECT_EQ(Config().Operator, "UA3ABC");
    EXPECT_TRUE(Config().DistanceSelected);
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
}

TEST_F(HostConfig, WithoutAProfileNothingIsAskedAndDefaultsStay) {
    const int before = sim.Libraries.LoadCount("kvtfsys.dll");
    Reload();
    EXPECT_EQ(sim.Libraries.LoadCount("kvtfsys.dll"), before);
    EXPECT_EQ(Config().ProfileName, "");
    EXPECT_EQ(Config().ProfileFolder, "");
    EXPECT_EQ(Config().ImageStyle, Ru("По умолчанию"));
    EXPECT_EQ(Config().PixelsPerInch, 96);
}

TEST_F(HostConfig, AMissingOrDamagedSettingsFileKeepsDefaultsSilently) {
    UseProfile("Home", "\\Profiles\\Home");
    Reload();
    EXPECT_EQ(Config().ProfileName, "Home");
    EXPECT_EQ(Config().ImageStyle, Ru("По умолчанию"));

    Write(fs::path(HostData()) / "Profiles" / "Home" / "configuration.xml",
          "<?xml version=\"1.0\" ?><Configuration><ToolbarStyle type=\"Integer\">3</ToolbarStyle>"
          "<ImageStyle type=\"Integer\">zz</ImageStyle><Operator type=\"String\">R1</Operator>");
    Reload();
    EXPECT_EQ(Config().ImageStyle, Ru("По умолчанию"));
    EXPECT_EQ(Config().Operator, "");
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
}

TEST_F(HostConfig, AnEmptyProfilePathIsTheHostDataFolderItself) {
    UseProfile("Default", "");
    Write(fs::path(HostData()) / "configuration.xml", kSettings);
    Reload();
    EXPECT_EQ(Config().ImageStyle, Ru("Тёмная"));
}

TEST_F(HostConfig, AProfilePathLeavingTheHostDataFolderIsNotFollowed) {
    // Files a hostile path could reach.
    Write(fs::path(Root()) / "Zentavo" / "configuration.xml", kSettings);
    Write(fs::path(Root()) / "configuration.xml", kSettings);
    for (const char* path : {"\\..", "\\..\\..", "/Profiles/../..", "\\Profiles\\..\\..\\..\\etc", "C:\\Profiles",
                             "\\\\server\\share\\.."}) {
        SCOPED_TRACE(path);
        UseProfile("Evil", path);
        Reload();
        EXPECT_EQ(Config().ImageStyle, Ru("По умолчанию"));
        EXPECT_EQ(Config().ProfileFolder, "");
    }
    // A leading separator (absolute on its own) still lands below the folder.
    UseProfile("Abs", "/etc");
    Reload();
    EXPECT_EQ(Config().ProfileFolder, HostData() + "/etc");
}

TEST_F(HostConfig, NoApplicationDataFolderMeansNoHostFolders) {
    UseProfile("Home", "\\Profiles\\Home");
    FakeLibs().appDataResult = 0;
    Reload();
    EXPECT_EQ(Config().HostDataFolder(), "");
    EXPECT_EQ(Config().ThemeFolder(), "");
    EXPECT_EQ(Config().ThemeFile(), "");
    EXPECT_EQ(Config().PluginsDataFolder(), "");
    EXPECT_EQ(Config().ProfileFolder, "");
    EXPECT_EQ(Config().ImageStyle, Ru("По умолчанию"));
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
}

TEST_F(HostConfig, AKvtfsysFailureAtLoadIsShownAndThePluginStillRuns) {
    UseProfile("Home", "\\Profiles\\Home");
    sim.Libraries.Unregister("kvtfsys.dll");
    Reload();
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Text, Ru("Не удалось загрузить библиотеку kvtfsys.dll."));
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags, MB_ICONERROR | MB_TOPMOST);
    EXPECT_EQ(Config().ImageStyle, Ru("По умолчанию"));
    EXPECT_TRUE(library->Loaded());
    EXPECT_NE(library->Run(&host.session, 1), 0u);
    // Asked later, the failure goes to whoever asked.
    EXPECT_THROW(Config().HostDataFolder(), EkvtAPI);
}

TEST_F(HostConfig, ThemeFileTakesOnlyTheNameOfTheStyle) {
    Config().ImageStyle = "../../../etc/passwd";
    EXPECT_EQ(Config().ThemeFile(), HostData() + "/Themes/passwd.kth");
    Config().ImageStyle = "..\\Skins\\Blue";
    EXPECT_EQ(Config().ThemeFile(), HostData() + "/Themes/Blue.kth");
}

TEST_F(HostConfig, ThePluginNeverWritesTheHostsFile) {
    UseProfile("Home", "\\Profiles\\Home");
    const fs::path file = fs::path(HostData()) / "Profiles" / "Home" / "configuration.xml";
    Write(file, kSettings);
    Reload();
    Config().ImageStyle = "Changed";
    EXPECT_FALSE(Config().Save());
    EXPECT_EQ(Read(file), kSettings);
}

TEST_F(HostConfig, EveryPublishedPropertyRoundTripsThroughTheFileFormat) {
    // The host writes the file; what it writes is read back property by property.
    std::string xml = "<?xml version=\"1.0\" ?><Configuration>";
    for (const auto& p : Config().Properties()) {
        std::string text;
        switch (p->Kind()) {
            case TTypeKind::tkInteger: text = "1"; break;
            case TTypeKind::tkFloat: text = "1.5"; break;
            case TTypeKind::tkString: text = "v-" + p->Name(); break;
        }
        xml += "<" + p->Name() + " type=\"" + TypeTag(p->Kind()) + "\">" + text + "</" + p->Name() + ">";
    }
    xml += "</Configuration>";
    UseProfile("Home", "");
    Write(fs::path(HostData()) / "configuration.xml", xml);
    Reload();
    EXPECT_EQ(Config().Properties().size(), 114u);
    for (const auto& p : Config().Properties()) {
        SCOPED_TRACE(p->Name());
        switch (p->Kind()) {
            case TTypeKind::tkInteger: EXPECT_EQ(p->GetOrdinal(), 1); break;
            case TTypeKind::tkFloat: EXPECT_DOUBLE_EQ(p->GetFloat(), 1.5); break;
            case TTypeKind::tkString: EXPECT_EQ(p->GetString(), "v-" + p->Name()); break;
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
