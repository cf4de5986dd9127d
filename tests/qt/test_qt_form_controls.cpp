// Menus, bars and pop-ups of a form's controls: one action per command
// wherever it is linked, editors with captions, macro bars refilled at run
// time, pop-up menus run as Qt menus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <memory>
#include <set>

#include "QtFormControls.h"
#include "QtTestSupport.h"
#include "base/CodePage.h"

namespace quorvel::testing {
namespace {

using namespace qt;

struct Form {
    TFocusScope focus;
    TBar menuBar{"BarMainMenu", ""};
    TBar commands{"BarCommands", Ru("команды")};
    TSubItem mnuSettings{"mnuSettings"};
    TSubItem mnuLevels{"mnuLevels"};
    TButtonItem mnuAFC{"mnuAFC"};
    TButtonItem mnuOptions{"mnuOptions"};
    TSpinEdit mnuAFCFreq{"mnuAFCFreq", &focus};
    TSpinEdit mnuInLevel{"mnuInLevel", &focus};
    TComboBox mnuModes{"mnuModes"};
    TBarStatic dxBarStatic1{"dxBarStatic1"};
    TPopupMenu popup{"dxBarPopupMenu3"};
    TButtonItem mnuIsCallsign{"mnuIsCallsign"}, mnuIsName{"mnuIsName"};
    Form() {
        mnuSettings.SetCaption(Ru("Настройки"));
        mnuOptions.SetCaption(Ru("Параметры"));
        mnuAFC.SetCaption("AFC");
        mnuAFC.ButtonStyle = TButtonStyle::bsChecked;
        mnuAFCFreq.SetCaption(Ru("Гц:"));
        mnuAFCFreq.SetValue(50);
        mnuModes.SetCaption(Ru("Вид:"));
        mnuModes.AddItem("BPSK");
        dxBarStatic1.SetCaption("BPF:");
        mnuLevels.SetCaption(Ru("Уровни"));
        mnuLevels.ItemLinks.Add(mnuInLevel);
        mnuSettings.ItemLinks.Add(mnuOptions);
        mnuSettings.ItemLinks.Add(mnuAFC, true);
        menuBar.ItemLinks.Add(mnuSettings);
        commands.ItemLinks.Add(mnuModes);
        commands.ItemLinks.Add(mnuAFC);
        commands.ItemLinks.Add(mnuAFCFreq);
        commands.ItemLinks.Add(dxBarStatic1, true);
        commands.ItemLinks.Add(mnuLevels);
        mnuIsCallsign.SetCaption(Ru("Позывной"));
        mnuIsName.SetCaption(Ru("Имя"));
        popup.ItemLinks.Add(mnuIsCallsign);
        popup.ItemLinks.Add(mnuIsName);
    }
};

TEST(QtFormControls, OneActionPerCommandWhereverItIsLinked) {
    Form f;
    int clicks = 0;
    f.mnuAFC.OnClick = [&](TComponent*) { ++clicks; };
    TQtSync sync;
    QWidget window;
    TQtFormControls controls(sync, {}, &window);
    QMenuBar menuBar(&window);
    TQtCommandBar toolBar("BarCommands", QString::fromUtf8("команды"), &window);
    controls.FillMenuBar(menuBar, f.menuBar);
    controls.FillToolBar(toolBar, f.commands.ItemLinks);
    QAction* afc = controls.ActionFor(f.mnuAFC);
    EXPECT_TRUE(toolBar.actions().contains(afc));
    auto* settings = menuBar.findChild<QMenu*>("mnuSettings");
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->title(), QString::fromUtf8("Настройки"));
    EXPECT_TRUE(settings->actions().contains(afc));
    afc->trigger();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(f.mnuAFC.Down());
    EXPECT_TRUE(afc->isChecked());
    f.mnuSettings.SetEnabled(false);
    QApplication::processEvents();
    EXPECT_FALSE(settings->menuAction()->isEnabled());
}

TEST(QtFormControls, BarEditorsShowTheirCaptionsAndDriveTheirControls) {
    Form f;
    TQtSync sync;
    QWidget window;
    TQtFormControls controls(sync, {}, &window);
    TQtCommandBar toolBar("BarCommands", QString::fromUtf8("команды"), &window);
    controls.FillToolBar(toolBar, f.commands.ItemLinks);
    QWidget* entry = toolBar.findChild<QWidget*>("mnuAFCFreqEntry");
    ASSERT_NE(entry, nullptr);
    auto* spin = entry->findChild<TQtSpinEdit*>("mnuAFCFreq");
    ASSERT_NE(spin, nullptr);
    QStringList captions;
    for (auto* l : toolBar.findChildren<QLabel*>()) captions << l->text();
    EXPECT_TRUE(captions.contains(QString::fromUtf8("Гц:")));
    EXPECT_TRUE(captions.contains(QString::fromUtf8("Вид:")));
    EXPECT_TRUE(captions.contains("BPF:"));
    spin->stepBy(1);
    EXPECT_EQ(f.mnuAFCFreq.CurText(), "51");
    // The submenu of a bar holds its own editors.
    auto* levels = toolBar.findChild<QMenu*>("mnuLevels");
    ASSERT_NE(levels, nullptr);
    EXPECT_EQ(levels->title(), QString::fromUtf8("Уровни"));
}

// A bar narrower than its items wraps them into rows; a hidden command
// leaves no gap, and a group's separator never begins a row.
TEST(QtFormControls, ABarTooNarrowForItsItemsWrapsThem) {
    Form f;
    TQtSync sync;
    QWidget window;
    TQtFormControls controls(sync, {}, &window);
    auto* bar = new TQtCommandBar("BarCommands", QString::fromUtf8("команды"), &window);
    controls.FillToolBar(*bar, f.commands.ItemLinks);
    window.resize(bar->sizeHint().width() + 10, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto rowsAt = [&](int width) {
        bar->setGeometry(0, 0, width, bar->heightForWidth(width));
        QApplication::processEvents();
        std::vector<QRect> items;
        for (QWidget* w : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w->isWindow() || !w->isVisibleTo(bar) || w->size().isEmpty()) continue;
            EXPECT_TRUE(bar->rect().contains(w->geometry())) << w->objectName().toStdString() << " at " << width;
            for (const QRect& other : items) EXPECT_FALSE(other.intersects(w->geometry())) << w->objectName().toStdString();
            if (w->property("barSeparator").toBool()) {
                EXPECT_GT(w->x(), 2) << "a separator begins a row";
            }
            items.push_back(w->geometry());
        }
        std::set<int> tops;
        for (const QRect& r : items) tops.insert(r.center().y() / 10);
        return tops.size();
    };
    EXPECT_EQ(rowsAt(bar->sizeHint().width()), 1u);
    const int widest = bar->minimumSizeHint().width();
    EXPECT_GT(rowsAt(widest), 2u);
    EXPECT_GT(bar->heightForWidth(widest), bar->heightForWidth(bar->sizeHint().width()));
    // A command hidden by its control gives its place to the next one.
    QToolButton* afc = bar->WidgetForAction(controls.ActionFor(f.mnuAFC));
    ASSERT_NE(afc, nullptr);
    const int before = bar->sizeHint().width();
    f.mnuAFC.SetVisible(false);
    QApplication::processEvents();
    EXPECT_FALSE(afc->isVisibleTo(bar));
    EXPECT_LT(bar->sizeHint().width(), before);
}

TEST(QtFormControls, MacroBarsFollowButtonsFreedAndAddedAtRunTime) {
    TToolBar model("ToolBar1");
    TQtSync sync;
    QWidget window;
    TQtFormControls controls(sync, {}, &window);
    QToolBar* bar = controls.MacroBar(model, &window);
    int clicked = -1;
    auto add = [&](const char* caption, int tag) {
        auto button = std::make_unique<TToolButtonX>(caption);
        button->SetCaption(caption);
        button->Tag = tag;
        button->OnClick = [&clicked](TComponent* s) { clicked = static_cast<TControl*>(s)->Tag; };
        model.AddButton(std::move(button));
    };
    add("CQ", 1);
    add("QRZ?", 2);
    QApplication::processEvents();
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[1]->text(), "QRZ?");
    bar->actions()[1]->trigger();
    EXPECT_EQ(clicked, 2);
    // Freed and refilled in one handler, as a reload of the macro file does.
    model.Clear();
    add("73", 3);
    QApplication::processEvents();
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions()[0]->text(), "73");
    bar->actions()[0]->trigger();
    EXPECT_EQ(clicked, 3);
    model.Buttons(0).SetCaption("SK");
    QApplication::processEvents();
    EXPECT_EQ(bar->actions()[0]->text(), "SK");
}

