// The main window's received-text handlers: every character the engine
// decodes or echoes arrives here and ends in the pane of its channel.
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Round.h"
#include "plugin/dsMainForm.h"
#include "rxtext/ReceivedText.h"

namespace quorvel {

void TMainForm::OnRxChar(std::int16_t nIndex, const std::u16string& strChar, std::uint16_t wChar) {
    MMVARI1RxChar(nIndex, strChar, wChar);
}

void TMainForm::MMVARI1RxChar(std::int16_t nIndex, const std::u16string& strChar, std::uint16_t) {
    // Nothing from the engine may break the window: a character that fails
    // is lost, the next one is processed as usual.
    try {
        const std::optional<char> converted = RxCharToCp1251(strChar);
        if (!converted) return;
        const char c = *converted;
        if (Settings().SelectedRcvr && !IsAllowedRxChar(c)) return;
        const TRxOrigin origin{nIndex, engine_ != nullptr && engine_->bTX() != 0};
        if (RxHold) {
            HeldText.Add(c, origin);
            // The transmit side counts its echo now: a held last echo must
            // still end the transmission.
            if (origin.Echo) CountEcho();
            return;
        }
        if (!HeldText.Empty())
            HeldText.Flush([this](char held, TRxOrigin from) {
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
    if (engine_) {
        const double snr = engine_->SignalToNoise(CurrentChannel());
        if (std::isfinite(snr) && snr > MaxSignalToNoise)
            MaxSignalToNoise = static_cast<std::int32_t>(
                Round(std::min(snr, static_cast<double>(std::numeric_limits<std::int32_t>::max()))));
    }
    if (RxTextParts.DetectTextFile) RxTextParts.DetectTextFile(c);
}

}  // namespace quorvel
