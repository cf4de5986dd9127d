// The host's macro editor with windows, driven as an operator would: its
// packet read back by the plug-in's reader, the editors library handing the
// plug-in's call to it; and the macro preview's balloon in the plug-in's
// window on the virtual clock.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>
#include <filesystem>
#include <memory>

#include "FakeHost.h"
#include "FakeHostLibraries.h"
#include "LoopbackEngine.h"
#include "MacroEditor.h"
#include "MacroEditorDialog.h"
#include "QtBalloonHint.h"
#include "QtDialogs.h"
#include "QtTestSupport.h"
#include "QtWindowSystem.h"
#include "SimDispatcher.h"
#include "SimPlatform.h"
#include "base/CodePage.h"
#include "pavo/hostlibs.h"
#include "plugin/PluginPlatform.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "test_settings_support.h"
#include "tx/MacrosesDataModule.h"

namespace quorvel::testing {
namespace {

using pavohost::TMacro;
using pavohost::TMacroEditorDialog;

const std::vector<TMacro> kTwoMacros = {
    {"CQ", "CQ", "F5", "CQ CQ de <MYCALL> <TX>"},
    {"QSO (Ru)", "Имя", "", "Меня зовут <MYNAME>\r\nQTH <MYQTH>"},
};

template <class W>
W* Child(QWidget& parent, const char* name) {
    return parent.findChild<W*>(QString::fromLatin1(name));
}

// Typed as a keyboard would, any letter (QTest's clicks know ASCII only).
void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent down(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &down);
    }
}

void Retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void Retype(QPlainTextEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

class QtMacroEditorTest : public TempFolderTest {
protected:
    std::string packet = Path("macroses.config.xml");
};

TEST_F(QtMacroEditorTest, TheOperatorAddsEditsReordersAndSavesWhatThePluginThenReads) {
    pavohost::WriteMacroPacketFile(packet, kTwoMacros);
    TMacroEditorDialog dialog(packet, pavohost::ReadMacroPacketFile(packet), "Tarvik", nullptr);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* list = Child<QTreeWidget>(dialog, "macros");
    auto* description = Child<QLineEdit>(dialog, "description");
    auto* page = Child<QComboBox>(dialog, "page");
    auto* shortcut = Child<QLineEdit>(dialog, "shortcut");
    auto* text = Child<QPlainTextEdit>(dialog, "text");
    auto* warnings = Child<QLabel>(dialog, "warnings");
    auto* problem = Child<QLabel>(dialog, "problem");
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_TRUE(list && description && page && shortcut && text && warnings && problem && buttons);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Macros — Tarvik"));
    EXPECT_FALSE(dialog.Changed());

    // The list as the packet holds it; the first macro in the editors.
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(0), QString::fromUtf8("Имя"));
    EXPECT_EQ(list->topLevelItem(1)->text(3), QString::fromUtf8("Меня зовут <MYNAME> ↵ QTH <MYQTH>"));
    EXPECT_EQ(description->text(), "CQ");
    EXPECT_EQ(shortcut->text(), "F5");
    EXPECT_TRUE(warnings->text().isEmpty());
    EXPECT_FALSE(Child<QPushButton>(dialog, "up")->isEnabled());

    // A new macro goes after the current one, on its page; a bad tag and a
    // lower-case control tag are named as they are typed.
    QTest::mouseClick(Child<QPushButton>(dialog, "add"), Qt::LeftButton);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 1);
    EXPECT_EQ(page->currentText(), "CQ");
    EXPECT_TRUE(description->hasFocus());
    QTest::keyClicks(description, "Farewell");
    Retype(page->lineEdit(), "QSO (En)");
    Retype(shortcut, "Ctrl+F7");
    EXPECT_NE(warnings->text().indexOf("never presses a macro"), -1) << warnings->text().toStdString();
    Retype(shortcut, "F7");
    Retype(text, "73 <CAL> <tx>");
    EXPECT_NE(warnings->text().indexOf("<CAL>: no such tag, sent as written"), -1) << warnings->text().toStdString();
    EXPECT_NE(warnings->text().indexOf("<tx>: a control tag steers only in capitals"), -1);
    EXPECT_FALSE(list->topLevelItem(1)->icon(0).isNull());
    Retype(text, "73 de <MYCALL> <SAVEQSO><TX>");
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClicks(text, "GL");
    EXPECT_TRUE(warnings->text().isEmpty()) << warnings->text().toStdString();
    EXPECT_TRUE(list->topLevelItem(1)->icon(0).isNull());
    EXPECT_EQ(list->topLevelItem(1)->text(2), "F7");

    // A page the plug-in does not have is named too.
    Retype(page->lineEdit(), "cq");
    EXPECT_NE(warnings->text().indexOf("gets no button"), -1);
    Retype(page->lineEdit(), "QSO (En)");

    // Up to the top; a macro added and deleted again leaves nothing behind.
    QTest::mouseClick(Child<QPushButton>(dialog, "up"), Qt::LeftButton);
    EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 0);
    EXPECT_EQ(description->text(), "Farewell");
    QTest::mouseClick(Child<QPushButton>(dialog, "add"), Qt::LeftButton);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    QTest::mouseClick(Child<QPushButton>(dialog, "delete"), Qt::LeftButton);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(1)->text(0), "CQ");

    // A macro without a description is not saved, and says so.
    const std::string before = ReadAll(packet);
    list->setCurrentItem(list->topLevelItem(2));
    Retype(description, "x");
    QTest::keyClick(description, Qt::Key_Backspace);
    buttons->button(QDialogButtonBox::Save)->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(problem->text(), "Macro 3: the caption needs 1 to 100 characters; nothing was saved.");
    EXPECT_EQ(ReadAll(packet), before);
    Type(description, QString::fromUtf8("Имя"));

    buttons->button(QDialogButtonBox::Save)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Saved());
    const auto rows = ReadMacroPacket(ReadAll(packet));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Description, "Farewell");
    EXPECT_EQ(rows[0].Group, "QSO (En)");
    EXPECT_EQ(rows[0].ShortCut, "F7");
    EXPECT_EQ(rows[0].Text, "73 de <MYCALL> <SAVEQSO><TX>\r\nGL");
    EXPECT_EQ(rows[1].Description, "CQ");
    EXPECT_EQ(rows[1].Text, "CQ CQ de <MYCALL> <TX>");
    EXPECT_EQ(rows[2].Description, Ru("Имя"));
    EXPECT_EQ(rows[2].Group, Ru("QSO (Ru)"));
    EXPECT_EQ(rows[2].Text, Ru("Меня зовут <MYNAME>\r\nQTH <MYQTH>"));
}

