#pragma once
// The signal-processing modem engine: five receive channels on one audio
// input, a transmitter, receive filters and the spectrum, behind the engine
// interface the plug-in drives.
//
// Audio runs on the dispatcher's clock: a 50 ms timer takes exactly the
// samples the elapsed time holds at dblSampleFreq from the input (the
// simulated band unless a WAV file is given), so a headless run on the
// virtual clock is exact and repeatable. Every event is raised on that
// thread, from the timer or posted.
//
// With sound cards (UseSoundCards), the devices of strSoundID stream while
// bActive is true: input and output device numbers with "," between, as
// SoundDevices.h numbers them (-1 the system default, -2 none). Writing
// bActive false closes them, true opens the devices strSoundID names then.
// Each device runs at its own nominal rate (11025 Hz asked) on its own
// thread; the timer takes what was recorded, converted to dblSampleFreq, and
// keeps kPlaybackLeadSeconds of transmitted audio queued ahead, converted
// back, so a UI thread busy for less than that loses nothing either way.
// Echoes and the return to receive follow the audio actually handed to the
// device. A direction without a device runs on the clock as before
// (silence in, audio out dropped), so transmissions still end.
//
// Modes and speeds are the modem's (Modes.h, psk/Psk.h, rtty/Rtty.h,
// fsk/Fsk.h, mfsk/Mfsk.h). A mode and speed with no modem (MFSK at a speed
// whose 16 tones do not fit the sample rate) raises
// OnError(kErrorModeUnavailable); such a channel decodes nothing and a
// transmission in it sends silence and echoes nothing.
//
// Receive and transmit are half duplex: the receivers hear nothing while the
// station transmits. Each character is echoed through OnRxChar on channel 0
// when its first symbol goes on the air, while bTX is still true; after
// SetTxState(2) the queue is sent, then the mode's postamble, and only then
// does OnTxState(0) report the return to receive.
//
// SignalToNoise is the channel's estimate in the mode's own bandwidth
// (symbol-rate for PSK, one bit for RTTY), in dB. FilterCentre is RxCarrier
// plus FilterOffset (Filters.h says what the filters do with them). NET:
// the transmit carrier follows channel 0's receive carrier, AFC included.
// With ATC on, OnTiming reports each channel's clock offset in ppm (unit 0)
// once a second when it changed. OnDrawFFT carries the input spectrum, 0 to 3000 Hz in dB x 100, five times
// a second; OnDrawWave the last 512 input samples and channel 0's decoder
// input level; Display() holds the same data, the channel markers and the
// tuning error, for the views.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Audio.h"
#include "Filters.h"
#include "Modem.h"
#include "SimulatedBand.h"
#include "SoundCard.h"
#include "SoundDevices.h"
#include "modem/ModemEngine.h"
#include "pavo/modem-display.h"
#include "ports/Dispatcher.h"

struct fftwf_plan_s;

namespace quorvel::modem {

constexpr std::int32_t kErrorModeUnavailable = 1;
// The input (2) or output (3) sound device cannot be used: no device has
// that number, it cannot be opened, or it failed while running. Raised once
// per failure; the engine keeps trying a device it found and takes it back
// when it returns (TakeSoundReport says so).
constexpr std::int32_t kErrorSoundInput = 2;
constexpr std::int32_t kErrorSoundOutput = 3;

class TDspModemEngine;

// The live engines of one module, oldest first, for the simulation table.
class TDspEngineRegistry {
public:
    const std::vector<TDspModemEngine*>& Engines() const { return engines_; }

private:
    friend class TDspModemEngine;
    std::vector<TDspModemEngine*> engines_;
    std::int32_t created_ = 0;
};

struct DisplayData {
    std::vector<std::int16_t> spectrum;  // dB x 100 per bin, 0 to 3000 Hz
    double binHz = 0;
    std::vector<std::int16_t> wave;      // last input samples, full scale 32767
    std::array<std::uint16_t, 5> markers{};  // receive carriers; 0 for closed channels
    std::uint16_t txMarker = 0;
    std::int16_t level = 0;              // channel 0's input level, dBFS x 100
    double tuningError = 0;              // channel 0: Hz the AFC has moved from the set carrier
    std::vector<std::uint16_t> notches;  // as they were at the spectrum
    std::uint32_t sequence = 0;          // spectra made so far
};

class TDspModemEngine final : public TModemEngine {
public:
    static constexpr int kChannels = 5;
    static constexpr std::uint32_t kTickMs = 50;

    explicit TDspModemEngine(IDispatcher& dispatcher, TDspEngineRegistry* registry = nullptr);
    ~TDspModemEngine() override;
    TDspModemEngine(const TDspModemEngine&) = delete;
    TDspModemEngine& operator=(const TDspModemEngine&) = delete;

