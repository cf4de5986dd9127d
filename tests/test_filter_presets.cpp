// The preset file's reader and writer, and the "Фильтры" dialog on it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "SimPlatform.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "modem/FilterPresets.h"
#include "modem/dsFiltersForm.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

std::vector<std::string> Names(const std::vector<TFilterPreset>& presets) {
    std::vector<std::string> names;
    for (const auto& p : presets) names.push_back(p.Name);
    return names;
}

TEST(FilterPresetReader, QuotedRunsKeepSeparatorsAndQuotes) {
    EXPECT_EQ(SplitPresetLine("a;\"b;c\";'d;\"e';f"),
              (std::vector<std::string>{"a", "\"b;c\"", "'d;\"e'", "f"}));
    // Empty fields are dropped, so doubled separators still give four fields.
    EXPECT_EQ(SplitPresetLine(";;a;;0;;500;5;"), (std::vector<std::string>{"a", "0", "500", "5"}));
    // An unclosed quote runs to the end of the line.
    EXPECT_EQ(SplitPresetLine("'x;0;500;5"), (std::vector<std::string>{"'x;0;500;5"}));
}

TEST(FilterPresetReader, OnlyFourFieldLinesAreTakenAndNonNumbersReadZero) {
    const std::string text = Ru("Узкий;0;500;5\r\n") + "three;0;500\r\n" + "five;0;1;2;3\r\n" +
                             "\"a;b\";2;x;7\r\n" + "big;1;99999999999;-3\r\n" + "lf only;1;300;4\n" + "last;2;100;1";
    const auto presets = ParsePresets(text);
    ASSERT_EQ(Names(presets), (std::vector<std::string>{Ru("Узкий"), "\"a;b\"", "big", "lf only", "last"}));
    EXPECT_EQ(presets[0].Type, 0);
    EXPECT_EQ(presets[0].Width, 500);
    EXPECT_EQ(presets[0].Steepness, 5);
    EXPECT_EQ(presets[1].Width, 0);
    EXPECT_EQ(presets[2].Width, 0);  // beyond an integer: no number
    EXPECT_EQ(presets[2].Steepness, -3);
}

TEST(FilterPresetReader, WrittenFileIsCrLfAndReadsBack) {
    const std::vector<TFilterPreset> presets{{Ru("Узкий"), 0, 500, 5}, {"wide", 2, 2400, 1}};
    EXPECT_EQ(FormatPresets(presets), Ru("Узкий;0;500;5\r\n") + "wide;2;2400;1\r\n");
    const auto back = ParsePresets(FormatPresets(presets));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].Width, 2400);
}

TEST(FilterPresetReader, HugeAndBinaryInputIsReadByTheSameRules) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "n" + std::to_string(i) + ";1;" + std::to_string(i % 3000) + ";5\r\n";
    text += std::string(1 << 20, '\x98') + ";0;1;1\r\n";  // 0x98 is no cp1251 letter
    text += std::string(1 << 20, '"') + "\r\n";
    const auto presets = ParsePresets(text);
    ASSERT_EQ(presets.size(), 100001u);
    EXPECT_EQ(presets.back().Name.size(), std::size_t{1} << 20);
}

class FiltersFormTest : public ::testing::Test {
protected:
    std::string Path() const { return JoinPath(temp.Folder(), "filters.list"); }
    sim::TSimPlatform sim;
    TApplication app{sim.Ports()};
    TempFolder temp;
};

TEST_F(FiltersFormTest, MissingFileGivesAnEmptyListAndButtonsStartDisabled) {
    TFiltersForm form(app, Path());
    EXPECT_EQ(form.Caption, Ru("Фильтры"));
    EXPECT_TRUE(form.Entries().empty());
    EXPECT_FALSE(form.btnOK.Enabled());
    EXPECT_FALSE(form.btnDelete.Enabled());
    EXPECT_FALSE(form.btnSave.Enabled());
    EXPECT_TRUE(form.btnCancel.Enabled());
    EXPECT_EQ(form.btnOK.Caption(), Ru("&ОК"));
    EXPECT_EQ(form.btnCancel.Caption(), Ru("Отм&ена"));
    EXPECT_EQ(form.btnDelete.Caption(), Ru("У&далить"));
    EXPECT_EQ(form.btnSave.Caption(), Ru("&Сохранить"));
    form.btnOK.Click();
    EXPECT_FALSE(form.Chosen());
}

TEST_F(FiltersFormTest, DeleteWithoutSaveLeavesTheFileAndSaveRewritesIt) {
    const std::string original = "a;0;100;1\r\nbroken;1\r\nb;1;200;2\r\nc;2;300;3\r\n";
    WriteAll(Path(), original);
    {
        TFiltersForm form(app, Path());
        ASSERT_EQ(Names(form.Entries()), (std::vector<std::string>{"a", "b", "c"}));
        form.Select(1);
        EXPECT_TRUE(form.btnOK.Enabled());
        EXPECT_TRUE(form.btnDelete.Enabled());
        form.btnDelete.Click();
        EXPECT_FALSE(form.btnOK.Enabled());
        EXPECT_FALSE(form.btnDelete.Enabled());
        EXPECT_TRUE(form.btnSave.Enabled());
        form.btnCancel.Click();
        EXPECT_EQ(form.ModalResult, IDCANCEL);
    }
    EXPECT_EQ(ReadAll(Path()), original);
    TFiltersForm form(app, Path());
    form.Select(0);
    form.btnDelete.Click();
    form.btnSave.Click();
    EXPECT_FALSE(form.btnSave.Enabled());
    // The skipped line goes with the rewrite.
    EXPECT_EQ(ReadAll(Path()), "b;1;200;2\r\nc;2;300;3\r\n");
    form.Select(1);
    form.btnOK.Click();
    ASSERT_TRUE(form.Chosen());
    EXPECT_EQ(form.Chosen()->Name, "c");
}

TEST_F(FiltersFormTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
    WriteAll(Path(), "a;0;100;1\r\nb;1;200;2\r\n");
    TFiltersForm form(app, Path());
    form.Select(0);
    form.btnDelete.Click();
    std::filesystem::remove_all(temp.Folder());  // the folder is gone: nowhere to write
    form.btnSave.Click();
    EXPECT_TRUE(form.btnSave.Enabled());
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags & MB_ICONERROR, MB_ICONERROR);
}

}  // namespace
}  // namespace quorvel::testing