// What the plug-in's call becomes once the host has given its dialog.
struct TDialogCalls {
    std::string title, file;
    static int16_t PAVO_CALL Run(void* context, PavoHandle, const char* title, const char* file, const char*) {
        auto& self = *static_cast<TDialogCalls*>(context);
        self.title = title;
        self.file = file;
        return pavohost::RunMacroEditorDialog(file, title, nullptr) ? 1 : 0;
    }
};

TEST_F(QtMacroEditorTest, TheEditorsLibraryRunsTheHostsDialogAndReportsOnlyASavedChange) {
    void* library = ::dlopen(QUORVEL_BIN_DIR "/editors.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto edit = reinterpret_cast<esShowMacrosesEditorFn>(::dlsym(library, "esShowMacrosesEditor"));
    const auto setDialog =
        reinterpret_cast<esSetMacrosesEditorDialogFn>(::dlsym(library, "esSetMacrosesEditorDialog"));
    ASSERT_TRUE(edit && setDialog);
    TDialogCalls calls;
    setDialog(&TDialogCalls::Run, &calls);

    // The plug-in's path: cp1251, Windows separators below its data folder.
    std::filesystem::create_directories(Path("Макросы"));
    const std::string file = Path("Макросы/m.xml");
    pavohost::WriteMacroPacketFile(file, kTwoMacros);
    const std::string pluginPath = Utf8ToCp1251(Folder() + "\\Макросы\\m.xml");
    const std::string before = ReadAll(file);
    const auto run = [&](std::function<void(QWidget*)> operatorDoes) {
        WhenModal(std::move(operatorDoes));
        return edit(0, "Tarvik", pluginPath.c_str(), "macros.htm", 0, 0);
    };
    const auto press = [](QWidget* modal, QDialogButtonBox::StandardButton which) {
        auto* dialog = dynamic_cast<TMacroEditorDialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "not the macro editor: " << modal->metaObject()->className();
            if (auto* other = qobject_cast<QDialog*>(modal)) other->reject();
            return;
        }
        dialog->findChild<QDialogButtonBox*>()->button(which)->click();
    };

    EXPECT_EQ(run([&](QWidget* d) { press(d, QDialogButtonBox::Cancel); }), 0);
    EXPECT_EQ(calls.file, file);
    EXPECT_EQ(calls.title, "Tarvik");
    EXPECT_EQ(run([&](QWidget* d) { press(d, QDialogButtonBox::Save); }), 0);  // nothing changed
    EXPECT_EQ(ReadAll(file), before);

    // Cancel after an edit asks first; kept editing, then discarded.
    bool asked = false;
    EXPECT_EQ(run([&](QWidget* d) {
                  Retype(Child<QLineEdit>(*d, "description"), "CQ DX");
                  WhenModal([&](QWidget* box) {
                      asked = true;
                      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Cancel)->click();
                      WhenModal([&](QWidget* again) {
                          qobject_cast<QMessageBox*>(again)->button(QMessageBox::Discard)->click();
                      });
                      press(d, QDialogButtonBox::Cancel);
                  });
                  press(d, QDialogButtonBox::Cancel);
              }),
              0);
    EXPECT_TRUE(asked);
    EXPECT_EQ(ReadAll(file), before);

    EXPECT_EQ(run([&](QWidget* d) {
                  Retype(Child<QPlainTextEdit>(*d, "text"), "CQ DX de <MYCALL> <TX>");
                  press(d, QDialogButtonBox::Save);
              }),
              1);
    const auto rows = ReadMacroPacket(ReadAll(file));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Text, "CQ DX de <MYCALL> <TX>");
    EXPECT_EQ(rows[1].Description, Ru("Имя"));

    // A file that is not a packet is reported and left alone.
    WriteAll(file, "<DATAPACKET>");
    EXPECT_EQ(run([](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click(); }), 0);
    EXPECT_EQ(ReadAll(file), "<DATAPACKET>");

    // Without the host's dialog the operator's text editor is used again.
    setDialog(nullptr, nullptr);
    ::setenv("VISUAL", "true", 1);
    calls.file.clear();
    pavohost::WriteMacroPacketFile(file, kTwoMacros);
    EXPECT_EQ(edit(0, "Tarvik", pluginPath.c_str(), "macros.htm", 0, 0), 0);
    EXPECT_TRUE(calls.file.empty());
    ::unsetenv("VISUAL");
    ::dlclose(library);
}

