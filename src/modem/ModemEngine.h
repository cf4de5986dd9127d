#pragma once
// The modem engine (the MMVARI control) as the main window uses it, and its
// two display controls. Strings are UTF-16 here and converted by the callers;
// Boolean properties carry -1 for true and 0 for false.
#include <cstdint>
#include <memory>
#include <string>

#include "pavo/modem-display.h"

namespace quorvel {

class IDispatcher;

using TOleBool = std::int16_t;
constexpr TOleBool OleTrue = -1;
constexpr TOleBool OleFalse = 0;
inline TOleBool ToOle(bool b) { return b ? OleTrue : OleFalse; }

constexpr const char* kModemEngineClassId = "{9C0D49DD-5C05-456D-916B-98C4CF63172F}";
constexpr const char* kModemViewClassId = "{702CBF07-C159-44F2-B8A6-DF8EA1001E08}";
constexpr const char* kModemLevelClassId = "{438EF93A-939D-4B6B-93A7-DF09049B8514}";

// SetTxState arguments and OnTxState values.
constexpr int TxStateReceive = 0;
constexpr int TxStateTransmit = 1;
constexpr int TxStateEnd = 2;

// SetFilter types.
constexpr int FilterLowPass = 0;
constexpr int FilterHighPass = 1;
constexpr int FilterBandPass = 2;

// Events, raised on the UI thread. Handlers the window does not need stay empty.
class IModemEngineEvents {
public:
    virtual ~IModemEngineEvents() = default;
    virtual void OnDrawWave(std::uint16_t /*wCount*/, const std::int16_t* /*pArray1*/, const std::int16_t* /*pArray2*/) {}
    virtual void OnDrawFFT(std::uint16_t /*wCount*/, const std::int16_t* /*pArray*/) {}
    virtual void OnGetTxChar(std::uint16_t& /*wChar*/) {}
    virtual void OnPTT(std::int16_t /*wTX*/) {}
    virtual void OnTxState(std::int16_t /*wState*/) {}
    virtual void OnPlayBack(std::int16_t /*wStat*/) {}
    virtual void OnSpeed(std::int16_t /*nIndex*/, double /*dblSpeed*/) {}
    virtual void OnClockAdjust(const std::int32_t* /*pArray*/) {}
    virtual void OnTiming(std::int16_t /*nIndex*/, std::int32_t /*dwTiming*/, std::int16_t /*wUnit*/) {}
    virtual void OnTxCarrier(std::uint16_t /*wFreq*/) {}
    virtual void OnRxCarrier(std::int16_t /*nIndex*/, std::uint16_t /*wFreq*/) {}
    virtual void OnNET(TOleBool /*bNET*/) {}
    virtual void OnMode(std::int16_t /*nIndex*/, std::int16_t /*mIndex*/, const std::u16string& /*strMode*/) {}
    virtual void OnRxChar(std::int16_t /*nIndex*/, const std::u16string& /*strChar*/, std::uint16_t /*wChar*/) {}
    virtual void OnError(std::int32_t /*nErrorCode*/) {}
};

// A modem-engine module (include/pavo/modem-engine.h) implements this
// interface: QUORVEL_MODEM_ENGINE_VERSION goes up whenever it, the events
// above or IDispatcher change.
class TModemEngine {
public:
    virtual ~TModemEngine() = default;

    // Receiver of the events; nullptr to stop them.
    virtual void SetEvents(IModemEngineEvents* events) = 0;

    // Properties.
    virtual std::uint16_t wTxCarrier() const = 0;
    virtual void set_wTxCarrier(std::uint16_t hz) = 0;
    virtual TOleBool bActive() const = 0;
    virtual void set_bActive(TOleBool value) = 0;
    virtual TOleBool bATC() const = 0;
    virtual void set_bATC(TOleBool value) = 0;
    virtual TOleBool bNET() const = 0;
    virtual void set_bNET(TOleBool value) = 0;
    virtual TOleBool bTX() const = 0;
    virtual double dblSampleFreq() const = 0;
    virtual void set_dblSampleFreq(double hz) = 0;
    virtual double dblTxOffset() const = 0;
    virtual void set_dblTxOffset(double hz) = 0;
    virtual std::int16_t wModeMax() const = 0;
    virtual std::int16_t nBPF() const = 0;
    virtual void set_nBPF(std::int16_t value) = 0;
    virtual std::u16string strSoundID() const = 0;
    virtual void set_strSoundID(const std::u16string& value) = 0;
    virtual std::uint16_t wModGain() const = 0;
    virtual void set_wModGain(std::uint16_t value) = 0;
    virtual std::int32_t dwHandle() const = 0;
    virtual std::uint16_t wAFCWidth() const = 0;
    virtual void set_wAFCWidth(std::uint16_t value) = 0;
    virtual std::uint16_t wAFCLevel() const = 0;
    virtual void set_wAFCLevel(std::uint16_t value) = 0;
    virtual std::uint16_t wBufferCount() const = 0;
    virtual void set_wBufferCount(std::uint16_t value) = 0;
    virtual std::uint16_t wNumNotches() const = 0;

