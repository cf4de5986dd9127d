// The receive-filters and extra-channels slice of the main window: the BPF
// buttons, the custom filter and notch controls (toolbar "команды 2" and the
// spectrum's pop-up menu), the channel tabs and their pop-up menu; their
// design, automation and handlers, and the persisted BPF choice.
#include <initializer_list>
#include <optional>
#include <string>

#include "base/Round.h"
#include "modem/FilterPresets.h"
#include "modem/ModemText.h"
#include "plugin/dsMainForm.h"
#include "ports/Dialogs.h"
#include "ui/Design.h"
#include "ui/InputBox.h"
#include "ui/MessageBoxes.h"

namespace quorvel {

void TMainForm::DesignFilters() {
    using design::Design;
    using design::Spin;
    // ---- Receive filters and notches ----
    Design(dxBarStatic1, "BPF:");
    int tag = 0;
    for (TButtonItem* b : {&mnuF1, &mnuF2, &mnuF3, &mnuF4}) {
        b->ButtonStyle = TButtonStyle::bsChecked;
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
    for (TButtonItem* b : {&mnuLPF, &mnuBPF, &mnuHPF}) {
        b->ButtonStyle = TButtonStyle::bsChecked;
        FilterTypeGroup.Add(*b);
        b->OnClick = [this](TComponent* s) { mnuFilterTypeClick(s); };
    }
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
    mnuKF.OnCurChange = [this](TComponent* s) { mnuKFCurChange(s); };
    mnuFWidth.OnCurChange = [this](TComponent* s) { mnuFWidthCurChange(s); };
    mnuOpenF.OnClick = [this](TComponent* s) { mnuOpenFClick(s); };
    mnuSaveFilter.OnClick = [this](TComponent* s) { mnuSaveFilterClick(s); };
    for (TControl* c : std::initializer_list<TControl*>{&dxBarStatic1, &mnuF1, &mnuF2, &mnuF3, &mnuF4, &mnuLPF,
                                                         &mnuBPF, &mnuHPF, &mnuKF, &mnuFWidth, &mnuOpenF,
                                                         &mnuSaveFilter})
        BarCommands2.ItemLinks.Add(*c, c == &mnuLPF || c == &mnuOpenF);
    Design(mnuNotchFilter, "Установить Notch - фильтр");
    Design(mnuDeleteAllNotch, "Удалить все Notch - фильтры");
    Design(mnuCancel, "Отмена");
    mnuNotchFilter.OnClick = [this](TComponent* s) { mnuNotchFilterClick(s); };
    mnuDeleteAllNotch.OnClick = [this](TComponent* s) { mnuDeleteAllNotchClick(s); };
    dxBarPopupMenu2.OnPopup = [this](TComponent* s) { dxBarPopupMenu2Popup(s); };

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
    mnuSubChanel.OnClick = [this](TComponent* s) { mnuSubChanelClick(s); };
    mnuCloseAllChanel.OnClick = [this](TComponent* s) { mnuCloseAllChanelClick(s); };
    mnuFreqTXHere.OnClick = [this](TComponent* s) { mnuFreqTXHereClick(s); };
    RzPageControl1.OnChange = [this](TComponent* s) { RzPageControl1Change(s); };
    RzPageControl1.OnClose = [this](TComponent* s) { RzPageControl1Close(s); };
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

// ---- Custom filter ----------------------------------------------------------

namespace {

struct TFilterEdges {
    std::int64_t Edge1 = 0, Edge2 = 0;
};

TFilterEdges CustomFilterEdges(int type, int centre, double offset, int width) {
    switch (type) {
        case FilterLowPass: return {Round(centre + width - offset), Round(centre - offset)};
        case FilterHighPass: return {Round(centre - width - offset), Round(centre - offset)};
        default: return {centre - width / 2, centre + width / 2};
    }
}

}  // namespace

void TMainForm::ReapplyCustomFilter() {
    const int type = Filters.CustomFilterType;
    if (type < 0) return;
    const std::int16_t ch = CurrentChannel();
    const auto centre = static_cast<int>(Round(engine_->FilterCentre(ch)));
    const TFilterEdges e = CustomFilterEdges(type, centre, engine_->FilterOffset(ch), mnuFWidth.Value());
    engine_->SetFilter(static_cast<std::int16_t>(type), static_cast<std::int16_t>(mnuKF.Value() * 10),
                       static_cast<double>(e.Edge1), static_cast<double>(e.Edge2), 60);
}

void TMainForm::mnuFilterTypeClick(TComponent* Sender) {
    auto* button = dynamic_cast<TButtonItem*>(Sender);
    if (button == nullptr) return;
    const bool on = button->Down();
    mnuKF.SetEnabled(on);
    mnuFWidth.SetEnabled(on);
    mnuSaveFilter.SetEnabled(on);
    if (on) {
        Filters.CustomFilterType = button->Tag;
        ReapplyCustomFilter();
    } else {
        engine_->ClearFilter();
        Filters.CustomFilterType = -1;
    }
}

void TMainForm::mnuKFCurChange(TComponent*) {
    design::CommitCurValue(mnuKF);
    ReapplyCustomFilter();
}

void TMainForm::mnuFWidthCurChange(TComponent*) {
    design::CommitCurValue(mnuFWidth);
    ReapplyCustomFilter();
}

// ---- Notches ---------------------------------------------------------------------

void TMainForm::mnuNotchFilterClick(TComponent*) {
    engine_->AddNotch(Views.ClickedFrequency);
    // The custom filter gives way to the notch; the engine drops it itself.
    for (TButtonItem* b : {&mnuLPF, &mnuBPF, &mnuHPF}) b->SetDown(false);
    mnuKF.SetEnabled(false);
    mnuFWidth.SetEnabled(false);
    mnuSaveFilter.SetEnabled(false);
    Filters.CustomFilterType = -1;
}

void TMainForm::mnuDeleteAllNotchClick(TComponent*) { engine_->DeleteNotch(-1); }

void TMainForm::dxBarPopupMenu2Popup(TComponent*) { mnuDeleteAllNotch.SetEnabled(engine_->wNumNotches() != 0); }

// ---- Presets ---------------------------------------------------------------------

void TMainForm::mnuOpenFClick(TComponent*) {
    TFiltersForm dialog(Application(), FilterPresetsPath(PluginsDataFolder()));
    {
        TModalScope modal(Application());
        if (RunFiltersDialog) {
            dialog.ModalResult = RunFiltersDialog(dialog);
        } else if (IDialogs* dialogs = Platform().Dialogs) {
            dialog.ModalResult = dialogs->RunModal(dialog.Caption);
        }
    }
    if (const std::optional<TFilterPreset> chosen = dialog.Chosen()) ApplyFilterPreset(*chosen);
}

void TMainForm::ApplyFilterPreset(const TFilterPreset& preset) {
    TButtonItem* const byType[] = {&mnuLPF, &mnuHPF, &mnuBPF};
    if (preset.Type >= 0 && preset.Type <= 2) {
        TButtonItem& button = *byType[preset.Type];
        if (!button.Down()) button.SetDown(true);
        mnuFilterTypeClick(&button);
    } else if (TButtonItem* down = FilterTypeGroup.DownButton()) {
        down->SetDown(false);
        mnuFilterTypeClick(down);
    }
    mnuKF.SetCurText(std::to_string(preset.Steepness));
    mnuFWidth.SetCurText(std::to_string(preset.Width));
}

void TMainForm::mnuSaveFilterClick(TComponent*) {
    if (Filters.CustomFilterType < 0) return;
    std::string name;
    if (!InputBox(Application(), Ru("Сохранение фильтра"), Ru("Пожалуйста, введите имя фильтра или его описание."),
                  true, name))
        return;
    if (name.empty()) {
        AppMessageBox(Application(), Ru("Имя фильтра (описание) не задано.\r\nФильтр не может быть сохранён."),
                      MB_ICONWARNING);
        return;
    }
    const std::string path = FilterPresetsPath(PluginsDataFolder());
    // Appended to the file as it is: storing a preset loses none of the lines
    // already there, not even those the list cannot show.
    if (AppendPresetFile(path, {name, Filters.CustomFilterType, mnuFWidth.Value(), mnuKF.Value()})) return;
    AppMessageBox(Application(), Ru("Не удалось сохранить список фильтров:\r\n") + path, MB_ICONERROR);
}

// ---- Extra channels --------------------------------------------------------------

namespace {

bool AnyExtraTabHidden(const TPageControl& pages) {
    for (int i = 1; i < pages.PageCount(); ++i)
        if (!pages.Pages(i).TabVisible()) return true;
    return false;
}

int ShownTabs(const TPageControl& pages) {
    int shown = 0;
    for (int i = 0; i < pages.PageCount(); ++i) shown += pages.Pages(i).TabVisible() ? 1 : 0;
    return shown;
}

}  // namespace

void TMainForm::mnuSubChanelClick(TComponent*) {
    const int mode = mnuModes.ItemIndex();
    const std::string speedText = mnuSpeed.Text();
    const std::int16_t previous = CurrentChannel();
    int free = -1;
    for (int i = 0; i < RzPageControl1.PageCount() && free < 0; ++i)
        if (!RzPageControl1.Pages(i).TabVisible()) free = i;
    if (free < 0) return;
    const auto ch = static_cast<std::int16_t>(free);
    engine_->set_ChannelOpen(ch, OleTrue);
    engine_->set_RxCarrier(ch, Views.ClickedFrequency);
    RzPageControl1.Pages(ch).SetTabVisible(true);
    RzPageControl1.SetShowCloseButton(true);
    RzPageControl1.SetActivePageIndex(ch);
    PaneForChannel(ch).DefAttributes = RichEdit1.DefAttributes;
    engine_->set_Afc(ch, mnuAFC.Down() ? 1 : 0);
    if (mode >= 0) {
        engine_->set_Mode(ch, static_cast<std::int16_t>(mode));
        engine_->set_Mode(previous, static_cast<std::int16_t>(mode));
    }
    if (!speedText.empty()) {
        if (const std::optional<double> speed = ParseSpeedText(speedText, Application().DecimalSeparator)) {
            engine_->set_Speed(ch, *speed);
            engine_->set_Speed(previous, engine_->Speed(ch));
        }
    }
    // The carrier's report came while the previous channel was current: the
    // custom filter moves to the new channel now.
    ReapplyCustomFilter();
    if (Window.DialFrequency != 0) UpdateSignalFrequency(false);
    mnuSubChanel.SetEnabled(AnyExtraTabHidden(RzPageControl1));
    mnuCloseAllChanel.SetEnabled(true);
    mnuFreqTXHere.SetEnabled(true);
}

void TMainForm::RzPageControl1Close(TComponent*) {
    const std::int16_t closing = CurrentChannel();
    if (closing == 0) return;
    engine_->set_ChannelOpen(closing, OleFalse);
    RzPageControl1.Pages(closing).SetTabVisible(false);
    int before = closing - 1;
    while (before > 0 && !RzPageControl1.Pages(before).TabVisible()) --before;
    RzPageControl1.SetActivePageIndex(before);
    if (CurrentChannel() == 0) RzPageControl1.SetShowCloseButton(false);
    const bool extraShown = ShownTabs(RzPageControl1) > 1;
    mnuCloseAllChanel.SetEnabled(extraShown);
    mnuFreqTXHere.SetEnabled(extraShown);
    mnuSubChanel.SetEnabled(true);
    ChannelSwitch();
}

void TMainForm::mnuCloseAllChanelClick(TComponent*) {
    for (std::int16_t ch = 1; ch < RzPageControl1.PageCount(); ++ch) {
        engine_->set_ChannelOpen(ch, OleFalse);
        RzPageControl1.Pages(ch).SetTabVisible(false);
    }
    RzPageControl1.SetShowCloseButton(false);
    RzPageControl1.SetActivePageIndex(0);
    mnuSubChanel.SetEnabled(true);
    mnuCloseAllChanel.SetEnabled(false);
    mnuFreqTXHere.SetEnabled(false);
    ChannelSwitch();
}

void TMainForm::RzPageControl1Change(TComponent*) { ChannelSwitch(); }

void TMainForm::ChannelSwitch() {
    const std::int16_t ch = CurrentChannel();
    mnuModes.SetItemIndex(engine_->Mode(ch));
    mnuSpeed.SetText(SpeedText(engine_->Speed(ch), Application().DecimalSeparator));
    mnuRXFreq.SetValue(engine_->RxCarrier(ch));
    const bool afc = engine_->Afc(ch) != 0;
    mnuAFC.SetDown(afc);
    mnuAFCFreq.SetEnabled(afc);
    mnuAFCLevel.SetEnabled(afc);
    ReapplyCustomFilter();
    RzPageControl1.SetShowCloseButton(ch != 0);
    if (Window.DialFrequency != 0) UpdateSignalFrequency(false);
}

void TMainForm::mnuFreqTXHereClick(TComponent*) { engine_->set_wTxCarrier(engine_->RxCarrier(CurrentChannel())); }

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
