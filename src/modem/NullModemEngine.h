#pragma once
// The engine the main window works with when no modem engine is registered or
// it cannot be loaded: it keeps the properties it is given (so the window's
// stored mode, speed and carriers survive), lists no modes, receives nothing,
// and cannot transmit: any transmit state it is asked for ends at once, so the
// window returns to receive.
#include <array>

#include "modem/ModemEngine.h"

namespace quorvel {

class TNullModemEngine final : public TModemEngine {
public:
    static constexpr int kChannels = 5;

    void SetEvents(IModemEngineEvents* events) override { events_ = events; }

    std::uint16_t wTxCarrier() const override { return txCarrier_; }
    void set_wTxCarrier(std::uint16_t hz) override { txCarrier_ = hz; }
    TOleBool bActive() const override { return active_; }
    void set_bActive(TOleBool value) override { active_ = value ? OleTrue : OleFalse; }
    TOleBool bATC() const override { return atc_; }
    void set_bATC(TOleBool value) override { atc_ = value ? OleTrue : OleFalse; }
    TOleBool bNET() const override { return net_; }
    void set_bNET(TOleBool value) override { net_ = value ? OleTrue : OleFalse; }
    TOleBool bTX() const override { return OleFalse; }
    double dblSampleFreq() const override { return sampleFreq_; }
    void set_dblSampleFreq(double hz) override { sampleFreq_ = hz; }
    double dblTxOffset() const override { return txOffset_; }
    void set_dblTxOffset(double hz) override { txOffset_ = hz; }
    std::int16_t wModeMax() const override { return 0; }
    std::int16_t nBPF() const override { return bpf_; }
    void set_nBPF(std::int16_t value) override { bpf_ = value; }
    std::u16string strSoundID() const override { return soundId_; }
    void set_strSoundID(const std::u16string& value) override { soundId_ = value; }
    std::uint16_t wModGain() const override { return modGain_; }
    void set_wModGain(std::uint16_t value) override { modGain_ = value; }
    std::int32_t dwHandle() const override { return 0; }
    std::uint16_t wAFCWidth() const override { return afcWidth_; }
    void set_wAFCWidth(std::uint16_t value) override { afcWidth_ = value; }
    std::uint16_t wAFCLevel() const override { return afcLevel_; }
    void set_wAFCLevel(std::uint16_t value) override { afcLevel_ = value; }
    std::uint16_t wBufferCount() const override { return 0; }
    void set_wBufferCount(std::uint16_t) override {}
    std::uint16_t wNumNotches() const override { return 0; }

    std::u16string ModeName(std::int16_t) const override { return {}; }
    double Speed(std::int16_t ch) const override { return Valid(ch) ? speed_[Index(ch)] : 0.0; }
    void set_Speed(std::int16_t ch, double baud) override {
        if (Valid(ch)) speed_[Index(ch)] = baud;
    }
    std::uint16_t RxCarrier(std::int16_t ch) const override { return Valid(ch) ? rxCarrier_[Index(ch)] : 0; }
    void set_RxCarrier(std::int16_t ch, std::uint16_t hz) override {
        if (Valid(ch)) rxCarrier_[Index(ch)] = hz;
    }
    void set_ChannelOpen(std::int16_t, TOleBool) override {}
    double SignalToNoise(std::int16_t) const override { return 0.0; }
    std::int16_t Afc(std::int16_t ch) const override { return Valid(ch) ? afc_[Index(ch)] : 0; }
    void set_Afc(std::int16_t ch, std::int16_t on) override {
        if (Valid(ch)) afc_[Index(ch)] = on;
    }
    double FilterOffset(std::int16_t) const override { return 0.0; }
    void set_FilterOffset(std::int16_t, double) override {}
    std::int16_t Mode(std::int16_t ch) const override { return Valid(ch) ? mode_[Index(ch)] : 0; }
    void set_Mode(std::int16_t ch, std::int16_t mode) override {
        if (Valid(ch)) mode_[Index(ch)] = mode;
    }
    double FilterCentre(std::int16_t) const override { return 0.0; }

    void SendTone() override {}
    void SetTxState(std::int16_t) override {
        if (events_ != nullptr) events_->OnTxState(TxStateReceive);
    }
    void SendText(const std::u16string&) override {}
    void SendChar(std::uint16_t) override {}
    void ClearFilter() override {}
    void AddNotch(std::uint16_t) override {}
    void DeleteNotch(std::int16_t) override {}
    std::int32_t SetFilter(std::int16_t, std::int16_t, double, double, std::int16_t) override { return 0; }

private:
    static bool Valid(std::int16_t ch) { return ch >= 0 && ch < kChannels; }
    static std::size_t Index(std::int16_t ch) { return static_cast<std::size_t>(ch); }

    IModemEngineEvents* events_ = nullptr;
    std::uint16_t txCarrier_ = 0;
    TOleBool active_ = OleFalse, atc_ = OleFalse, net_ = OleFalse;
    double sampleFreq_ = 0.0, txOffset_ = 0.0;
    std::int16_t bpf_ = 0;
    std::u16string soundId_;
    std::uint16_t modGain_ = 0, afcWidth_ = 0, afcLevel_ = 0;
    std::array<double, kChannels> speed_{};
    std::array<std::uint16_t, kChannels> rxCarrier_{};
    std::array<std::int16_t, kChannels> afc_{};
    std::array<std::int16_t, kChannels> mode_{};
};

}  // namespace quorvel
