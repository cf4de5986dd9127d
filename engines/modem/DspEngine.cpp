#include "DspEngine.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "Modes.h"
#include "base/CodePage.h"

namespace quorvel::modem {
namespace {

constexpr std::size_t kFftSize = 2048;
constexpr double kSpectrumTopHz = 3000;
constexpr std::uint32_t kSpectrumMs = 200;

std::uint8_t ToCode(char16_t c) {
    if (c < 0x80) return static_cast<std::uint8_t>(c);
    return static_cast<std::uint8_t>(UnicodeToCp1251(c));
}

}  // namespace

void TDspModemEngine::FftPlanDeleter::operator()(fftwf_plan_s* p) const noexcept { fftwf_destroy_plan(p); }

TDspModemEngine::TDspModemEngine(IDispatcher& dispatcher, TDspEngineRegistry* registry)
    : dispatcher_(dispatcher), registry_(registry) {
    if (registry_ != nullptr) {
        registry_->engines_.push_back(this);
        serial_ = ++registry_->created_;
    }
    handle_ = 0x4D4D5600 + serial_;
    auto band = std::make_unique<TSimulatedBand>(sampleFreq_, static_cast<std::uint32_t>(serial_ + 1));
    band_ = band.get();
    input_ = std::move(band);
    for (std::int16_t ch = 0; ch < kChannels; ++ch) Rebuild(ch);
    fftBuffer_.assign(kFftSize, 0.0f);
    fftIn_.assign(kFftSize, 0.0f);
    fftOut_.resize(kFftSize / 2 + 1);
    plan_.reset(fftwf_plan_dft_r2c_1d(static_cast<int>(kFftSize), fftIn_.data(), reinterpret_cast<fftwf_complex*>(fftOut_.data()), FFTW_ESTIMATE));
    startMs_ = dispatcher_.Now();
    timer_ = dispatcher_.SetTimer(kTickMs, [this] { Pump(); });
}

TDspModemEngine::~TDspModemEngine() {
    *alive_ = false;
    dispatcher_.KillTimer(timer_);
    if (registry_ != nullptr) std::erase(registry_->engines_, this);
}

void TDspModemEngine::Post(std::function<void()> f) {
    dispatcher_.Post([f = std::move(f), alive = alive_] {
        if (*alive) f();
    });
}

void TDspModemEngine::RaiseError(std::int32_t code) {
    Post([this, code] {
        if (events_) events_->OnError(code);
    });
}

// --- properties -----------------------------------------------------------

void TDspModemEngine::set_wTxCarrier(std::uint16_t hz) {
    txCarrier_ = hz;
    if (modulator_) modulator_->SetCarrier(txCarrier_ + txOffset_);
    if (net_ && channels_[0].rxCarrier != hz) {
        channels_[0].rxCarrier = hz;
        if (channels_[0].demod) channels_[0].demod->SetCarrier(hz);
        channels_[0].reported = hz;
        RebuildBandPass(0);
    }
}

void TDspModemEngine::set_dblTxOffset(double hz) {
    if (!std::isfinite(hz)) return;
    txOffset_ = hz;
    if (modulator_) modulator_->SetCarrier(txCarrier_ + txOffset_);
}

void TDspModemEngine::set_bATC(TOleBool value) {
    atc_ = value != 0;
    for (auto& c : channels_)
        if (c.demod) c.demod->SetAtc(atc_);
}

void TDspModemEngine::set_bNET(TOleBool value) {
    const bool was = net_;
    net_ = value != 0;
    if (net_ != was)
        Post([this] {
            if (events_) events_->OnNET(ToOle(net_));
        });
    ApplyNet();
}

void TDspModemEngine::ApplyNet() {
    if (!net_ || tx_) return;
    const std::uint16_t rx = channels_[0].reported;
    if (rx != txCarrier_) {
        txCarrier_ = rx;
        if (events_) events_->OnTxCarrier(rx);
    }
}

void TDspModemEngine::set_dblSampleFreq(double hz) {
    if (!(hz >= 8000 && hz <= 48000) || hz == sampleFreq_) return;
    sampleFreq_ = hz;
    startMs_ = dispatcher_.Now();
    samplesDone_ = 0;
    for (std::int16_t ch = 0; ch < kChannels; ++ch) Rebuild(ch);
    RebuildInputFilter();
}

std::int16_t TDspModemEngine::wModeMax() const { return static_cast<std::int16_t>(kModes.size()); }

void TDspModemEngine::set_nBPF(std::int16_t value) {
    bpf_ = value;
    for (std::int16_t ch = 0; ch < kChannels; ++ch) RebuildBandPass(ch);
}

void TDspModemEngine::set_wAFCWidth(std::uint16_t value) {
    afcWidth_ = value;
    for (std::int16_t ch = 0; ch < kChannels; ++ch) Rebuild(ch);
}

void TDspModemEngine::set_wAFCLevel(std::uint16_t value) {
    afcLevel_ = value;
    for (auto& c : channels_)
        if (c.demod) c.demod->SetAfc(c.afc != 0, afcWidth_, afcLevel_);
}

std::u16string TDspModemEngine::ModeName(std::int16_t i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= kModes.size()) return {};
    const auto name = kModes[static_cast<std::size_t>(i)].name;
    return std::u16string(name.begin(), name.end());
}

