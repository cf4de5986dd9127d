// The audio setup wizard's view: its pages follow the steps, its buttons and
// lists drive the model, Esc is "Отмена".
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "QtDesktop.h"
#include "QtTestSupport.h"
#include "SimMultimedia.h"
#include "SimPlatform.h"
#include "audio/dsSetupWizard.h"
#include "plugin/PluginPlatform.h"

namespace quorvel::testing {
namespace {

TEST(QtSetupWizard, PagesButtonsAndListsFollowTheModel) {
    qt::TQtDesktop desktop;
    sim::TSimDialogs dialogs;
    TPlatform ports;
    ports.Dispatcher = &desktop.Dispatcher;
    ports.Windows = &desktop.Windows;
    ports.Dialogs = &dialogs;
    ports.Views = PluginViews();
    TApplication app(ports);
    sim::TSimMultimedia mm;
    mm.WaveOuts = {{"Speakers", 0, false}};
    sim::TSimMixerDevice card;
    card.Name = "Onboard";
    sim::TSimDestination recording;
    recording.Name = "Recording";
    recording.ComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    sim::TSimLine line;
    line.Name = "Line";
    line.Controls = {sim::TSimMultimedia::Volume(1, 1), sim::TSimMultimedia::Mute(false)};
    recording.Sources = {line};
    card.Destinations = {recording};
    mm.Mixers = {card};
    dsConfig::TConfig settings;

    auto wizard = TForm::Create<TAudioSetupForm>(app, THandle{0}, mm, settings, nullptr);
    wizard->Show();
    QWidget* window = desktop.Windows.Widget(wizard->Handle());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(429, 247));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Мастер выбора аудиоустройств"));
    auto* stack = window->findChild<QStackedWidget*>("PageControl1");
    auto* next = window->findChild<QPushButton*>("btnNext");
    auto* back = window->findChild<QPushButton*>("btnBack");
    ASSERT_TRUE(stack && next && back);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_EQ(stack->currentIndex(), 0);

    next->click();
    ASSERT_TRUE(SpinUntil([&] { return stack->currentIndex() == 1; }));
    auto* transmit = window->findChild<QComboBox*>("cbTransmit");
    ASSERT_NE(transmit, nullptr);
    EXPECT_TRUE(SpinUntil([&] { return transmit->count() == 2 && back->isEnabled(); }));
    EXPECT_EQ(transmit->itemText(0), QString::fromUtf8("Устройство по умолчанию"));

    next->click();
    ASSERT_TRUE(SpinUntil([&] { return stack->currentIndex() == 2; }));
    auto* source = window->findChild<QComboBox*>("cbSource");
    auto* box = window->findChild<QCheckBox*>("chkSwitch");
    ASSERT_TRUE(source && box);
    source->setCurrentIndex(1);  // the operator picks the line
    emit source->activated(1);
    EXPECT_EQ(wizard->cbSource.ItemIndex(), 1);
    ASSERT_TRUE(SpinUntil([&] { return box->isEnabled(); }));
    EXPECT_EQ(box->text(), QString::fromUtf8("Отключить"));
    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_TRUE(wizard->chkSwitch.Down());

    next->click();
    ASSERT_TRUE(SpinUntil([&] { return next->text() == QString::fromUtf8("Финиш"); }));
    // Esc asks first; the answer No keeps the wizard where it is.
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_FALSE(wizard->Finished());
    next->click();
    EXPECT_EQ(wizard->ModalResult(), mrOk);
}

}  // namespace
}  // namespace quorvel::testing
