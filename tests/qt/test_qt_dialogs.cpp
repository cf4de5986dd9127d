// Message box, input box, modal runs and the clipboard on Qt, with the
// system's cp1251 text crossing to and from the widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "QtDesktop.h"
#include "QtTestSupport.h"
#include "QtText.h"
#include "base/CodePage.h"
#include "ui/Controls.h"
#include "ui/InputBox.h"

namespace quorvel::testing {
namespace {

using qt::TQtDialogs;

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool onTop = false;
};

TEST(QtMessageBox, CaptionTextIconsAndButtonsFollowTheFlags) {
    TQtDialogs dialogs;
    SeenBox seen;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        box->buttons().front()->click();
    });
    EXPECT_EQ(dialogs.MessageBox(Ru("Цифровые виды связи"), Ru("Не удалось сохранить конфигурацию.\r\n<CALL>"),
                                 MB_ICONERROR | MB_TOPMOST),
              IDOK);
    EXPECT_EQ(seen.title, QString::fromUtf8("Цифровые виды связи"));
    EXPECT_EQ(seen.text, QString::fromUtf8("Не удалось сохранить конфигурацию.\n<CALL>"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QStringList{QString::fromUtf8("ОК")});
    EXPECT_TRUE(seen.onTop);
}

TEST(QtMessageBox, YesNoWarningReturnsThePressedButtonAndEscapeMeansNo) {
    TQtDialogs dialogs;
    SeenBox yes;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        yes.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) {
            yes.buttons << b->text();
            if (b->text() == QString::fromUtf8("Да")) b->click();
        }
    });
    EXPECT_EQ(dialogs.MessageBox("Tarvik", "Delete?", 52), IDYES);
    EXPECT_EQ(yes.icon, QMessageBox::Warning);
    EXPECT_TRUE(yes.buttons.contains(QString::fromUtf8("Да")));
    EXPECT_TRUE(yes.buttons.contains(QString::fromUtf8("Нет")));
    EXPECT_EQ(yes.buttons.size(), 2);

    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.MessageBox("Tarvik", "Delete?", 52), IDNO);

    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.MessageBox("Tarvik", "plain", 0), IDOK);
}

TEST(QtMessageBox, SecondDefaultButtonAnswersEnter) {
    TQtDialogs dialogs;
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_EQ(dialogs.MessageBox("Tarvik", "Delete?", MB_YESNO | 0x100), IDNO);
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_EQ(dialogs.MessageBox("Tarvik", "Delete?", MB_YESNO), IDYES);
}

TEST(QtInputBox, IsLaidOutInDialogUnitsWithThePresetTextSelected) {
    TQtDialogs dialogs;
    QRect label, edit, ok, cancel;
    QSize client;
    QString title, prompt, okText, cancelText, selected;
    int maxLength = 0;
    bool okDefault = false;
    QFont font;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<QDialog*>(w);
        ASSERT_NE(d, nullptr);
        font = d->font();
        title = d->windowTitle();
        client = d->size();
        auto* l = d->findChild<QLabel*>("Prompt");
        auto* e = d->findChild<QLineEdit*>("Edit");
        auto* o = d->findChild<QPushButton*>("OK");
        auto* c = d->findChild<QPushButton*>("Cancel");
        ASSERT_TRUE(l && e && o && c);
        label = l->geometry();
        prompt = l->text();
        edit = e->geometry();
        selected = e->selectedText();
        maxLength = e->maxLength();
        ok = o->geometry();
        cancel = c->geometry();
        okText = o->text();
        cancelText = c->text();
        okDefault = o->isDefault();
        d->reject();
    });
    std::string text = Ru("Фильтр 1");
    EXPECT_FALSE(dialogs.InputBox(Ru("Фильтры"), Ru("Имя набора:"), false, text));
    EXPECT_EQ(text, Ru("Фильтр 1"));  // cancel leaves the text alone

    EXPECT_EQ(title, QString::fromUtf8("Фильтры"));
    EXPECT_EQ(prompt, QString::fromUtf8("Имя набора:"));
    EXPECT_EQ(selected, QString::fromUtf8("Фильтр 1"));
    EXPECT_EQ(maxLength, 255);
    EXPECT_EQ(okText, QString::fromUtf8("&ОК"));
    EXPECT_EQ(cancelText, QString::fromUtf8("Отм&ена"));
    EXPECT_TRUE(okDefault);
    // The widgets sit where the form model's layout puts them for this font.
    const QFontMetrics fm(font);
    const TInputBoxLayout expected =
        LayoutInputBox(fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
                       fm.height(), label.height(), edit.height());
    auto rect = [](const QRect& r) { return TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1}; };
    EXPECT_EQ(rect(label), expected.Prompt);
    EXPECT_EQ(rect(edit), expected.Edit);
    EXPECT_EQ(rect(ok), expected.OkButton);
    EXPECT_EQ(rect(cancel), expected.CancelButton);
    EXPECT_EQ(client, QSize(expected.ClientWidth, expected.ClientHeight));
    EXPECT_EQ(label.height(), fm.height());  // one line
}