double TDspModemEngine::Speed(std::int16_t ch) const { return Valid(ch) ? channels_[ch].speed : 0.0; }

void TDspModemEngine::set_Speed(std::int16_t ch, double baud) {
    if (!Valid(ch) || !(baud >= 10.0 && baud <= 1000.0)) return;
    // The same speed again keeps the receiver in step with a station it hears.
    const bool same = channels_[ch].speed == baud && channels_[ch].demod;
    channels_[ch].speed = baud;
    if (!same) Rebuild(ch);
    if (!channels_[ch].demod) RaiseError(kErrorModeUnavailable);
    Post([this, ch, baud] {
        if (events_) events_->OnSpeed(ch, baud);
    });
}

std::uint16_t TDspModemEngine::RxCarrier(std::int16_t ch) const { return Valid(ch) ? channels_[ch].reported : 0; }

void TDspModemEngine::set_RxCarrier(std::int16_t ch, std::uint16_t hz) {
    if (!Valid(ch)) return;
    auto& c = channels_[ch];
    c.rxCarrier = hz;
    c.reported = hz;
    if (c.demod) c.demod->SetCarrier(hz);
    RebuildBandPass(ch);
    // The carrier comes back while it is being written, as the plug-in expects.
    if (events_) events_->OnRxCarrier(ch, hz);
    if (ch == 0) ApplyNet();
}

void TDspModemEngine::set_ChannelOpen(std::int16_t ch, TOleBool open) {
    if (!Valid(ch) || ch == 0) return;
    channels_[ch].open = open != 0;
    if (!channels_[ch].open) Rebuild(ch);  // a reopened channel starts afresh
}

double TDspModemEngine::SignalToNoise(std::int16_t ch) const {
    if (!Valid(ch) || !channels_[ch].demod) return 0.0;
    return std::round(channels_[ch].demod->SignalToNoise());
}

std::int16_t TDspModemEngine::Afc(std::int16_t ch) const { return Valid(ch) ? channels_[ch].afc : 0; }

void TDspModemEngine::set_Afc(std::int16_t ch, std::int16_t on) {
    if (!Valid(ch)) return;
    channels_[ch].afc = on != 0 ? 1 : 0;
    if (channels_[ch].demod) channels_[ch].demod->SetAfc(on != 0, afcWidth_, afcLevel_);
}

double TDspModemEngine::FilterOffset(std::int16_t ch) const { return Valid(ch) ? channels_[ch].filterOffset : 0.0; }

void TDspModemEngine::set_FilterOffset(std::int16_t ch, double hz) {
    if (!Valid(ch) || !std::isfinite(hz)) return;
    channels_[ch].filterOffset = hz;
    RebuildBandPass(ch);
}

std::int16_t TDspModemEngine::Mode(std::int16_t ch) const { return Valid(ch) ? channels_[ch].mode : 0; }

