// The received-text slice of the main window: the receive panes and their
// capture menu, the text-file reception controls; their design, automation
// and handlers. Every character the engine decodes or echoes arrives here and
// ends in the pane of its channel.
#include <algorithm>
#include <initializer_list>
#include <cmath>
#include <limits>

#include "base/Round.h"
#include "plugin/dsMainForm.h"
#include "rxtext/ReceivedText.h"
#include "ui/Design.h"

namespace quorvel {

void TMainForm::DesignRxText() {
    using design::Check;
    using design::Design;
    // ---- Received text and capture ----
    RxPanel.MinHeight = 30;
    RxPanel.SetHeight(160);
    for (TRichEdit* pane : {&RichEdit1, &RichEdit2, &RichEdit3, &RichEdit4, &RichEdit5}) {
        pane->ReadOnly = true;
        pane->PopupMenu = &dxBarPopupMenu3;
    }
    mnuCaptureInfo.SetCaption(Ru("Отмена"));
    Design(mnuIsCallsign, "Позывной");
    Design(mnuIsRSTR, "RST(R)");
    Design(mnuIsRSTT, "RST(T)");
    Design(mnuIsName, "Имя");
    Design(mnuIsQTH, "QTH");
    Design(mnuIsQSL, "QSL - менеджер");
    Design(mnuIsLocator, "QTH - локатор");
    Design(mnuIsEmail, "E-mail");
    Design(mnuIsComment, "Комментарий");
    Design(mnuCopy, "Копировать");
    mnuCopy.ShortCut = TextToShortCut("Ctrl+C");
    for (TControl* c : std::initializer_list<TControl*>{&mnuCaptureInfo, &mnuIsCallsign, &mnuIsRSTR, &mnuIsRSTT,
                                                         &mnuIsName, &mnuIsQTH, &mnuIsQSL, &mnuIsLocator,
                                                         &mnuIsEmail, &mnuIsComment, &mnuAwards})
        dxBarPopupMenu3.ItemLinks.Add(*c);
    dxBarPopupMenu3.ItemLinks.Add(mnuCopy, true);
    Design(mnuClickOnData, "Захват данных одним щелчком");
    Check(mnuClickOnData, true);
    DesignCapture();

    // ---- Text-file transfer ----
    Design(mnuSendFile, "Передать текстовый файл");
    mnuSendFile.ImageIndex = 10;
    Design(mnuStopRx, "Остановить приём файла");
    mnuStopRx.ShortCut = TextToShortCut("Ctrl+I");
    mnuStopRx.ImageIndex = 11;
    mnuStopRx.SetEnabled(false);
    Design(mnuOpenRcFolder, "Открыть папку с принятыми файлами");
    mnuOpenRcFolder.ImageIndex = 2;
    Label6.SetCaption(Ru("Идёт приём файла..."));
    mnuSendFile.OnClick = [this](TComponent* s) { mnuSendFileClick(s); };
    mnuStopRx.OnClick = [this](TComponent* s) { mnuStopRxClick(s); };
    mnuOpenRcFolder.OnClick = [this](TComponent* s) { mnuOpenRcFolderClick(s); };
}

void TMainForm::RegisterRxTextAutomation() {
    for (TComponent* c :
         std::initializer_list<TComponent*>{&RichEdit1, &RichEdit2, &RichEdit3, &RichEdit4, &RichEdit5})
        Automation.AddControl(*c);
    Automation.AddControl(dxBarPopupMenu3, false);
}

void TMainForm::MMVARI1RxChar(std::int16_t nIndex, const std::u16string& strChar, std::uint16_t) {
    // Nothing from the engine may break the window: a character that fails
    // is lost, the next one is processed as usual.
    try {
        const std::optional<char> converted = RxCharToCp1251(strChar);
        if (!converted) return;
        const char c = *converted;
        const TRxOrigin origin{nIndex, engine_->bTX() != 0};
        if (Settings().SelectedRcvr && !IsAllowedRxChar(c)) {
            // Not shown, but sent all the same: the end of the transmission
            // must not wait for an echo that is never counted.
            if (origin.Echo) CountEcho();
            return;
        }
        if (Rx.Hold) {
            Rx.HeldText.Add(c, origin);
            // The transmit side counts its echo now: a held last echo must
            // still end the transmission.
            if (origin.Echo) CountEcho();
            return;
        }
        if (!Rx.HeldText.Empty())
            Rx.HeldText.Flush([this](char held, TRxOrigin from) {
                try {
                    ProcessRxChar(held, from, false);
                } catch (...) {
                }
            });
        ProcessRxChar(c, origin, true);
    } catch (...) {
    }
}

void TMainForm::ProcessRxChar(char c, TRxOrigin origin, bool countEcho) {
    const dsConfig::TConfig& config = Settings();
    ShowRxChar(PaneForChannel(origin.Channel), c, origin.Echo ? config.RXFontTxColor : config.RXFontRxColor,
               config.HIToSml, kSmileyPictureId);
    if (origin.Echo) {
        if (countEcho) CountEcho();
        return;
    }
    const double snr = engine_->SignalToNoise(CurrentChannel());
    if (std::isfinite(snr) && snr > Rx.MaxSignalToNoise)
        Rx.MaxSignalToNoise = static_cast<std::int32_t>(
            Round(std::min(snr, static_cast<double>(std::numeric_limits<std::int32_t>::max()))));
    DetectTextFile(c);
}

// ---- Persisted properties --------------------------------------------------------

std::int32_t TMainForm::GetRxWndHeight() const { return RxPanel.Height(); }
void TMainForm::SetRxWndHeight(std::int32_t value) { RxPanel.SetHeight(value); }

bool TMainForm::GetClickOnData() const { return mnuClickOnData.Down(); }
void TMainForm::SetClickOnData(bool value) { mnuClickOnData.SetDown(value); }

}  // namespace quorvel