    // Indexed by channel (0 main, 1-4 extra) or, for ModeName, by mode index.
    virtual std::u16string ModeName(std::int16_t i) const = 0;
    virtual double Speed(std::int16_t ch) const = 0;
    virtual void set_Speed(std::int16_t ch, double baud) = 0;
    virtual std::uint16_t RxCarrier(std::int16_t ch) const = 0;
    virtual void set_RxCarrier(std::int16_t ch, std::uint16_t hz) = 0;
    virtual void set_ChannelOpen(std::int16_t ch, TOleBool open) = 0;
    virtual double SignalToNoise(std::int16_t ch) const = 0;
    virtual std::int16_t Afc(std::int16_t ch) const = 0;
    virtual void set_Afc(std::int16_t ch, std::int16_t on) = 0;
    virtual double FilterOffset(std::int16_t ch) const = 0;
    virtual void set_FilterOffset(std::int16_t ch, double hz) = 0;
    virtual std::int16_t Mode(std::int16_t ch) const = 0;
    virtual void set_Mode(std::int16_t ch, std::int16_t mode) = 0;
    virtual double FilterCentre(std::int16_t ch) const = 0;

    // Methods.
    virtual void SendTone() = 0;
    virtual void SetTxState(std::int16_t state) = 0;
    virtual void SendText(const std::u16string& text) = 0;
    virtual void SendChar(std::uint16_t wChar) = 0;
    virtual void ClearFilter() = 0;
    virtual void AddNotch(std::uint16_t hz) = 0;
    virtual void DeleteNotch(std::int16_t index) = 0;  // -1 deletes all
    virtual std::int32_t SetFilter(std::int16_t type, std::int16_t steepnessX10, double edge1, double edge2,
                                   std::int16_t taps) = 0;
};

// Spectrum, waterfall and tuning display (TXMMVView).
class TXMMVView {
public:
    TXMMVView() = default;
    TXMMVView(const TXMMVView&) = default;
    TXMMVView& operator=(const TXMMVView&) = default;
    virtual ~TXMMVView() = default;
    std::int32_t dwFreqHz = 0;
    TOleBool bLSB = OleFalse;
    std::uint16_t wWidthFreq = 3000;
    std::uint16_t wType = 0;  // 1 waterfall, 0 spectrum
    std::uint16_t wCursorFreq = 0;
    std::uint16_t wMouseNotch = 0;
    virtual void DrawSpectrum(std::int32_t /*handle*/) {}
    virtual void DrawWave(std::int32_t /*handle*/) {}
    virtual void DrawTuning(std::int32_t /*handle*/, std::int16_t /*ch*/) {}
    virtual void DrawChannel(std::int32_t /*handle*/, std::int16_t /*ch*/) {}
};

// Signal level display (TXMMVLvl).
class TXMMVLvl {
public:
    TXMMVLvl() = default;
    TXMMVLvl(const TXMMVLvl&) = default;
    TXMMVLvl& operator=(const TXMMVLvl&) = default;
    virtual ~TXMMVLvl() = default;
    virtual void DrawLevel(std::int32_t /*handle*/, std::int16_t /*ch*/) {}
};

// Finds and creates the engine registered for a class id.
class IModemEngineFactory {
public:
    virtual ~IModemEngineFactory() = default;
    // nullptr when no engine is registered for classId or it cannot be loaded.
    virtual std::unique_ptr<TModemEngine> CreateEngine(const char* classId, IDispatcher& dispatcher) = 0;
    // Why the last CreateEngine gave nullptr, when the operator should be
    // told (a module of another version, cp1251); empty otherwise.
    virtual std::string Refusal() const { return {}; }
    // The display data of the module registered for a display control's
    // class id; nullptr when none gives it (the controls then draw nothing).
    virtual const QuorvelModemDisplay* Display(const char* /*classId*/) { return nullptr; }
};

}  // namespace quorvel