void TDspModemEngine::set_Mode(std::int16_t ch, std::int16_t mode) {
    if (!Valid(ch) || mode < 0 || static_cast<std::size_t>(mode) >= kModes.size()) return;
    const bool same = channels_[ch].mode == mode && channels_[ch].demod;
    channels_[ch].mode = mode;
    if (!same) Rebuild(ch);
    if (!channels_[ch].demod) RaiseError(kErrorModeUnavailable);
    Post([this, ch, mode] {
        if (events_) events_->OnMode(ch, mode, ModeName(mode));
    });
}

double TDspModemEngine::FilterCentre(std::int16_t ch) const {
    return Valid(ch) ? channels_[ch].reported + channels_[ch].filterOffset : 0.0;
}

void TDspModemEngine::Rebuild(std::int16_t ch) {
    auto& c = channels_[ch];
    c.demod = MakeDemodulator(c.mode, SettingsFor(c.mode, sampleFreq_, c.rxCarrier, c.speed));
    if (c.demod) {
        c.demod->SetAfc(c.afc != 0, afcWidth_, afcLevel_);
        c.demod->SetAtc(atc_);
        c.demod->OnDecoded([&c](std::uint8_t code) { c.decoded.push_back(code); });
    }
    c.reported = c.rxCarrier;
    RebuildBandPass(ch);
}

void TDspModemEngine::RebuildBandPass(std::int16_t ch) {
    auto& c = channels_[ch];
    c.bandPass.Clear();
    double low = 0, high = 0;
    if (BandPassEdges(bpf_, c.mode, c.speed, c.reported + c.filterOffset, low, high)) {
        c.bandPass.AddEdge(false, low, 4, sampleFreq_);
        c.bandPass.AddEdge(true, high, 4, sampleFreq_);
    }
}

// --- filters --------------------------------------------------------------

void TDspModemEngine::RebuildInputFilter() {
    inputFilter_.Clear();
    for (std::uint16_t hz : notches_) inputFilter_.AddNotch(hz, sampleFreq_);
    const auto order = static_cast<unsigned>(std::clamp(filterOrder_, 2, 12));
    switch (filterType_) {
        case FilterLowPass: inputFilter_.AddEdge(true, filterEdge1_, order, sampleFreq_); break;
        case FilterHighPass: inputFilter_.AddEdge(false, filterEdge1_, order, sampleFreq_); break;
        case FilterBandPass:
            inputFilter_.AddEdge(false, std::min(filterEdge1_, filterEdge2_), order, sampleFreq_);
            inputFilter_.AddEdge(true, std::max(filterEdge1_, filterEdge2_), order, sampleFreq_);
            break;
        default: break;
    }
}

void TDspModemEngine::ClearFilter() {
    filterType_ = -1;
    RebuildInputFilter();
}

void TDspModemEngine::AddNotch(std::uint16_t hz) {
    if (hz == 0 || hz >= sampleFreq_ / 2) return;
    notches_.push_back(hz);
    RebuildInputFilter();
}

void TDspModemEngine::DeleteNotch(std::int16_t index) {
    if (index == -1) {
        notches_.clear();
    } else if (index >= 0 && static_cast<std::size_t>(index) < notches_.size()) {
        notches_.erase(notches_.begin() + index);
    } else {
        return;
    }
    RebuildInputFilter();
}

std::int32_t TDspModemEngine::SetFilter(std::int16_t type, std::int16_t steepnessX10, double edge1, double edge2,
                                        std::int16_t) {
    const double nyquist = sampleFreq_ / 2;
    if (type < FilterLowPass || type > FilterBandPass || !std::isfinite(edge1) || !std::isfinite(edge2) ||
        edge1 <= 0 || edge1 >= nyquist || (type == FilterBandPass && (edge2 <= 0 || edge2 >= nyquist || edge1 == edge2)))
        return -1;
    filterType_ = type;
    filterEdge1_ = edge1;
    filterEdge2_ = edge2;
    filterOrder_ = steepnessX10 / 10;
    RebuildInputFilter();
    return 0;
}

// --- transmit -------------------------------------------------------------

void TDspModemEngine::SendText(const std::u16string& text) {
    for (char16_t c : text) txQueue_.push_back(ToCode(c));
}

