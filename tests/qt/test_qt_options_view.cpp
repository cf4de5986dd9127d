// The options dialog's view: three tabs laid out as the dialog's pages, each
// widget showing its control and working it, the colour pickers with their
// swatches, Esc and F1.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "QtDesktop.h"
#include "QtTestSupport.h"
#include "SimMultimedia.h"
#include "SimPlatform.h"
#include "plugin/PluginPlatform.h"
#include "settings/dsOptionsForm.h"

namespace quorvel::testing {
namespace {

TEST(QtOptionsView, PagesShowAndWorkTheDialogsControls) {
    qt::TQtDesktop desktop;
    sim::TSimDialogs dialogs;
    TPlatform ports;
    ports.Dispatcher = &desktop.Dispatcher;
    ports.Windows = &desktop.Windows;
    ports.Dialogs = &dialogs;
    ports.Views = PluginViews();
    TApplication app(ports);
    sim::TSimMultimedia mm = sim::TSimMultimedia::SoundCard("Onboard");
    dsConfig::TConfig settings;
    int helpShown = 0;

    auto form = TForm::Create<TOptionsForm>(app, THandle{0}, &mm, settings);
    form->OnHelp = [&helpShown] { ++helpShown; };
    form->Show();
    QWidget* window = desktop.Windows.Widget(form->Handle());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(386, 295));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Настройки"));
    auto* tabs = window->findChild<QTabWidget*>("PageControl1");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("Основные"));
    EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("Параметры аудио"));
    EXPECT_EQ(tabs->tabText(2), QString::fromUtf8("Вид"));
    // Each page holds its own controls.
    EXPECT_NE(tabs->widget(0)->findChild<QCheckBox*>("chkAutoSendChar"), nullptr);
    EXPECT_NE(tabs->widget(1)->findChild<QComboBox*>("cbSoundSource"), nullptr);
    EXPECT_NE(tabs->widget(2)->findChild<QGroupBox*>("gbTXFont"), nullptr);

    // The idle-time row follows its check box.
    auto* autoSend = window->findChild<QCheckBox*>("chkAutoSendChar");
    auto* idle = window->findChild<QAbstractSpinBox*>("seTimeDoRx");
    auto* idleLabel = window->findChild<QLabel*>("lblTimeDoRx");
    ASSERT_TRUE(autoSend && idle && idleLabel);
    EXPECT_EQ(autoSend->text(), QString::fromUtf8("При вводе символа сразу его передавать "));
    ASSERT_TRUE(SpinUntil([&] { return !idle->isEnabled() && !idleLabel->isEnabled(); }));
    autoSend->click();
    EXPECT_TRUE(form->seTimeDoRx.Enabled());
    ASSERT_TRUE(SpinUntil([&] { return idle->isEnabled() && idleLabel->isEnabled(); }));

    // The read-only editors step but take no typing.
    auto* delay = window->findChild<QAbstractSpinBox*>("seDelayTX");
    ASSERT_NE(delay, nullptr);
    ASSERT_NE(delay->findChild<QLineEdit*>(), nullptr);
    EXPECT_TRUE(delay->findChild<QLineEdit*>()->isReadOnly());
    delay->stepBy(2);
    EXPECT_EQ(form->seDelayTX.CurText(), "200");

    // The audio page: devices and the recording lines, the switch beside them.
    auto* sources = window->findChild<QComboBox*>("cbSoundSource");
    auto* select = window->findChild<QCheckBox*>("chkInSelect");
    ASSERT_TRUE(sources && select);
    ASSERT_TRUE(SpinUntil([&] { return sources->count() == 3; }));
    EXPECT_EQ(sources->itemText(2), QString::fromUtf8("Microphone"));
    emit sources->activated(2);
    ASSERT_TRUE(SpinUntil([&] { return select->isEnabled() && select->isChecked(); }));
    EXPECT_EQ(select->text(), QString::fromUtf8("Выбрать"));
    auto* outputs = window->findChild<QComboBox*>("cbOutSoundCard");
    ASSERT_NE(outputs, nullptr);
    EXPECT_EQ(outputs->itemText(0), QString::fromUtf8("Устройство по умолчанию"));

    // A colour picker shows swatches; its custom entry asks, and on OK shows the choice.
    auto* wnd = window->findChild<QComboBox*>("cbRXWndColor");
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(wnd->itemText(0), QString::fromUtf8("Выбрать"));
    EXPECT_FALSE(wnd->itemIcon(0).isNull());
    ASSERT_GT(wnd->count(), 1);
    const qint64 unchanged = wnd->itemIcon(1).cacheKey();
    dialogs.Colours.push_back(RGB(10, 20, 30));
    emit wnd->activated(0);
    EXPECT_EQ(form->cbRXWndColor.Selected(), RGB(10, 20, 30));
    ASSERT_TRUE(SpinUntil([&] { return wnd->currentIndex() == 0; }));
    // A colour that did not change keeps its icon, so Qt's cache of it is found again.
    EXPECT_EQ(wnd->itemIcon(1).cacheKey(), unchanged);

    // The TX sample takes the font dialog's choice and shows it in its colour.
    dialogs.Fonts.push_back(TFont{"Serif", 14, {}, RGB(255, 0, 0)});
    auto* chooseTx = window->findChild<QPushButton*>("btnTXFont");
    ASSERT_NE(chooseTx, nullptr);
    chooseTx->click();
    auto* sample = window->findChild<QLabel*>("pnlTXSample");
    ASSERT_NE(sample, nullptr);
    ASSERT_TRUE(SpinUntil([&] { return sample->font().pointSize() == 14; }));
    EXPECT_EQ(sample->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(sample->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(sample->text(), QString::fromUtf8("Образец"));

    // The help link and F1; Esc cancels.
    auto* link = window->findChild<QLabel*>("lblHelp");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(helpShown, 1);
    QTest::keyClick(window, Qt::Key_F1);
    EXPECT_EQ(helpShown, 2);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(form->ModalResult(), mrCancel);

    // OK stores what the widgets were set to.
    auto* ok = window->findChild<QPushButton*>("btnOK");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QString::fromUtf8("&ОК"));
    ok->click();
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_TRUE(settings.AutoSendChar);
    EXPECT_EQ(settings.DelayTX, 200);
    EXPECT_EQ(settings.SoundSource, 2);
    EXPECT_EQ(settings.RXWndColor, RGB(10, 20, 30));
    EXPECT_EQ(settings.TXFontColor, RGB(255, 0, 0));
}

}  // namespace
}  // namespace quorvel::testing