// The plug-in's window with its macro pages, its timers on the virtual clock.
class QtMacroBalloonTest : public ::testing::Test {
protected:
    QtMacroBalloonTest() {
        TPlatform ports = sim.Ports();
        ports.Dispatcher = &clock;
        ports.Windows = &windows;
        ports.Dialogs = &dialogs;
        ports.Engines = &engines;
        ports.Views = PluginViews();
        ports.Audio = nullptr;
        host.application.mainWindow.handle =
            windows.AdoptWindow(&hostMain, [](const TMessage&) { return std::intptr_t{0}; });
        host.config.dataFolder = temp.Folder();
        std::filesystem::create_directories(temp.Path("Quorvel"));
        pavohost::WriteMacroPacketFile(temp.Path("Quorvel/macroses.config.xml"),
                                       {{"CQ", "CQ", "F5", "CQ CQ de <MYCALL> <SAVEQSO>"}});
        RegisterHostLibraries(sim.Libraries);
        library = std::make_unique<TPluginLibrary>(ports);
        library->Run(&host.session, 1);
        window = windows.Widget(Form().Handle());
        Turn();
    }
    ~QtMacroBalloonTest() override { library.reset(); }

    TMainForm& Form() const { return *library->MainForm; }
    void Turn() {
        clock.Advance(0);
        QApplication::processEvents();
    }
    QWidget* Balloon() const {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "BalloonHint1") return w;
        return nullptr;
    }

    sim::TSimDispatcher clock;
    qt::TQtWindowSystem windows{clock};
    qt::TQtDialogs dialogs;
    sim::TSimPlatform sim;
    TLoopbackEngineFactory engines;
    FakeHost host;
    TempFolder temp;
    QWidget hostMain;
    std::unique_ptr<TPluginLibrary> library;
    QWidget* window = nullptr;
};

TEST_F(QtMacroBalloonTest, ARightPressShowsTheExpandedMacroAtTheMouseForEightSecondsOrUntilClicked) {
    ASSERT_NE(window, nullptr);
    auto* bar = window->findChild<QToolBar*>("ToolBar1");
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 1);
    QWidget* button = bar->widgetForAction(bar->actions()[0]);
    ASSERT_NE(button, nullptr);
    QWidget* balloon = Balloon();
    ASSERT_NE(balloon, nullptr);
    EXPECT_FALSE(balloon->isVisible());

    const QPoint mouse = button->mapToGlobal(QPoint(6, 4));
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(6, 4));
    Turn();
    ASSERT_TRUE(balloon->isVisible());
    QStringList labels;
    for (auto* label : balloon->findChildren<QLabel*>()) labels << label->text();
    EXPECT_EQ(labels, (QStringList{QString::fromUtf8("Текст:"), "CQ CQ de UA3ABC <SAVEQSO>"}));
    EXPECT_EQ(balloon->pos(), mouse);
    EXPECT_TRUE(Form().Memo1.Text().empty());  // a preview sends nothing
    // The button's own hint stays away while the balloon shows.
    const auto hintAsked = [button] {
        QHelpEvent help(QEvent::ToolTip, QPoint(6, 4), button->mapToGlobal(QPoint(6, 4)));
        QApplication::sendEvent(button, &help);
        return QToolTip::isVisible();
    };
    EXPECT_FALSE(hintAsked());

    clock.Advance(7999);
    Turn();
    EXPECT_TRUE(balloon->isVisible());
    clock.Advance(1);
    Turn();
    EXPECT_FALSE(balloon->isVisible());
    EXPECT_TRUE(hintAsked());
    EXPECT_EQ(QToolTip::text(), "CQ CQ de <MYCALL> <SAVEQSO>");
    QToolTip::hideText();

    // Again, and a click takes it away before its time.
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(6, 4));
    Turn();
    ASSERT_TRUE(balloon->isVisible());
    QTest::mouseClick(balloon, Qt::LeftButton);
    Turn();
    EXPECT_FALSE(balloon->isVisible());
    EXPECT_TRUE(Form().ToolBar1.Buttons(0).ShowHint);
    // A left click still sends the macro.
    QTest::mouseClick(button, Qt::LeftButton);
    Turn();
    EXPECT_NE(Form().Memo1.Text().find("CQ CQ de UA3ABC"), std::string::npos);
}

}  // namespace
}  // namespace quorvel::testing