void TDspModemEngine::SendChar(std::uint16_t wChar) {
    txQueue_.push_back(wChar < 0x100 ? static_cast<std::uint8_t>(wChar) : ToCode(static_cast<char16_t>(wChar)));
}

void TDspModemEngine::SendTone() {
    tone_ = true;
    SetTxState(TxStateTransmit);
}

void TDspModemEngine::StartTransmitter() {
    const auto& c = channels_[0];
    modulator_ = MakeModulator(c.mode, SettingsFor(c.mode, sampleFreq_, txCarrier_ + txOffset_, c.speed));
    if (!modulator_) {
        RaiseError(kErrorModeUnavailable);
        return;
    }
    modulator_->OnCharStarted([this](std::uint8_t code) { echoes_.push_back(code); });
}

void TDspModemEngine::SetTxState(std::int16_t state) {
    switch (state) {
        case TxStateTransmit:
            ending_ = false;
            if (!tx_) {
                tx_ = true;
                if (!tone_) StartTransmitter();
                if (playback_) playback_->SetKeying(true);
                if (events_) events_->OnPTT(1);
                Post([this] {
                    if (events_) events_->OnTxState(TxStateTransmit);
                });
            }
            break;
        case TxStateEnd:
            if (!tx_) break;
            ending_ = true;
            break;
        default:
            txQueue_.clear();
            if (tx_) BackToReceive();
            break;
    }
}

void TDspModemEngine::BackToReceive() {
    tx_ = false;
    ending_ = false;
    if (playback_) {
        if (!draining_) playback_->Flush();
        playback_->SetKeying(false);
    }
    draining_ = false;
    liveEchoes_.clear();
    tone_ = false;
    modulator_.reset();
    txQueue_.clear();
    if (events_) events_->OnPTT(0);
    Post([this] {
        if (events_) events_->OnTxState(TxStateReceive);
    });
    ApplyNet();
}

void TDspModemEngine::Transmit(std::size_t samples) {
    txBlock_.assign(samples, 0.0f);
    const auto alive = alive_;
    if (tone_) {
        const double step = 2 * std::numbers::pi * (txCarrier_ + txOffset_) / sampleFreq_;
        for (float& s : txBlock_) {
            s = static_cast<float>(std::sin(tonePhase_));
            tonePhase_ = std::fmod(tonePhase_ + step, 2 * std::numbers::pi);
        }
        if (ending_) {
            EndTransmission();
            return;
        }
    } else if (modulator_) {
        // Keep one character queued ahead; in feed mode ask the window for it.
        while (modulator_->Pending() == 0 && !ending_) {
            if (!txQueue_.empty()) {
                modulator_->PutChar(txQueue_.front());
                txQueue_.pop_front();
                continue;
            }
            std::uint16_t w = 0;
            if (events_) events_->OnGetTxChar(w);
            if (!*alive || !tx_ || !modulator_) return;
            if (w == 0) break;
            modulator_->PutChar(w < 0x100 ? static_cast<std::uint8_t>(w) : ToCode(static_cast<char16_t>(w)));
        }
        if (ending_) {
            while (!txQueue_.empty()) {
                modulator_->PutChar(txQueue_.front());
                txQueue_.pop_front();
            }
            modulator_->Finish();
        }
        const std::size_t n = modulator_->Generate(txBlock_);
        std::fill(txBlock_.begin() + static_cast<long>(n), txBlock_.end(), 0.0f);
    } else if (ending_) {
        EndTransmission();
        return;
    }
    const float gain = static_cast<float>(modGain_) / 32768.0f;
    for (float& s : txBlock_) s *= gain;
    std::vector<std::uint8_t> echoes;
    echoes.swap(echoes_);
    if (live_) {
        if (Playing()) {
            // Echoed once this block goes to the device.
            for (std::uint8_t code : echoes) liveEchoes_.emplace_back(playback_->Written(), code);
            echoes.clear();
            work_.clear();
            outRate_.Convert(txBlock_, work_);
            playback_->Write(work_);
        }
    } else if (output_) {
        output_->Write(txBlock_);
    }
    // Echo each character that went on the air, while still transmitting.
    for (std::uint8_t code : echoes) {
        sent_.push_back(static_cast<char>(code));
        if (events_) events_->OnRxChar(0, std::u16string(1, static_cast<char16_t>(Cp1251ToUnicode(code))), code);
        if (!*alive || !tx_) return;
    }
    if (modulator_ && modulator_->Finished()) EndTransmission();
}

