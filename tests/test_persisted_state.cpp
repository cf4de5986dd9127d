// Persisted windows: creation, the state file and closing.
#include <gtest/gtest.h>

#include <filesystem>

#include "SimPlatform.h"
#include "base/Files.h"
#include "settings/ClassesX.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

// A window with persisted properties acting on "controls" (plain members here)
// and one published property that is not persisted.
class TStateForm : public TSrzForm {
public:
    TStateForm(TApplication& app, std::string file, bool fullPath)
        : TSrzForm(app, 0), file_(std::move(file)), fullPath_(fullPath) {
        Name = "StateForm";
        Left = 10, Top = 20, Width = 500, Height = 400;  // as designed
        Property("_Level", &TStateForm::GetLevel, &TStateForm::SetLevel);
        Property("_Note", [this] { return note; }, [this](const std::string& v) { note = v; });
        Property("ScaleView", scaleView, false);
    }
    int GetLevel() const { return level; }
    void SetLevel(int v) { level = v; }

    int level = 5;
    std::string note = "n";
    bool scaleView;
    int releases = 0;

protected:
    void FormCreate() override {
        ConfigFileName = file_;
        FullPathGiven = fullPath_;
    }
    void Release() override { ++releases; }
    std::intptr_t WndProc(const TMessage& m) override {
        messages.push_back(m);
        return 0;
    }

public:
    std::vector<TMessage> messages;

protected:

private:
    std::string file_;
    bool fullPath_;
};

class PersistedStateTest : public TempFolderTest {
protected:
    std::unique_ptr<TStateForm> Open(const std::string& file, bool fullPath = true) {
        return TForm::Create<TStateForm>(app, file, fullPath);
    }
    std::string StateFile() const { return Path("state.config.xml"); }
    void WriteState(const std::string& body) {
        WriteAll(StateFile(), "<?xml version=\"1.0\" ?><Configuration>" + body + "</Configuration>");
    }
    static std::string Placement(int state, int left, int top, int width, int height) {
        return "<Left type=\"Integer\">" + std::to_string(left) + "</Left><Top type=\"Integer\">" +
               std::to_string(top) + "</Top><Width type=\"Integer\">" + std::to_string(width) +
               "</Width><Height type=\"Integer\">" + std::to_string(height) +
               "</Height><WindowState type=\"Integer\">" + std::to_string(state) + "</WindowState>";
    }

    sim::TSimPlatform sim;
    TApplication app{sim.Ports()};
};

TEST_F(PersistedStateTest, ConstructorMarksTheWindowAndReleasesOnCloseByDefault) {
    auto form = Open("");
    EXPECT_EQ(sim.Windows.GetProp(form->Handle(), kSrzFormMarker), 1u);
    EXPECT_TRUE(form->ReleaseOnClose);
    EXPECT_FALSE(form->PersistEnabled);
    EXPECT_EQ(form->Properties().front()->Name(), "_BlendValue");
}

TEST_F(PersistedStateTest, FolderGivenComposesTheFileName) {
    sim.Process.Executable = JoinPath("/opt/pavo", "Host.EXE");
    auto form = Open(Folder(), false);
    EXPECT_TRUE(form->PersistEnabled);
    EXPECT_EQ(form->ConfigFileName, JoinPath(Folder(), "host.exe.stateform.config.xml"));
}

TEST_F(PersistedStateTest, SaveWritesPlacementThenTheUnderscoreProperties) {
    auto form = Open(StateFile());
    form->SetBounds(-30, 40, 640, 480);
    form->Tag = 7;
    form->level = 9;
    form->note = "a<b";
    form->scaleView = true;
    form->SaveState();
    EXPECT_EQ(ReadAll(StateFile()),
              R"(<?xml version="1.0" ?><Configuration><Left type="Integer">-30</Left><Top type="Integer">40</Top>)"
              R"(<Width type="Integer">640</Width><Height type="Integer">480</Height>)"
              R"(<WindowState type="Integer">0</WindowState><Tag type="Integer">7</Tag>)"
              R"(<_BlendValue type="Integer">255</_BlendValue><_Level type="Integer">9</_Level>)"
              R"(<_Note type="String">a&lt;b</_Note></Configuration>)");
}