TEST(QtInputBox, LongPromptsWrapWithinTheLabelWidth) {
    TQtDialogs dialogs;
    QRect label, edit;
    int lineHeight = 0;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<QDialog*>(w);
        ASSERT_NE(d, nullptr);
        lineHeight = QFontMetrics(d->font()).height();
        label = d->findChild<QLabel*>("Prompt")->geometry();
        edit = d->findChild<QLineEdit*>("Edit")->geometry();
        d->reject();
    });
    std::string text;
    dialogs.InputBox("Presets", std::string(30, 'w') + " " + std::string(30, 'w') + " " + std::string(30, 'w'), false,
                     text);
    EXPECT_GE(label.height(), 2 * lineHeight);  // wrapped onto more lines
    EXPECT_EQ(edit.top(), label.bottom() + 1 + 5);
}

TEST(QtInputBox, OkGivesTheEditedTextInTheCodePageAndCentresOnItsOwner) {
    TQtDialogs dialogs;
    QWidget owner;
    owner.setGeometry(100, 100, 400, 300);
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    QPoint centre;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<QDialog*>(w);
        ASSERT_NE(d, nullptr);
        centre = d->geometry().center();
        auto* e = d->findChild<QLineEdit*>("Edit");
        e->setText(QString::fromUtf8("Ёлка €") + QString(300, QLatin1Char('x')));  // cut at 255
        QTest::keyClick(e, Qt::Key_Return);
    });
    std::string text = "old";
    ASSERT_TRUE(dialogs.InputBox("Presets", "Name:", true, text));
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 6), Ru("Ёлка €"));
    EXPECT_LE((centre - owner.frameGeometry().center()).manhattanLength(), 4);  // centres round to whole pixels
}

TEST(QtModal, RunsAPlainDialogOrTheContentGivenForTheCaption) {
    TQtDialogs dialogs;
    QString title;
    WhenModal([&](QWidget* w) {
        title = w->windowTitle();
        qobject_cast<QDialog*>(w)->accept();
    });
    EXPECT_EQ(dialogs.RunModal(Ru("Параметры")), IDOK);
    EXPECT_EQ(title, QString::fromUtf8("Параметры"));

    std::string asked;
    dialogs.SetModalContent([&](const std::string& caption, QDialog& d) {
        asked = caption;
        auto* button = new QPushButton("Close", &d);
        button->setObjectName("Close");
        QObject::connect(button, &QPushButton::clicked, &d, &QDialog::reject);
        return true;
    });
    WhenModal([](QWidget* w) { w->findChild<QPushButton*>("Close")->click(); });
    EXPECT_EQ(dialogs.RunModal("Options"), IDCANCEL);
    EXPECT_EQ(asked, "Options");
}

TEST(QtFileOpen, FrameworkFiltersBecomeQtFiltersAndTheChosenFileComesBack) {
    EXPECT_EQ(qt::NameFilters(Utf8ToCp1251("Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*")),
              QStringList({QString::fromUtf8("Текстовые файлы (*.txt)"), QString::fromUtf8("Все файлы (*.*)")}));
    EXPECT_EQ(qt::NameFilters("Presets|*.flt;*.list|dangling"), QStringList({"Presets (*.flt *.list)"}));
    EXPECT_TRUE(qt::NameFilters("").isEmpty());

    const QString folder = QDir::temp().filePath(QStringLiteral("quorvel-open-file"));
    QDir(folder).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QString::fromUtf8("/почта.txt");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TQtDialogs dialogs;
    QStringList offered;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->nameFilters();
        mode = dialog->fileMode();
        dialog->selectFile(file);
        static_cast<QDialog*>(dialog)->accept();  // as the Open button does
    });
    std::string path;
    ASSERT_TRUE(dialogs.OpenFile(Utf8ToCp1251("Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*"), path));
    EXPECT_EQ(path, file.toStdString());  // the file system's own encoding, not the code page
    EXPECT_EQ(offered.size(), 2);
    EXPECT_EQ(mode, QFileDialog::ExistingFile);

    WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    path = "kept";
    EXPECT_FALSE(dialogs.OpenFile("*.txt|*.txt", path));
    EXPECT_EQ(path, "kept");
    QDir(folder).removeRecursively();
}

