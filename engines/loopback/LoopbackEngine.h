#pragma once
// A modem engine without a sound card: keeps every property, lists the engine's
// eleven modes, and raises its events on the UI thread. What is sent comes back
// as received text; scripted remote stations can be fed in with Receive().
// Strings are UTF-16; a single character code (SendChar, OnGetTxChar, the
// wChar of OnRxChar) is the code page's 8-bit code, as the real engine has it.
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "modem/ModemEngine.h"
#include "ports/Dispatcher.h"

namespace quorvel {

class TLoopbackEngine;

// The live engines of one module, oldest first: how a simulation driver finds
// the engine a plug-in created without holding a reference to it.
class TLoopbackRegistry {
public:
    const std::vector<TLoopbackEngine*>& Engines() const { return engines_; }

private:
    friend class TLoopbackEngine;
    std::vector<TLoopbackEngine*> engines_;
    std::int32_t created_ = 0;
};

class TLoopbackEngine final : public TModemEngine {
public:
    static constexpr int kChannels = 5;
    // registry, when given, lists the engine for its lifetime.
    explicit TLoopbackEngine(IDispatcher& dispatcher, TLoopbackRegistry* registry = nullptr);
    ~TLoopbackEngine() override;

    void SetEvents(IModemEngineEvents* events) override { events_ = events; }

    std::uint16_t wTxCarrier() const override { return txCarrier_; }
    void set_wTxCarrier(std::uint16_t hz) override;
    TOleBool bActive() const override { return active_; }
    void set_bActive(TOleBool value) override { active_ = value ? OleTrue : OleFalse; }
    TOleBool bATC() const override { return atc_; }
    void set_bATC(TOleBool value) override { atc_ = value ? OleTrue : OleFalse; }
    TOleBool bNET() const override { return net_; }
    void set_bNET(TOleBool value) override;
    TOleBool bTX() const override { return tx_; }
    double dblSampleFreq() const override { return sampleFreq_; }
    void set_dblSampleFreq(double hz) override { sampleFreq_ = hz; }
    double dblTxOffset() const override { return txOffset_; }
    void set_dblTxOffset(double hz) override { txOffset_ = hz; }
    std::int16_t wModeMax() const override;
    std::int16_t nBPF() const override { return bpf_; }
    void set_nBPF(std::int16_t value) override { bpf_ = value; }
    std::u16string strSoundID() const override { return soundId_; }
    void set_strSoundID(const std::u16string& value) override { soundId_ = value; }
    std::uint16_t wModGain() const override { return modGain_; }
    void set_wModGain(std::uint16_t value) override { modGain_ = value; }
    std::int32_t dwHandle() const override { return 0x4D4D5600; }
    std::uint16_t wAFCWidth() const override { return afcWidth_; }
    void set_wAFCWidth(std::uint16_t value) override { afcWidth_ = value; }
    std::uint16_t wAFCLevel() const override { return afcLevel_; }
    void set_wAFCLevel(std::uint16_t value) override { afcLevel_ = value; }
    std::uint16_t wBufferCount() const override { return bufferCount_; }
    void set_wBufferCount(std::uint16_t value) override { bufferCount_ = value; }
    std::uint16_t wNumNotches() const override { return static_cast<std::uint16_t>(notches_.size()); }

    std::u16string ModeName(std::int16_t i) const override;
    double Speed(std::int16_t ch) const override;
    void set_Speed(std::int16_t ch, double baud) override;
    std::uint16_t RxCarrier(std::int16_t ch) const override;
    void set_RxCarrier(std::int16_t ch, std::uint16_t hz) override;
    void set_ChannelOpen(std::int16_t ch, TOleBool open) override;
    double SignalToNoise(std::int16_t ch) const override;
    std::int16_t Afc(std::int16_t ch) const override;
    void set_Afc(std::int16_t ch, std::int16_t on) override;
    double FilterOffset(std::int16_t ch) const override;
    void set_FilterOffset(std::int16_t ch, double hz) override;
    std::int16_t Mode(std::int16_t ch) const override;
    void set_Mode(std::int16_t ch, std::int16_t mode) override;
    double FilterCentre(std::int16_t ch) const override;