    void SetEvents(IModemEngineEvents* events) override { events_ = events; }

    std::uint16_t wTxCarrier() const override { return txCarrier_; }
    void set_wTxCarrier(std::uint16_t hz) override;
    TOleBool bActive() const override { return ToOle(active_); }
    void set_bActive(TOleBool value) override;
    TOleBool bATC() const override { return ToOle(atc_); }
    void set_bATC(TOleBool value) override;
    TOleBool bNET() const override { return ToOle(net_); }
    void set_bNET(TOleBool value) override;
    TOleBool bTX() const override { return ToOle(tx_); }
    double dblSampleFreq() const override { return sampleFreq_; }
    void set_dblSampleFreq(double hz) override;
    double dblTxOffset() const override { return txOffset_; }
    void set_dblTxOffset(double hz) override;
    std::int16_t wModeMax() const override;
    std::int16_t nBPF() const override { return bpf_; }
    void set_nBPF(std::int16_t value) override;
    std::u16string strSoundID() const override { return soundId_; }
    void set_strSoundID(const std::u16string& value) override { soundId_ = value; }
    std::uint16_t wModGain() const override { return modGain_; }
    void set_wModGain(std::uint16_t value) override { modGain_ = value; }
    std::int32_t dwHandle() const override { return handle_; }
    std::uint16_t wAFCWidth() const override { return afcWidth_; }
    void set_wAFCWidth(std::uint16_t value) override;
    std::uint16_t wAFCLevel() const override { return afcLevel_; }
    void set_wAFCLevel(std::uint16_t value) override;
    std::uint16_t wBufferCount() const override { return bufferCount_; }
    void set_wBufferCount(std::uint16_t value) override { bufferCount_ = value; }
    std::uint16_t wNumNotches() const override { return static_cast<std::uint16_t>(notches_.size()); }
    // What SetFilter last set (type -1: none) and the notches, for the host's report.
    struct TFilterSnapshot {
        int Type = -1, Order = 0;
        double Edge1 = 0, Edge2 = 0;
        std::deque<std::uint16_t> Notches;
    };
    TFilterSnapshot FilterSnapshot() const { return {filterType_, filterOrder_, filterEdge1_, filterEdge2_, notches_}; }

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
    void ClearFilter() override;
    void AddNotch(std::uint16_t hz) override;
    void DeleteNotch(std::int16_t index) override;
    std::int32_t SetFilter(std::int16_t type, std::int16_t steepnessX10, double edge1, double edge2,
                           std::int16_t taps) override;

    // Audio. The input defaults to the simulated band; replacing it (a WAV
    // file) leaves the band without a listener. Output: the transmitted audio.
    void SetInput(std::unique_ptr<IAudioInput> input);
    void SetOutput(std::unique_ptr<IAudioOutput> output) { output_ = std::move(output); }
    TSimulatedBand* Band() { return band_; }
    bool InputEnded() const { return inputEnded_; }
    // Runs the audio up to the dispatcher's present (the timer does this too).
    void Pump();

    // Live sound cards instead of the simulated band and files.
    static constexpr double kPlaybackLeadSeconds = 0.8;
    static constexpr double kCaptureRingSeconds = 4.0;
    void UseSoundCards(bool on);
    bool UsesSoundCards() const { return live_; }
    // A fixed device list instead of the machine's (tests).
    void SetSoundDevices(std::vector<linux_platform::TSoundDevice> devices);
    struct TSoundStatus {
        bool InputOpen = false, OutputOpen = false;
        std::string Input, Output;  // the PCM devices in use; empty: none
        std::uint64_t Overruns = 0, Underruns = 0, Xruns = 0;
        std::uint32_t InputOpens = 0, OutputOpens = 0;
    };
    TSoundStatus SoundStatus() const;
    // What became of the sound devices since the report was last taken, a line each.
    std::vector<std::string> TakeSoundReport();
    const std::vector<std::string>& SoundReport();
    void DropSoundReport(std::size_t lines);