void TDspModemEngine::EndTransmission() {
    if (!live_ || !Playing()) {
        BackToReceive();
        return;
    }
    // The rig stays keyed until the device has played what is queued.
    draining_ = true;
    playback_->SetKeying(false);
}

// --- audio ----------------------------------------------------------------

void TDspModemEngine::SetInput(std::unique_ptr<IAudioInput> input) {
    band_ = nullptr;
    inputEnded_ = false;
    input_ = std::move(input);
}

bool TDspModemEngine::RemoteSend(std::int16_t ch, const std::string& codes, const StationSetup* setup) {
    if (!Valid(ch) || band_ == nullptr) return false;
    StationSetup s = setup != nullptr ? *setup : StationSetup{};
    s.mode = channels_[ch].mode;
    s.baud = channels_[ch].speed;
    s.carrier = channels_[ch].rxCarrier;
    return band_->Send(ch, codes, s);
}

void TDspModemEngine::Pump() {
    if (live_) {
        PumpLive();
        return;
    }
    const auto alive = alive_;
    const double elapsed = static_cast<double>(dispatcher_.Now() - startMs_) / 1000.0;
    const auto due = static_cast<std::uint64_t>(elapsed * sampleFreq_);
    while (samplesDone_ < due && *alive) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(due - samplesDone_, 1024));
        samplesDone_ += n;
        block_.assign(n, 0.0f);
        std::size_t got = 0;
        if (input_ && !inputEnded_) {
            got = input_->Read(block_);
            if (got < n) inputEnded_ = true;
        }
        Process(std::span<float>(block_.data(), n));
    }
}

void TDspModemEngine::Process(std::span<float> block) {
    const auto alive = alive_;
    if (tx_) {
        Transmit(block.size());
        if (!*alive) return;
    }
    Hear(block);
}

void TDspModemEngine::Hear(std::span<float> block) {
    const auto alive = alive_;
    // Half duplex: the receivers hear nothing of the band meanwhile.
    if (tx_) std::fill(block.begin(), block.end(), 0.0f);
    inputFilter_.Process(block);
    Spectrum(block);
    if (!*alive || tx_) return;
    Receive(block);
}

void TDspModemEngine::Receive(std::span<const float> block) {
    const auto alive = alive_;
    for (std::int16_t ch = 0; ch < kChannels; ++ch) {
        auto& c = channels_[ch];
        if (!c.demod || !ChannelIsOpen(ch)) continue;
        if (c.bandPass.Empty()) {
            c.demod->Process(block);
        } else {
            work_.assign(block.begin(), block.end());
            c.bandPass.Process(work_);
            c.demod->Process(work_);
        }
        std::vector<std::uint8_t> decoded;
        decoded.swap(c.decoded);
        for (std::uint8_t code : decoded) {
            if (events_) events_->OnRxChar(ch, std::u16string(1, static_cast<char16_t>(Cp1251ToUnicode(code))), code);
            if (!*alive) return;
        }
        // Reported in whole hertz, and only once the AFC has moved by more
        // than one: its jitter about a station is no news.
        // With ATC on, the clock offset it follows, once a second.
        c.sinceTiming += block.size();
        if (atc_ && static_cast<double>(c.sinceTiming) >= sampleFreq_) {
            c.sinceTiming = 0;
            const auto ppm = static_cast<std::int32_t>(std::lround(c.demod->ClockErrorPpm()));
            if (ppm != c.timing) {
                c.timing = ppm;
                if (events_) events_->OnTiming(ch, ppm, 0);
                if (!*alive) return;
            }
        }
        const double carrier = c.demod->Carrier();
        const auto now = static_cast<std::uint16_t>(std::lround(carrier));
        if (std::abs(carrier - c.reported) > 1.0) {
            c.reported = now;
            RebuildBandPass(ch);
            if (events_) events_->OnRxCarrier(ch, now);
            if (!*alive) return;
            if (ch == 0) ApplyNet();
        }
    }
}