    void SendTone() override;
    void SetTxState(std::int16_t state) override;
    void SendText(const std::u16string& text) override;
    void SendChar(std::uint16_t wChar) override;
    void ClearFilter() override { filter_ = TFilter{}; }
    void AddNotch(std::uint16_t hz) override { notches_.push_back(hz); }
    void DeleteNotch(std::int16_t index) override;
    std::int32_t SetFilter(std::int16_t type, std::int16_t steepnessX10, double edge1, double edge2,
                           std::int16_t taps) override;

    // Simulation controls (not part of the engine's interface).
    // A remote station's text arrives on channel ch at the channel's character rate.
    void Receive(std::int16_t ch, const std::u16string& text);
    void SetSignalToNoise(std::int16_t ch, double db);
    bool ChannelIsOpen(std::int16_t ch) const;
    // Characters per second of a mode at a speed, roughly as the modes run on air.
    static double CharactersPerSecond(const std::u16string& mode, double baud);
    const std::deque<char16_t>& TxQueue() const { return txQueue_; }
    bool ToneOn() const { return tone_; }
    struct TFilter {
        int Type = -1;  // -1 none
        int SteepnessX10 = 0;
        double Edge1 = 0.0, Edge2 = 0.0;
        int Taps = 0;
    };
    int FilterType() const { return filter_.Type; }
    const TFilter& Filter() const { return filter_; }
    const std::deque<std::uint16_t>& Notches() const { return notches_; }
    const std::u16string& SentText() const { return sent_; }
    // 1 for the first engine of its registry, 2 for the next, ...; 0 without one.
    std::int32_t Serial() const { return serial_; }
    // Characters a remote station has queued on channel ch and not yet delivered.
    std::size_t PendingReceive(std::int16_t ch) const { return Valid(ch) ? channels_[ch].incoming.size() : 0; }

private:
    struct Channel {
        std::int16_t mode = 3;  // BPSK
        double speed = 31.25;
        std::uint16_t rxCarrier = 1750;
        bool open = false;
        double snr = 0.0;
        std::int16_t afc = 1;
        double filterOffset = 0.0;
        std::deque<char16_t> incoming;
        bool receiving = false;
    };
    bool Valid(std::int16_t ch) const { return ch >= 0 && ch < kChannels; }
    std::uint32_t CharIntervalMs(std::int16_t ch) const;
    void ScheduleReceive(std::int16_t ch);
    void ScheduleTransmit();
    void TransmitNext();
    void RaiseTxState(std::int16_t state);
    void BackToReceive();
    void RaiseRxChar(std::int16_t ch, char16_t c);
    static char16_t FromEngineCode(std::uint16_t wChar);
    static std::uint16_t ToEngineCode(char16_t c);

    IDispatcher& dispatcher_;
    TLoopbackRegistry* registry_;
    std::int32_t serial_ = 0;
    IModemEngineEvents* events_ = nullptr;
    std::array<Channel, kChannels> channels_{};
    std::uint16_t txCarrier_ = 1750;
    TOleBool active_ = OleFalse, atc_ = OleFalse, net_ = OleTrue, tx_ = OleFalse;
    double sampleFreq_ = 11025.0, txOffset_ = 0.0;
    std::int16_t bpf_ = 1;
    std::u16string soundId_ = u"-1,-1";
    std::uint16_t modGain_ = 16384, afcWidth_ = 50, afcLevel_ = 16, bufferCount_ = 12;
    std::deque<std::uint16_t> notches_;
    TFilter filter_;
    std::deque<char16_t> txQueue_;
    std::u16string sent_;
    bool ending_ = false;
    bool transmitting_ = false;
    bool tone_ = false;
    // Destruction cancels pending callbacks: they check this token. Timers are
    // killed outright, as their code goes when the module is unloaded.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::set<IDispatcher::TimerId> timers_;
    // A one-shot timer: fires once, then is gone.
    void After(std::uint32_t ms, std::function<void()> then);
};

// Creates loopback engines in-process (tests, the headless host).
class TLoopbackEngineFactory final : public IModemEngineFactory {
public:
    std::unique_ptr<TModemEngine> CreateEngine(const char* classId, IDispatcher& dispatcher) override;
    TLoopbackEngine* Last = nullptr;  // the engine most recently created
};

}  // namespace quorvel
