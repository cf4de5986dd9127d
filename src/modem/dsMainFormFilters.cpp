// The receive-filters and extra-channels slice of the main window: the BPF
// buttons, the custom filter and notch controls (toolbar "команды 2" and the
// spectrum's pop-up menu), the channel tabs and their pop-up menu; their
// design, automation and handlers, and the persisted BPF choice.
#include <initializer_list>
#include <string>

#include "plugin/dsMainForm.h"
#include "ui/Design.h"

namespace quorvel {

void TMainForm::DesignFilters() {
    using design::Design;
    using design::Spin;
    // ---- Receive filters and notches ----
    Design(dxBarStatic1, "BPF:");
    int tag = 0;
    for (TButtonItem* b : {&mnuF1, &mnuF2, &mnuF3, &mnuF4}) {
        BPFGroup.Add(*b);
        b->Tag = tag++;
        b->SetCaption("BPF" + std::to_string(tag));
        b->SetHint(b->Caption());
        b->OnClick = [this](TComponent* s) { mnuBPFButtonClick(s); };
    }
    mnuF1.SetDown(true);
    Design(mnuLPF, "ФНЧ", "Фильтр нижних частот");
    mnuLPF.Tag = 0;
    Design(mnuBPF, "ПФ", "Полосовой фильтр");
    mnuBPF.Tag = 2;
    Design(mnuHPF, "ФВЧ", "Фильтр верхних частот");
    mnuHPF.Tag = 1;
    for (TButtonItem* b : {&mnuLPF, &mnuBPF, &mnuHPF}) FilterTypeGroup.Add(*b);
    Spin(mnuKF, "П:", "Прямоугольность фильтра", 40, 1, 50, 1, 5);
    mnuKF.SetEnabled(false);
    Spin(mnuFWidth, "Ш:", "Ширина фильтра, Гц", 50, 20, 3000, 10, 50);
    mnuFWidth.SetEnabled(false);
    Design(mnuOpenF, "Загрузить параметры фильтра");
    mnuOpenF.ShortCut = TextToShortCut("Ctrl+O");
    mnuOpenF.ImageIndex = 2;
    Design(mnuSaveFilter, "Сохранить параметры фильтра");
    mnuSaveFilter.ShortCut = TextToShortCut("Ctrl+S");
    mnuSaveFilter.ImageIndex = 3;
    mnuSaveFilter.SetEnabled(false);
    for (TControl* c : std::initializer_list<TControl*>{&dxBarStatic1, &mnuF1, &mnuF2, &mnuF3, &mnuF4, &mnuLPF,
                                                         &mnuBPF, &mnuHPF, &mnuKF, &mnuFWidth, &mnuOpenF,
                                                         &mnuSaveFilter})
        BarCommands2.ItemLinks.Add(*c, c == &mnuLPF || c == &mnuOpenF);
    Design(mnuNotchFilter, "Установить Notch - фильтр");
    Design(mnuDeleteAllNotch, "Удалить все Notch - фильтры");
    Design(mnuCancel, "Отмена");

    // ---- Extra receive channels ----
    Design(TabSheet1, "Основной канал");
    int channel = 0;
    for (TTabSheet* t : {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4, &TabSheet5}) {
        RzPageControl1.AddPage(*t);
        if (channel > 0) {
            std::string caption = "Канал ";
            caption += std::to_string(channel);
            Design(*t, caption.c_str());
            t->SetTabVisible(false);
        }
        ++channel;
    }
    Design(mnuSubChanel, "Открыть дополнительный канал приёма");
    Design(mnuCloseAllChanel, "Закрыть все дополнительные каналы");
    mnuCloseAllChanel.SetEnabled(false);
    Design(mnuFreqTXHere, "Установить частоту передачи на открытом канале");
    mnuFreqTXHere.ShortCut = TextToShortCut("Ctrl+F");
    mnuFreqTXHere.SetEnabled(false);
    dxBarPopupMenu2.ItemLinks.Add(mnuNotchFilter);
    dxBarPopupMenu2.ItemLinks.Add(mnuDeleteAllNotch);
    dxBarPopupMenu2.ItemLinks.Add(mnuSubChanel, true);
    dxBarPopupMenu2.ItemLinks.Add(mnuCloseAllChanel);
    dxBarPopupMenu2.ItemLinks.Add(mnuCancel, true);
    dxBarPopupMenu1.ItemLinks.Add(mnuCloseAllChanel);
    dxBarPopupMenu1.ItemLinks.Add(mnuFreqTXHere);
    RzPageControl1.PopupMenu = &dxBarPopupMenu1;
}

void TMainForm::RegisterFiltersAutomation() {
    Automation.AddControl(RzPageControl1);
    Automation.AddControl(dxBarPopupMenu1, false);
    Automation.AddControl(dxBarPopupMenu2, false);
}

TRichEdit& TMainForm::PaneForChannel(int channel) {
    switch (channel) {
        case 1: return RichEdit2;
        case 2: return RichEdit3;
        case 3: return RichEdit4;
        case 4: return RichEdit5;
        default: return RichEdit1;
    }
}

void TMainForm::mnuBPFButtonClick(TComponent* Sender) {
    if (Sender != nullptr) engine_->set_nBPF(static_cast<std::int16_t>(Sender->Tag));
}

// The custom filter is not built yet: there is none to set again.
void TMainForm::ReapplyCustomFilter() {}

std::int16_t TMainForm::GetBPF() const {
    if (mnuF2.Down()) return 1;
    if (mnuF3.Down()) return 2;
    if (mnuF4.Down()) return 3;
    return 0;
}
void TMainForm::SetBPF(std::int16_t value) {
    engine_->set_nBPF(value);
    TButtonItem* const buttons[] = {&mnuF1, &mnuF2, &mnuF3, &mnuF4};
    if (value >= 0 && value <= 3) buttons[value]->SetDown(true);
}

}  // namespace quorvel