    // The remote station on channel ch sends text through the band.
    bool RemoteSend(std::int16_t ch, const std::string& codes, const StationSetup* setup = nullptr);
    // How the station on channel ch is off (offset, drift, clock) from its next text on.
    void SetStation(std::int16_t ch, const StationSetup& setup) {
        if (Valid(ch)) stations_[static_cast<std::size_t>(ch)] = setup;
    }
    StationSetup Station(std::int16_t ch) const { return Valid(ch) ? stations_[static_cast<std::size_t>(ch)] : StationSetup{}; }
    bool ChannelIsOpen(std::int16_t ch) const { return Valid(ch) && (ch == 0 || channels_[ch].open); }
    // What the station has sent on the air (8-bit codes, in order).
    const std::string& SentText() const { return sent_; }
    std::int32_t Serial() const { return serial_; }
    const DisplayData& Display() const { return display_; }
    // What the display controls draw, with channel ch's tuning; false for no such channel.
    bool DisplayFrame(std::int16_t ch, QuorvelModemDisplayFrame& out) const;

private:
    struct Channel {
        bool open = false;
        std::int16_t mode = 4;
        double speed = 31.25;
        std::uint16_t rxCarrier = 1750;
        std::int16_t afc = 0;
        double filterOffset = 0;
        std::unique_ptr<IDemodulator> demod;
        TIirChain bandPass;
        std::uint16_t reported = 0;  // the carrier last reported
        std::vector<std::uint8_t> decoded;
        std::size_t sinceTiming = 0;
        std::int32_t timing = 0;  // the clock offset last reported, ppm
    };

    static bool Valid(std::int16_t ch) { return ch >= 0 && ch < kChannels; }
    void Rebuild(std::int16_t ch);
    void RebuildBandPass(std::int16_t ch);
    void RebuildInputFilter();
    void Process(std::span<float> block);
    void Hear(std::span<float> block);
    void PumpLive();
    void FeedPlayback();
    void OpenSoundCards();
    void TakeSoundEvents();
    void RaiseEchoes(std::uint64_t played);
    void EndTransmission();
    bool Playing() const { return playback_ && playback_->IsOpen(); }
    void Receive(std::span<const float> block);
    void Transmit(std::size_t samples);
    void StartTransmitter();
    void BackToReceive();
    void Spectrum(std::span<const float> block);
    void Post(std::function<void()> f);
    void RaiseError(std::int32_t code);
    void ApplyNet();

    IDispatcher& dispatcher_;
    TDspEngineRegistry* registry_;
    std::int32_t serial_ = 0;
    std::int32_t handle_ = 0;
    IModemEngineEvents* events_ = nullptr;
    std::array<Channel, kChannels> channels_;
    std::array<StationSetup, kChannels> stations_{};
    std::uint16_t txCarrier_ = 1750;
    bool active_ = false, atc_ = false, net_ = true, tx_ = false;
    double sampleFreq_ = kNominalSampleRate, txOffset_ = 0;
    std::int16_t bpf_ = 0;
    std::u16string soundId_ = u"-1,-1";
    std::uint16_t modGain_ = 16384, afcWidth_ = 50, afcLevel_ = 16, bufferCount_ = 12;
    std::deque<std::uint16_t> notches_;
    int filterType_ = -1;
    double filterEdge1_ = 0, filterEdge2_ = 0;
    int filterOrder_ = 4;
    TIirChain inputFilter_;

    std::unique_ptr<IAudioInput> input_;
    TSimulatedBand* band_ = nullptr;  // the input, while it is the band
    bool inputEnded_ = false;
    std::unique_ptr<IAudioOutput> output_;
    std::int64_t startMs_ = 0;
    std::uint64_t samplesDone_ = 0;
    std::vector<float> block_, work_, txBlock_;

    std::unique_ptr<IModulator> modulator_;
    std::deque<std::uint8_t> txQueue_;
    bool ending_ = false, tone_ = false;
    double tonePhase_ = 0;
    std::string sent_;
    std::vector<std::uint8_t> echoes_;

    struct FftPlanDeleter {
        void operator()(fftwf_plan_s* p) const noexcept;
    };
    std::vector<float> fftBuffer_, fftIn_;
    std::vector<std::array<float, 2>> fftOut_;
    std::unique_ptr<fftwf_plan_s, FftPlanDeleter> plan_;
    std::vector<std::int16_t> levels_;
    std::size_t fftFill_ = 0, sinceSpectrum_ = 0;
    DisplayData display_;

    struct TClock {
        std::int64_t startMs = 0;
        std::uint64_t done = 0;
    };
    std::size_t Due(TClock& clock) const;
    bool live_ = false, draining_ = false, rxFromDevice_ = false, txToDevice_ = false;
    std::optional<std::vector<linux_platform::TSoundDevice>> devices_;
    std::unique_ptr<TSoundStream> capture_, playback_;
    TRateConverter inRate_, outRate_;
    TClock rxClock_, txClock_;
    std::vector<float> raw_;
    std::deque<std::pair<std::uint64_t, std::uint8_t>> liveEchoes_;  // played position, code
    std::vector<std::string> soundReport_;

    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    IDispatcher::TimerId timer_ = 0;
};

// Creates DSP engines in-process (the command-line tool, tests).
class TDspEngineFactory final : public IModemEngineFactory {
public:
    std::unique_ptr<TModemEngine> CreateEngine(const char* classId, IDispatcher& dispatcher) override;
    TDspModemEngine* Last = nullptr;
};

}  // namespace quorvel::modem
