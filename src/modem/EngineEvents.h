#pragma once
// The one way the modem engine's events reach the main window: each event is
// forwarded to the handler of the slice that shows it (MMVARI1* members,
// defined in src/modem/, src/rxtext/ and src/tx/). Events the window does not
// use stay empty.
#include <cstdint>
#include <string>

#include "modem/ModemEngine.h"

namespace quorvel {

class TMainForm;

class TMainFormEngineEvents final : public IModemEngineEvents {
public:
    explicit TMainFormEngineEvents(TMainForm& form) : form_(form) {}

    void OnDrawWave(std::uint16_t wCount, const std::int16_t* pArray1, const std::int16_t* pArray2) override;
    void OnDrawFFT(std::uint16_t wCount, const std::int16_t* pArray) override;
    void OnGetTxChar(std::uint16_t& wChar) override;
    void OnTxState(std::int16_t wState) override;
    void OnSpeed(std::int16_t nIndex, double dblSpeed) override;
    void OnTiming(std::int16_t nIndex, std::int32_t dwTiming, std::int16_t wUnit) override;
    void OnTxCarrier(std::uint16_t wFreq) override;
    void OnRxCarrier(std::int16_t nIndex, std::uint16_t wFreq) override;
    void OnNET(TOleBool bNET) override;
    void OnMode(std::int16_t nIndex, std::int16_t mIndex, const std::u16string& strMode) override;
    void OnRxChar(std::int16_t nIndex, const std::u16string& strChar, std::uint16_t wChar) override;

private:
    TMainForm& form_;
};

}  // namespace quorvel