TEST_F(PersistedStateTest, NextOpeningRestoresWhatWasSaved) {
    {
        auto form = Open(StateFile());
        form->SetBounds(100, 120, 700, 300);
        form->Tag = -4;
        form->level = 12;
        form->note = "\xCF\xF0\xE8";  // "При"
        form->AlphaBlendValue = 128;
        form->SaveState();
    }
    auto form = Open(StateFile());
    EXPECT_EQ(form->Left, 100);
    EXPECT_EQ(form->Top, 120);
    EXPECT_EQ(form->Width, 700);
    EXPECT_EQ(form->Height, 300);
    EXPECT_EQ(sim.Windows.GetWindowRect(form->Handle()), (TRect{100, 120, 800, 420}));
    EXPECT_EQ(form->Tag, -4);
    EXPECT_EQ(form->level, 12);
    EXPECT_EQ(form->note, "\xCF\xF0\xE8");
    EXPECT_EQ(form->AlphaBlendValue, 128);
    EXPECT_TRUE(FileExists(StateFile()));
}

TEST_F(PersistedStateTest, MaximisedOrMinimisedFilesDoNotApplyThePlacement) {
    WriteState(Placement(2, 300, 300, 800, 600) + "<Tag type=\"Integer\">1</Tag>");
    auto maximised = Open(StateFile());
    EXPECT_EQ(maximised->WindowState, TWindowState::wsMaximized);
    EXPECT_EQ(maximised->Left, 10);
    EXPECT_EQ(maximised->Width, 500);
    EXPECT_EQ(maximised->Tag, 1);

    WriteState(Placement(1, 300, 300, 800, 600) + "<Tag type=\"Integer\">2</Tag>");
    auto minimised = Open(StateFile());
    EXPECT_EQ(minimised->WindowState, TWindowState::wsNormal);
    EXPECT_EQ(minimised->Left, 10);
    EXPECT_EQ(minimised->Top, 20);
    EXPECT_EQ(minimised->Tag, 2);
    EXPECT_TRUE(FileExists(StateFile()));
}

TEST_F(PersistedStateTest, OffScreenPositionsGoBackToTheCorner) {
    sim.Windows.SetScreenSize({1280, 1024});
    struct Case {
        int left, top, wantLeft, wantTop;
    };
    for (const Case c : {Case{1231, 100, 0, 0}, Case{1230, 100, 1230, 100}, Case{-200, 100, -200, 100},
                         Case{100, 975, 0, 0}, Case{100, 974, 100, 974}, Case{-200, -300, -200, -300}}) {
        WriteState(Placement(0, c.left, c.top, 400, 300) + "<Tag type=\"Integer\">0</Tag>");
        auto form = Open(StateFile());
        EXPECT_EQ(form->Left, c.wantLeft) << c.left << "," << c.top;
        EXPECT_EQ(form->Top, c.wantTop) << c.left << "," << c.top;
    }
}

TEST_F(PersistedStateTest, FixedBorderKeepsTheDesignedSize) {
    WriteState(Placement(0, 50, 60, 900, 700) + "<Tag type=\"Integer\">0</Tag>");
    struct TFixed : TStateForm {
        TFixed(TApplication& a, std::string f) : TStateForm(a, std::move(f), true) { BorderStyle = 1; }
    };
    auto form = TForm::Create<TFixed>(app, StateFile());
    EXPECT_EQ(form->Left, 50);
    EXPECT_EQ(form->Width, 500);
    EXPECT_EQ(form->Height, 400);
}

TEST_F(PersistedStateTest, OnlyUnderscoreElementsNamingAPropertyAreAssigned) {
    WriteState(Placement(0, 1, 2, 300, 200) +
               "<Tag type=\"Integer\">3</Tag><!-- kept --><_Unknown type=\"Integer\">4</_Unknown>"
               "<ScaleView type=\"Integer\">1</ScaleView><Unrelated/><_level type=\"Integer\">44</_level>"
               "<_Note type=\"Integer\">5</_Note>");
    auto form = Open(StateFile());
    EXPECT_EQ(form->level, 44);
    EXPECT_FALSE(form->scaleView);
    EXPECT_EQ(form->note, "n");  // tag of another kind: left alone
    EXPECT_TRUE(FileExists(StateFile()));
}

