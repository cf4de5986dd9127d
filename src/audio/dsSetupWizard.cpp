#include "audio/dsSetupWizard.h"

#include "base/CodePage.h"
#include "plugin/HostLibraries.h"
#include "ports/Dialogs.h"
#include "ui/MessageBoxes.h"

namespace quorvel {

TAudioSetupForm::TAudioSetupForm(TApplication& app, THandle parentWindow, IMultimedia& multimedia,
                                 const dsConfig::TConfig& settings, const THostResources* resources)
    : TForm(app, parentWindow), multimedia_(multimedia), settings_(settings), resources_(resources) {
    Design();
}

TAudioSetupForm::~TAudioSetupForm() { ReleaseView(); }

void TAudioSetupForm::Design() {
    Name = "AudioSetupForm";
    Caption = Ru("Мастер выбора аудиоустройств");
    BorderStyle = 3;  // a fixed dialog frame without title-bar buttons
    Width = kClientWidth;
    Height = kClientHeight;

    for (TTabSheet* page : {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4}) {
        page->SetTabVisible(false);
        PageControl1.AddPage(*page);
    }
    PageControl1.SetHeight(kPageHeight);

    lblWelcomeTitle.SetCaption(Ru("Мастер выбора аудиоустройств"));
    lblWelcomeTitle.Font.Style.Include(TFontStyle::fsBold);
    lblWelcomeTitle.Font.Size = 12;  // 16 pixels at 96 dpi
    lblWelcomeText.SetCaption(
        Ru("Этот мастер поможет вам выбрать аудиокарты для работы цифровыми видами связи.\r\n"
           "Если на вашем компьютере операционная система Windows Vista или Windows 7, то предварительно следует "
           "соединить ваш трансивер со звуковой картой компьютера.\r\n\r\n"
           "Как будете готовы нажмите кнопку \"Далее\"."));

    lblTransmitHeader.SetCaption(Ru("Выберите аудиоустройство, которое будет использоваться на передачу."));
    lblTransmitHeader.Font.Style.Include(TFontStyle::fsBold);
    lblTransmit.SetCaption(Ru("Аудиоустройство канала передачи:"));

    lblReceiveHeader.SetCaption(
        Ru("Выберите аудиоустройство, которое будет использоваться на приём и канал, к которому подключён "
           "НЧ-выход вашего трансивера."));
    lblReceiveHeader.Font.Style.Include(TFontStyle::fsBold);
    lblReceive.SetCaption(Ru("Аудиоустройство канала приёма:"));
    lblSource.SetCaption(Ru("Канал :"));
    chkSwitch.ButtonStyle = TButtonStyle::bsChecked;
    chkSwitch.SetCaption(Ru("Отключить"));

    lblFinishTitle.SetCaption(Ru("Завершающий этап работы мастера"));
    lblFinishTitle.Font.Style.Include(TFontStyle::fsBold);
    lblFinishText.SetCaption(
        Ru("Для сохранения выбранных вами параметров нажмите кнопку \"Финиш\", для возврата - кнопку \"Назад\"."));

    btnBack.SetCaption(Ru("< Назад"));
    btnBack.SetEnabled(false);
    btnNext.SetCaption(Ru("Далее >"));
    btnCancel.SetCaption(Ru("Отмена"));

    btnBack.OnClick = [this](TComponent* s) { btnBackClick(s); };
    btnNext.OnClick = [this](TComponent* s) { btnNextClick(s); };
    btnCancel.OnClick = [this](TComponent* s) { btnCancelClick(s); };
    cbTransmit.OnChange = [this](TComponent* s) { cbTransmitChange(s); };
    cbReceive.OnChange = [this](TComponent* s) { cbReceiveChange(s); };
    cbSource.OnChange = [this](TComponent* s) { cbSourceChange(s); };

    for (TComponent* control : std::initializer_list<TComponent*>{
             &PageControl1, &lblWelcomeTitle, &lblWelcomeText, &lblTransmitHeader, &lblTransmit, &cbTransmit,
             &lblReceiveHeader, &lblReceive, &cbReceive, &lblSource, &cbSource, &chkSwitch, &lblFinishTitle,
             &lblFinishText, &btnBack, &btnNext, &btnCancel})
        Automation.AddControl(*control);
    Automation.AddDescriber([this](pugi::xml_node window) {
        window.append_attribute("step") = step_;
        window.append_attribute("modal-result") = ModalResult();
    });
}

void TAudioSetupForm::FormShow() {
    if (resources_ == nullptr) return;
    const auto bitmap = resources_->Bitmap("#102");
    if (auto picture = DecodeBitmap({reinterpret_cast<const char*>(bitmap.data()), bitmap.size()})) Picture = *picture;
    const auto icon = resources_->Icon("#102");
    if (auto decoded = DecodeIcon({reinterpret_cast<const char*>(icon.data()), icon.size()}, kIconSize))
        Icon = *decoded;
}

void TAudioSetupForm::FormClose(TCloseAction& action) {
    // Closed another way than by the buttons: as "Отмена".
    if (ModalResult() == mrNone) btnCancelClick(&btnCancel);
    if (ModalResult() == mrNone) {
        action = TCloseAction::caNone;
        return;
    }
    mixerModule_.reset();
}

void TAudioSetupForm::EnterStep() {
    switch (step_) {
        case 0:
            btnBack.SetEnabled(false);
            btnNext.SetEnabled(true);
            btnNext.SetCaption(Ru("Далее >"));
            break;
        case 1:
            FillDevices();
            btnBack.SetEnabled(true);
            btnNext.SetEnabled(cbTransmit.ItemIndex() >= 0);
            btnNext.SetCaption(Ru("Далее >"));
            break;
        case 2:
            btnBack.SetEnabled(true);
            btnNext.SetEnabled(cbReceive.ItemIndex() >= 0 && cbSource.ItemIndex() >= 0);
            btnNext.SetCaption(Ru("Далее >"));
            break;
        default:
            btnBack.SetEnabled(true);
            btnNext.SetEnabled(true);
            btnNext.SetCaption(Ru("Финиш"));
            break;
    }
    PageControl1.SetActivePageIndex(step_);
}

void TAudioSetupForm::FillDevices() {
    mixerModule_.reset();
    mixerModule_ = std::make_unique<TMixerModule>(multimedia_);
    TRsAudioMixer& mixer = mixerModule_->RsAudioMixer1;

    cbTransmit.ClearItems();
    for (std::string& entry : TransmitDeviceEntries(multimedia_)) cbTransmit.AddItem(std::move(entry));
    const int transmit = settings_.OutSoundCard + 1;
    if (cbTransmit.Items().size() > 0)
        cbTransmit.SetItemIndex(settings_.OutSoundCard == -1 || transmit < 0 ||
                                        transmit >= static_cast<int>(cbTransmit.Items().size())
                                    ? 0
                                    : transmit);

    cbReceive.ClearItems();
    cbSource.ClearItems();
    mixerNumbers_.Clear();
    destination_ = -1;
    for (TReceiveDevice& entry : ReceiveDeviceEntries(mixer)) {
        mixerNumbers_.Add(entry.Mixer);
        cbReceive.AddItem(std::move(entry.Name));
    }
    if (mixerNumbers_.Count() > 0) {
        const int receive = settings_.InSoundCard;
        cbReceive.SetItemIndex(receive < 0 || receive >= mixerNumbers_.Count() ? 0 : receive);
        cbReceiveChange(&cbReceive);
    }
    if (settings_.SoundSource >= 0 && settings_.SoundSource < static_cast<int>(cbSource.Items().size())) {
        cbSource.SetItemIndex(settings_.SoundSource);
        cbSourceChange(&cbSource);
    }
}

void TAudioSetupForm::btnBackClick(TComponent*) {
    if (step_ == 0) return;
    --step_;
    EnterStep();
}

void TAudioSetupForm::btnNextClick(TComponent*) {
    if (step_ == 3) {
        SetModalResult(mrOk);
        mixerModule_.reset();
        return;
    }
    ++step_;
    EnterStep();
}

void TAudioSetupForm::btnCancelClick(TComponent*) {
    if (ModalResult() != mrNone) return;
    if (!settings_.SetupComplete &&
        AppMessageBox(Application(),
                      Ru("Звуковые устройства ещё не выбраны. Работа цифровыми видами\r\nсвязи будет невозможна. "
                         "Завершить работу мастера?"),
                      MB_YESNO | MB_ICONWARNING) == IDNO)
        return;
    SetModalResult(mrCancel);
    mixerModule_.reset();
}

void TAudioSetupForm::cbTransmitChange(TComponent*) { btnNext.SetEnabled(cbTransmit.ItemIndex() >= 0); }

void TAudioSetupForm::cbReceiveChange(TComponent*) {
    const int index = cbReceive.ItemIndex();
    cbSource.ClearItems();
    destination_ = -1;
    if (index >= 0 && index < mixerNumbers_.Count() && mixerModule_) {
        TRsAudioMixer& mixer = mixerModule_->RsAudioMixer1;
        mixer.SetMixerId(static_cast<std::int32_t>(mixerNumbers_.Items(index)));
        TRecordingLines lines = FirstRecordingLines(mixer);
        destination_ = lines.Index;
        for (std::string& name : lines.Names) cbSource.AddItem(std::move(name));
        if (!cbSource.Items().empty()) {
            cbSource.SetItemIndex(0);
            cbSourceChange(&cbSource);
        }
    }
    btnNext.SetEnabled(index >= 0);
}

void TAudioSetupForm::cbSourceChange(TComponent*) {
    const int index = cbSource.ItemIndex();
    if (index >= 0 && mixerModule_) {
        const TSwitchBox box = LineSwitchBox(mixerModule_->RsAudioMixer1, destination_, index - 1);
        chkSwitch.SetCaption(box.Caption);
        chkSwitch.SetEnabled(box.Enabled);
        chkSwitch.SetDown(box.Checked);
    }
    btnNext.SetEnabled(index >= 0);
}

TAudioSetupChoice TAudioSetupForm::Choice() const {
    TAudioSetupChoice choice;
    choice.OutSoundCard = cbTransmit.ItemIndex() - 1;
    choice.InSoundCard = cbReceive.ItemIndex();
    choice.SoundSource = cbSource.ItemIndex();
    const int receive = cbReceive.ItemIndex();
    // OK needs a receive entry; without one there is no mixer number to take.
    choice.InMixerID =
        receive >= 0 && receive < mixerNumbers_.Count() ? static_cast<std::int32_t>(mixerNumbers_.Items(receive)) : 0;
    choice.InDest = destination_;
    choice.EnabledRXLevel = chkSwitch.Enabled();
    choice.InSelect = chkSwitch.Down() ? 1 : 0;
    return choice;
}

}  // namespace quorvel
