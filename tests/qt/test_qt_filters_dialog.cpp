// The "Фильтры" dialog on Qt: the list of presets, the buttons' enabling as
// the model gives it, deletion, saving, and OK with the chosen entry.
#include <gtest/gtest.h>

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "QtFiltersDialog.h"
#include "QtTestSupport.h"
#include "SimPlatform.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "modem/dsFiltersForm.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

TEST(QtFiltersDialog, ListsDeletesSavesAndGivesTheChosenPreset) {
    TempFolder temp;
    const std::string path = temp.Path("filters.list");
    WriteAll(path, Ru("Узкий;0;500;5\r\n") + "wide;2;2400;1\r\n" + "tail;1;300;4\r\n");
    sim::TSimPlatform sim;
    TApplication app(sim.Ports());
    TFiltersForm form(app, path);
    QStringList names;
    bool okAtStart = true, saveAfterDelete = false;
    QSize size;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<QDialog*>(w);
        ASSERT_NE(d, nullptr);
        size = d->size();
        auto* list = d->findChild<QListWidget*>("ListBox1");
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
        auto* ok = d->findChild<QPushButton*>("btnOK");
        auto* del = d->findChild<QPushButton*>("btnDelete");
        auto* save = d->findChild<QPushButton*>("btnSave");
        okAtStart = ok->isEnabled();
        list->setCurrentRow(0);
        QTest::mouseClick(del, Qt::LeftButton);
        saveAfterDelete = save->isEnabled() && !ok->isEnabled();
        QTest::mouseClick(save, Qt::LeftButton);
        list->setCurrentRow(1);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(qt::RunFiltersDialog(form, nullptr), IDOK);
    EXPECT_EQ(size, QSize(TFiltersForm::kClientWidth, TFiltersForm::kClientHeight));
    EXPECT_EQ(names, (QStringList{QString::fromUtf8("Узкий"), "wide", "tail"}));
    EXPECT_FALSE(okAtStart);
    EXPECT_TRUE(saveAfterDelete);
    EXPECT_EQ(ReadAll(path), "wide;2;2400;1\r\ntail;1;300;4\r\n");
    ASSERT_TRUE(form.Chosen());
    EXPECT_EQ(form.Chosen()->Name, "tail");
}

TEST(QtFiltersDialog, EscapeCancelsAndAHugeListStaysUsable) {
    TempFolder temp;
    const std::string path = temp.Path("filters.list");
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "n" + std::to_string(i) + ";1;300;4\r\n";
    text += std::string(1 << 20, 'x') + ";0;1;1\r\n";
    WriteAll(path, text);
    sim::TSimPlatform sim;
    TApplication app(sim.Ports());
    TFiltersForm form(app, path);
    int count = 0;
    WhenModal([&](QWidget* w) {
        auto* list = w->findChild<QListWidget*>("ListBox1");
        count = list->count();
        list->setCurrentRow(count - 1);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_EQ(qt::RunFiltersDialog(form, nullptr), IDCANCEL);
    EXPECT_EQ(count, 100001);
    EXPECT_FALSE(form.Chosen());
}

}  // namespace
}  // namespace quorvel::testing
