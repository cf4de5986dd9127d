// The macros slice of the main window: the five macro pages with their
// toolbars and the macro editor's command; their design, automation and the
// persisted page. The macro data module and the macro file are not built yet:
// their lifecycle steps below do nothing, and are filled in here.
#include <cstddef>
#include <initializer_list>

#include "plugin/dsMainForm.h"
#include "ui/Design.h"

namespace quorvel {

void TMainForm::DesignMacros() {
    using design::Design;
    const char* const pages[] = {"CQ", "QSO (Ru)", "Прочее (Ru)", "QSO (En)", "Прочее (En)"};
    std::size_t page = 0;
    for (TTabSheet* t : {&MacroSheet1, &MacroSheet2, &MacroSheet3, &MacroSheet4, &MacroSheet5}) {
        Design(*t, pages[page++]);
        PageControl1.AddPage(*t);
    }
    for (TToolBar* bar : {&ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5}) bar->SetHeight(21);
    Design(mnuEditMacros, "Редактировать текстовые заготовки");
}

void TMainForm::RegisterMacrosAutomation() {
    for (TComponent* c :
         std::initializer_list<TComponent*>{&PageControl1, &ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5})
        Automation.AddControl(*c);
}

// Creation step: the macro data module.
void TMainForm::CreateMacrosDataModule() {}
// Show step: the macro file into the five macro toolbars.
void TMainForm::LoadMacroToolbars() {}
// Destruction step: frees the macro data module.
void TMainForm::FreeMacrosDataModule() {}

std::int32_t TMainForm::GetMacrosPageIndex() const { return PageControl1.ActivePageIndex(); }
void TMainForm::SetMacrosPageIndex(std::int32_t value) { PageControl1.SetActivePageIndex(value); }

}  // namespace quorvel
