#include "settings/dsOptionsForm.h"

#include <algorithm>
#include <exception>

#include "audio/dsMixerModule.h"
#include "base/CodePage.h"
#include "base/Round.h"
#include "ports/Dialogs.h"
#include "ports/Shell.h"
#include "ui/Design.h"
#include "ui/MessageBoxes.h"

namespace quorvel {

int ModGainPercent(std::int16_t modGain) {
    return static_cast<int>(Round(static_cast<double>(modGain) / 32767.0 * 100.0));
}

std::int16_t ModGainFromPercent(int percent) {
    const auto value = Round(static_cast<double>(std::clamp(percent, 0, 100)) / 100.0 * 32767.0);
    return static_cast<std::int16_t>(value);
}

TOptionsForm::TOptionsForm(TApplication& app, THandle parentWindow, IMultimedia* multimedia,
                           dsConfig::TConfig& settings)
    : TForm(app, parentWindow),
      cbRXFontRxColor("cbRXFontRxColor", Ru("Выбрать")),
      cbRXFontTxColor("cbRXFontTxColor", Ru("Выбрать")),
      cbTXFontColor("cbTXFontColor", Ru("Выбрать")),
      cbRXWndColor("cbRXWndColor", Ru("Выбрать")),
      cbTXWndColor("cbTXWndColor", Ru("Выбрать")),
      multimedia_(multimedia),
      settings_(settings) {
    if (multimedia_ != nullptr) mixer_ = std::make_unique<TRsAudioMixer>(*multimedia_);
    Design();
}

TOptionsForm::~TOptionsForm() { ReleaseView(); }

void TOptionsForm::Design() {
    using design::Check;
    Name = "OptionsForm";
    Caption = Ru("Настройки");
    BorderStyle = 3;  // a fixed dialog frame
    Width = kClientWidth;
    Height = kClientHeight;

    TabSheet1.SetCaption(Ru("Основные"));
    TabSheet2.SetCaption(Ru("Параметры аудио"));
    TabSheet3.SetCaption(Ru("Вид"));
    for (TTabSheet* page : {&TabSheet1, &TabSheet2, &TabSheet3}) PageControl1.AddPage(*page);

    auto spin = [](TSpinEdit& s, int lo, int hi, int step, bool readOnly) {
        s.MinValue = lo;
        s.MaxValue = hi;
        s.Increment = step;
        s.ReadOnly = readOnly;
        s.SetValue(lo);
    };
    auto check = [](TButtonItem& b, const char* caption) {
        b.SetCaption(Ru(caption));
        Check(b, false);
    };

    lblDelayTX.SetCaption(Ru("Задержка после включения трансивера на передачу, мс:"));
    spin(seDelayTX, 0, 2000, 50, true);
    check(chkAutoSendChar, "При вводе символа сразу его передавать ");
    lblTimeDoRx.SetCaption(Ru("Время ожидания следующего символа, мс:"));
    spin(seTimeDoRx, 0, 30000, 500, false);
    check(chkAutoSendMacros, "При вводе макроса сразу его передавать");
    check(chkSendOfEnter, "Передавать по \"Enter\"");
    check(chkAutoEndTX, "Автоматическое завершение передачи");
    check(chkAutoClearTXWnd, "После окончания передачи очищать окно TX");
    check(chkAutoClearRXWnd, "После сохранения QSO очищать окно RX");
    check(chkAutoOpenRCFile, "Автоматически открывать принятый файл");
    check(chkSelectedRcvr, "Избирательный приём текста");

    lblOutSoundCard.SetCaption(Ru("Аудиоустройство канала передачи:"));
    lblModGain.SetCaption(Ru("Уровень модуляции передатчика, %:"));
    spin(seModGain, 0, 100, 1, false);
    lblInSoundCard.SetCaption(Ru("Аудиоустройство канала приёма:"));
    lblSoundSource.SetCaption(Ru("Канал:"));
    check(chkInSelect, "Отключить");
    ShowNoSwitch();
    btnAudioDevices.SetCaption(Ru("Аудиоустройства"));
    lblFreqSample.SetCaption(Ru("Частота дискретизации аудио, Гц:"));
    spin(seFreqSample, 10925, 11100, 1, true);
    lblTxOffset.SetCaption(Ru("Смещение частоты передачи, Гц:"));
    spin(seTxOffset, -500, 500, 1, false);
    seTxOffset.SetValue(0);

    gbRXFont.SetCaption(Ru("Шрифт окна RX"));
    gbTXFont.SetCaption(Ru("Шрифт окна TX"));
    for (TFontSample* sample : {&pnlRXSample, &pnlTXSample}) {
        sample->SetCaption(Ru("Образец"));
        sample->Color = clWhite;
    }
    pnlRXSample.Parent = btnRXFont.Parent = &gbRXFont;
    pnlTXSample.Parent = btnTXFont.Parent = &gbTXFont;
    btnRXFont.SetCaption(Ru("Выбрать"));
    btnTXFont.SetCaption(Ru("Выбрать"));
    lblRXFontRxColor.SetCaption(Ru("Приём:"));
    lblRXFontTxColor.SetCaption(Ru("Передача:"));
    lblTXFontColor.SetCaption(Ru("Цвет текста:"));
    check(chkHIToSml, "Заменять \"hi\" на смайлик");
    lblRXWndColor.SetCaption(Ru("Цвет окна RX:"));
    lblTXWndColor.SetCaption(Ru("Цвет окна TX:"));
    for (TColorBox* box : {&cbRXFontRxColor, &cbRXFontTxColor, &cbTXFontColor, &cbRXWndColor, &cbTXWndColor})
        box->PickCustomColor = [this](TColor& color) {
            IDialogs* dialogs = Platform().Dialogs;
            return dialogs != nullptr && dialogs->ChooseColor(color);
        };

    lblHelp.SetCaption(Ru("Вызов справки (F1)"));
    lblHelp.Font.Style.Include(TFontStyle::fsUnderline);
    btnOK.SetCaption(Ru("&ОК"));
    btnCancel.SetCaption(Ru("Отм&ена"));

    chkAutoSendChar.OnClick = [this](TComponent* s) { chkAutoSendCharClick(s); };
    cbInSoundCard.OnChange = [this](TComponent* s) { cbInSoundCardChange(s); };
    cbSoundSource.OnChange = [this](TComponent* s) { cbSoundSourceChange(s); };
    btnAudioDevices.OnClick = [this](TComponent* s) { btnAudioDevicesClick(s); };
    btnRXFont.OnClick = [this](TComponent* s) { btnRXFontClick(s); };
    btnTXFont.OnClick = [this](TComponent* s) { btnTXFontClick(s); };
    cbTXFontColor.OnChange = [this](TComponent* s) { cbTXFontColorChange(s); };
    lblHelp.OnMouseUp = [this](TComponent* s, TMouseButton button, TShiftState, int, int) {
        if (button == TMouseButton::mbLeft) lblHelpClick(s);
    };
    btnOK.OnClick = [this](TComponent* s) { btnOKClick(s); };
    btnCancel.OnClick = [this](TComponent* s) { btnCancelClick(s); };

    for (TComponent* control : std::initializer_list<TComponent*>{
             &PageControl1,     &lblDelayTX,        &seDelayTX,         &chkAutoSendChar,   &lblTimeDoRx,
             &seTimeDoRx,       &chkAutoSendMacros, &chkSendOfEnter,    &chkAutoEndTX,      &chkAutoClearTXWnd,
             &chkAutoClearRXWnd, &chkAutoOpenRCFile, &chkSelectedRcvr,  &lblOutSoundCard,   &cbOutSoundCard,
             &lblModGain,       &seModGain,         &lblInSoundCard,    &cbInSoundCard,     &lblSoundSource,
             &cbSoundSource,    &chkInSelect,       &btnAudioDevices,   &lblFreqSample,     &seFreqSample,
             &lblTxOffset,      &seTxOffset,        &gbRXFont,          &pnlRXSample,       &btnRXFont,
             &lblRXFontRxColor, &cbRXFontRxColor,   &lblRXFontTxColor,  &cbRXFontTxColor,   &gbTXFont,
             &pnlTXSample,      &btnTXFont,         &lblTXFontColor,    &cbTXFontColor,     &chkHIToSml,
             &lblRXWndColor,    &cbRXWndColor,      &lblTXWndColor,     &cbTXWndColor,      &lblHelp,
             &btnOK,            &btnCancel})
        Automation.AddControl(*control);
    Automation.AddDescriber([this](pugi::xml_node window) {
        window.append_attribute("modal-result") = ModalResult();
    });
}

void TOptionsForm::FormShow() { Fill(); }

void TOptionsForm::Fill() {
    const dsConfig::TConfig& s = settings_;
    cbOutSoundCard.ClearItems();
    cbInSoundCard.ClearItems();
    cbSoundSource.ClearItems();
    mixerNumbers_.Clear();
    destination_ = -1;
    if (multimedia_ != nullptr)
        for (std::string& entry : TransmitDeviceEntries(*multimedia_)) cbOutSoundCard.AddItem(std::move(entry));
    if (mixer_) {
        for (TReceiveDevice& entry : ReceiveDeviceEntries(*mixer_)) {
            mixerNumbers_.Add(entry.Mixer);
            cbInSoundCard.AddItem(std::move(entry.Name));
        }
    }
    if (mixerNumbers_.Count() > 0) {
        const int receive = s.InSoundCard;
        cbInSoundCard.SetItemIndex(receive < 0 || receive >= mixerNumbers_.Count() ? 0 : receive);
        cbInSoundCardChange(&cbInSoundCard);
    }

    // Whatever goes wrong from here leaves the dialog with what was set.
    try {
        const int outputs = static_cast<int>(cbOutSoundCard.Items().size());
        if (outputs > 0) {
            const int transmit = s.OutSoundCard + 1;
            cbOutSoundCard.SetItemIndex(s.OutSoundCard == -1 || transmit < 0 || transmit >= outputs ? 0 : transmit);
        }

        seDelayTX.SetValue(s.DelayTX);
        seTimeDoRx.SetValue(s.TimeDoRx);
        seFreqSample.SetValue(s.FreqSample);
        seModGain.SetValue(ModGainPercent(s.ModGain));
        seTxOffset.SetValue(s.TxOffset);
        chkAutoSendChar.SetDown(s.AutoSendChar);
        chkAutoSendCharClick(&chkAutoSendChar);  // a check box set in code runs its click
        chkAutoSendMacros.SetDown(s.AutoSendMacros);
        chkSendOfEnter.SetDown(s.SendOfEnter);
        chkAutoEndTX.SetDown(s.AutoEndTX);
        chkAutoClearTXWnd.SetDown(s.AutoClearTXWnd);
        chkAutoClearRXWnd.SetDown(s.AutoClearRXWnd);
        chkAutoOpenRCFile.SetDown(s.AutoOpenRCFile);
        chkSelectedRcvr.SetDown(s.SelectedRcvr);
        chkHIToSml.SetDown(s.HIToSml);

        // A stored -1 (no recording line last time) keeps the line the
        // receive device offers first instead of selecting none again.
        if (s.SoundSource >= 0 && s.SoundSource < static_cast<int>(cbSoundSource.Items().size())) {
            cbSoundSource.SetItemIndex(s.SoundSource);
            cbSoundSourceChange(&cbSoundSource);
        }

        TFont rx;
        rx.Name = s.RXFontName;
        rx.Size = s.RXFontSize;
        rx.Style = s.RXFontStyle;
        rx.Color = clBlack;
        pnlRXSample.SetFont(rx);
        pnlTXSample.SetFont(TFont{s.TXFontName, s.TXFontSize, s.TXFontStyle, s.TXFontColor});
        cbRXFontRxColor.SetSelected(s.RXFontRxColor);
        cbRXFontTxColor.SetSelected(s.RXFontTxColor);
        cbTXFontColor.SetSelected(s.TXFontColor);
        cbRXWndColor.SetSelected(s.RXWndColor);
        cbTXWndColor.SetSelected(s.TXWndColor);
    } catch (const std::exception&) {
    }
}

void TOptionsForm::chkAutoSendCharClick(TComponent*) {
    const bool on = chkAutoSendChar.Down();
    lblTimeDoRx.SetEnabled(on);
    seTimeDoRx.SetEnabled(on);
}

void TOptionsForm::cbInSoundCardChange(TComponent*) {
    const int index = cbInSoundCard.ItemIndex();
    cbSoundSource.ClearItems();
    destination_ = -1;
    ShowNoSwitch();
    if (!mixer_ || index < 0 || index >= mixerNumbers_.Count()) return;
    mixer_->SetMixerId(static_cast<std::int32_t>(mixerNumbers_.Items(index)));
    // Only the mixer's first recording destination is offered, whichever
    // of its entries was chosen.
    TRecordingLines lines = FirstRecordingLines(*mixer_);
    destination_ = lines.Index;
    for (std::string& name : lines.Names) cbSoundSource.AddItem(std::move(name));
    if (cbSoundSource.Items().empty()) return;
    cbSoundSource.SetItemIndex(0);
    cbSoundSourceChange(&cbSoundSource);
}

// No recording line, no switch: checked and disabled, so OK does not enable
// the main window's receive level for a line that is not there.
void TOptionsForm::ShowNoSwitch() {
    chkInSelect.SetCaption(Ru("Отключить"));
    chkInSelect.SetEnabled(false);
    chkInSelect.SetDown(true);
}

void TOptionsForm::cbSoundSourceChange(TComponent*) {
    const int index = cbSoundSource.ItemIndex();
    if (index < 0 || !mixer_) return;
    const TSwitchBox box = LineSwitchBox(*mixer_, destination_, index - 1);
    chkInSelect.SetCaption(box.Caption);
    chkInSelect.SetEnabled(box.Enabled);
    chkInSelect.SetDown(box.Checked);
}

void TOptionsForm::btnAudioDevicesClick(TComponent*) {
    IShell* shell = Platform().Shell;
    if (shell != nullptr && shell->OpenSoundSettings()) return;
    AppMessageBox(Application(),
                  Ru("Не найдена программа настройки звука. Установите её (например, pavucontrol) "
                     "или настройте аудиоустройства средствами системы."),
                  MB_ICONWARNING);
}

void TOptionsForm::ChooseFont(TFontSample& sample) {
    IDialogs* dialogs = Platform().Dialogs;
    if (dialogs == nullptr) return;
    TFont font = sample.Font();
    if (dialogs->ChooseFont(font)) sample.SetFont(font);
}

void TOptionsForm::btnRXFontClick(TComponent*) { ChooseFont(pnlRXSample); }
void TOptionsForm::btnTXFontClick(TComponent*) { ChooseFont(pnlTXSample); }

void TOptionsForm::cbTXFontColorChange(TComponent*) {
    TFont font = pnlTXSample.Font();
    font.Color = cbTXFontColor.Selected();
    pnlTXSample.SetFont(font);
}

void TOptionsForm::lblHelpClick(TComponent*) {
    if (OnHelp) OnHelp();
}

void TOptionsForm::btnOKClick(TComponent*) {
    Store();
    SetModalResult(mrOk);
}

void TOptionsForm::btnCancelClick(TComponent*) { SetModalResult(mrCancel); }

namespace {
// A spin editor's value as it would be committed: what its text holds, kept in its range.
int Committed(const TSpinEdit& editor) {
    const int v = design::TruncatedCurValue(editor);
    return editor.MaxValue > editor.MinValue ? std::clamp(v, editor.MinValue, editor.MaxValue) : v;
}
}  // namespace

void TOptionsForm::Store() {
    dsConfig::TConfig& s = settings_;
    s.OutSoundCard = cbOutSoundCard.ItemIndex() - 1;
    s.SoundSource = cbSoundSource.ItemIndex();
    // Without a receive entry there is no mixer number to take: the stored
    // one stays, and the main window leaves the mixer alone (SoundSource -1).
    const int receive = cbInSoundCard.ItemIndex();
    if (receive >= 0 && receive < mixerNumbers_.Count())
        s.InMixerID = static_cast<std::int32_t>(mixerNumbers_.Items(receive));
    s.InSoundCard = receive;
    s.FreqSample = Committed(seFreqSample);
    s.DelayTX = Committed(seDelayTX);
    s.AutoSendChar = chkAutoSendChar.Down();
    s.AutoSendMacros = chkAutoSendMacros.Down();
    s.AutoClearTXWnd = chkAutoClearTXWnd.Down();
    s.AutoClearRXWnd = chkAutoClearRXWnd.Down();
    s.TimeDoRx = Committed(seTimeDoRx);
    s.SendOfEnter = chkSendOfEnter.Down();
    s.ModGain = ModGainFromPercent(Committed(seModGain));
    s.HIToSml = chkHIToSml.Down();
    s.AutoOpenRCFile = chkAutoOpenRCFile.Down();
    s.EnabledRXLevel = chkInSelect.Enabled();
    s.SelectedRcvr = chkSelectedRcvr.Down();
    s.InDest = destination_;
    s.TxOffset = Committed(seTxOffset);
    s.AutoEndTX = chkAutoEndTX.Down();
    s.InSelect = chkInSelect.Down() ? 1 : 0;
    s.SetupComplete = true;
    const TFont& rx = pnlRXSample.Font();
    s.RXFontName = rx.Name;
    s.RXFontSize = rx.Size;
    s.RXFontStyle = rx.Style;
    s.RXFontRxColor = cbRXFontRxColor.Selected();
    s.RXFontTxColor = cbRXFontTxColor.Selected();
    s.RXWndColor = cbRXWndColor.Selected();
    s.TXWndColor = cbTXWndColor.Selected();
    const TFont& tx = pnlTXSample.Font();
    s.TXFontName = tx.Name;
    s.TXFontSize = tx.Size;
    s.TXFontStyle = tx.Style;
    s.TXFontColor = tx.Color;
}

}  // namespace quorvel