void TDspModemEngine::Spectrum(std::span<const float> block) {
    for (float s : block) {
        fftBuffer_[fftFill_] = s;
        fftFill_ = (fftFill_ + 1) % kFftSize;
    }
    sinceSpectrum_ += block.size();
    if (static_cast<double>(sinceSpectrum_) < sampleFreq_ * kSpectrumMs / 1000.0) return;
    sinceSpectrum_ = 0;
    std::vector<float>& in = fftIn_;
    double level = 0;
    for (std::size_t i = 0; i < kFftSize; ++i) {
        const float x = fftBuffer_[(fftFill_ + i) % kFftSize];
        level += static_cast<double>(x) * x;
        in[i] = x * (0.5f - 0.5f * std::cos(kTwoPi * static_cast<float>(i) / kFftSize));
    }
    fftwf_execute(plan_.get());
    const auto& out = fftOut_;
    display_.binHz = sampleFreq_ / kFftSize;
    const auto bins = static_cast<std::size_t>(kSpectrumTopHz / display_.binHz);
    display_.spectrum.resize(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        const double p = (out[k][0] * out[k][0] + out[k][1] * out[k][1]) / (kFftSize * kFftSize / 4.0);
        display_.spectrum[k] = static_cast<std::int16_t>(std::clamp(ToDb(p) * 100, -12000.0, 3000.0));
    }
    display_.wave.resize(512);
    for (std::size_t i = 0; i < 512; ++i)
        display_.wave[i] = static_cast<std::int16_t>(
            std::clamp(fftBuffer_[(fftFill_ + kFftSize - 512 + i) % kFftSize] * 32767.0f, -32767.0f, 32767.0f));
    for (std::int16_t ch = 0; ch < kChannels; ++ch)
        display_.markers[static_cast<std::size_t>(ch)] = ChannelIsOpen(ch) ? channels_[ch].reported : 0;
    display_.txMarker = txCarrier_;
    display_.level = static_cast<std::int16_t>(std::clamp(ToDb(level / kFftSize) * 100, -12000.0, 0.0));
    display_.tuningError = channels_[0].demod ? channels_[0].demod->Carrier() - channels_[0].rxCarrier : 0.0;
    display_.notches.assign(notches_.begin(), notches_.end());
    ++display_.sequence;
    if (!events_) return;
    const auto alive = alive_;
    events_->OnDrawFFT(static_cast<std::uint16_t>(display_.spectrum.size()), display_.spectrum.data());
    if (!*alive || !events_) return;
    levels_.assign(display_.wave.size(), display_.level);
    events_->OnDrawWave(static_cast<std::uint16_t>(display_.wave.size()), display_.wave.data(), levels_.data());
}

// --- sound cards ----------------------------------------------------------

void TDspModemEngine::set_bActive(TOleBool value) {
    active_ = value != 0;
    if (live_) OpenSoundCards();
}

void TDspModemEngine::UseSoundCards(bool on) {
    if (on == live_) return;
    live_ = on;
    OpenSoundCards();
}

void TDspModemEngine::SetSoundDevices(std::vector<linux_platform::TSoundDevice> devices) {
    devices_ = std::move(devices);
    if (live_) OpenSoundCards();
}

