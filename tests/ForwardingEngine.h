#pragma once
// A modem engine that forwards everything to another one (the loopback
// engine, usually): tests derive from it to change what one call does.
#include <memory>
#include <string>
#include <utility>

#include "LoopbackEngine.h"
#include "modem/ModemEngine.h"

namespace quorvel::testing {

class TForwardingEngine : public TModemEngine {
public:
    explicit TForwardingEngine(std::unique_ptr<TModemEngine> inner) : inner_(std::move(inner)) {}

    TModemEngine& Inner() const { return *inner_; }

    void SetEvents(IModemEngineEvents* events) override {
        events_ = events;
        inner_->SetEvents(events);
    }
    std::uint16_t wTxCarrier() const override { return inner_->wTxCarrier(); }
    void set_wTxCarrier(std::uint16_t hz) override { inner_->set_wTxCarrier(hz); }
    std::uint16_t RxCarrier(std::int16_t ch) const override { return inner_->RxCarrier(ch); }
    void set_RxCarrier(std::int16_t ch, std::uint16_t hz) override { inner_->set_RxCarrier(ch, hz); }

    TOleBool bActive() const override { return inner_->bActive(); }
    void set_bActive(TOleBool v) override { inner_->set_bActive(v); }
    TOleBool bATC() const override { return inner_->bATC(); }
    void set_bATC(TOleBool v) override { inner_->set_bATC(v); }
    TOleBool bNET() const override { return inner_->bNET(); }
    void set_bNET(TOleBool v) override { inner_->set_bNET(v); }
    TOleBool bTX() const override { return inner_->bTX(); }
    double dblSampleFreq() const override { return inner_->dblSampleFreq(); }
    void set_dblSampleFreq(double v) override { inner_->set_dblSampleFreq(v); }
    double dblTxOffset() const override { return inner_->dblTxOffset(); }
    void set_dblTxOffset(double v) override { inner_->set_dblTxOffset(v); }
    std::int16_t wModeMax() const override { return inner_->wModeMax(); }
    std::int16_t nBPF() const override { return inner_->nBPF(); }
    void set_nBPF(std::int16_t v) override { inner_->set_nBPF(v); }
    std::u16string strSoundID() const override { return inner_->strSoundID(); }
    void set_strSoundID(const std::u16string& v) override { inner_->set_strSoundID(v); }
    std::uint16_t wModGain() const override { return inner_->wModGain(); }
    void set_wModGain(std::uint16_t v) override { inner_->set_wModGain(v); }
    std::int32_t dwHandle() const override { return inner_->dwHandle(); }
    std::uint16_t wAFCWidth() const override { return inner_->wAFCWidth(); }
    void set_wAFCWidth(std::uint16_t v) override { inner_->set_wAFCWidth(v); }
    std::uint16_t wAFCLevel() const override { return inner_->wAFCLevel(); }
    void set_wAFCLevel(std::uint16_t v) override { inner_->set_wAFCLevel(v); }
    std::uint16_t wBufferCount() const override { return inner_->wBufferCount(); }
    void set_wBufferCount(std::uint16_t v) override { inner_->set_wBufferCount(v); }
    std::uint16_t wNumNotches() const override { return inner_->wNumNotches(); }
    std::u16string ModeName(std::int16_t i) const override { return inner_->ModeName(i); }
    double Speed(std::int16_t ch) const override { return inner_->Speed(ch); }
    void set_Speed(std::int16_t ch, double v) override { inner_->set_Speed(ch, v); }
    void set_ChannelOpen(std::int16_t ch, TOleBool v) override { inner_->set_ChannelOpen(ch, v); }
    double SignalToNoise(std::int16_t ch) const override { return inner_->SignalToNoise(ch); }
    std::int16_t Afc(std::int16_t ch) const override { return inner_->Afc(ch); }
    void set_Afc(std::int16_t ch, std::int16_t v) override { inner_->set_Afc(ch, v); }
    double FilterOffset(std::int16_t ch) const override { return inner_->FilterOffset(ch); }
    void set_FilterOffset(std::int16_t ch, double v) override { inner_->set_FilterOffset(ch, v); }
    std::int16_t Mode(std::int16_t ch) const override { return inner_->Mode(ch); }
    void set_Mode(std::int16_t ch, std::int16_t v) override { inner_->set_Mode(ch, v); }
    double FilterCentre(std::int16_t ch) const override { return inner_->FilterCentre(ch); }
    void SendTone() override { inner_->SendTone(); }
    void SetTxState(std::int16_t s) override { inner_->SetTxState(s); }
    void SendText(const std::u16string& t) override { inner_->SendText(t); }
    void SendChar(std::uint16_t c) override { inner_->SendChar(c); }
    void ClearFilter() override { inner_->ClearFilter(); }
    void AddNotch(std::uint16_t hz) override { inner_->AddNotch(hz); }
    void DeleteNotch(std::int16_t i) override { inner_->DeleteNotch(i); }
    std::int32_t SetFilter(std::int16_t t, std::int16_t s, double e1, double e2, std::int16_t taps) override {
        return inner_->SetFilter(t, s, e1, e2, taps);
    }

protected:
    std::unique_ptr<TModemEngine> inner_;
    IModemEngineEvents* events_ = nullptr;
};

// Creates the loopback engine inside a forwarding engine of type T.
template <class T>
class TForwardingEngineFactory final : public IModemEngineFactory {
public:
    std::unique_ptr<TModemEngine> CreateEngine(const char* classId, IDispatcher& dispatcher) override {
        auto inner = loopback.CreateEngine(classId, dispatcher);
        if (!inner) return nullptr;
        auto engine = std::make_unique<T>(std::move(inner));
        Last = engine.get();
        return engine;
    }
    TLoopbackEngineFactory loopback;
    T* Last = nullptr;
};

}  // namespace quorvel::testing
