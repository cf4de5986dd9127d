#include "modem/EngineEvents.h"

#include "plugin/dsMainForm.h"

namespace quorvel {

// Modem parameters (src/modem/dsMainFormModem.cpp).
void TMainFormEngineEvents::OnMode(std::int16_t nIndex, std::int16_t mIndex, const std::u16string& strMode) {
    form_.MMVARI1Mode(nIndex, mIndex, strMode);
}
void TMainFormEngineEvents::OnSpeed(std::int16_t nIndex, double dblSpeed) { form_.MMVARI1Speed(nIndex, dblSpeed); }
void TMainFormEngineEvents::OnRxCarrier(std::int16_t nIndex, std::uint16_t wFreq) {
    form_.MMVARI1RxCarrier(nIndex, wFreq);
}
void TMainFormEngineEvents::OnTxCarrier(std::uint16_t wFreq) { form_.MMVARI1TxCarrier(wFreq); }
void TMainFormEngineEvents::OnNET(TOleBool bNET) { form_.MMVARI1NET(bNET); }
void TMainFormEngineEvents::OnTiming(std::int16_t nIndex, std::int32_t dwTiming, std::int16_t wUnit) {
    form_.MMVARI1Timing(nIndex, dwTiming, wUnit);
}
// Spectrum views (src/modem/dsMainFormViews.cpp).
void TMainFormEngineEvents::OnDrawWave(std::uint16_t wCount, const std::int16_t* pArray1, const std::int16_t* pArray2) {
    form_.MMVARI1DrawWave(wCount, pArray1, pArray2);
}
void TMainFormEngineEvents::OnDrawFFT(std::uint16_t wCount, const std::int16_t* pArray) {
    form_.MMVARI1DrawFFT(wCount, pArray);
}
// Received text (src/rxtext/dsMainFormRxText.cpp).
void TMainFormEngineEvents::OnRxChar(std::int16_t nIndex, const std::u16string& strChar, std::uint16_t wChar) {
    form_.MMVARI1RxChar(nIndex, strChar, wChar);
}
// Transmit (src/tx/dsMainFormTransmit.cpp).
void TMainFormEngineEvents::OnGetTxChar(std::uint16_t& wChar) { form_.MMVARI1GetTxChar(wChar); }
void TMainFormEngineEvents::OnTxState(std::int16_t wState) { form_.MMVARI1TxState(wState); }

}  // namespace quorvel