void TDspModemEngine::OpenSoundCards() {
    if (tx_) SetTxState(TxStateReceive);
    capture_.reset();
    playback_.reset();
    rxFromDevice_ = txToDevice_ = false;
    rxClock_ = txClock_ = TClock{dispatcher_.Now(), 0};
    if (!live_ || !active_) return;

    std::int32_t in = -1, out = -1;
    const std::string id(soundId_.begin(), soundId_.end());
    char* end = nullptr;
    const long a = std::strtol(id.c_str(), &end, 10);
    const bool parsed = end != id.c_str() && *end == ',';
    const long b = parsed ? std::strtol(end + 1, &end, 10) : 0;
    if (!parsed || *end != '\0') {
        soundReport_.push_back("sound devices \"" + id + "\" are not two numbers such as 0,-1");
        RaiseError(kErrorSoundInput);
        RaiseError(kErrorSoundOutput);
        return;
    }
    in = static_cast<std::int32_t>(std::clamp(a, -2L, 1000L));
    out = static_cast<std::int32_t>(std::clamp(b, -2L, 1000L));
    QuietAlsaErrors();
    const auto devices = devices_ ? *devices_ : linux_platform::EnumerateSoundDevices();
    if (in != -2) {
        const int at = linux_platform::CaptureDeviceIndex(devices, in);
        if (at < 0) {
            soundReport_.push_back("sound input: no recording device " + std::to_string(in) + " (" +
                                   std::to_string(linux_platform::CaptureDevices(devices).size()) + " found)");
            RaiseError(kErrorSoundInput);
        } else {
            capture_ = std::make_unique<TSoundStream>(TSoundStream::TDirection::Capture,
                                                      devices[static_cast<std::size_t>(at)].Pcm, kNominalSampleRate,
                                                      kCaptureRingSeconds);
        }
    }
    if (out != -2) {
        const int at = linux_platform::PlaybackDeviceIndex(devices, out);
        if (at < 0) {
            soundReport_.push_back("sound output: no wave-output device " + std::to_string(out) + " (" +
                                   std::to_string(linux_platform::PlaybackDevices(devices).size()) + " found)");
            RaiseError(kErrorSoundOutput);
        } else {
            playback_ = std::make_unique<TSoundStream>(TSoundStream::TDirection::Playback,
                                                       devices[static_cast<std::size_t>(at)].Pcm, kNominalSampleRate,
                                                       2 * kPlaybackLeadSeconds);
        }
    }
}

void TDspModemEngine::TakeSoundEvents() {
    for (TSoundStream* stream : {capture_.get(), playback_.get()}) {
        if (stream == nullptr) continue;
        const bool input = stream == capture_.get();
        for (const TSoundEvent& e : stream->TakeEvents()) {
            soundReport_.push_back((input ? "sound input: " : "sound output: ") + e.Detail);
            if (e.Kind != TSoundEvent::TKind::Opened) RaiseError(input ? kErrorSoundInput : kErrorSoundOutput);
        }
    }
}

std::size_t TDspModemEngine::Due(TClock& clock) const {
    const double elapsed = static_cast<double>(dispatcher_.Now() - clock.startMs) / 1000.0;
    const auto due = static_cast<std::uint64_t>(elapsed * sampleFreq_);
    const std::uint64_t n = due > clock.done ? due - clock.done : 0;
    clock.done += n;
    return static_cast<std::size_t>(n);
}

void TDspModemEngine::PumpLive() {
    const auto alive = alive_;
    TakeSoundEvents();
    const bool capturing = capture_ && capture_->IsOpen();
    if (capturing != rxFromDevice_) {
        rxFromDevice_ = capturing;
        rxClock_ = TClock{dispatcher_.Now(), 0};
    }
    if (capturing) {
        inRate_.SetRates(capture_->Rate(), sampleFreq_);
        raw_.resize(1024);
        for (;;) {
            const std::size_t n = capture_->Read(raw_);
            if (n == 0) break;
            block_.clear();
            inRate_.Convert(std::span<const float>(raw_.data(), n), block_);
            Hear(block_);
            if (!*alive) return;
        }
    } else {
        for (std::size_t due = Due(rxClock_); due > 0 && *alive;) {
            const std::size_t n = std::min<std::size_t>(due, 1024);
            due -= n;
            block_.assign(n, 0.0f);
            Hear(block_);
        }
        if (!*alive) return;
    }
    FeedPlayback();
}