TEST(QtFormControls, PopupMenusRunAsQtMenusAndTheChosenItemClicks) {
    Form f;
    std::string chosen;
    f.mnuIsName.OnClick = [&](TComponent* s) { chosen = static_cast<TControl*>(s)->Name; };
    bool popped = false, closed = false;
    f.popup.OnPopup = [&](TComponent*) { popped = true; };
    f.popup.OnCloseUp = [&](TComponent*) { closed = true; };
    TQtSync sync;
    QWidget window;
    {
        TQtFormControls controls(sync, {}, &window);
        controls.BindPopup(f.popup);
        QStringList shown;
        WhenPopup([&](QWidget* w) {
            auto* menu = qobject_cast<QMenu*>(w);
            ASSERT_NE(menu, nullptr);
            for (QAction* a : menu->actions()) shown << a->text();
            for (QAction* a : menu->actions())
                if (a->text() == QString::fromUtf8("Имя")) menu->setActiveAction(a);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        f.popup.Popup(TPoint{100, 100});
        EXPECT_EQ(shown, (QStringList{QString::fromUtf8("Позывной"), QString::fromUtf8("Имя")}));
        EXPECT_EQ(chosen, "mnuIsName");
        EXPECT_TRUE(popped);
        EXPECT_TRUE(closed);
    }
    EXPECT_FALSE(f.popup.Runner);  // the view is gone: no runner left behind
}

}  // namespace
}  // namespace quorvel::testing
