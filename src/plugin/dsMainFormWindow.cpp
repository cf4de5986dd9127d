// The window slice of the main window: the bars and the main menu, the status
// bar, the host-integration commands (options, help, about, the new-QSO
// window, awards) and the contact-data fields; their design, automation and
// handlers. The lifecycle itself is in dsMainForm.cpp.
#include <initializer_list>

#include "base/CodePage.h"
#include "plugin/dsMainForm.h"
#include "ui/Design.h"

namespace quorvel {

using design::Check;
using design::Design;

void TMainForm::DesignWindow() {
    // ---- Bars and main menu ----
    for (TBar* bar : {&BarMainMenu, &BarStandard, &BarCommands, &BarCommands2}) dxBarManager1.AddBar(*bar);
    Design(mnuFile, "Файл");
    Design(mnuView, "&Вид");
    Design(mnuSettings, "Настройки");
    Design(mnuQSO, "QSO");
    Design(mnuHelpMenu, "Справка");
    for (TSubItem* m : {&mnuFile, &mnuView, &mnuSettings, &mnuQSO, &mnuHelpMenu}) BarMainMenu.ItemLinks.Add(*m);

    // ---- Host integration ----
    Design(mnuOptions, "Параметры");
    Design(mnuHelp, "Вызов справки");
    mnuHelp.ShortCut = TextToShortCut("F1");
    mnuHelp.ImageIndex = 4;
    Design(mnuAbout, "О плагине...");
    Design(mnuStatusBar, "Строка состояния");
    Check(mnuStatusBar, true);
    Design(mnuSaveQSO, "Сохранить QSO");
    mnuSaveQSO.ImageIndex = 8;
    mnuSaveQSO.SetEnabled(false);
    Design(mnuCancelQSO, "Отменить QSO");
    mnuCancelQSO.ShortCut = TextToShortCut("Ctrl+L");
    mnuCancelQSO.ImageIndex = 9;
    Design(mnuGoNewQSO, "Перейти в окно \"Новое QSO\"");
    mnuGoNewQSO.ShortCut = TextToShortCut("F12");
    mnuGoNewQSO.SetEnabled(false);
    Design(mnuSetMode, "Установить вид модуляции в окне \"Новое QSO\"");
    mnuSetMode.SetEnabled(false);
    Design(mnuAwards, "Штат для диплома");
    mnuAwards.SetEnabled(false);
    Design(mnuAwardList, "Список дипломов");
    mnuAwards.ItemLinks.Add(mnuAwardList);

    // ---- Contact-data fields ----
    GroupBox1.SetEnabled(false);
    for (TControl* c : std::initializer_list<TControl*>{&Label1, &Label2, &Label3, &Label4, &Label5, &Edit1, &Edit2,
                                                        &Edit3, &Edit4, &Edit5})
        c->Parent = &GroupBox1;
    Label1.SetCaption(Ru("Позывной:"));
    Label2.SetCaption(Ru("RST(T):"));
    Label3.SetCaption(Ru("RST(R):"));
    Label4.SetCaption(Ru("Имя:"));
    Label5.SetCaption(Ru("QTH:"));
    Edit1.CharCase = TEditCharCase::ecUpperCase;
    Edit2.MaxLength = 3;

    // ---- Status bar: signal/noise, timing, signal frequency, Ru/En, free ----
    StatusBar1.AddPanel(80);
    StatusBar1.AddPanel(80);
    StatusBar1.AddPanel(80, true, "0.000");
    StatusBar1.AddPanel(30, false, "Ru");
    StatusBar1.AddPanel(-1);

    mnuOptions.OnClick = [this](TComponent* s) { mnuOptionsClick(s); };
    mnuHelp.OnClick = [this](TComponent* s) { mnuHelpClick(s); };
    mnuAbout.OnClick = [this](TComponent* s) { mnuAboutClick(s); };
    mnuStatusBar.OnClick = [this](TComponent* s) { mnuStatusBarClick(s); };
}

// The submenus of the main menu bar, once every slice has designed its items.
void TMainForm::DesignMainMenu() {
    mnuFile.ItemLinks.Add(mnuSendFile);
    mnuFile.ItemLinks.Add(mnuStopRx);
    mnuFile.ItemLinks.Add(mnuOpenRcFolder);
    mnuView.ItemLinks.Add(mnuViewType);
    mnuView.ItemLinks.Add(mnuViewWidth);
    mnuView.ItemLinks.Add(mnuScaleView, true);
    mnuView.ItemLinks.Add(mnuTrcvrView);
    mnuView.ItemLinks.Add(mnuStatusBar);
    mnuSettings.ItemLinks.Add(mnuOptions);
    mnuSettings.ItemLinks.Add(mnuWizard);
    mnuSettings.ItemLinks.Add(mnuEditMacros, true);
    mnuSettings.ItemLinks.Add(mnuTranslate, true);
    mnuSettings.ItemLinks.Add(mnuClickOnData);
    mnuQSO.ItemLinks.Add(mnuSaveQSO);
    mnuQSO.ItemLinks.Add(mnuCancelQSO);
    mnuQSO.ItemLinks.Add(mnuGoNewQSO, true);
    mnuQSO.ItemLinks.Add(mnuSetMode);
    mnuQSO.ItemLinks.Add(mnuAwards, true);
    mnuHelpMenu.ItemLinks.Add(mnuHelp);
    mnuHelpMenu.ItemLinks.Add(mnuAbout, true);
}

void TMainForm::RegisterContactAutomation() {
    for (TComponent* c : std::initializer_list<TComponent*>{&GroupBox1, &Edit1, &Edit2, &Edit3, &Edit4, &Edit5})
        Automation.AddControl(*c);
    Automation.AddControl(mnuAwardList, false);
}

void TMainForm::RegisterWindowAutomation() {
    Automation.AddControl(StatusBar1);
    for (TComponent* c : std::initializer_list<TComponent*>{&BarMainMenu, &BarStandard, &BarCommands, &BarCommands2})
        Automation.AddControl(*c, false);
}

void TMainForm::mnuStatusBarClick(TComponent*) { StatusBar1.SetVisible(mnuStatusBar.Down()); }

bool TMainForm::GetStatusBarVisible() const { return mnuStatusBar.Down(); }
void TMainForm::SetStatusBarVisible(bool value) {
    mnuStatusBar.SetDown(value);
    StatusBar1.SetVisible(value);
}

}  // namespace quorvel
