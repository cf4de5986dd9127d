// Forms get their views from the plug-in's factory only where their native
// windows are Qt widgets; the view goes before the window does.
#include <gtest/gtest.h>

#include <QApplication>

#include "QtDesktop.h"
#include "SimPlatform.h"
#include "base/CodePage.h"
#include "plugin/PluginPlatform.h"
#include "ui/Forms.h"

namespace quorvel::testing {
namespace {

TEST(QtFormView, AFormOnTheQtDesktopIsShownWithItsCaption) {
    qt::TQtDesktop desktop;
    TPlatform ports;
    ports.Dispatcher = &desktop.Dispatcher;
    ports.Windows = &desktop.Windows;
    ports.Views = PluginViews();
    TApplication app(ports);
    {
        TForm form(app, 0);
        form.Caption = Ru("О плагине...");
        form.Width = 320;
        form.Height = 200;
        EXPECT_EQ(form.View(), nullptr);
        form.Show();
        ASSERT_NE(form.View(), nullptr);
        QWidget* window = desktop.Windows.Widget(form.Handle());
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8("О плагине..."));
        EXPECT_EQ(window->size(), QSize(320, 200));
        EXPECT_EQ(qt::FindWindowWidget(form.Handle()), window);
        form.Hide();
        form.Show();  // one view for the window's life
    }
    EXPECT_TRUE(desktop.Windows.EnumWindows().empty());
}

TEST(QtFormView, WindowsThatAreNotQtWidgetsGetNoView) {
    sim::TSimPlatform sim;
    sim.Ports().Views = PluginViews();
    TApplication app(sim.Ports());
    TForm form(app, 0);
    form.Show();
    EXPECT_EQ(form.View(), nullptr);
    EXPECT_TRUE(sim.Windows.IsVisible(form.Handle()));
}

}  // namespace
}  // namespace quorvel::testing
