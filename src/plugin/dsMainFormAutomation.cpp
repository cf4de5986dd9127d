// What the main window offers to automation (pavo/automation.h): the controls
// the operator sees and works with, described in the window's order, and the
// menus, bars and views the operator's verbs reach.
#include <initializer_list>

#include "plugin/dsMainForm.h"

namespace quorvel {

void TMainForm::RegisterAutomation() {
    for (TComponent* c : std::initializer_list<TComponent*>{
             &mnuModes, &mnuSpeed, &mnuAFC, &mnuNET, &mnuATC, &mnuRXFreq, &mnuTXFreq, &Label7,
             &RzPageControl1, &RichEdit1, &RichEdit2, &RichEdit3, &RichEdit4, &RichEdit5,
             &GroupBox1, &Edit1, &Edit2, &Edit3, &Edit4, &Edit5,
             &PageControl1, &ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5,
             &Memo1, &RsSpeedButton1, &RsSpeedButton2, &StatusBar1})
        Automation.AddControl(*c);
    for (TComponent* c : std::initializer_list<TComponent*>{
             &BarMainMenu, &BarStandard, &BarCommands, &BarCommands2, &dxBarPopupMenu1, &dxBarPopupMenu2,
             &dxBarPopupMenu3, &dxBarPopupMenu4, &mnuAwardList, &XMMVView1, &XMMVView2, &RsSpeedButton3,
             &RsSpeedButton42, &RsSpeedButton43, &RsSpeedButton44, &RsSpeedButton45, &RsSpeedButton46})
        Automation.AddControl(*c, false);
}

}  // namespace quorvel