TEST(QtColourDialog, CustomColoursStartWhiteAndTheChoiceComesBackAsTheFrameworkColour) {
    TQtDialogs dialogs;
    QColor initial;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        initial = dialog->currentColor();
        dialog->setCurrentColor(QColor(255, 128, 0));
        dialog->accept();
    });
    TColor colour = clNavy;
    ASSERT_TRUE(dialogs.ChooseColor(colour));
    EXPECT_EQ(initial, QColor(0, 0, 128));
    EXPECT_EQ(colour, RGB(255, 128, 0));
    for (int i = 0; i < QColorDialog::customCount(); ++i) EXPECT_EQ(QColorDialog::customColor(i), QColor(Qt::white));

    WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(dialogs.ChooseColor(colour));
    EXPECT_EQ(colour, RGB(255, 128, 0));
}

TEST(QtFontDialog, PresetWithTheFontAndGivesBackFontStyleAndItsColour) {
    TQtDialogs dialogs;
    TFont font;
    font.Name = "DejaVu Sans";
    font.Size = 9;
    font.Color = clGreen;
    QFont preset;
    WhenModal([&](QWidget* w) {
        auto* fonts = w->findChild<QFontDialog*>(QStringLiteral("Fonts"));
        ASSERT_NE(fonts, nullptr);
        preset = fonts->currentFont();
        QFont chosen(QStringLiteral("DejaVu Sans"), 12);
        chosen.setBold(true);
        chosen.setUnderline(true);
        fonts->setCurrentFont(chosen);
        qobject_cast<QDialog*>(w)->accept();
    });
    ASSERT_TRUE(dialogs.ChooseFont(font));
    EXPECT_EQ(preset.pointSize(), 9);
    EXPECT_EQ(font.Size, 12);
    EXPECT_TRUE(font.Style.Contains(TFontStyle::fsBold));
    EXPECT_TRUE(font.Style.Contains(TFontStyle::fsUnderline));
    EXPECT_FALSE(font.Style.Contains(TFontStyle::fsItalic));
    EXPECT_EQ(font.Color, clGreen);  // the colour stays unless the operator picks another

    const TFont before = font;
    WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(dialogs.ChooseFont(font));
    EXPECT_EQ(font, before);
}

TEST(QtClipboard, TextCrossesAsCodePageWithCrLfLineBreaks) {
    qt::TQtClipboard clipboard;
    clipboard.SetText(Ru("CQ de UA3ABC\r\nПривет"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("CQ de UA3ABC\nПривет"));
    EXPECT_TRUE(clipboard.HasText());
    EXPECT_EQ(clipboard.GetText(), Ru("CQ de UA3ABC\r\nПривет"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("a\nb\r\nc 日"));
    EXPECT_EQ(clipboard.GetText(), "a\r\nb\r\nc ?");
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(clipboard.HasText());
}

TEST(QtDesktop, InstallsForTheProcessAndPutsTheOldOneBack) {
    const TDesktop* before = QuorvelDesktop();
    {
        qt::TQtDesktop desktop;
        EXPECT_EQ(QuorvelDesktop(), before);
        desktop.Install();
        EXPECT_EQ(QuorvelDesktop(), &desktop.Desktop());
        EXPECT_EQ(QuorvelDesktop()->Dispatcher, &desktop.Dispatcher);
        EXPECT_EQ(QuorvelDesktop()->Windows, &desktop.Windows);
        EXPECT_EQ(QuorvelDesktop()->Dialogs, &desktop.Dialogs);
        EXPECT_EQ(QuorvelDesktop()->Clipboard, &desktop.Clipboard);
        // Windows made through the installed desktop post through its dispatcher.
        int got = 0;
        const THandle h = QuorvelDesktop()->Windows->CreateWindowHandle(0, [&](const TMessage&) {
            ++got;
            return std::intptr_t{0};
        });
        QuorvelDesktop()->Windows->PostMessage(h, 1156, 0, 0);
        EXPECT_TRUE(SpinUntil([&] { return got == 1; }));
    }
    EXPECT_EQ(QuorvelDesktop(), before);
}

}  // namespace
}  // namespace quorvel::testing