void TDspModemEngine::FeedPlayback() {
    const auto alive = alive_;
    const bool playing = Playing();
    if (playing != txToDevice_) {
        txToDevice_ = playing;
        txClock_ = TClock{dispatcher_.Now(), 0};
    }
    if (!playing) {
        liveEchoes_.clear();
        if (draining_) BackToReceive();
        const std::size_t due = Due(txClock_);
        for (std::size_t done = 0; done < due && tx_ && *alive; done += 256) Transmit(std::min<std::size_t>(256, due - done));
        return;
    }
    if (!tx_) return;
    outRate_.SetRates(sampleFreq_, playback_->Rate());
    const auto lead = static_cast<std::size_t>(kPlaybackLeadSeconds * playback_->Rate());
    while (tx_ && !draining_ && playback_->Queued() < lead) {
        Transmit(256);
        if (!*alive) return;
    }
    if (!tx_) return;
    RaiseEchoes(playback_->Played());
    if (*alive && tx_ && draining_ && playback_->Played() >= playback_->Written()) BackToReceive();
}

void TDspModemEngine::RaiseEchoes(std::uint64_t played) {
    const auto alive = alive_;
    while (!liveEchoes_.empty() && liveEchoes_.front().first <= played) {
        const std::uint8_t code = liveEchoes_.front().second;
        liveEchoes_.pop_front();
        sent_.push_back(static_cast<char>(code));
        if (events_) events_->OnRxChar(0, std::u16string(1, static_cast<char16_t>(Cp1251ToUnicode(code))), code);
        if (!*alive || !tx_) return;
    }
}

TDspModemEngine::TSoundStatus TDspModemEngine::SoundStatus() const {
    TSoundStatus s;
    if (capture_) {
        s.InputOpen = capture_->IsOpen();
        s.Input = capture_->Pcm();
        s.InputOpens = capture_->Opens();
        s.Overruns = capture_->Overruns();
        s.Xruns += capture_->Xruns();
    }
    if (playback_) {
        s.OutputOpen = playback_->IsOpen();
        s.Output = playback_->Pcm();
        s.OutputOpens = playback_->Opens();
        s.Underruns = playback_->Underruns();
        s.Xruns += playback_->Xruns();
    }
    return s;
}

const std::vector<std::string>& TDspModemEngine::SoundReport() {
    if (live_) TakeSoundEvents();
    return soundReport_;
}

void TDspModemEngine::DropSoundReport(std::size_t lines) {
    soundReport_.erase(soundReport_.begin(), soundReport_.begin() + static_cast<long>(std::min(lines, soundReport_.size())));
}

std::vector<std::string> TDspModemEngine::TakeSoundReport() {
    if (live_) TakeSoundEvents();
    std::vector<std::string> out;
    out.swap(soundReport_);
    return out;
}

bool TDspModemEngine::DisplayFrame(std::int16_t ch, QuorvelModemDisplayFrame& out) const {
    if (!Valid(ch)) return false;
    out = QuorvelModemDisplayFrame{};
    out.Sequence = display_.sequence;
    out.Bins = static_cast<std::int32_t>(display_.spectrum.size());
    out.BinHz = display_.binHz;
    out.Spectrum = display_.spectrum.data();
    out.WaveCount = static_cast<std::int32_t>(display_.wave.size());
    out.Wave = display_.wave.data();
    for (std::int16_t c = 0; c < kChannels; ++c) {
        const auto i = static_cast<std::size_t>(c);
        out.RxCarrier[i] = ChannelIsOpen(c) ? channels_[i].reported : 0;
        out.Bandwidth[i] = OccupiedBandwidth(channels_[i].mode, channels_[i].speed);
    }
    out.TxCarrier = txCarrier_;
    out.TxBandwidth = OccupiedBandwidth(channels_[0].mode, channels_[0].speed);
    out.NotchCount = static_cast<std::int32_t>(display_.notches.size());
    out.Notches = display_.notches.data();
    out.Level = display_.level;
    const Channel& c = channels_[static_cast<std::size_t>(ch)];
    out.SignalToNoise = SignalToNoise(ch);
    out.Squelch = afcLevel_;
    out.TuningError = c.demod ? c.demod->Carrier() - c.rxCarrier : 0.0;
    return true;
}

std::unique_ptr<TModemEngine> TDspEngineFactory::CreateEngine(const char* classId, IDispatcher& dispatcher) {
    if (classId == nullptr || std::strcmp(classId, kModemEngineClassId) != 0) return nullptr;
    auto engine = std::make_unique<TDspModemEngine>(dispatcher);
    Last = engine.get();
    return engine;
}

}  // namespace quorvel::modem