// Each damaged file keeps what came before the fault and is deleted.
TEST_F(PersistedStateTest, DamagedFilesKeepWhatWasAppliedAndAreDeleted) {
    struct Case {
        std::string body;
        int left, width, tag, level;
    };
    const std::string good = Placement(0, 70, 80, 600, 450);
    const std::vector<Case> cases = {
        {good, 70, 600, 0, 5},  // no Tag: placement applied
        {good + "<Tag type=\"Integer\">6</Tag><_Level type=\"Integer\">x</_Level>", 70, 600, 6, 5},
        {good + "<Tag type=\"Integer\">6</Tag><_Level>8</_Level>", 70, 600, 6, 5},
        {good + "<Tag type=\"Integer\">6</Tag><_Level type=\"Integer\">8</_Level><_Note>x</_Note>", 70, 600, 6, 8},
        {"<Left type=\"Integer\">70</Left><WindowState type=\"Integer\">0</WindowState>", 70, 500, 0, 5},  // no Top
        {"<WindowState type=\"Integer\">7</WindowState>", 10, 500, 0, 5},
        {"<WindowState type=\"Integer\">True</WindowState>", 10, 500, 0, 5},
        {"<Left type=\"Integer\">70</Left>", 10, 500, 0, 5},  // no WindowState
        {good + "<Tag type=\"Integer\">6</Tag><_Level type=\"Integer\">8", 10, 500, 0, 5},  // not well-formed
    };
    for (const Case& c : cases) {
        WriteState(c.body);
        auto form = Open(StateFile());
        EXPECT_EQ(form->Left, c.left) << c.body;
        EXPECT_EQ(form->Width, c.width) << c.body;
        EXPECT_EQ(form->Tag, c.tag) << c.body;
        EXPECT_EQ(form->level, c.level) << c.body;
        EXPECT_FALSE(FileExists(StateFile())) << c.body;
    }

    // Elements in another root still place the window; no Configuration is a fault.
    WriteAll(StateFile(), "<Other>" + good + "<Tag type=\"Integer\">6</Tag></Other>");
    auto form = Open(StateFile());
    EXPECT_EQ(form->Left, 70);
    EXPECT_EQ(form->Tag, 6);
    EXPECT_FALSE(FileExists(StateFile()));
}

TEST_F(PersistedStateTest, MissingFileOpensAsDesigned) {
    auto form = Open(StateFile());
    EXPECT_EQ(form->Left, 10);
    EXPECT_EQ(form->Width, 500);
    EXPECT_FALSE(FileExists(StateFile()));
}

TEST_F(PersistedStateTest, SaveIntoAMissingFolderWritesNothing) {
    auto form = Open(JoinPath(Path("none"), "state.config.xml"));
    form->SaveState();
    EXPECT_FALSE(std::filesystem::exists(Path("none")));
}

TEST_F(PersistedStateTest, FailedSaveDeletesTheFile) {
    auto form = Open(StateFile());
    form->SaveState();
    ASSERT_TRUE(FileExists(StateFile()));
    form->note.assign(100000, 'x');
    {
        FileSizeLimit limit(4096);
        form->SaveState();
    }
    EXPECT_FALSE(FileExists(StateFile()));
    EXPECT_EQ(FilesIn(Folder()), 0u);
}

TEST_F(PersistedStateTest, ClosingSavesUnlessToldNot) {
    auto form = Open(StateFile());
    form->ReleaseOnClose = false;
    form->Show();
    form->SetBounds(33, 44, 300, 200);
    form->NoSaveOnClose = true;
    form->Close();
    EXPECT_FALSE(FileExists(StateFile()));
    form->Show();
    form->NoSaveOnClose = false;
    form->Close();
    EXPECT_NE(ReadAll(StateFile()).find("<Left type=\"Integer\">33</Left>"), std::string::npos);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->releases, 0);
}

TEST_F(PersistedStateTest, ClosingNotifiesTheMainFormAndReleases) {
    auto mainForm = Open("");
    app.MainForm = mainForm.get();
    auto child = Open("");
    child->Close();
    // Sent at once to the main form's window, with the text and the closing window.
    ASSERT_EQ(mainForm->messages.size(), 1u);
    EXPECT_EQ(mainForm->messages[0].Msg, 0x92Cu);
    EXPECT_STREQ(reinterpret_cast<const char*>(mainForm->messages[0].WParam), "{51D535AA-7381-439F-94C6-245C770E2E20}");
    EXPECT_EQ(static_cast<THandle>(mainForm->messages[0].LParam), child->Handle());
    EXPECT_EQ(child->releases, 1);

    auto modal = Open("");
    modal->Modal = true;
    modal->Close();
    auto kept = Open("");
    kept->ReleaseOnClose = false;
    kept->Close();
    mainForm->Close();
    EXPECT_EQ(modal->releases + kept->releases + mainForm->releases, 0);
    EXPECT_EQ(mainForm->messages.size(), 1u);

    app.MainForm = nullptr;  // no main form (a library): nobody to tell, still released
    auto lone = Open("");
    lone->Close();
    EXPECT_EQ(lone->releases, 1);
}

TEST_F(PersistedStateTest, VisibleChangeIsAnnouncedBeforeShowAndHide) {
    auto form = Open("");
    std::vector<std::pair<bool, bool>> seen;  // (visible argument, visible at that moment)
    form->OnVisibleChange = [&](TSrzForm& sender, bool visible) { seen.emplace_back(visible, sender.Visible()); };
    form->Show();
    form->SetBounds(5, 5, 100, 100);
    form->Hide();
    EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
}

}  // namespace
}  // namespace quorvel::testing
